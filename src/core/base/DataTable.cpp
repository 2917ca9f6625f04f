#include "core/base/DataTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace ombrel {

namespace {

std::string Truncated(std::string_view text, int maxLength) {
  return std::string(text.substr(0, static_cast<std::size_t>(maxLength)));
}

struct TDigitCounts {
  int Before = 0;  // digits before the point, at most 14
  int After = 0;   // digits after the point, trailing zeros trimmed
};

TDigitCounts CountDigits(TReal value) {
  const std::string text = ShortestDecimalText(value);
  TDigitCounts counts;
  const auto point = text.find('.');
  const std::string_view whole = std::string_view(text).substr(0, point);
  counts.Before =
      static_cast<int>(std::count_if(whole.begin(), whole.end(), [](char ch) { return ch >= '0' && ch <= '9'; }));
  counts.Before = std::min(counts.Before, 14);
  if (point != std::string::npos) counts.After = static_cast<int>(text.size() - point - 1);
  return counts;
}

}  // namespace

char ColumnLetter(int column) { return static_cast<char>('A' + column); }

std::string ShortestDecimalText(TReal value) {
  char buffer[128];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, result.ec == std::errc{} ? result.ptr : buffer);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return text;
}

bool NeedsScientific(TReal value) {
  const TReal magnitude = std::fabs(value);
  return value != 0 && (magnitude > 1e7L || magnitude <= 1e-4L);
}

void TColumnSummary::ClearStatistics() {
  std::string title = std::move(Title);
  *this = TColumnSummary{};
  Title = std::move(title);
}

TDataTable::TDataTable()
    : mCells(static_cast<std::size_t>(MaxRows * MaxColumns), EmptyValue),
      mExcluded(static_cast<std::size_t>(MaxRows * MaxColumns), 0),
      mScratch(static_cast<std::size_t>(MaxRows), EmptyValue),
      mRowTitles(static_cast<std::size_t>(MaxRows)) {
  for (int r = 0; r < MaxRows; ++r) mRowTitles[RowIndex(r)] = std::to_string(r + 1);
  UserDecimals.fill(-1);
  ColumnSelected.fill(1);
  ResetColumnMap();
  mColumnMapCount = -1;
  Clear();
}

std::size_t TDataTable::RowIndex(int row) { return static_cast<std::size_t>(std::clamp(row, 0, MaxRows - 1)); }

std::size_t TDataTable::ColumnIndex(int column) {
  return static_cast<std::size_t>(std::clamp(column, 0, MaxColumns - 1));
}

std::size_t TDataTable::Index(int row, int column) { return RowIndex(row) * MaxColumns + ColumnIndex(column); }

void TDataTable::Clear() {
  std::fill(mCells.begin(), mCells.end(), EmptyValue);
  std::fill(mExcluded.begin(), mExcluded.end(), std::uint8_t{0});
  mLastRow = 0;
  mLastColumn = 0;
  mEmpty = true;
  AutoDecimals.fill(0);
}

void TDataTable::ClearSummaries() {
  for (auto& summary : Summaries) summary = TColumnSummary{};
  ColumnSelected.fill(1);
}

void TDataTable::ResetForNewDocument() {
  Clear();
  ColumnChanged.fill(0);
  mTitle.clear();
  ClearSummaries();
  MeanEntryColumn.fill(1);
}

void TDataTable::SetValue(int row, int column, TReal value) {
  const std::size_t index = Index(row, column);
  mCells[index] = value;
  if (!IsEmpty(value)) {
    mLastRow = std::max(mLastRow, static_cast<int>(RowIndex(row)));
    mLastColumn = std::max(mLastColumn, static_cast<int>(ColumnIndex(column)));
    mEmpty = false;
  } else {
    mExcluded[index] = 0;
  }
  ColumnChanged[ColumnIndex(column)] = 1;
}

void TDataTable::ShrinkExtentsAfterErase(int row, int column) {
  if (row == mLastRow) {
    while (mLastRow > 0 && IsRowEmpty(mLastRow)) --mLastRow;
  }
  if (column == mLastColumn) {
    // A column of raw data stops the descent; a column that may hold typed
    // means does not keep the extent by itself.
    while (mLastColumn > 0 && MeanEntryColumn[ColumnIndex(mLastColumn)] == 1) --mLastColumn;
  }
}

bool TDataTable::IsRowEmpty(int row) const {
  for (int c = 0; c < MaxColumns; ++c)
    if (!IsCellEmpty(row, c)) return false;
  return true;
}

bool TDataTable::IsColumnEmpty(int column) const {
  for (int r = 0; r < MaxRows; ++r)
    if (!IsCellEmpty(r, column)) return false;
  return true;
}

bool TDataTable::HasData() const {
  if (mEmpty) return false;
  return std::any_of(mCells.begin(), mCells.end(), [](TReal v) { return !IsEmpty(v); });
}

TDataTable::TExtents TDataTable::FindExtents() const {
  TExtents extents;
  for (int r = 0; r < MaxRows; ++r)
    for (int c = 0; c < MaxColumns; ++c)
      if (!IsCellEmpty(r, c)) {
        extents.LastRow = std::max(extents.LastRow, r);
        extents.LastColumn = std::max(extents.LastColumn, c);
      }
  return extents;
}

bool TDataTable::RecalcExtents() {
  int row = mLastRow;
  while (row > 0 && IsRowEmpty(row)) --row;
  bool empty = row == 0 && IsRowEmpty(0);
  int column = mLastColumn;
  while (column > 0 && IsColumnEmpty(column)) --column;
  if (!IsColumnEmpty(column)) empty = false;
  mLastRow = row;
  mLastColumn = column;
  mEmpty = empty;
  return empty;
}

void TDataTable::SetExcluded(int row, int column, bool excluded) {
  if (excluded && IsCellEmpty(row, column)) return;
  mExcluded[Index(row, column)] = excluded ? 1 : 0;
  ColumnChanged[ColumnIndex(column)] = 1;
}

void TDataTable::ExcludeAllFilled() {
  for (std::size_t i = 0; i < mCells.size(); ++i) mExcluded[i] = IsEmpty(mCells[i]) ? 0 : 1;
}

void TDataTable::ClearExcludeFlags() { std::fill(mExcluded.begin(), mExcluded.end(), std::uint8_t{0}); }

TReal TDataTable::GetAnalysisValue(int row, int analysisColumn) const {
  const int column = MapColumn(analysisColumn);
  if (column < 0 || column > ScratchColumn) return EmptyValue;
  if (UseColumnSelection == 1 && column < MaxColumns && ColumnSelected[ColumnIndex(column)] == 0) return EmptyValue;
  if (column == ScratchColumn) return mScratch[RowIndex(row)];
  const TReal value = GetValue(row, column);
  if (!IsEmpty(value) && IsExcluded(row, column)) return EmptyValue;
  return value;
}

void TDataTable::SetAnalysisValue(int row, int analysisColumn, TReal value) {
  if (analysisColumn == ScratchColumn) {
    mScratch[RowIndex(row)] = value;
    return;
  }
  SetValue(row, analysisColumn, value);
}

void TDataTable::ClearScratchColumn() { std::fill(mScratch.begin(), mScratch.end(), EmptyValue); }

int TDataTable::MapColumn(int analysisColumn) const {
  if (mColumnMapCount < 0) return analysisColumn;
  if (analysisColumn < 0 || analysisColumn > MaxColumns) return -1;
  return mColumnMap[static_cast<std::size_t>(analysisColumn)];
}

int TDataTable::LastMappedColumn() const { return mColumnMapCount < 0 ? mLastColumn : mColumnMapCount - 1; }

void TDataTable::BuildColumnMap() {
  mColumnMap.fill(-1);
  std::int32_t count = 0;
  for (int c = 0; c <= mLastColumn; ++c) {
    if (Summary(c).N != 0 && ColumnSelected[ColumnIndex(c)] == 1) mColumnMap[static_cast<std::size_t>(count++)] = c;
  }
  mColumnMapCount = count;
}

void TDataTable::ResetColumnMap() {
  for (int i = 0; i <= MaxColumns; ++i) mColumnMap[static_cast<std::size_t>(i)] = i <= mLastColumn ? i : -1;
  mColumnMapCount = -1;
}

void TDataTable::SetRowTitle(int row, std::string_view text) {
  mRowTitles[RowIndex(row)] = Truncated(text, MaxRowTitleLength);
}

void TDataTable::SetRowTitleHeading(std::string_view text) {
  mRowTitleHeading = Truncated(text, MaxRowTitleHeadingLength);
}

void TDataTable::SetTitle(std::string_view text) { mTitle = Truncated(text, MaxTableTitleLength); }

void TDataTable::LearnDecimals(int column, TReal value) {
  if (IsEmpty(value) || NeedsScientific(value)) return;
  const TDigitCounts digits = CountDigits(value);
  const std::size_t c = ColumnIndex(column);
  if (UserDecimals[c] < 0) {
    if (AutoDecimals[c] + digits.Before <= 14 && AutoDecimals[c] < digits.After) AutoDecimals[c] = digits.After;
  } else if (UserDecimals[c] != digits.After && UserDecimals[c] + digits.Before > 14) {
    UserDecimals[c] = 14 - digits.Before;
  }
}

void TDataTable::LearnImportedDecimals(int column, TReal value) {
  if (IsEmpty(value) || NeedsScientific(value)) return;
  const TDigitCounts digits = CountDigits(value);
  const std::size_t c = ColumnIndex(column);
  if (UserDecimals[c] < 0) {
    if (digits.After + digits.Before <= 14 && AutoDecimals[c] < digits.After) AutoDecimals[c] = digits.After;
  } else if (UserDecimals[c] != digits.After && UserDecimals[c] + digits.Before > 14) {
    UserDecimals[c] = 14 - digits.Before;
  }
}

std::int32_t TDataTable::DisplayDecimals(int column) const {
  const std::size_t c = ColumnIndex(column);
  return UserDecimals[c] >= 0 ? UserDecimals[c] : AutoDecimals[c];
}

}  // namespace ombrel
