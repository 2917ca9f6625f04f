#pragma once

#include <string>

#include "core/base/DataTable.h"
#include "core/base/TestChoices.h"

namespace ombrel {

// The summary-statistics grid: rows 0 (headings) and 1 (titles) are the
// grid's own; rows 2..16 show a column's summary. `sdFormat` is true unless
// the document is in the mean/SEM/N format; `fullStatistics` is true for the
// raw-data, XY and multiple-regression formats (rows 10..16 are shown).

// The raw-data, XY and multiple-regression formats show the full column
// statistics: extremes, median and the normality test.
bool ShowsFullStatistics(TDataFormat format);

// The caption of a summary row ("Mean", "Standard deviation (SD)", ...); empty
// for the blank separator rows.
std::string SummaryRowLabel(int gridRow, bool sdFormat, bool fullStatistics);

// The text a summary cell shows for a data column: the mean with up to 10
// decimals, N (blank for 0), other numbers with four to five significant
// digits as the reports write them, the normality P as ">0.10", "<0.0001" or
// four decimals, "Too few values", "Yes" or "No"; blank for a missing value.
std::string SummaryCellText(const TDataTable& table, int column, int gridRow, bool sdFormat, bool fullStatistics);

// What a summary edit did: whether the summary changed, and whether the mean
// is missing afterwards (the grid beeps then).
struct TSummaryEdit {
  bool Changed = false;
  bool MeanMissing = false;
};

// Stores a typed or pasted value (the empty marker to clear) into a summary
// cell and recomputes the derived fields: the other dispersion and the 95%
// limits of an averaged-data column, all statistics of a raw-data column.
// N is kept only from 2 to 2147483647 (rounded), else 0; N below 2 also
// empties every statistic but the mean. Rows without a field and a value
// equal to the stored one change nothing.
TSummaryEdit SetSummaryValue(TDataTable& table, int column, int gridRow, bool sdFormat, TReal value);

}  // namespace ombrel
