#include "core/entry/CellStore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/entry/CellText.h"
#include "core/entry/GridSelection.h"
#include "support/EntryTestSupport.h"

namespace ombrel {
namespace {

using test::NewTable;

std::string Shown(const TDataTable& table, int row, int column) {
  return FormatCellValue(table.GetValue(row, column), table.DisplayDecimals(column));
}

const TAskEraseMeanData NeverAsked = [](int) -> bool {
  ADD_FAILURE() << "unexpected mean-data question";
  return false;
};

TEST(CommitCellValue, LearnsAutomaticDecimalsFromTypedValues) {
  TDataTable table = NewTable();
  struct TStep {
    int Row;
    const char* Typed;
    std::int32_t AutoDecimals;
    TRedisplay Redisplay;
  };
  const TStep steps[] = {
      {0, "1.5", 1, TRedisplay::Column},
      {1, "2.25", 2, TRedisplay::Column},
      {2, "3", 2, TRedisplay::Cell},
      {3, "1E9", 2, TRedisplay::Cell},  // scientific values teach nothing
  };
  for (const TStep& step : steps) {
    SCOPED_TRACE(step.Typed);
    const TCommitResult result = CommitCellText(table, step.Row, 0, step.Typed, NeverAsked);
    EXPECT_EQ(result.Outcome, TCommitOutcome::Stored);
    EXPECT_EQ(result.Redisplay, step.Redisplay);
    EXPECT_EQ(table.AutoDecimals[0], step.AutoDecimals);
  }
  EXPECT_EQ(Shown(table, 0, 0), "1.50");
  EXPECT_EQ(Shown(table, 1, 0), "2.25");
  EXPECT_EQ(Shown(table, 2, 0), "3.00");
  EXPECT_EQ(Shown(table, 3, 0), " 1.000000E+09");

  table.AutoDecimals[1] = 1;
  (void)CommitCellText(table, 0, 1, "3.125", NeverAsked);
  EXPECT_EQ(table.AutoDecimals[1], 3);
}

TEST(CommitCellValue, LowersFixedDecimalsThatWouldOverflowTheCell) {
  TDataTable table = NewTable();
  table.UserDecimals[0] = 10;
  const TCommitResult result = CommitCellText(table, 0, 0, "1234567.5", NeverAsked);
  EXPECT_EQ(result.Redisplay, TRedisplay::Column);
  EXPECT_EQ(table.UserDecimals[0], 7);  // 14 - 7 integer digits
  EXPECT_EQ(Shown(table, 0, 0), "1234567.500000");

  // Twelve integer digits exceed 1E7, so the value is shown in scientific
  // form and leaves the column's chosen decimals alone.
  table.UserDecimals[1] = 5;
  (void)CommitCellText(table, 0, 1, "123456789012.5", NeverAsked);
  EXPECT_EQ(table.UserDecimals[1], 5);
  EXPECT_EQ(Shown(table, 0, 1), " 1.234568E+11");
}

TEST(CommitCellValue, AsksBeforeRawDataReplacesTypedMeans) {
  struct TCase {
    const char* Name;
    bool Answer;
    TCommitOutcome Outcome;
    bool CellEmpty;
    bool MeanKept;
  };
  const TCase cases[] = {
      {"No keeps the means", false, TCommitOutcome::Declined, true, true},
      {"Yes erases them", true, TCommitOutcome::Stored, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = NewTable();
    TColumnSummary& summary = table.Summary(1);
    summary.Mean = 10;
    summary.SD = 2;
    summary.SEM = 1;
    summary.N = 4;
    std::vector<int> asked;
    const TCommitResult result = CommitCellText(table, 0, 1, "3", [&](int column) {
      asked.push_back(column);
      return c.Answer;
    });
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_EQ(result.Outcome, c.Outcome);
    EXPECT_EQ(table.IsCellEmpty(0, 1), c.CellEmpty);
    EXPECT_EQ(table.MeanEntryColumn[1], c.MeanKept ? 1 : 0);
    EXPECT_EQ(summary.Mean == 10, c.MeanKept);
    EXPECT_EQ(summary.SD == 2, c.MeanKept);
    EXPECT_EQ(summary.N, 4);
    EXPECT_EQ(table.ColumnChanged[1], c.MeanKept ? 0 : 1);
  }
  EXPECT_EQ(MeanDataQuestion(1),
            "Column B contains data entered as mean and error. You cannot enter raw data without erasing the mean "
            "data. Erase mean data?");
}

TEST(CommitCellValue, ReleasesAnEmptyMeanColumnSilently) {
  TDataTable table = NewTable();
  table.Summary(2).N = 5;  // N without any of Mean, SD, SEM is no mean data
  EXPECT_EQ(CommitCellText(table, 0, 2, "7", NeverAsked).Outcome, TCommitOutcome::Stored);
  EXPECT_EQ(table.MeanEntryColumn[2], 0);
  EXPECT_EQ(table.GetValue(0, 2), 7.0L);
}

TEST(CommitCellValue, IgnoresAnUnchangedValue) {
  TDataTable table = NewTable();
  EXPECT_EQ(CommitCellText(table, 4, 0, ".", NeverAsked).Outcome, TCommitOutcome::Unchanged);
  table.SetValue(4, 0, 2.5L);
  table.ColumnChanged.fill(0);
  EXPECT_EQ(CommitCellText(table, 4, 0, "2,5", NeverAsked).Outcome, TCommitOutcome::Unchanged);
  EXPECT_EQ(table.ColumnChanged[0], 0);
}

TEST(CommitCellValue, ErasingClearsTheExcludeFlagAndShrinksTheRows) {
  TDataTable table = NewTable();
  (void)CommitCellText(table, 0, 0, "1", NeverAsked);
  (void)CommitCellText(table, 5, 0, "2", NeverAsked);
  table.SetExcluded(5, 0, true);
  EXPECT_EQ(table.LastRow(), 5);
  EXPECT_EQ(CommitCellText(table, 5, 0, "", NeverAsked).Outcome, TCommitOutcome::Stored);
  EXPECT_TRUE(table.IsCellEmpty(5, 0));
  EXPECT_FALSE(table.IsExcluded(5, 0));
  EXPECT_EQ(table.LastRow(), 0);
}

TEST(StoreCellAdjusted, RaisesTheColumnDecimalsToTheValues) {
  struct TCase {
    const char* Name;
    std::int32_t UserDecimals;
    std::int32_t AutoDecimals;
    TReal Value;
    bool Grew;
    std::int32_t AutoAfter;
  };
  const TCase cases[] = {
      {"more decimals", -1, 0, 0.125L, true, 3},
      {"fewer decimals", -1, 4, 0.5L, false, 4},
      {"fixed column keeps its choice", 1, 0, 0.125L, true, 3},
      {"tiny value by its exponent", -1, 0, 2.5e-6L, true, 6},
      {"large value", -1, 2, 1e9L, false, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = NewTable();
    table.UserDecimals[0] = c.UserDecimals;
    table.AutoDecimals[0] = c.AutoDecimals;
    EXPECT_EQ(StoreCellAdjusted(table, 3, 0, c.Value), c.Grew);
    EXPECT_EQ(table.AutoDecimals[0], c.AutoAfter);
    EXPECT_EQ(table.GetValue(3, 0), c.Value);
    EXPECT_EQ(table.MeanEntryColumn[0], 0);
  }
  TDataTable table = NewTable();
  table.SetValue(0, 0, 4.0L);
  EXPECT_FALSE(StoreCellAdjusted(table, 0, 0, EmptyValue));
  EXPECT_TRUE(table.IsCellEmpty(0, 0));
}

TEST(MarkColumnIfEmpty, ReadiesOnlyAnEmptyColumnForTypedMeans) {
  TDataTable table = NewTable();
  for (int column : {0, 1}) {
    table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
    table.Summary(column).N = 3;
    table.Summary(column).Mean = 2;
  }
  table.SetValue(7, 1, 1.0L);
  MarkColumnIfEmpty(table, 0);
  MarkColumnIfEmpty(table, 1);
  EXPECT_EQ(table.MeanEntryColumn[0], 1);
  EXPECT_EQ(table.Summary(0).N, -1);
  EXPECT_TRUE(IsEmpty(table.Summary(0).Mean));
  EXPECT_EQ(table.MeanEntryColumn[1], 0);
  EXPECT_EQ(table.Summary(1).N, 3);
}

TEST(StoreTitleAsValue, MovesANumericTitleIntoTheFirstRow) {
  TDataTable table = NewTable();
  table.SetValue(0, 2, 99.0L);
  StoreColumnTitle(table, 2, "1,5");
  EXPECT_EQ(StoreTitleAsValue(table, 2, "1,5", NeverAsked), TCommitOutcome::Stored);
  EXPECT_EQ(table.GetValue(0, 2), 1.5L);
  EXPECT_EQ(table.AutoDecimals[2], 1);
  EXPECT_EQ(table.Summary(2).Title, "");

  StoreColumnTitle(table, 3, "-");
  EXPECT_EQ(StoreTitleAsValue(table, 3, "-", NeverAsked), TCommitOutcome::Unchanged);
  EXPECT_EQ(table.Summary(3).Title, "-");
}

TEST(StoreColumnTitle, CutsToTheTitleLength) {
  TDataTable table = NewTable();
  StoreColumnTitle(table, 0, std::string(100, 'x'));
  EXPECT_EQ(table.Summary(0).Title, std::string(MaxColumnTitleLength, 'x'));
}

TEST(SummaryEntryCells, AreRowsTwoToFourOfMeanColumns) {
  TDataTable table = NewTable();
  table.MeanEntryColumn[1] = 0;
  EXPECT_TRUE(IsSummaryEntryCell(table, 0, 2));
  EXPECT_TRUE(IsSummaryEntryCell(table, 0, 4));
  EXPECT_FALSE(IsSummaryEntryCell(table, 0, 5));
  EXPECT_FALSE(IsSummaryEntryCell(table, 0, 1));
  EXPECT_FALSE(IsSummaryEntryCell(table, 1, 2));

  TColumnSummary& summary = table.Summary(0);
  summary.Mean = 1;
  summary.SD = 2;
  summary.SEM = 3;
  summary.N = 4;
  EXPECT_EQ(SummaryEntryValue(table, 0, 3, true), 2.0L);
  EXPECT_EQ(SummaryEntryValue(table, 0, 3, false), 3.0L);
  EXPECT_EQ(SummaryEntryValue(table, 0, 4, true), 4.0L);
  EXPECT_TRUE(IsEmpty(SummaryEntryValue(table, 0, 6, true)));
}

TEST(GridSelection, TellsWholeTableRowsAndColumns) {
  constexpr int last = RawGridRowCount - 1;
  struct TCase {
    TGridRect Rect;
    TSelectionKind Kind;
  };
  const TCase cases[] = {
      {NormalizedRect(26, last, 1, 2), TSelectionKind::Table},   {NormalizedRect(1, 5, 26, 9), TSelectionKind::Rows},
      {NormalizedRect(4, 2, 2, last), TSelectionKind::Columns},  {NormalizedRect(2, 3, 2, last), TSelectionKind::Cells},
      {NormalizedRect(1, 2, 25, last), TSelectionKind::Columns},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Rect.Left << "," << c.Rect.Top << "-" << c.Rect.Right << "," << c.Rect.Bottom);
    EXPECT_EQ(SelectionKindOf(c.Rect, last), c.Kind);
  }
  EXPECT_TRUE(IsWholeRows(NormalizedRect(1, 2, 26, last)));
  EXPECT_TRUE(IsWholeColumns(NormalizedRect(1, 2, 26, last), last));
}

}  // namespace
}  // namespace ombrel
