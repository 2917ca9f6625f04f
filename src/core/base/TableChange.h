#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/base/DataTable.h"

namespace ombrel {

// What one edit did to a data table, kept small enough to hold many of:
// the cells (value and exclude flag), scratch values and row titles that
// differ between the two states, and the table's other fields (titles,
// summaries, decimals, flags, extents) before and after when any of them
// differ. Revert and Apply touch only what differed, so a field that the
// edit left alone keeps whatever value it has by then.
class TTableChange {
 public:
  // The change that turns `before` into `after`.
  static TTableChange Between(const TDataTable& before, const TDataTable& after);

  bool IsEmpty() const { return mCells.empty() && mScratch.empty() && mRowTitles.empty() && !mFields; }
  // Brings `table` back to the state before the edit.
  void Revert(TDataTable& table) const;
  // Brings `table` to the state after the edit.
  void Apply(TDataTable& table) const;
  // Bytes held, for limiting a history of changes.
  std::size_t MemoryUsed() const;

 private:
  struct TCellChange {
    std::uint32_t Index = 0;
    std::uint8_t ExcludedBefore = 0;
    std::uint8_t ExcludedAfter = 0;
    TReal Before = EmptyValue;
    TReal After = EmptyValue;
  };
  struct TRowTitleChange {
    std::uint32_t Row = 0;
    std::string Before;
    std::string After;
  };
  // The fields that are not per cell or per row.
  struct TFields {
    std::string Title;
    std::string RowTitleHeading;
    std::array<TColumnSummary, MaxColumns> Summaries{};
    std::array<std::int32_t, MaxColumns> AutoDecimals{};
    std::array<std::int32_t, MaxColumns> UserDecimals{};
    std::array<std::uint8_t, MaxColumns> MeanEntryColumn{};
    std::array<std::uint8_t, MaxColumns> ColumnChanged{};
    std::array<std::uint8_t, MaxColumns> ColumnSelected{};
    std::uint8_t UseColumnSelection = 0;
    TStatusCode StatusCode = TStatusCode::Ok;
    std::array<std::int32_t, MaxColumns + 1> ColumnMap{};
    std::int32_t ColumnMapCount = -1;
    int LastRow = 0;
    int LastColumn = 0;
    bool Empty = true;

    bool operator==(const TFields&) const = default;
  };
  struct TFieldsChange {
    TFields Before;
    TFields After;
  };

  static TFields FieldsOf(const TDataTable& table);
  // Sets each field of `table` that differs between `from` and `to` to its value in `to`.
  // Sets each field that differs between `from` and `to` to `to`; the
  // per-column fields of the columns in `restored` are set to `to` anyway.
  static void PatchFields(TDataTable& table, const TFields& from, const TFields& to,
                          const std::array<bool, MaxColumns>& restored);
  void Restore(TDataTable& table, bool after) const;

  std::vector<TCellChange> mCells;
  std::vector<TCellChange> mScratch;
  std::vector<TRowTitleChange> mRowTitles;
  std::optional<TFieldsChange> mFields;
};

}  // namespace ombrel
