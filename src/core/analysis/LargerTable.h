#pragma once

// The analysis of a contingency table of counts entered in the data table
// (grid rows are its rows, grid columns its columns): the chi-square test for
// independence, with a warning when the expected counts are too small, and
// the chi-square test for trend when the table has two rows or two columns.
// Everything is computed into TLargerTableResult first; the report is written
// from it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
  std::string Title;
  TReal Total = 0;
  TReal Percent = 0;
};

// Every figure the report prints. A StatusCode other than 0 means the table
// was refused and only the extent is set.
struct TLargerTableResult {
  TStatusCode StatusCode = TStatusCode::Ok;
  TContingencyExtent Extent;
  TReal N = 0;
  TReal ChiSquare = 0;
  std::int32_t DF = 0;
  TReal P = EmptyValue;
  // Some expected count is at most 1, or at least 20% of them are at most 5.
  bool Invalid = false;
  std::vector<TRowTotal> RowTotals;        // every row of the extent, empty ones included
  std::vector<TColumnTotal> ColumnTotals;  // columns whose total is above 0
  std::optional<TTrendResult> Trend;       // 2 x C (C > 2) or R x 2 (R > 2)
};

// Chi-square test for trend over the ordered categories (scores are the
// grid positions, column A or the first grid row scoring 1), one degree of
// freedom.
TTrendResult chi_square_trend(const TDataTable& table, const TContingencyExtent& extent, TTrendCategories categories);

// The extent, the checks (34, 46, then 30, 31, 33 column by column, 32 row
// by row, a later code replacing an earlier one), the chi-square test for
// independence with df = (R - 1)(C - 1), the totals, and the trend test
// when it applies.
TLargerTableResult chi_square_independence(const TDataTable& table);

// The row and column totals tables, each closed by the grand total and an
// empty line.
void WriteTotalsTables(TReportText& report, const TLargerTableResult& result);

// The report of a table that was not refused; `totals` holds the totals
// tables, which are appended at its end.
void WriteLargerTableReport(TReportText& report, TReportText& totals, const TLargerTableResult& result);

// Entry point of the larger contingency table: the chi-square test for
// independence and, where it applies, for trend. The driver has given every
// column with an empty title its bare letter. Sets StatusCode to 0, takes a
// scratch report for the totals (OutOfMemory when it cannot be had), writes the
// report body, sets the report's help topic (612) and returns StatusCode.
// The caller runs it inside RunGuarded and then calls WriteErrorReport.
TStatusCode RunLargerTable(TDataTable& table, TReportText& report);

}  // namespace ombrel
