#include "core/base/TableChange.h"

namespace ombrel {

namespace {

template <typename T>
void Patch(T& field, const T& from, const T& to) {
  if (!(from == to)) field = to;
}

// Per column, so that an edit of one column's summary leaves the others
// alone; a column whose values come back gets all of its fields back, as
// they went with those values, even where the step did not change them
// (its summary may have been computed since).
template <typename T, std::size_t N>
void Patch(std::array<T, N>& field, const std::array<T, N>& from, const std::array<T, N>& to,
           const std::array<bool, MaxColumns>& restored) {
  for (std::size_t i = 0; i < N; ++i) {
    if (i < restored.size() && restored[i])
      field[i] = to[i];
    else
      Patch(field[i], from[i], to[i]);
  }
}

template <typename TCell>
void CollectCells(std::vector<TCell>& changes, const std::vector<TReal>& before, const std::vector<TReal>& after,
                  const std::vector<std::uint8_t>* excludedBefore, const std::vector<std::uint8_t>* excludedAfter) {
  for (std::size_t i = 0; i < before.size(); ++i) {
    const std::uint8_t wasExcluded = excludedBefore != nullptr ? (*excludedBefore)[i] : 0;
    const std::uint8_t isExcluded = excludedAfter != nullptr ? (*excludedAfter)[i] : 0;
    // Bitwise equal values are equal; the empty marker compares equal to itself.
    if (before[i] == after[i] && wasExcluded == isExcluded) continue;
    changes.push_back({static_cast<std::uint32_t>(i), wasExcluded, isExcluded, before[i], after[i]});
  }
}

}  // namespace

TTableChange::TFields TTableChange::FieldsOf(const TDataTable& table) {
  TFields fields;
  fields.Title = table.mTitle;
  fields.RowTitleHeading = table.mRowTitleHeading;
  fields.Summaries = table.Summaries;
  fields.AutoDecimals = table.AutoDecimals;
  fields.UserDecimals = table.UserDecimals;
  fields.MeanEntryColumn = table.MeanEntryColumn;
  fields.ColumnChanged = table.ColumnChanged;
  fields.ColumnSelected = table.ColumnSelected;
  fields.UseColumnSelection = table.UseColumnSelection;
  fields.StatusCode = table.StatusCode;
  fields.ColumnMap = table.mColumnMap;
  fields.ColumnMapCount = table.mColumnMapCount;
  fields.LastRow = table.mLastRow;
  fields.LastColumn = table.mLastColumn;
  fields.Empty = table.mEmpty;
  return fields;
}

void TTableChange::PatchFields(TDataTable& table, const TFields& from, const TFields& to,
                               const std::array<bool, MaxColumns>& restored) {
  Patch(table.mTitle, from.Title, to.Title);
  Patch(table.mRowTitleHeading, from.RowTitleHeading, to.RowTitleHeading);
  Patch(table.Summaries, from.Summaries, to.Summaries, restored);
  Patch(table.AutoDecimals, from.AutoDecimals, to.AutoDecimals, restored);
  Patch(table.UserDecimals, from.UserDecimals, to.UserDecimals, restored);
  Patch(table.MeanEntryColumn, from.MeanEntryColumn, to.MeanEntryColumn, restored);
  Patch(table.ColumnChanged, from.ColumnChanged, to.ColumnChanged, restored);
  Patch(table.ColumnSelected, from.ColumnSelected, to.ColumnSelected, restored);
  Patch(table.UseColumnSelection, from.UseColumnSelection, to.UseColumnSelection);
  Patch(table.StatusCode, from.StatusCode, to.StatusCode);
  Patch(table.mColumnMap, from.ColumnMap, to.ColumnMap, {});
  Patch(table.mColumnMapCount, from.ColumnMapCount, to.ColumnMapCount);
  // The extents describe the cells, which are restored together with them.
  table.mLastRow = to.LastRow;
  table.mLastColumn = to.LastColumn;
  table.mEmpty = to.Empty;
}

TTableChange TTableChange::Between(const TDataTable& before, const TDataTable& after) {
  TTableChange change;
  CollectCells(change.mCells, before.mCells, after.mCells, &before.mExcluded, &after.mExcluded);
  CollectCells(change.mScratch, before.mScratch, after.mScratch, nullptr, nullptr);
  for (std::size_t row = 0; row < before.mRowTitles.size(); ++row) {
    if (before.mRowTitles[row] == after.mRowTitles[row]) continue;
    change.mRowTitles.push_back({static_cast<std::uint32_t>(row), before.mRowTitles[row], after.mRowTitles[row]});
  }
  TFields fieldsBefore = FieldsOf(before);
  TFields fieldsAfter = FieldsOf(after);
  // A change of values keeps the fields too: their columns' summaries are
  // given back with them.
  if (!(fieldsBefore == fieldsAfter) || !change.mCells.empty())
    change.mFields = TFieldsChange{std::move(fieldsBefore), std::move(fieldsAfter)};
  return change;
}

void TTableChange::Restore(TDataTable& table, bool after) const {
  for (const TCellChange& cell : mCells) {
    table.mCells[cell.Index] = after ? cell.After : cell.Before;
    table.mExcluded[cell.Index] = after ? cell.ExcludedAfter : cell.ExcludedBefore;
  }
  for (const TCellChange& cell : mScratch) table.mScratch[cell.Index] = after ? cell.After : cell.Before;
  for (const TRowTitleChange& title : mRowTitles) table.mRowTitles[title.Row] = after ? title.After : title.Before;
  if (mFields) {
    std::array<bool, MaxColumns> restored{};
    for (const TCellChange& cell : mCells) restored[cell.Index % MaxColumns] = true;
    if (after)
      PatchFields(table, mFields->Before, mFields->After, restored);
    else
      PatchFields(table, mFields->After, mFields->Before, restored);
  }
}

void TTableChange::Revert(TDataTable& table) const { Restore(table, false); }

void TTableChange::Apply(TDataTable& table) const { Restore(table, true); }

std::size_t TTableChange::MemoryUsed() const {
  std::size_t bytes = sizeof(*this) + (mCells.capacity() + mScratch.capacity()) * sizeof(TCellChange) +
                      mRowTitles.capacity() * sizeof(TRowTitleChange);
  for (const TRowTitleChange& title : mRowTitles) bytes += title.Before.capacity() + title.After.capacity();
  if (mFields) {
    bytes += sizeof(TFieldsChange);
    for (const TFields* fields : {&mFields->Before, &mFields->After}) {
      bytes += fields->Title.capacity() + fields->RowTitleHeading.capacity();
      for (const TColumnSummary& summary : fields->Summaries) bytes += summary.Title.capacity();
    }
  }
  return bytes;
}

}  // namespace ombrel
