#include "core/stats/CriticalTables.h"

#include <span>

namespace ombrel {

namespace {

const TRangeTable& RangeTable(TCriticalLevel level) {
  switch (level) {
    case TCriticalLevel::Five:
      return StudentizedRange5;
    case TCriticalLevel::One:
      return StudentizedRange1;
    case TCriticalLevel::PointOne:
      return StudentizedRange01;
  }
  return StudentizedRange5;
}

// Where a wanted number lies among the listed ones: the first listed entry
// not below it, and whether it is that entry itself.
struct TPlace {
  std::size_t Index = 0;
  bool Listed = true;
};

// Numbers of means or groups: beyond the last column the last column is
// taken as it stands, below the first the first.
TPlace PlaceColumn(std::span<const std::int32_t> listed, std::int32_t wanted, bool& beyond) {
  beyond = wanted > listed.back();
  if (beyond) return {listed.size() - 1, true};
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (listed[i] >= wanted) return {i, listed[i] == wanted || i == 0};
  }
  return {listed.size() - 1, true};
}

// Degrees of freedom: above the last finite row the infinite row is found,
// and beyond df 500 it is taken as it stands.
TPlace PlaceRow(std::span<const std::int32_t> listed, std::int32_t wanted) {
  if (wanted > InfiniteDF) return {listed.size() - 1, true};
  for (std::size_t i = 0; i < listed.size(); ++i) {
    if (listed[i] >= wanted) return {i, listed[i] == wanted || i == 0};
  }
  return {listed.size() - 1, true};
}

// Linear interpolation at x between (x0, y0) and (x1, y1).
TReal Between(std::int32_t x, std::int32_t x0, TReal y0, std::int32_t x1, TReal y1) {
  return y0 + static_cast<TReal>(x - x0) / static_cast<TReal>(x1 - x0) * (y1 - y0);
}

template <class TEntry>
TCriticalValue Lookup(std::span<const std::int32_t> listedColumns, std::span<const std::int32_t> listedRows,
                      std::int32_t wantedColumn, std::int32_t wantedRow, const TEntry& entry) {
  TCriticalValue result;
  const TPlace column = PlaceColumn(listedColumns, wantedColumn, result.BeyondTable);
  const TPlace row = PlaceRow(listedRows, wantedRow);
  // The value at one listed column, interpolated in df when df is not listed.
  const auto atColumn = [&](std::size_t c) {
    if (row.Listed) return entry(row.Index, c);
    const std::size_t below = row.Index - 1;
    return Between(wantedRow, listedRows[below], entry(below, c), listedRows[row.Index], entry(row.Index, c));
  };
  if (column.Listed) {
    result.Value = atColumn(column.Index);
  } else {
    const std::size_t before = column.Index - 1;
    result.Value = Between(wantedColumn, listedColumns[before], atColumn(before), listedColumns[column.Index],
                           atColumn(column.Index));
  }
  return result;
}

}  // namespace

TReal StudentizedRangeEntry(TCriticalLevel level, std::size_t row, std::size_t column) {
  return RangeTable(level)[row][column] * RangeTableScale(level, row);
}

TReal DunnettEntry(bool twoTailed, TCriticalLevel level, std::size_t row, std::size_t column) {
  const bool five = level == TCriticalLevel::Five;
  const std::int32_t stored = twoTailed ? (five ? DunnettTwoTailed5 : DunnettTwoTailed1)[row][column]
                                        : (five ? DunnettOneTailed5 : DunnettOneTailed1)[row][column];
  return static_cast<TReal>(stored + DunnettBase(twoTailed, level, row)) / 100;
}

TCriticalValue CriticalQ(std::int32_t df, std::int32_t means, TCriticalLevel level) {
  return Lookup(RangeTableMeans, RangeTableDF, means, df,
                [level](std::size_t row, std::size_t column) { return StudentizedRangeEntry(level, row, column); });
}

TCriticalValue CriticalDunnett(std::int32_t df, std::int32_t groups, bool twoTailed, TCriticalLevel level) {
  const auto entry = [twoTailed, level](std::size_t row, std::size_t column) {
    return DunnettEntry(twoTailed, level, row, column);
  };
  if (twoTailed) return Lookup(DunnettTwoTailedGroups, DunnettTableDF, groups, df, entry);
  return Lookup(DunnettOneTailedGroups, DunnettTableDF, groups, df, entry);
}

}  // namespace ombrel
