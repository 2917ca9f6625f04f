#pragma once

#include <span>
#include <vector>

#include "document/DataTable.h"

namespace ombrel {

// The outcome of a Kolmogorov-Smirnov normality test; every field empty (and
// Passed false) when the test did not run.
struct TNormalityResult {
  TReal KS = EmptyValue;
  TReal P = EmptyValue;
  bool Passed = false;
};

// Recomputes the summary of every column whose ColumnChanged flag is set
// (clearing the flag), then runs the normality tests that are due.
void RefreshColumnSummaries(TDataTable& table);

// Computes N, mean, SD, SEM, extremes, median and 95% limits of one column
// from its analysis values into the column's summary; returns the mean.
TReal ComputeRawColumnStatistics(TDataTable& table, int column);

// The same statistics, returned instead of stored (normality fields empty);
// also for the scratch column.
TColumnSummary ComputeRawSummary(const TDataTable& table, int column);

// The non-empty analysis values of a column in row order.
std::vector<TReal> ColumnValues(const TDataTable& table, int column);

// The normality test of a set of values against the normal distribution
// with the given mean and SD; empty result for fewer than 5 values or SD <= 0.
TNormalityResult TestNormality(std::span<const TReal> values, TReal mean, TReal sd);

}  // namespace ombrel
