#include <gtest/gtest.h>

#include "core/base/DataTable.h"
#include "core/base/TwoByTwoTable.h"

namespace ombrel {
namespace {

TEST(DataTable, NewTableIsEmptyWithDefaults) {
  TDataTable table;
  EXPECT_FALSE(table.HasData());
  EXPECT_EQ(table.LastRow(), 0);
  EXPECT_EQ(table.LastColumn(), 0);
  EXPECT_TRUE(table.IsCellEmpty(1000, 25));
  EXPECT_EQ(table.RowTitle(0), "1");
  EXPECT_EQ(table.RowTitle(1000), "1001");
  for (int c = 0; c < MaxColumns; ++c) {
    EXPECT_EQ(table.UserDecimals[static_cast<std::size_t>(c)], -1);
    EXPECT_EQ(table.ColumnSelected[static_cast<std::size_t>(c)], 1);
  }
  EXPECT_FALSE(table.ColumnMapActive());
}

TEST(DataTable, SingleValueAtOriginIsData) {
  TDataTable table;
  table.SetValue(0, 0, 3);
  EXPECT_TRUE(table.HasData());
  EXPECT_EQ(table.LastRow(), 0);
  EXPECT_EQ(table.LastColumn(), 0);
  EXPECT_EQ(table.ColumnChanged[0], 1);
}

TEST(DataTable, ExtentsGrowOnSetAndShrinkOnlyWhenAsked) {
  TDataTable table;
  table.MeanEntryColumn.fill(1);
  table.SetValue(5, 3, 1);
  table.SetValue(2, 1, 1);
  EXPECT_EQ(table.LastRow(), 5);
  EXPECT_EQ(table.LastColumn(), 3);
  table.SetValue(5, 3, EmptyValue);
  EXPECT_EQ(table.LastRow(), 5);  // SetValue never shrinks
  table.ShrinkExtentsAfterErase(5, 3);
  EXPECT_EQ(table.LastRow(), 2);
  // Columns 3 and 2 may hold typed means, column 1 is marked as raw data.
  table.MeanEntryColumn[1] = 0;
  table.SetValue(0, 3, 1);
  table.SetValue(0, 3, EmptyValue);
  table.ShrinkExtentsAfterErase(0, 3);
  EXPECT_EQ(table.LastColumn(), 1);
}

TEST(DataTable, RecalcExtentsFindsTheLastValues) {
  TDataTable table;
  table.SetValue(7, 4, 1);
  table.SetValue(3, 2, 1);
  table.SetValue(7, 4, EmptyValue);
  EXPECT_FALSE(table.RecalcExtents());
  EXPECT_EQ(table.LastRow(), 3);
  EXPECT_EQ(table.LastColumn(), 2);
  table.SetValue(3, 2, EmptyValue);
  EXPECT_TRUE(table.RecalcExtents());
  EXPECT_FALSE(table.HasData());
  const auto extents = table.FindExtents();
  EXPECT_EQ(extents.LastRow, 0);
  EXPECT_EQ(extents.LastColumn, 0);
}

TEST(DataTable, ExcludeFlagsNeedAValue) {
  TDataTable table;
  table.SetExcluded(0, 0, true);
  EXPECT_FALSE(table.IsExcluded(0, 0));
  table.SetValue(0, 0, 2);
  table.SetExcluded(0, 0, true);
  EXPECT_TRUE(table.IsExcluded(0, 0));
  EXPECT_EQ(table.GetValue(0, 0), 2);
  EXPECT_TRUE(IsEmpty(table.GetAnalysisValue(0, 0)));
  table.SetValue(0, 0, EmptyValue);
  EXPECT_FALSE(table.IsExcluded(0, 0));

  table.SetValue(1, 1, 4);
  table.ExcludeAllFilled();
  EXPECT_TRUE(table.IsExcluded(1, 1));
  EXPECT_FALSE(table.IsExcluded(2, 2));
  table.ClearExcludeFlags();
  EXPECT_FALSE(table.IsExcluded(1, 1));
}

TEST(DataTable, AnalysisValuesHonourSelectionButNotForScratch) {
  TDataTable table;
  for (int c = 0; c < 3; ++c) table.SetValue(0, c, c + 1);
  table.SetAnalysisValue(0, ScratchColumn, 9);
  table.UseColumnSelection = 1;
  table.ColumnSelected[2] = 0;
  EXPECT_TRUE(IsEmpty(table.GetAnalysisValue(0, 2)));
  EXPECT_EQ(table.GetAnalysisValue(0, 1), 2);
  EXPECT_EQ(table.GetAnalysisValue(0, ScratchColumn), 9);
  table.UseColumnSelection = 0;
  EXPECT_EQ(table.GetAnalysisValue(0, 2), 3);
}

TEST(DataTable, ColumnMapSkipsUnselectedAndEmptyColumns) {
  TDataTable table;
  for (int c = 0; c < 5; ++c) {
    table.SetValue(0, c, 10 * (c + 1));
    table.Summary(c).N = 1;
  }
  table.ColumnSelected[1] = 0;
  table.ColumnSelected[3] = 0;
  table.BuildColumnMap();
  EXPECT_EQ(table.ColumnMapCount(), 3);
  EXPECT_EQ(table.MapColumn(0), 0);
  EXPECT_EQ(table.MapColumn(1), 2);
  EXPECT_EQ(table.MapColumn(2), 4);
  EXPECT_EQ(table.LastMappedColumn(), 2);
  EXPECT_EQ(table.GetAnalysisValue(0, 1), 30);
  table.ResetColumnMap();
  EXPECT_EQ(table.MapColumn(1), 1);
  EXPECT_EQ(table.LastMappedColumn(), 4);
}

TEST(DataTable, DecimalsLearning) {
  // Rows: values typed one after the other into one automatic column, and
  // the AutoDecimals after each.
  TDataTable table;
  struct Step {
    TReal Value;
    int Auto;
  };
  const Step steps[] = {{1.5L, 1}, {2.25L, 2}, {3, 2}, {3.125L, 3}, {1e9L, 3}, {0.00001L, 3}, {-7.5L, 3}};
  for (const Step& step : steps) {
    table.LearnDecimals(0, step.Value);
    EXPECT_EQ(table.AutoDecimals[0], step.Auto) << static_cast<double>(step.Value);
  }
  // AutoDecimals 1 learns 3 from 3.125.
  table.AutoDecimals[1] = 1;
  table.LearnDecimals(1, 3.125L);
  EXPECT_EQ(table.AutoDecimals[1], 3);
  // A fixed count of 5 decimals is lowered by a value with 12 integer digits.
  table.UserDecimals[2] = 5;
  table.LearnDecimals(2, 123456789012.0L);  // |v| > 1E7: scientific, ignored
  EXPECT_EQ(table.UserDecimals[2], 5);
  table.UserDecimals[2] = 9;
  table.LearnDecimals(2, 1234567.5L);  // 7 digits before the point: 9 + 7 > 14
  EXPECT_EQ(table.UserDecimals[2], 7);
  EXPECT_EQ(table.DisplayDecimals(2), 7);
  EXPECT_EQ(table.DisplayDecimals(0), 3);
}

TEST(DataTable, ClearKeepsTitlesAndFixedDecimals) {
  TDataTable table;
  table.SetTitle(std::string(300, 't'));
  EXPECT_EQ(table.Title().size(), 255u);
  table.SetRowTitle(3, "a long row title");
  EXPECT_EQ(table.RowTitle(3), "a long row");
  table.UserDecimals[4] = 2;
  table.AutoDecimals[4] = 3;
  table.SetValue(2, 2, 1);
  table.Clear();
  EXPECT_FALSE(table.HasData());
  EXPECT_EQ(table.UserDecimals[4], 2);
  EXPECT_EQ(table.AutoDecimals[4], 0);
  EXPECT_EQ(table.RowTitle(3), "a long row");
  EXPECT_EQ(table.Title().size(), 255u);
  table.ResetForNewDocument();
  EXPECT_EQ(table.Title(), "");
  EXPECT_EQ(table.MeanEntryColumn[7], 1);
}

TEST(TwoByTwoTable, TotalsStayEmptyUntilBothTermsExist) {
  TTwoByTwoTable counts;
  counts.A = 3;
  EXPECT_TRUE(IsEmpty(counts.Row1Total()));
  EXPECT_TRUE(IsEmpty(counts.Column1Total()));
  counts.B = 4;
  counts.C = 5;
  EXPECT_EQ(counts.Row1Total(), 7);
  EXPECT_EQ(counts.Column1Total(), 8);
  EXPECT_TRUE(IsEmpty(counts.GrandTotal()));
  counts.D = 6;
  EXPECT_EQ(counts.GrandTotal(), 18);
}

}  // namespace
}  // namespace ombrel
