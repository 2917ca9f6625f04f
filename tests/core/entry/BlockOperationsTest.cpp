#include "core/entry/BlockOperations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/entry/CellStore.h"
#include "core/entry/CellText.h"
#include "support/EntryTestSupport.h"

namespace ombrel {
namespace {

using test::NewTable;

// Cell (r, c) holds 100c + r + 1 for the first `rows` rows of each column.
void FillColumns(TDataTable& table, std::vector<int> columns, int rows) {
  for (const int c : columns)
    for (int r = 0; r < rows; ++r) StoreCell(table, r, c, static_cast<TReal>(100 * c + r + 1));
}

TReal Cell(int row, int column) { return static_cast<TReal>(100 * column + row + 1); }

TEST(DeleteBlock, ShiftsLaterCellsOfTheBlockColumnsUp) {
  // Deleting B3:B4 moves every later value of B up by two and leaves the
  // last two values' rows empty; column A keeps its values.
  TDataTable table = NewTable();
  FillColumns(table, {0, 1}, 10);
  table.SetExcluded(6, 1, true);
  DeleteBlock(table, TCellBlock{2, 3, 1, 1}, TBlockShift::Cells);

  for (int r = 0; r < 10; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(table.GetValue(r, 0), Cell(r, 0));
    if (r < 2)
      EXPECT_EQ(table.GetValue(r, 1), Cell(r, 1));
    else if (r < 8)
      EXPECT_EQ(table.GetValue(r, 1), Cell(r + 2, 1));
    else
      EXPECT_TRUE(table.IsCellEmpty(r, 1));
  }
  EXPECT_TRUE(table.IsExcluded(4, 1));
  EXPECT_FALSE(table.IsExcluded(6, 1));
  EXPECT_EQ(table.LastRow(), 9);
  EXPECT_EQ(table.ColumnChanged[1], 1);
}

TEST(InsertBlock, PushesCellsDownAndLeavesTheBlockEmpty) {
  TDataTable table = NewTable();
  FillColumns(table, {0, 1, 2}, 5);
  table.SetExcluded(1, 1, true);
  InsertBlock(table, TCellBlock{1, 2, 1, 1}, TBlockShift::Cells);

  const std::vector<TReal> columnB = {Cell(0, 1), EmptyValue, EmptyValue, Cell(1, 1),
                                      Cell(2, 1), Cell(3, 1), Cell(4, 1), EmptyValue};
  for (std::size_t r = 0; r < columnB.size(); ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(table.GetValue(static_cast<int>(r), 1), columnB[r]);
  }
  EXPECT_TRUE(table.IsExcluded(3, 1));
  EXPECT_FALSE(table.IsExcluded(1, 1));
  EXPECT_EQ(table.GetValue(1, 0), Cell(1, 0));
  EXPECT_EQ(table.GetValue(1, 2), Cell(1, 2));
  EXPECT_TRUE(table.IsCellEmpty(5, 0));
  EXPECT_EQ(table.LastRow(), 6);
}

TEST(InsertBlock, DropsCellsPushedPastTheLastRow) {
  TDataTable table = NewTable();
  StoreCell(table, LastShiftRow - 1, 0, 1);
  StoreCell(table, LastShiftRow, 0, 2);
  EXPECT_TRUE(InsertPushesOutData(table, TCellBlock{LastShiftRow - 1, LastShiftRow - 1, 0, 0}, TBlockShift::Cells));
  InsertBlock(table, TCellBlock{LastShiftRow - 1, LastShiftRow - 1, 0, 0}, TBlockShift::Cells);
  EXPECT_TRUE(table.IsCellEmpty(LastShiftRow - 1, 0));
  EXPECT_EQ(table.GetValue(LastShiftRow, 0), 1);
  EXPECT_TRUE(table.IsCellEmpty(LastShiftRow + 1, 0));
}

TEST(BlockRows, MoveCustomRowTitlesAndRenumberTheOthers) {
  TDataTable table = NewTable();
  FillColumns(table, {0, 25}, 4);
  table.SetRowTitle(0, "Smokers");
  table.SetRowTitle(2, "Former");
  DeleteBlock(table, TCellBlock{1, 1, 3, 5}, TBlockShift::Rows);
  EXPECT_EQ(table.RowTitle(0), "Smokers");
  EXPECT_EQ(table.RowTitle(1), "Former");
  EXPECT_EQ(table.RowTitle(2), "3");
  EXPECT_EQ(table.GetValue(1, 0), Cell(2, 0));
  EXPECT_EQ(table.GetValue(1, 25), Cell(2, 25));
  EXPECT_EQ(table.LastRow(), 2);

  InsertBlock(table, TCellBlock{0, 0, 7, 7}, TBlockShift::Rows);
  EXPECT_EQ(table.RowTitle(0), "1");
  EXPECT_EQ(table.RowTitle(1), "Smokers");
  EXPECT_EQ(table.RowTitle(2), "Former");
  EXPECT_EQ(table.RowTitle(3), "4");
  EXPECT_TRUE(table.IsRowEmpty(0));
  EXPECT_EQ(table.GetValue(3, 25), Cell(3, 25));
}

TEST(InsertBlock, ColumnsMoveEverythingAColumnOwnsAndDropColumnZ) {
  // Inserting one column at B moves B's title, values, exclude flags and
  // decimals to C, leaves B empty and untitled, and loses what stood in Z.
  TDataTable table = NewTable();
  FillColumns(table, {0, 1, 25}, 3);
  table.Summary(1).Title = "Control";
  table.Summary(25).Title = "Last";
  table.SetExcluded(2, 1, true);
  table.UserDecimals[1] = 3;
  table.AutoDecimals[1] = 1;
  // Column C holds typed means; they stay with their title.
  table.Summary(2).Title = "Typed";
  table.Summary(2).Mean = 5;
  table.Summary(2).N = 4;

  EXPECT_TRUE(InsertPushesOutData(table, TCellBlock{0, 0, 1, 1}, TBlockShift::Columns));
  InsertBlock(table, TCellBlock{0, 0, 1, 1}, TBlockShift::Columns);

  EXPECT_TRUE(table.IsColumnEmpty(1));
  EXPECT_EQ(table.Summary(1).Title, "");
  EXPECT_EQ(table.UserDecimals[1], -1);
  EXPECT_EQ(table.MeanEntryColumn[1], 1);
  for (int r = 0; r < 3; ++r) EXPECT_EQ(table.GetValue(r, 2), Cell(r, 1));
  EXPECT_TRUE(table.IsExcluded(2, 2));
  EXPECT_EQ(table.Summary(2).Title, "Control");
  EXPECT_EQ(table.UserDecimals[2], 3);
  EXPECT_EQ(table.AutoDecimals[2], 1);
  EXPECT_EQ(table.MeanEntryColumn[2], 0);
  EXPECT_EQ(table.Summary(3).Title, "Typed");
  EXPECT_EQ(table.Summary(3).Mean, 5);
  EXPECT_EQ(table.MeanEntryColumn[3], 1);
  EXPECT_EQ(table.GetValue(0, 0), Cell(0, 0));
  EXPECT_TRUE(table.IsColumnEmpty(25));
  EXPECT_EQ(table.Summary(25).Title, "");
  EXPECT_EQ(table.LastColumn(), 2);
}

TEST(DeleteBlock, ColumnsCloseTheGapAndEmptyTheFreedColumns) {
  struct TCase {
    const char* Name;
    int First;
    int Last;
    std::vector<int> Before;     // columns filled
    std::vector<int> AfterFrom;  // for columns 0.., the column whose values they hold (-1 empty)
  };
  const TCase cases[] = {
      {"column Z alone", 25, 25, {0, 25}, {0, -1, -1}},
      {"B and C", 1, 2, {0, 1, 2, 3, 25}, {0, 3, -1}},
      {"A", 0, 0, {0, 1}, {1, -1, -1}},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    TDataTable table = NewTable();
    FillColumns(table, test.Before, 2);
    for (const int c : test.Before) table.Summary(c).Title = std::string(1, ColumnLetter(c));
    DeleteBlock(table, TCellBlock{0, 0, test.First, test.Last}, TBlockShift::Columns);
    for (std::size_t c = 0; c < test.AfterFrom.size(); ++c) {
      SCOPED_TRACE(c);
      const int column = static_cast<int>(c);
      const int from = test.AfterFrom[c];
      if (from < 0) {
        EXPECT_TRUE(table.IsColumnEmpty(column));
        EXPECT_EQ(table.Summary(column).Title, "");
      } else {
        EXPECT_EQ(table.GetValue(1, column), Cell(1, from));
        EXPECT_EQ(table.Summary(column).Title, std::string(1, ColumnLetter(from)));
      }
    }
    const int width = test.Last - test.First + 1;
    if (test.Before.back() == 25 && test.First < 25) {
      EXPECT_EQ(table.GetValue(0, 25 - width), Cell(0, 25));
    }
    EXPECT_TRUE(table.IsColumnEmpty(25));
    EXPECT_EQ(table.Summary(25).Title, "");
  }
}

TEST(BlockOperations, InsertThenDeleteRestoresTheTable) {
  struct TCase {
    const char* Name;
    TCellBlock Block;
    TBlockShift Shift;
  };
  const TCase cases[] = {
      {"cells", {3, 5, 1, 2}, TBlockShift::Cells},
      {"rows", {0, 1, 4, 4}, TBlockShift::Rows},
      {"columns", {0, 0, 2, 4}, TBlockShift::Columns},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    TDataTable table = NewTable();
    FillColumns(table, {0, 1, 2, 3, 5, 8}, 12);
    table.SetExcluded(7, 2, true);
    table.Summary(3).Title = "D";
    table.SetRowTitle(6, "six");
    const TDataTable before = table;
    InsertBlock(table, test.Block, test.Shift);
    DeleteBlock(table, test.Block, test.Shift);
    for (int c = 0; c < MaxColumns; ++c) {
      EXPECT_EQ(table.Summary(c).Title, before.Summary(c).Title) << c;
      for (int r = 0; r < 20; ++r) {
        EXPECT_EQ(table.GetValue(r, c), before.GetValue(r, c)) << r << "," << c;
        EXPECT_EQ(table.IsExcluded(r, c), before.IsExcluded(r, c)) << r << "," << c;
      }
    }
    for (int r = 0; r < 20; ++r) EXPECT_EQ(table.RowTitle(r), before.RowTitle(r)) << r;
    EXPECT_EQ(table.LastRow(), before.LastRow());
    EXPECT_EQ(table.LastColumn(), before.LastColumn());
  }
}

TEST(InsertPushesOutData, NamesWhatAnInsertWouldDrop) {
  struct TCase {
    const char* Name;
    void (*Setup)(TDataTable&);
    TCellBlock Block;
    TBlockShift Shift;
    bool Expected;
  };
  const TCase cases[] = {
      {"empty table", [](TDataTable&) {}, {0, 999, 0, 25}, TBlockShift::Rows, false},
      {"value in last row",
       [](TDataTable& t) { StoreCell(t, LastShiftRow, 3, 1); },
       {5, 5, 3, 3},
       TBlockShift::Cells,
       true},
      {"value in last row, other column",
       [](TDataTable& t) { StoreCell(t, LastShiftRow, 4, 1); },
       {5, 5, 3, 3},
       TBlockShift::Cells,
       false},
      {"value in last row, rows",
       [](TDataTable& t) { StoreCell(t, LastShiftRow, 4, 1); },
       {5, 5, 3, 3},
       TBlockShift::Rows,
       true},
      {"value above the pushed rows",
       [](TDataTable& t) { StoreCell(t, LastShiftRow - 2, 0, 1); },
       {5, 6, 0, 0},
       TBlockShift::Cells,
       false},
      {"custom row title at the end",
       [](TDataTable& t) { t.SetRowTitle(LastShiftRow, "x"); },
       {0, 0, 0, 0},
       TBlockShift::Rows,
       true},
      {"custom row title, cells",
       [](TDataTable& t) { t.SetRowTitle(LastShiftRow, "x"); },
       {0, 0, 0, 0},
       TBlockShift::Cells,
       false},
      {"title in Z", [](TDataTable& t) { t.Summary(25).Title = "z"; }, {0, 0, 0, 0}, TBlockShift::Columns, true},
      {"typed mean in Y, two columns",
       [](TDataTable& t) {
         t.Summary(24).Mean = 2;
         t.Summary(24).N = 3;
       },
       {0, 0, 0, 1},
       TBlockShift::Columns,
       true},
      {"values in Y, one column",
       [](TDataTable& t) { StoreCell(t, 0, 24, 1); },
       {0, 0, 0, 0},
       TBlockShift::Columns,
       false},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    TDataTable table = NewTable();
    test.Setup(table);
    EXPECT_EQ(InsertPushesOutData(table, test.Block, test.Shift), test.Expected);
  }
}

TEST(DeleteBlock, EmptyingEveryValueLeavesAnEmptyTable) {
  TDataTable table = NewTable();
  FillColumns(table, {0, 1}, 3);
  table.AutoDecimals[1] = 2;
  DeleteBlock(table, TCellBlock{0, 2, 0, 25}, TBlockShift::Rows);
  EXPECT_FALSE(table.HasData());
  EXPECT_EQ(table.LastRow(), 0);
  EXPECT_EQ(table.LastColumn(), 0);
  EXPECT_EQ(table.MeanEntryColumn[1], 1);
  EXPECT_EQ(table.AutoDecimals[1], 0);
}

TEST(DeleteBlock, KeepsTypedMeansOfColumnsWithoutValues) {
  // Deleting a whole row touches every column; a column holding typed mean,
  // SD and N has no values to move and must keep them.
  TDataTable table = NewTable();
  FillColumns(table, {0}, 3);
  table.Summary(1).Mean = 12.5L;
  table.Summary(1).SD = 2;
  table.Summary(1).N = 8;
  DeleteBlock(table, TCellBlock{1, 1, 0, 25}, TBlockShift::Rows);
  InsertBlock(table, TCellBlock{0, 0, 0, 25}, TBlockShift::Rows);
  EXPECT_EQ(table.Summary(1).Mean, 12.5L);
  EXPECT_EQ(table.Summary(1).SD, 2);
  EXPECT_EQ(table.Summary(1).N, 8);
  EXPECT_EQ(table.MeanEntryColumn[1], 1);
  EXPECT_EQ(table.GetValue(1, 0), Cell(0, 0));
  EXPECT_EQ(table.GetValue(2, 0), Cell(2, 0));
}

TEST(BlockFromGridRect, LeavesOutHeadersAndClampsToTheGrid) {
  EXPECT_EQ(BlockFromGridRect(TGridRect{2, 4, 3, 5}), (TCellBlock{2, 3, 1, 2}));
  EXPECT_EQ(BlockFromGridRect(TGridRect{0, 0, 26, 1001}), (TCellBlock{0, 999, 0, 25}));
}

constexpr int LastGridRow = RawGridRowCount - 1;

TEST(NumberFormatScope, NamesTheColumnsTheCommandSets) {
  struct TCase {
    const char* Name;
    TGridRect Selection;
    int Current;  // data column of the current cell
    const char* Label;
    int First;
    int Last;
  };
  // Columns B, C and D hold values in data rows 0 to 4 (grid rows 2 to 6),
  // column D one more in data row 9.
  const TCase cases[] = {
      {"whole table", {1, 2, 26, LastGridRow}, 3, "For columns A-Z:", 0, 25},
      {"whole columns", {2, 2, 4, LastGridRow}, 2, "For columns B-D:", 1, 3},
      {"one whole column", {3, 2, 3, LastGridRow}, 2, "For column C:", 2, 2},
      {"cells from the top past every value", {2, 2, 4, 11}, 3, "For columns B-D:", 1, 3},
      {"cells ending above a value", {2, 2, 4, 6}, 2, "For column C:", 2, 2},
      {"cells not from the top", {2, 3, 4, 20}, 3, "For column D:", 3, 3},
      {"single cell", {5, 4, 5, 4}, 4, "For column E:", 4, 4},
  };
  TDataTable table = NewTable();
  FillColumns(table, {1, 2, 3}, 5);
  StoreCell(table, 9, 3, 1);
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    const TNumberFormatScope scope = NumberFormatScope(table, test.Selection, test.Current, LastGridRow);
    EXPECT_EQ(scope.Label, test.Label);
    EXPECT_EQ(scope.FirstColumn, test.First);
    EXPECT_EQ(scope.LastColumn, test.Last);
  }
}

TEST(CommonUserDecimals, IsSharedFixedPlacesOrAutomatic) {
  TDataTable table = NewTable();
  table.UserDecimals.fill(3);
  EXPECT_EQ(CommonUserDecimals(table, 0, 25), 3);
  table.UserDecimals[7] = 4;
  EXPECT_EQ(CommonUserDecimals(table, 0, 25), -1);
  EXPECT_EQ(CommonUserDecimals(table, 7, 7), 4);
  EXPECT_EQ(CommonUserDecimals(table, 8, 25), 3);
}

TEST(LargestValueDecimals, CountsFixedPointDecimalsOfShownValues) {
  struct TCase {
    const char* Name;
    std::vector<TReal> Values;
    std::int32_t Expected;
  };
  const TCase cases[] = {
      {"none", {}, 0},
      {"whole numbers", {1, -20, 300}, 0},
      {"1.25 and 2.5", {1.25L, 2.5L}, 2},
      {"typed 0.1", {ParseCellText("0.1")}, 1},
      {"negative", {ParseCellText("-0.125")}, 3},
      {"one third keeps 14", {1.0L / 3.0L}, 14},
      {"scientific values do not count", {ParseCellText("0.00005"), 1.5L}, 1},
      {"0.0001 is scientific", {ParseCellText("0.0001")}, 0},
      {"0.00011 is not", {ParseCellText("0.00011")}, 5},
  };
  for (const TCase& test : cases) {
    SCOPED_TRACE(test.Name);
    TDataTable table = NewTable();
    for (std::size_t r = 0; r < test.Values.size(); ++r) StoreCell(table, static_cast<int>(r), 4, test.Values[r]);
    EXPECT_EQ(LargestValueDecimals(table, 4), test.Expected);
  }
}

TEST(ApplyNumberFormat, AutomaticChoiceShowsEveryDecimal) {
  // A column on 0 fixed places holding 1.25 and 2.5, switched to the
  // automatic choice, shows 1.25 and 2.50.
  TDataTable table = NewTable();
  StoreCell(table, 0, 1, 1.25L);
  StoreCell(table, 1, 1, 2.5L);
  table.UserDecimals[1] = 0;
  EXPECT_EQ(FormatCellValue(table.GetValue(0, 1), table.DisplayDecimals(1)), "1");
  const std::vector<int> changed = ApplyNumberFormat(table, 0, 2, -1);
  EXPECT_EQ(changed, std::vector<int>{1});
  EXPECT_EQ(FormatCellValue(table.GetValue(0, 1), table.DisplayDecimals(1)), "1.25");
  EXPECT_EQ(FormatCellValue(table.GetValue(1, 1), table.DisplayDecimals(1)), "2.50");
}

TEST(ApplyNumberFormat, FixedPlacesApplyToEveryColumnOfTheScope) {
  TDataTable table = NewTable();
  StoreCell(table, 0, 2, 1.25L);
  table.UserDecimals[3] = 4;
  const std::vector<int> changed = ApplyNumberFormat(table, 2, 4, 4);
  EXPECT_EQ(changed, (std::vector<int>{2, 4}));
  for (int c = 2; c <= 4; ++c) EXPECT_EQ(table.UserDecimals[static_cast<std::size_t>(c)], 4);
  EXPECT_EQ(table.UserDecimals[1], -1);
  EXPECT_EQ(FormatCellValue(table.GetValue(0, 2), table.DisplayDecimals(2)), "1.2500");
}

}  // namespace
}  // namespace ombrel
