#pragma once

#include <string>

#include "document/DataTable.h"

namespace ombrel {

// The summary-statistics grid: rows 0 (headings) and 1 (titles) are the
// grid's own; rows 2..16 show a column's summary. `sdFormat` is true unless
// the document is in the mean/SEM/N format; `fullStatistics` is true for the
// raw-data, XY and multiple-regression formats (rows 10..16 are shown).

// The caption of a summary row ("Mean", "Standard deviation (SD)", ...); empty
// for the blank separator rows.
std::string SummaryRowLabel(int gridRow, bool sdFormat, bool fullStatistics);

// The text a summary cell shows for a data column.
std::string SummaryCellText(const TDataTable& table, int column, int gridRow, bool sdFormat, bool fullStatistics);

// Stores a typed or pasted value (the empty marker to clear) into a summary
// cell of an averaged-data column and recomputes the derived fields.
void SetSummaryValue(TDataTable& table, int column, int gridRow, bool sdFormat, TReal value);

}  // namespace ombrel
