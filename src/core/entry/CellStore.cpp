#include "core/entry/CellStore.h"

#include <algorithm>

#include "core/base/Index.h"
#include "core/entry/CellText.h"

namespace ombrel {

namespace {

constexpr int SummaryMeanRow = 2;
constexpr int SummaryDispersionRow = 3;
constexpr int SummaryNRow = 4;

}  // namespace

std::string MeanDataQuestion(int column) {
  return std::string("Column ") + ColumnLetter(column) +
         " contains data entered as mean and error. You cannot enter raw data without erasing the mean data. "
         "Erase mean data?";
}

bool HoldsMeanData(const TDataTable& table, int column) {
  if (table.MeanEntryColumn[At(column)] == 0) return false;
  const TColumnSummary& summary = table.Summary(column);
  if (summary.N == 0) return false;
  return !(IsEmpty(summary.Mean) && IsEmpty(summary.SD) && IsEmpty(summary.SEM));
}

bool AllowRawValue(TDataTable& table, int column, const TAskEraseMeanData& askErase) {
  if (table.MeanEntryColumn[At(column)] == 0) return true;
  if (HoldsMeanData(table, column)) {
    if (!askErase || !askErase(column)) return false;
    TColumnSummary& summary = table.Summary(column);
    summary.Mean = EmptyValue;
    summary.SD = EmptyValue;
    summary.SEM = EmptyValue;
  }
  table.MeanEntryColumn[At(column)] = 0;
  return true;
}

void StoreCell(TDataTable& table, int row, int column, TReal value) {
  table.SetValue(row, column, value);
  if (!IsEmpty(value)) table.MeanEntryColumn[At(column)] = 0;
}

bool StoreCellAdjusted(TDataTable& table, int row, int column, TReal value) {
  table.SetValue(row, column, value);
  if (IsEmpty(value)) return false;
  table.MeanEntryColumn[At(column)] = 0;
  const int decimals = OwnDecimals(value);
  if (table.DisplayDecimals(column) >= decimals) return false;
  const bool grew = table.AutoDecimals[At(column)] != decimals;
  table.AutoDecimals[At(column)] = decimals;
  return grew;
}

void MarkColumnIfEmpty(TDataTable& table, int column) {
  if (!table.IsColumnEmpty(column)) return;
  table.MeanEntryColumn[At(column)] = 1;
  TColumnSummary& summary = table.Summary(column);
  summary.N = -1;
  summary.Mean = EmptyValue;
  summary.SD = EmptyValue;
  summary.SEM = EmptyValue;
}

void StoreColumnTitle(TDataTable& table, int column, std::string_view title) {
  table.Summary(column).Title = std::string(title.substr(0, static_cast<std::size_t>(MaxColumnTitleLength)));
}

TCommitResult CommitCellValue(TDataTable& table, int row, int column, TReal value, const TAskEraseMeanData& askErase) {
  TCommitResult result;
  const TReal old = table.GetValue(row, column);
  if (value == old) return result;

  if (!IsEmpty(value)) {
    const bool heldMeanData = HoldsMeanData(table, column);
    if (!AllowRawValue(table, column, askErase)) {
      result.Outcome = TCommitOutcome::Declined;
      return result;
    }
    if (heldMeanData) result.Redisplay = TRedisplay::Column;

    const std::int32_t autoBefore = table.AutoDecimals[At(column)];
    const std::int32_t userBefore = table.UserDecimals[At(column)];
    table.LearnDecimals(column, value);
    if (table.AutoDecimals[At(column)] != autoBefore || table.UserDecimals[At(column)] != userBefore)
      result.Redisplay = TRedisplay::Column;
  }

  table.SetValue(row, column, value);
  if (IsEmpty(value)) table.ShrinkExtentsAfterErase(row, column);
  result.Outcome = TCommitOutcome::Stored;
  return result;
}

TCommitResult CommitCellText(TDataTable& table, int row, int column, std::string_view text,
                             const TAskEraseMeanData& askErase) {
  return CommitCellValue(table, row, column, ParseCellText(text), askErase);
}

TCommitOutcome StoreTitleAsValue(TDataTable& table, int column, std::string_view title,
                                 const TAskEraseMeanData& askErase) {
  const TReal value = ParseCellText(title);
  if (IsEmpty(value)) return TCommitOutcome::Unchanged;
  if (!AllowRawValue(table, column, askErase)) return TCommitOutcome::Declined;
  StoreCellAdjusted(table, 0, column, value);
  table.Summary(column).Title.clear();
  return TCommitOutcome::Stored;
}

bool IsSummaryEntryCell(const TDataTable& table, int column, int gridRow) {
  return gridRow >= SummaryMeanRow && gridRow <= SummaryNRow && table.MeanEntryColumn[At(column)] != 0;
}

TReal SummaryEntryValue(const TDataTable& table, int column, int gridRow, bool sdFormat) {
  const TColumnSummary& summary = table.Summary(column);
  switch (gridRow) {
    case SummaryMeanRow:
      return summary.Mean;
    case SummaryDispersionRow:
      return sdFormat ? summary.SD : summary.SEM;
    case SummaryNRow:
      return static_cast<TReal>(summary.N);
    default:
      return EmptyValue;
  }
}

}  // namespace ombrel
