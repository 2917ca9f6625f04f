#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/base/DataTable.h"
#include "core/entry/GridSelection.h"

namespace ombrel {

// Inserting and deleting blocks, rows and columns of the data table with the
// data shifted to open or close the gap, and the per-column number format.
// Rows and columns are data coordinates (0-based). Row shifts stay inside the
// rows the grid shows (0 to LastShiftRow); what is pushed past that row or
// past column Z is dropped, so callers ask InsertPushesOutData first.

inline constexpr int LastShiftRow = RawGridRowCount - FirstDataGridRow - 1;  // data row 999

// A rectangle of data cells, First <= Last in both directions.
struct TCellBlock {
  int FirstRow = 0;
  int LastRow = 0;
  int FirstColumn = 0;
  int LastColumn = 0;

  bool operator==(const TCellBlock&) const = default;
};

// The data cells under a grid selection; header rows and the row-title
// column are left out.
TCellBlock BlockFromGridRect(const TGridRect& rect);

// What moves: the block's own columns ("Shift cells"), whole rows across A to
// Z, or whole columns over every row.
enum class TBlockShift { Cells, Rows, Columns };

// Deletes the block and closes the gap. Cells: each column of the block moves
// its cells below the block up by the block's height; the bottom rows become
// empty. Rows: the same across A to Z, and custom row titles move with their
// rows. Columns: the columns right of the block move left by its width with
// their values, exclude flags, decimals, titles and summaries; the columns
// freed at Z become empty. Emptied columns are ready for typed means again
// and the extents are recomputed.
void DeleteBlock(TDataTable& table, const TCellBlock& block, TBlockShift shift);

// Opens a gap the size of the block and leaves the block empty: Cells and
// Rows push the cells from the block's top row down by its height, Columns
// push the columns from its first column right by its width (with values,
// exclude flags, decimals, titles and summaries). What passes row
// LastShiftRow or column Z is dropped.
void InsertBlock(TDataTable& table, const TCellBlock& block, TBlockShift shift);

// True when InsertBlock would drop something the user entered: a value, a
// custom row title (Rows), or a column title or typed mean data (Columns).
bool InsertPushesOutData(const TDataTable& table, const TCellBlock& block, TBlockShift shift);

// Empties every cell of the block (exclude flags too), marks its columns
// changed, makes emptied columns ready for typed means, recomputes the
// extents and forgets the learned decimals of columns left without values.
void ClearBlock(TDataTable& table, const TCellBlock& block);

// The row title a new table gives a row: its number counted from 1.
std::string DefaultRowTitle(int row);

// The columns a number-format command sets and the label naming them: "For
// columns A-Z:" for the whole table; "For columns B-D:" when several columns
// are selected whole, or from the first row down to at least their last
// values; else "For column C:" for the current column alone.
struct TNumberFormatScope {
  int FirstColumn = 0;
  int LastColumn = 0;
  std::string Label;
};
TNumberFormatScope NumberFormatScope(const TDataTable& table, const TGridRect& selection, int currentColumn,
                                     int lastGridRow);

// The UserDecimals all columns of the scope share, or -1 when they differ or
// are automatic.
std::int32_t CommonUserDecimals(const TDataTable& table, int firstColumn, int lastColumn);

// The most decimals among a column's values, each written in fixed point with
// 14 decimals and trailing zeros dropped; values shown in scientific form do
// not count. 0 for a column without such values.
std::int32_t LargestValueDecimals(const TDataTable& table, int column);

// Sets UserDecimals of the scope's columns to `places` (-1 = automatic). A
// column switched to automatic raises its AutoDecimals to
// LargestValueDecimals so that no value is shown cut. Answers the columns
// whose UserDecimals changed (they need redisplay).
std::vector<int> ApplyNumberFormat(TDataTable& table, int firstColumn, int lastColumn, std::int32_t places);

}  // namespace ombrel
