#pragma once

namespace ombrel {

// Grid geometry shared by the two spreadsheet grids: grid column c shows data
// column c - 1 and grid row r data row r - 2; row 0 holds the headings, row 1
// the column titles, column 0 the row titles (or the summary captions).
inline constexpr int GridColumnCount = 27;
inline constexpr int FirstDataGridColumn = 1;
inline constexpr int LastDataGridColumn = 26;
inline constexpr int FirstDataGridRow = 2;
inline constexpr int RawGridRowCount = 1002;  // data rows 0..999
inline constexpr int StatGridRowCount = 18;   // summary rows 2..17

// A selection rectangle in grid coordinates, Left <= Right and Top <= Bottom
// once normalised.
struct TGridRect {
  int Left = FirstDataGridColumn;
  int Top = FirstDataGridRow;
  int Right = FirstDataGridColumn;
  int Bottom = FirstDataGridRow;

  bool operator==(const TGridRect&) const = default;
};

// The rectangle spanned by two corners in any order.
TGridRect NormalizedRect(int column1, int row1, int column2, int row2);

// Every data column over every data row up to `lastGridRow`.
bool IsWholeTable(const TGridRect& rect, int lastGridRow);
// Columns 1 to 26, any rows.
bool IsWholeRows(const TGridRect& rect);
// Rows 2 to `lastGridRow`, any columns.
bool IsWholeColumns(const TGridRect& rect, int lastGridRow);

// What a selection covers, most specific first (a whole table is also whole
// rows and whole columns).
enum class TSelectionKind { Cells, Columns, Rows, Table };
TSelectionKind SelectionKindOf(const TGridRect& rect, int lastGridRow);

}  // namespace ombrel
