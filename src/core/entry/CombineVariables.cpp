#include "core/entry/CombineVariables.h"

#include <cfenv>
#include <cmath>

#include "core/entry/CellStore.h"

namespace ombrel {

namespace {

bool HoldsNoRawValues(const TDataTable& table, int column) {
  return table.MeanEntryColumn[static_cast<std::size_t>(column)] != 0;
}

}  // namespace

char OperatorSymbol(TCombineOperator op) {
  switch (op) {
    case TCombineOperator::Plus:
      return '+';
    case TCombineOperator::Minus:
      return '-';
    case TCombineOperator::Times:
      return '*';
    case TCombineOperator::DividedBy:
      return '/';
  }
  return '-';
}

int CombineTargetColumn(const TDataTable& table, int currentColumn) {
  if (currentColumn >= 0 && currentColumn < MaxColumns && HoldsNoRawValues(table, currentColumn)) return currentColumn;
  for (int c = 0; c < MaxColumns; ++c)
    if (HoldsNoRawValues(table, c)) return c;
  return -1;
}

std::vector<int> CombineSourceColumns(const TDataTable& table) {
  std::vector<int> columns;
  for (int c = 0; c < MaxColumns; ++c)
    if (!HoldsNoRawValues(table, c)) columns.push_back(c);
  return columns;
}

std::string CombineColumnItem(const TDataTable& table, int column) {
  const std::string& title = table.Summary(column).Title;
  if (title.empty()) return std::string("Column ") + ColumnLetter(column);
  return std::string(1, ColumnLetter(column)) + ": " + title;
}

std::string CombinePrompt(int targetColumn) {
  return std::string("Create a new variable for column ") + ColumnLetter(targetColumn);
}

TReal CombineValue(TReal a, TReal b, TCombineOperator op) {
  if (IsEmpty(a) || IsEmpty(b)) return EmptyValue;
  if (op == TCombineOperator::DividedBy && b == 0) return EmptyValue;
  std::fexcept_t saved{};
  std::fegetexceptflag(&saved, FE_ALL_EXCEPT);
  std::feclearexcept(FE_ALL_EXCEPT);
  TReal value = 0;
  switch (op) {
    case TCombineOperator::Plus:
      value = a + b;
      break;
    case TCombineOperator::Minus:
      value = a - b;
      break;
    case TCombineOperator::Times:
      value = a * b;
      break;
    case TCombineOperator::DividedBy:
      value = a / b;
      break;
  }
  const bool faulted = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW) != 0;
  std::fesetexceptflag(&saved, FE_ALL_EXCEPT);
  // Beyond the entry range a value could collide with the empty marker and
  // would not survive saving and reading the document.
  if (faulted || !std::isfinite(value) || std::fabs(value) > MaxEnteredValue) return EmptyValue;
  return value;
}

int CombineColumns(TDataTable& table, int first, int second, TCombineOperator op, int target) {
  int stored = 0;
  const int lastRow = table.LastRow();
  for (int r = 0; r <= lastRow; ++r) {
    const TReal value = CombineValue(table.GetValue(r, first), table.GetValue(r, second), op);
    if (IsEmpty(value)) continue;
    StoreCellAdjusted(table, r, target, value);
    ++stored;
  }
  StoreColumnTitle(table, target, std::string{ColumnLetter(first), OperatorSymbol(op), ColumnLetter(second)});
  return stored;
}

}  // namespace ombrel
