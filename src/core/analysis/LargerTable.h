#pragma once

// The analysis of a contingency table of counts entered in the data table
// (grid rows are its rows, grid columns its columns): the chi-square test for
// independence, with a warning when the expected counts are too small, and
// the chi-square test for trend when the table has two rows or two columns.
// The family follows "Results as data" (docs/ARCHITECTURE.md): a request,
// ComputeLargerTable into a TLargerTableResult, then the writers of the
// report and of the record (LargerTableWriters.cpp); RunLargerTable is the
// entry point.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/analysis/AnalysisRecord.h"
#include "core/base/DataTable.h"
#include "core/base/EmptyValue.h"

namespace ombrel {

class TReportText;

// Where the table lies in the grid. The first row holding any value fixes
// the columns (its first to last non-blank cell) and the first row; the last
// row holding any value ends it. Rows without values in between are empty
// rows.
struct TContingencyExtent {
  int FirstRow = 0;
  int LastRow = -1;
  int FirstColumn = 0;
  int LastColumn = -1;
  std::int32_t Rows = 0;     // R: rows that hold values
  std::int32_t Columns = 0;  // C
  // Every row holding values has a value in each of the columns and none
  // outside them.
  bool Rectangular = true;
};

// The extent of the counts as an analysis reads them (excluded cells are
// blank).
TContingencyExtent FindContingencyExtent(const TDataTable& table);

// Which categories a trend test orders.
enum class TTrendCategories {
  Columns,  // two rows; the proportion in the top row
  Rows,     // two columns; the proportion in the left column
};

// The trend test's statistic has one degree of freedom.
struct TTrendResult {
  TTrendCategories Categories = TTrendCategories::Columns;
  TReal ChiSquare = EmptyValue;
  TReal P = EmptyValue;
};

// One line of a totals table.
struct TRowTotal {
  std::int32_t Number = 0;  // the grid row number, from 1
  TReal Total = 0;
  TReal Percent = 0;
};
struct TColumnTotal {
  int Column = 0;  // its index in the grid
  std::string Title;
  TReal Total = 0;
  TReal Percent = 0;
  std::int32_t Excluded = 0;  // excluded counts of the column, left out
};

// The analysis reads the counts of the whole data table (the driver gives
// every column without a title its bare letter); there is nothing to choose.
struct TLargerTableRequest {};

// Every figure the report prints. A Status other than Ok means the table
// was refused and only the extent is set.
struct TLargerTableResult {
  TStatusCode Status = TStatusCode::Ok;
  TContingencyExtent Extent;
  TReal N = 0;
  TReal ChiSquare = 0;
  std::int32_t DF = 0;
  TReal P = EmptyValue;
  // Some expected count is at most 1, or at least 20% of them are at most 5.
  bool Invalid = false;
  TReal SmallestExpected = EmptyValue;
  std::int32_t SmallCells = 0;             // cells expecting 5 or fewer
  std::vector<TRowTotal> RowTotals;        // every row of the extent, empty ones included
  std::vector<TColumnTotal> ColumnTotals;  // columns whose total is above 0
  std::optional<TTrendResult> Trend;       // 2 x C (C > 2) or R x 2 (R > 2)
  // Cramer's V of the test for independence; empty for a single row or
  // column.
  TReal CramersV = EmptyValue;
};

// Chi-square test for trend over the ordered categories (scores are the
// grid positions, column A or the first grid row scoring 1), one degree of
// freedom.
TTrendResult chi_square_trend(const TDataTable& table, const TContingencyExtent& extent, TTrendCategories categories);

// The extent, the checks (34, 46, then 30, 31, 33 column by column, 32 row
// by row, a later code replacing an earlier one), the chi-square test for
// independence with df = (R - 1)(C - 1), the totals, and the trend test
// when it applies.
TLargerTableResult ComputeLargerTable(const TLargerTableRequest& request, const TDataTable& table);

// The report of a computed table (Status Ok), the totals tables at its end.
void WriteLargerTableReport(const TLargerTableResult& result, TReportText& report);

// The record of the table: choices, results, method facts and tables.
void FillLargerTableRecord(const TLargerTableResult& result, TAnalysisRecord& record);

// Entry point of the larger contingency table: computes (leaving the table's
// StatusCode Ok or the refusal), fills the record, sets the report's help
// topic (612) and, unless refused, writes the report. The caller runs it
// inside RunGuarded and then calls WriteErrorReport.
void RunLargerTable(const TLargerTableRequest& request, TAnalysisRun& run);

}  // namespace ombrel
