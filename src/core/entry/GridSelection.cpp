#include "core/entry/GridSelection.h"

#include <algorithm>

namespace ombrel {

TGridRect NormalizedRect(int column1, int row1, int column2, int row2) {
  return TGridRect{std::min(column1, column2), std::min(row1, row2), std::max(column1, column2), std::max(row1, row2)};
}

bool IsWholeRows(const TGridRect& rect) { return rect.Left == FirstDataGridColumn && rect.Right == LastDataGridColumn; }

bool IsWholeColumns(const TGridRect& rect, int lastGridRow) {
  return rect.Top == FirstDataGridRow && rect.Bottom == lastGridRow;
}

bool IsWholeTable(const TGridRect& rect, int lastGridRow) {
  return IsWholeRows(rect) && IsWholeColumns(rect, lastGridRow);
}

TSelectionKind SelectionKindOf(const TGridRect& rect, int lastGridRow) {
  if (IsWholeTable(rect, lastGridRow)) return TSelectionKind::Table;
  if (IsWholeRows(rect)) return TSelectionKind::Rows;
  if (IsWholeColumns(rect, lastGridRow)) return TSelectionKind::Columns;
  return TSelectionKind::Cells;
}

}  // namespace ombrel
