#include "core/entry/BlockOperations.h"

#include <algorithm>
#include <charconv>

#include "core/base/Index.h"
#include "core/entry/CellStore.h"
#include "core/base/NumberText.h"

namespace ombrel {

namespace {

TCellBlock Clamped(const TCellBlock& block) {
  TCellBlock result;
  result.FirstRow = std::clamp(std::min(block.FirstRow, block.LastRow), 0, LastShiftRow);
  result.LastRow = std::clamp(std::max(block.FirstRow, block.LastRow), 0, LastShiftRow);
  result.FirstColumn = std::clamp(std::min(block.FirstColumn, block.LastColumn), 0, MaxColumns - 1);
  result.LastColumn = std::clamp(std::max(block.FirstColumn, block.LastColumn), 0, MaxColumns - 1);
  return result;
}

bool IsCustomRowTitle(const TDataTable& table, int row) { return table.RowTitle(row) != DefaultRowTitle(row); }

// A cell takes another's value and exclude flag; a number makes its column
// a raw-data column.
void MoveCell(TDataTable& table, int toRow, int fromRow, int column) {
  const bool excluded = table.IsExcluded(fromRow, column);
  StoreCell(table, toRow, column, table.GetValue(fromRow, column));
  table.SetExcluded(toRow, column, excluded);
}

void EmptyCell(TDataTable& table, int row, int column) {
  table.SetValue(row, column, EmptyValue);
  table.SetExcluded(row, column, false);
}

// A custom row title travels with its row; a numbering title stays the
// number of the row it lands on.
void MoveRowTitle(TDataTable& table, int toRow, int fromRow) {
  table.SetRowTitle(toRow, IsCustomRowTitle(table, fromRow) ? table.RowTitle(fromRow) : DefaultRowTitle(toRow));
}

// A column is one unit: its values, exclude flags, decimals, title, summary
// (typed means included) and its mean-entry and selection flags.
void MoveColumn(TDataTable& table, int toColumn, int fromColumn) {
  for (int r = 0; r < MaxRows; ++r) {
    const bool excluded = table.IsExcluded(r, fromColumn);
    table.SetValue(r, toColumn, table.GetValue(r, fromColumn));
    table.SetExcluded(r, toColumn, excluded);
  }
  table.AutoDecimals[At(toColumn)] = table.AutoDecimals[At(fromColumn)];
  table.UserDecimals[At(toColumn)] = table.UserDecimals[At(fromColumn)];
  table.Summary(toColumn) = table.Summary(fromColumn);
  table.MeanEntryColumn[At(toColumn)] = table.MeanEntryColumn[At(fromColumn)];
  table.ColumnSelected[At(toColumn)] = table.ColumnSelected[At(fromColumn)];
  table.ColumnChanged[At(toColumn)] = 1;
}

// The column a new table has: empty, automatic decimals, no title.
void ResetColumn(TDataTable& table, int column) {
  for (int r = 0; r < MaxRows; ++r) EmptyCell(table, r, column);
  table.AutoDecimals[At(column)] = 0;
  table.UserDecimals[At(column)] = -1;
  table.Summary(column) = TColumnSummary{};
  table.ColumnSelected[At(column)] = 1;
  MarkColumnIfEmpty(table, column);
}

// Extents and decimals after values were moved or erased: columns left
// without raw values are ready for typed means and learn their decimals anew.
// A column holding typed means has no values to lose; marking it would erase
// the means, so it is left as it is.
void FinishChange(TDataTable& table, int firstColumn, int lastColumn) {
  for (int c = firstColumn; c <= lastColumn; ++c) {
    table.ColumnChanged[At(c)] = 1;
    if (!HoldsMeanData(table, c)) MarkColumnIfEmpty(table, c);
  }
  table.RecalcExtents();
  for (int c = 0; c < MaxColumns; ++c)
    if (table.MeanEntryColumn[At(c)] != 0) table.AutoDecimals[At(c)] = 0;
}

TCellBlock ShiftedColumns(const TCellBlock& block, TBlockShift shift) {
  TCellBlock result = block;
  if (shift == TBlockShift::Rows) {
    result.FirstColumn = 0;
    result.LastColumn = MaxColumns - 1;
  }
  return result;
}

void DeleteRowsOf(TDataTable& table, const TCellBlock& block, bool moveRowTitles) {
  const int height = block.LastRow - block.FirstRow + 1;
  for (int r = block.FirstRow; r <= LastShiftRow; ++r) {
    const int from = r + height;
    for (int c = block.FirstColumn; c <= block.LastColumn; ++c) {
      if (from <= LastShiftRow)
        MoveCell(table, r, from, c);
      else
        EmptyCell(table, r, c);
    }
    if (moveRowTitles) {
      if (from <= LastShiftRow)
        MoveRowTitle(table, r, from);
      else
        table.SetRowTitle(r, DefaultRowTitle(r));
    }
  }
  FinishChange(table, block.FirstColumn, block.LastColumn);
}

void InsertRowsOf(TDataTable& table, const TCellBlock& block, bool moveRowTitles) {
  const int height = block.LastRow - block.FirstRow + 1;
  for (int r = LastShiftRow; r > block.LastRow; --r) {
    for (int c = block.FirstColumn; c <= block.LastColumn; ++c) MoveCell(table, r, r - height, c);
    if (moveRowTitles) MoveRowTitle(table, r, r - height);
  }
  if (moveRowTitles)
    for (int r = block.FirstRow; r <= block.LastRow; ++r) table.SetRowTitle(r, DefaultRowTitle(r));
  ClearBlock(table, block);
}

}  // namespace

TCellBlock BlockFromGridRect(const TGridRect& rect) {
  return Clamped(TCellBlock{rect.Top - FirstDataGridRow, rect.Bottom - FirstDataGridRow,
                            rect.Left - FirstDataGridColumn, rect.Right - FirstDataGridColumn});
}

std::string DefaultRowTitle(int row) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, row + 1);
  return std::string(buffer, result.ptr);
}

void ClearBlock(TDataTable& table, const TCellBlock& rawBlock) {
  const TCellBlock block = Clamped(rawBlock);
  for (int c = block.FirstColumn; c <= block.LastColumn; ++c)
    for (int r = block.FirstRow; r <= block.LastRow; ++r) EmptyCell(table, r, c);
  FinishChange(table, block.FirstColumn, block.LastColumn);
}

void DeleteBlock(TDataTable& table, const TCellBlock& rawBlock, TBlockShift shift) {
  const TCellBlock block = Clamped(rawBlock);
  if (shift != TBlockShift::Columns) {
    DeleteRowsOf(table, ShiftedColumns(block, shift), shift == TBlockShift::Rows);
    return;
  }
  const int width = block.LastColumn - block.FirstColumn + 1;
  for (int c = block.FirstColumn; c < MaxColumns; ++c) {
    if (c + width < MaxColumns)
      MoveColumn(table, c, c + width);
    else
      ResetColumn(table, c);
  }
  FinishChange(table, block.FirstColumn, MaxColumns - 1);
}

void InsertBlock(TDataTable& table, const TCellBlock& rawBlock, TBlockShift shift) {
  const TCellBlock block = Clamped(rawBlock);
  if (shift != TBlockShift::Columns) {
    InsertRowsOf(table, ShiftedColumns(block, shift), shift == TBlockShift::Rows);
    return;
  }
  const int width = block.LastColumn - block.FirstColumn + 1;
  for (int c = MaxColumns - 1; c > block.LastColumn; --c) MoveColumn(table, c, c - width);
  for (int c = block.FirstColumn; c <= block.LastColumn; ++c) ResetColumn(table, c);
  FinishChange(table, block.FirstColumn, MaxColumns - 1);
}

bool InsertPushesOutData(const TDataTable& table, const TCellBlock& rawBlock, TBlockShift shift) {
  const TCellBlock block = ShiftedColumns(Clamped(rawBlock), shift);
  if (shift == TBlockShift::Columns) {
    const int width = block.LastColumn - block.FirstColumn + 1;
    for (int c = std::max(block.FirstColumn, MaxColumns - width); c < MaxColumns; ++c) {
      if (!table.IsColumnEmpty(c) || !table.Summary(c).Title.empty() || HoldsMeanData(table, c)) return true;
    }
    return false;
  }
  const int height = block.LastRow - block.FirstRow + 1;
  for (int r = std::max(block.FirstRow, LastShiftRow + 1 - height); r <= LastShiftRow; ++r) {
    if (shift == TBlockShift::Rows && IsCustomRowTitle(table, r)) return true;
    for (int c = block.FirstColumn; c <= block.LastColumn; ++c)
      if (!table.IsCellEmpty(r, c)) return true;
  }
  return false;
}

TNumberFormatScope NumberFormatScope(const TDataTable& table, const TGridRect& selection, int currentColumn,
                                     int lastGridRow) {
  const TCellBlock block = BlockFromGridRect(selection);
  const auto range = [](int first, int last) {
    return TNumberFormatScope{first, last,
                              std::string("For columns ") + ColumnLetter(first) + "-" + ColumnLetter(last) + ":"};
  };
  if (IsWholeTable(selection, lastGridRow)) return range(0, MaxColumns - 1);

  bool coversValues = selection.Top == FirstDataGridRow;
  for (int c = block.FirstColumn; coversValues && c <= block.LastColumn; ++c) {
    for (int r = LastShiftRow; r > block.LastRow; --r) {
      if (!table.IsCellEmpty(r, c)) {
        coversValues = false;
        break;
      }
    }
  }
  if ((IsWholeColumns(selection, lastGridRow) || coversValues) && block.LastColumn > block.FirstColumn)
    return range(block.FirstColumn, block.LastColumn);

  const int column = std::clamp(currentColumn, 0, MaxColumns - 1);
  return TNumberFormatScope{column, column, std::string("For column ") + ColumnLetter(column) + ":"};
}

std::int32_t CommonUserDecimals(const TDataTable& table, int firstColumn, int lastColumn) {
  const std::int32_t first = table.UserDecimals[At(firstColumn)];
  for (int c = firstColumn + 1; c <= lastColumn; ++c)
    if (table.UserDecimals[At(c)] != first) return -1;
  return first;
}

std::int32_t LargestValueDecimals(const TDataTable& table, int column) {
  std::int32_t largest = 0;
  for (int r = 0; r < MaxRows; ++r) {
    const TReal value = table.GetValue(r, column);
    if (IsEmpty(value) || NeedsScientific(value)) continue;
    std::string text = FormatFixed(value, 14);
    const std::size_t point = text.find('.');
    if (point == std::string::npos) continue;
    while (!text.empty() && text.back() == '0') text.pop_back();
    largest = std::max(largest, static_cast<std::int32_t>(text.size() - point - 1));
  }
  return largest;
}

std::vector<int> ApplyNumberFormat(TDataTable& table, int firstColumn, int lastColumn, std::int32_t places) {
  std::vector<int> changed;
  firstColumn = std::clamp(firstColumn, 0, MaxColumns - 1);
  lastColumn = std::clamp(lastColumn, firstColumn, MaxColumns - 1);
  for (int c = firstColumn; c <= lastColumn; ++c) {
    if (table.UserDecimals[At(c)] == places) continue;
    table.UserDecimals[At(c)] = places;
    if (places < 0) table.AutoDecimals[At(c)] = std::max(table.AutoDecimals[At(c)], LargestValueDecimals(table, c));
    changed.push_back(c);
  }
  return changed;
}

}  // namespace ombrel
