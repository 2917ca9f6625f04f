#include "core/entry/CombineVariables.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/entry/CellStore.h"
#include "core/entry/CellText.h"
#include "support/EntryTestSupport.h"

namespace ombrel {
namespace {

using test::NewTable;
using test::StoreColumn;

TEST(CombineTargetColumn, PrefersTheCurrentFreeColumnThenTheFirstFreeOne) {
  TDataTable table = NewTable();
  StoreColumn(table, 0, {1});
  StoreColumn(table, 1, {2});
  struct TRow {
    int Current;
    int Expected;
  };
  const TRow rows[] = {{4, 4}, {0, 2}, {1, 2}, {25, 25}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Current);
    EXPECT_EQ(CombineTargetColumn(table, row.Current), row.Expected);
  }
  for (int c = 0; c < MaxColumns; ++c) StoreColumn(table, c, {1});
  EXPECT_EQ(CombineTargetColumn(table, 3), -1);
}

TEST(CombineSourceColumns, ListsRawColumnsWithTheirTitles) {
  TDataTable table = NewTable();
  StoreColumn(table, 0, {1});
  StoreColumn(table, 3, {2});
  StoreColumnTitle(table, 3, "Weight");
  EXPECT_EQ(CombineSourceColumns(table), (std::vector<int>{0, 3}));
  EXPECT_EQ(CombineColumnItem(table, 0), "Column A");
  EXPECT_EQ(CombineColumnItem(table, 3), "D: Weight");
  EXPECT_EQ(CombinePrompt(2), "Create a new variable for column C");
}

TEST(CombineValue, AppliesEachOperatorAndRefusesImpossibleRows) {
  constexpr TReal E = EmptyValue;
  struct TRow {
    TReal A;
    TReal B;
    TCombineOperator Op;
    TReal Expected;
  };
  const TRow rows[] = {
      {7, 2, TCombineOperator::Plus, 9},
      {7, 2, TCombineOperator::Minus, 5},
      {7, 2, TCombineOperator::Times, 14},
      {7, 2, TCombineOperator::DividedBy, 3.5L},
      {7, 0, TCombineOperator::DividedBy, E},
      {0, 0, TCombineOperator::DividedBy, E},
      {7, 0, TCombineOperator::Minus, 7},
      {E, 2, TCombineOperator::Plus, E},
      {7, E, TCombineOperator::Times, E},
      {1e38L, 1e38L, TCombineOperator::Times, E},  // beyond the table's range
      {1.4e38L, -1.4e38L, TCombineOperator::Minus, E},
      {1e38L, 1e-38L, TCombineOperator::DividedBy, E},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string(1, OperatorSymbol(row.Op)) + " with " + std::to_string(static_cast<double>(row.A)) + ", " +
                 std::to_string(static_cast<double>(row.B)));
    EXPECT_EQ(CombineValue(row.A, row.B, row.Op), row.Expected);
  }
}

TEST(CombineColumns, DividesRowByRowSkippingZeroAndEmptyRows) {
  TDataTable table = NewTable();
  StoreColumn(table, 0, {1, 6, 5, EmptyValue, 8});
  StoreColumn(table, 1, {3, 2, 0, 4, 2});
  const int stored = CombineColumns(table, 0, 1, TCombineOperator::DividedBy, 2);
  EXPECT_EQ(stored, 3);
  EXPECT_EQ(table.GetValue(0, 2), 1.0L / 3.0L);
  EXPECT_EQ(table.GetValue(1, 2), 3);
  EXPECT_TRUE(table.IsCellEmpty(2, 2));  // divided by 0
  EXPECT_TRUE(table.IsCellEmpty(3, 2));  // no A value
  EXPECT_EQ(table.GetValue(4, 2), 4);
  EXPECT_EQ(table.Summary(2).Title, "A/B");
  EXPECT_EQ(table.MeanEntryColumn[2], 0);
  EXPECT_EQ(table.AutoDecimals[2], 8);
  EXPECT_EQ(FormatCellValue(table.GetValue(0, 2), table.DisplayDecimals(2)), "0.33333333");
  EXPECT_EQ(table.LastColumn(), 2);
}

TEST(CombineColumns, NamesTheNewColumnAfterItsOperands) {
  const TCombineOperator operators[] = {TCombineOperator::Plus, TCombineOperator::Minus, TCombineOperator::Times,
                                        TCombineOperator::DividedBy};
  const char* titles[] = {"C+A", "C-A", "C*A", "C/A"};
  for (std::size_t i = 0; i < 4; ++i) {
    TDataTable table = NewTable();
    StoreColumn(table, 0, {2});
    StoreColumn(table, 2, {3});
    (void)CombineColumns(table, 2, 0, operators[i], 5);
    EXPECT_EQ(table.Summary(5).Title, titles[i]);
  }
}

}  // namespace
}  // namespace ombrel
