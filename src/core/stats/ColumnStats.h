#pragma once

#include "document/DataTable.h"

namespace ombrel {

// Recomputes the summary of every column whose ColumnChanged flag is set
// (clearing the flag), then runs the normality tests that are due.
void RefreshColumnSummaries(TDataTable& table);

// Computes N, mean, SD, SEM, extremes, median and 95% limits of one column
// from its analysis values into the column's summary; returns the mean.
TReal ComputeRawColumnStatistics(TDataTable& table, int column);

}  // namespace ombrel
