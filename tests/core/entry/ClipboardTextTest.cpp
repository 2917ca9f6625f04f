#include "core/entry/ClipboardText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/entry/CellText.h"
#include "core/entry/SummaryCells.h"
#include "support/EntryTestSupport.h"

namespace ombrel {
namespace {

using test::NewTable;

std::string Tabs(int count) { return std::string(static_cast<std::size_t>(count), '\t'); }

const TAskEraseMeanData NeverAsked = [](int) -> bool {
  ADD_FAILURE() << "unexpected mean-data question";
  return false;
};

// Grid rectangles: whole column A, the whole table, A1:B2.
constexpr TGridRect ColumnA{1, 2, 1, RawGridRowCount - 1};
constexpr TGridRect WholeTable{1, 2, 26, RawGridRowCount - 1};
constexpr TGridRect CellsA1B2{1, 2, 2, 3};

TEST(SelectionText, WritesTheSelectionAsTheCellsShowIt) {
  TDataTable table = NewTable();
  // Column A: 1.5 .. 10.5 in rows 1 to 10, shown with one decimal.
  for (int row = 0; row < 10; ++row) StoreCell(table, row, 0, row + 1.5L);
  table.AutoDecimals[0] = 1;
  table.Summary(0).Title = "Height";
  std::string tenLines;
  for (int row = 0; row < 10; ++row) tenLines += std::to_string(row + 1) + ".5\r\n";

  // The whole table: a second value in B2; titles of A and B.
  TDataTable both = NewTable();
  StoreCell(both, 0, 0, 1);
  StoreCell(both, 1, 1, 2);
  both.Summary(0).Title = "X";
  both.SetRowTitle(1, "Second");

  // A1:B2 with B1 empty, a value in scientific form, "," as separator.
  TDataTable cells = NewTable();
  StoreCell(cells, 0, 0, 1.25L);
  cells.AutoDecimals[0] = 2;
  StoreCell(cells, 1, 0, 1e-9L);
  StoreCell(cells, 1, 1, 3);

  struct TCase {
    const char* Name;
    const TDataTable& Table;
    TGridRect Rect;
    TCopyOptions Options;
    std::string Expected;
  };
  const TDataTable empty = NewTable();
  const TCase cases[] = {
      // Rows below the last value are left out, each line keeps its end.
      {"column without titles", table, ColumnA, {}, tenLines},
      {"column with its title", table, ColumnA, {true, false, '.'}, "Height\r\n" + tenLines},
      {"column with decimal comma", table, {1, 2, 1, 3}, {false, false, ','}, "1,5\r\n2,5"},
      {"whole table with both titles",
       both,
       WholeTable,
       {true, true, '.'},
       "\tX" + Tabs(25) + "\r\n" + "1\t1" + Tabs(25) + "\r\n" + "Second\t\t2" + Tabs(24) + "\r\n"},
      {"cells: no line end after the last selected row",
       cells,
       CellsA1B2,
       {false, false, ','},
       "1,25\t\r\n1,000000E-09\t3"},
      {"empty columns give the title line alone", empty, {3, 2, 4, 1001}, {true, false, '.'}, "\t\r\n"},
      {"empty cells give nothing", empty, CellsA1B2, {}, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TClipboardText text = SelectionText(c.Table, c.Rect, c.Options);
    EXPECT_EQ(text.Status, TCopyStatus::Complete);
    EXPECT_EQ(text.Text, c.Expected);
  }
}

TEST(SelectionText, StopsBelowTheClipboardLimitAtAWholeField) {
  TDataTable table = NewTable();
  for (int column = 0; column < MaxColumns; ++column) {
    table.AutoDecimals[static_cast<std::size_t>(column)] = 3;
    for (int row = 0; row < 1000; ++row) StoreCell(table, row, column, 12345.678L);
  }
  const TClipboardText text = SelectionText(table, WholeTable, {});
  EXPECT_EQ(text.Status, TCopyStatus::Truncated);
  // A line is 26 fields of 9 characters, 25 tabs and CR LF: 261 bytes.
  // After 249 lines (64989 bytes) the next field would bring the length
  // plus 2 to 65000.
  EXPECT_EQ(text.Text.size(), 249U * 261U);
  EXPECT_EQ(text.Text.substr(0, 20), "12345.678\t12345.678\t");
  EXPECT_EQ(text.Text.substr(text.Text.size() - 11), "12345.678\r\n");
}

TEST(TitleQuestionFor, AsksByWhatIsSelected) {
  EXPECT_EQ(TitleQuestionFor(TSelectionKind::Table), TTitleQuestion::Dialog);
  EXPECT_EQ(TitleQuestionFor(TSelectionKind::Columns), TTitleQuestion::ColumnTitles);
  EXPECT_EQ(TitleQuestionFor(TSelectionKind::Rows), TTitleQuestion::RowTitles);
  EXPECT_EQ(TitleQuestionFor(TSelectionKind::Cells), TTitleQuestion::None);
}

TEST(ReadPastedValue, RoundsFixedNumbersAndKeepsScientificOnes) {
  struct TCase {
    const char* Field;
    TReal Value;
    int Decimals;
  };
  // Expected values by hand: the 12-decimal rounding (3.141592653590),
  // the 14-character cut (1234567.123456), and the sign counted as an
  // integer digit.
  const TCase cases[] = {
      {"3.14159265358979", 3.14159265359L, 11},
      {"1234567.123456789", 1234567.123456L, 6},
      {" -0.5 ", -0.5L, 1},
      {"+5", 5, 0},
      {"2.0000000000004", 2, 0},
      {"0.00012345678901", 0.000123456789L, 12},
      {"0.1", 0.1L, 1},
      // Values shown in scientific form keep every digit they came with.
      {"1e-13", 1e-13L, -1},
      {"1,000000E-09", EmptyValue, -1},  // a comma here is a separator, not a point
      {"1.000000E-09", 1e-9L, -1},
      {"-12345678901234", -12345678901234.0L, -1},
      {"123456789012345678", 123456789012345678.0L, -1},
      {"1.5E+07", 15000000, -1},
      {"1.5E38", 1.5e38L, -1},
      // Missing values.
      {"", EmptyValue, -1},
      {"   ", EmptyValue, -1},
      {"#N/A", EmptyValue, -1},
      {"12#", EmptyValue, -1},
      {"abc", EmptyValue, -1},
      {"1.5x", EmptyValue, -1},
      {"inf", EmptyValue, -1},
      {"nan", EmptyValue, -1},
      {"2e38", EmptyValue, -1},
      {"1.7e38", EmptyValue, -1},
      {"--5", EmptyValue, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Field);
    const TPastedValue value = ReadPastedValue(c.Field);
    EXPECT_EQ(value.Value, c.Value);
    EXPECT_EQ(value.Decimals, c.Decimals);
  }
}

TEST(PasteStartFor, StartsAtTitlesForWholeColumnsAndRows) {
  EXPECT_EQ(PasteStartFor(TSelectionKind::Cells, 4, 2).Row, 4);
  EXPECT_EQ(PasteStartFor(TSelectionKind::Cells, 4, 2).Column, 2);
  EXPECT_EQ(PasteStartFor(TSelectionKind::Columns, 4, 2).Row, -1);
  EXPECT_EQ(PasteStartFor(TSelectionKind::Columns, 4, 2).Column, 2);
  EXPECT_EQ(PasteStartFor(TSelectionKind::Rows, 4, 2).Row, 4);
  EXPECT_EQ(PasteStartFor(TSelectionKind::Rows, 4, 2).Column, -1);
  EXPECT_EQ(PasteStartFor(TSelectionKind::Table, 4, 2).Row, -1);
  EXPECT_EQ(PasteStartFor(TSelectionKind::Table, 4, 2).Column, -1);
}

// A table whose rows 0 to 3 of columns A to E hold 100 + 10 r + c, so that
// every emptied or kept cell shows.
TDataTable OldValues() {
  TDataTable table = NewTable();
  for (int row = 0; row < 4; ++row)
    for (int column = 0; column < 5; ++column) StoreCell(table, row, column, 100 + 10 * row + column);
  return table;
}

struct TCell {
  int Row;
  int Column;
  TReal Value;
};

TEST(PasteText, PlacesFieldsByLineAndIndex) {
  struct TCase {
    const char* Name;
    std::string Text;
    TPasteOptions Options;
    std::vector<TCell> Expected;
    bool Clipped;
  };
  const TCase cases[] = {
      {"point locale: comma separates",
       "1.5\t2,5\t7",
       {0, 0, false, '.'},
       {{0, 0, 1.5L}, {0, 1, 2}, {0, 2, 5}, {0, 3, 7}, {0, 4, 104}},
       false},
      {"comma locale: comma is the point",
       "1,5;2\t3,25\r\n4",
       {0, 0, false, ','},
       {{0, 0, 1.5L}, {0, 1, 2}, {0, 2, 3.25L}, {0, 3, 103}, {1, 0, 4}, {1, 1, 111}},
       false},
      {"# and an empty field empty their cells",
       "#\t\t9",
       {0, 0, false, '.'},
       {{0, 0, EmptyValue}, {0, 1, EmptyValue}, {0, 2, 9}},
       false},
      {"unreadable text empties", "x1\r\n", {1, 1, false, '.'}, {{1, 1, EmptyValue}, {2, 1, 121}}, false},
      {"point locale: decimal commas without points",
       "1,5\t2,25\r\n-3,5e-1\t7",
       {0, 0, false, '.'},
       {{0, 0, 1.5L}, {0, 1, 2.25L}, {0, 2, 102}, {1, 0, -0.35L}, {1, 1, 7}},
       false},
      {"comma locale: decimal points without commas",
       "1.5\t2e3\r\n4.25",
       {0, 0, false, ','},
       {{0, 0, 1.5L}, {0, 1, 2000}, {1, 0, 4.25L}},
       false},
      {"comma locale: a comma list of decimal points",
       "1.5,2.5",
       {0, 0, false, ','},
       {{0, 0, 1.5L}, {0, 1, 2.5L}},
       false},
      {"a line of words over numbers titles the columns",
       "Dose\tResponse\r\n1,5\t2,25\r\n3\t4",
       {1, 1, false, '.'},
       {{1, 1, 1.5L}, {1, 2, 2.25L}, {2, 1, 3}, {2, 2, 4}, {3, 1, 131}, {0, 1, 101}},
       false},
      {"a line of words over empty lines is a value line",
       "Dose\r\n\r\n",
       {0, 0, false, '.'},
       {{0, 0, EmptyValue}, {1, 0, EmptyValue}, {2, 0, 120}},
       false},
      // The line end of a copied block must not empty the cell below it.
      {"final line end adds no field", "5\r\n6\r\n", {0, 0, false, '.'}, {{0, 0, 5}, {1, 0, 6}, {2, 0, 120}}, false},
      {"carriage returns are ignored", "1\r2\n", {0, 0, false, '.'}, {{0, 0, 12}, {1, 0, 110}}, false},
      {"zero byte ends the text",
       std::string("7\0"
                   "8\t9",
                   5),
       {0, 0, false, '.'},
       {{0, 0, 7}, {0, 1, 101}},
       false},
      {"transposed: lines fill columns",
       "1\t2\r\n3\t4\r\n5\t6",
       {0, 0, true, '.'},
       {{0, 0, 1}, {1, 0, 2}, {0, 1, 3}, {1, 1, 4}, {0, 2, 5}, {1, 2, 6}, {2, 0, 120}, {0, 3, 103}},
       false},
      {"fields past Z are dropped", "1\t2\t3", {0, 24, false, '.'}, {{0, 24, 1}, {0, 25, 2}}, true},
      {"blank fields past Z are not missed", "1\t2\t", {0, 24, false, '.'}, {{0, 24, 1}, {0, 25, 2}}, false},
      {"rows past 1000 end the paste",
       "1\n2\n3",
       {998, 0, false, '.'},
       {{998, 0, 1}, {999, 0, 2}, {1000, 0, EmptyValue}},
       true},
      {"transposed past Z ends the paste", "1\n2\n3", {0, 24, true, '.'}, {{0, 24, 1}, {0, 25, 2}}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = OldValues();
    const TPasteResult result = PasteText(table, c.Text, c.Options, NeverAsked);
    EXPECT_EQ(result.Outcome, TPasteOutcome::Pasted);
    EXPECT_EQ(result.Clipped, c.Clipped);
    for (const TCell& cell : c.Expected) {
      SCOPED_TRACE(std::to_string(cell.Row) + "," + std::to_string(cell.Column));
      EXPECT_EQ(table.GetValue(cell.Row, cell.Column), cell.Value);
    }
  }
}

TEST(PasteText, NamesColumnsFromAFirstLineOfWords) {
  struct TCase {
    const char* Name;
    std::string Text;
    TPasteOptions Options;
    std::vector<std::string> Titles;  // of columns A, B, C
  };
  const TCase cases[] = {
      {"words over numbers", "\"Dose\"\tResponse\r\n1\t2", {0, 1, false, '.'}, {"", "\"Dose\"", "Response"}},
      {"a number among the words", "Dose\t5\r\n1\t2", {0, 0, false, '.'}, {"", "", ""}},
      {"transposed", "Dose\tResponse\r\n1\t2", {0, 0, true, '.'}, {"", "", ""}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = NewTable();
    (void)PasteText(table, c.Text, c.Options, NeverAsked);
    for (int column = 0; column < 3; ++column)
      EXPECT_EQ(table.Summary(column).Title, c.Titles[static_cast<std::size_t>(column)]);
  }
}

TEST(PasteText, StoresLikeTheGridAndLearnsDecimals) {
  TDataTable table = NewTable();
  StoreCell(table, 0, 0, 1);
  StoreCell(table, 0, 1, 5);
  table.SetExcluded(0, 0, true);
  table.ColumnChanged.fill(0);
  const TPasteResult result = PasteText(table, "2.25\t\r\n1.5", {0, 0, false, '.'}, NeverAsked);
  EXPECT_EQ(result.FieldsStored, 3);
  EXPECT_FALSE(table.IsExcluded(0, 0));
  EXPECT_EQ(table.AutoDecimals[0], 2);
  EXPECT_EQ(table.MeanEntryColumn[0], 0);
  EXPECT_EQ(table.ColumnChanged[0], 1);
  // Column B lost its only value: ready for typed means again.
  EXPECT_EQ(table.MeanEntryColumn[1], 1);
  EXPECT_EQ(table.LastRow(), 1);
  EXPECT_EQ(table.LastColumn(), 0);
}

TEST(PasteText, FillsTitlesFromTheTitleRowAndColumn) {
  TDataTable table = NewTable();
  const std::string text = "Groups\tControl\tTreated\r\nMouse 1234567\t1\t2\r\nMäuse-Kaä\t3";
  (void)PasteText(table, text, {-1, -1, false, '.'}, NeverAsked);
  EXPECT_EQ(table.RowTitleHeading(), "Groups");
  EXPECT_EQ(table.Summary(0).Title, "Control");
  EXPECT_EQ(table.Summary(1).Title, "Treated");
  EXPECT_EQ(table.RowTitle(0), "Mouse 1234");
  // Cut to 10 bytes without splitting the last, two-byte "ä".
  EXPECT_EQ(table.RowTitle(1), "Mäuse-Ka");
  EXPECT_EQ(table.GetValue(0, 1), 2);
  EXPECT_EQ(table.GetValue(1, 0), 3);
}

TEST(PasteText, AsksBeforeReplacingTypedMeanData) {
  struct TCase {
    const char* Name;
    bool Answer;
    TPasteOutcome Outcome;
    TReal CellB;
    TReal MeanB;
  };
  const TCase cases[] = {
      {"No keeps everything", false, TPasteOutcome::Declined, EmptyValue, 7},
      {"Yes erases the mean data", true, TPasteOutcome::Pasted, 2, EmptyValue},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = NewTable();
    table.Summary(1).Mean = 7;
    table.Summary(1).N = 5;
    std::vector<int> asked;
    const TPasteResult result = PasteText(table, "1\t2", {0, 0, false, '.'}, [&](int column) {
      asked.push_back(column);
      return c.Answer;
    });
    EXPECT_EQ(result.Outcome, c.Outcome);
    EXPECT_EQ(asked, std::vector<int>{1});
    EXPECT_EQ(table.GetValue(0, 1), c.CellB);
    EXPECT_EQ(table.Summary(1).Mean, c.MeanB);
    // Nothing at all changes after No, not even the column before.
    EXPECT_EQ(table.GetValue(0, 0), c.Answer ? 1 : EmptyValue);
  }
}

TEST(PasteText, CopiedBlockPastesBackToTheSameValues) {
  TDataTable source = NewTable();
  const TReal values[] = {1.25L, -3, 1e-9L, 2.5e12L, 0.5L, 12345678};
  for (int i = 0; i < 6; ++i) StoreCell(source, i / 2, i % 2, values[i]);
  source.AutoDecimals[0] = 2;
  source.AutoDecimals[1] = 1;
  for (const char separator : {'.', ','}) {
    SCOPED_TRACE(separator);
    const TClipboardText copied = SelectionText(source, {1, 2, 2, 4}, {false, false, separator});
    TDataTable target = NewTable();
    (void)PasteText(target, copied.Text, {0, 0, false, separator}, NeverAsked);
    // Seven significant digits are what the cells show of 12345678.
    const TReal expected[] = {1.25L, -3, 1e-9L, 2.5e12L, 0.5L, 12345680};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(target.GetValue(i / 2, i % 2), expected[i]) << i;
    EXPECT_TRUE(target.IsCellEmpty(3, 0));
  }
}

// Huge or malformed clipboard text is clipped to the table, never stored
// in part at the corner. No timing here: a sanitizer build is many times
// slower than a release one.
TEST(PasteText, HugeAndMalformedTextIsClipped) {
  struct TCase {
    const char* Name;
    std::string Text;
    bool Transpose;
    bool Clipped;
  };
  const TCase cases[] = {
      {"millions of lines", std::string(5'000'000, '\n') + "1", false, true},
      {"one line of millions of fields", std::string(5'000'000, '\t') + "1", false, true},
      {"one enormous field", "1" + std::string(5'000'000, '0'), false, false},
      {"transposed millions of fields", std::string(5'000'000, ';') + "1", true, true},
      {"binary bytes", std::string("\x01\xff\xfe\x80\x00\x05", 6), false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table = NewTable();
    const TPasteResult result = PasteText(table, c.Text, {0, 0, c.Transpose, '.'}, NeverAsked);
    EXPECT_EQ(result.Clipped, c.Clipped);
    EXPECT_TRUE(table.IsCellEmpty(0, 0));
  }
}

TEST(Clipboard, ClearSelectionEmptiesCellsAndReadiesEmptyColumns) {
  TDataTable table = OldValues();
  table.SetExcluded(0, 0, true);
  table.AutoDecimals.fill(3);
  // A1:B4 emptied: column A and B hold nothing more.
  ClearSelection(table, {1, 2, 2, 5}, false);
  EXPECT_TRUE(table.IsColumnEmpty(0));
  EXPECT_FALSE(table.IsExcluded(0, 0));
  EXPECT_EQ(table.MeanEntryColumn[0], 1);
  EXPECT_EQ(table.MeanEntryColumn[1], 1);
  EXPECT_EQ(table.MeanEntryColumn[2], 0);
  EXPECT_EQ(table.AutoDecimals[0], 0);
  EXPECT_EQ(table.AutoDecimals[2], 3);
  EXPECT_EQ(table.GetValue(3, 2), 132);

  table.Summary(2).Mean = 5;
  table.Summary(2).NormalityKS = 0.2L;
  table.Summary(2).Title = "Kept";
  ClearSelection(table, {1, 2, 26, 1001}, true);
  EXPECT_FALSE(table.HasData());
  EXPECT_EQ(table.MeanEntryColumn[2], 1);
  EXPECT_EQ(table.Summary(2).N, 0);
  EXPECT_TRUE(IsEmpty(table.Summary(2).Mean));
  EXPECT_TRUE(IsEmpty(table.Summary(2).NormalityKS));
  EXPECT_EQ(table.Summary(2).Title, "Kept");
}

TEST(Clipboard, ExcludeTogglesTheSelectionAsOne) {
  struct TCase {
    const char* Name;
    bool WholeTable;
  };
  for (const TCase& c : {TCase{"cells", false}, TCase{"whole table", true}}) {
    SCOPED_TRACE(c.Name);
    TDataTable table = NewTable();
    StoreCell(table, 0, 0, 1);
    StoreCell(table, 1, 0, 2);
    table.SetExcluded(0, 0, true);
    const TGridRect rect{1, 2, 2, 4};  // A1:B3, B and row 3 empty
    EXPECT_TRUE(SelectionHasExcluded(table, rect, c.WholeTable));
    EXPECT_FALSE(ToggleExcluded(table, rect, c.WholeTable));
    EXPECT_FALSE(table.IsExcluded(0, 0));
    EXPECT_FALSE(table.IsExcluded(1, 0));
    table.ColumnChanged.fill(0);
    EXPECT_TRUE(ToggleExcluded(table, rect, c.WholeTable));
    EXPECT_TRUE(table.IsExcluded(0, 0));
    EXPECT_TRUE(table.IsExcluded(1, 0));
    EXPECT_FALSE(table.IsExcluded(0, 1));
    EXPECT_EQ(table.ColumnChanged[0], 1);
  }
  // An exclusion outside the selection does not count.
  TDataTable table = NewTable();
  StoreCell(table, 5, 0, 1);
  table.SetExcluded(5, 0, true);
  EXPECT_FALSE(SelectionHasExcluded(table, {1, 2, 2, 4}, false));
  EXPECT_TRUE(SelectionHasExcluded(table, {1, 2, 2, 4}, true));
}

TEST(Clipboard, SummaryCopyAndPasteUseTheEntryRows) {
  TDataTable table = NewTable();
  // Column A: typed mean 5, SD 2, N 10; column B holds raw data.
  (void)SetSummaryValue(table, 0, 2, true, 5);
  (void)SetSummaryValue(table, 0, 3, true, 2);
  (void)SetSummaryValue(table, 0, 4, true, 10);
  StoreCell(table, 0, 1, 1);

  // Rows Mean to N selected: the N row is never copied. SD 2 shows with
  // three decimals (3 - m for m = 0).
  EXPECT_EQ(SummaryText(table, {1, 2, 1, 4}, true, false).Text, "5\r\n2.000");
  EXPECT_EQ(SummaryText(table, {1, 4, 1, 8}, true, false).Text, "");

  // Line 0 to the Mean, 1 to the SD, 2 to N; ";" is no separator; the raw
  // column B drops its fields; line 3 is not taken.
  TDataTable target = NewTable();
  StoreCell(target, 0, 1, 1);
  target.Summary(2).Mean = 3;
  const TPasteResult result = PasteSummaryText(target, "4.5\t9\t6;7\r\n1,5\r\n12\r\n8", 0, true);
  EXPECT_EQ(result.FieldsStored, 4);
  EXPECT_EQ(target.Summary(0).Mean, 4.5L);
  EXPECT_TRUE(IsEmpty(target.Summary(2).Mean));  // "6;7" is no number
  EXPECT_TRUE(IsEmpty(target.Summary(1).Mean));
  EXPECT_EQ(target.Summary(0).SD, 1);
  EXPECT_EQ(target.Summary(0).N, 12);

  ClearSummaryEntries(target, {1, 2, 3, 17}, true);
  EXPECT_TRUE(IsEmpty(target.Summary(0).Mean));
  EXPECT_TRUE(IsEmpty(target.Summary(2).Mean));
  EXPECT_EQ(target.GetValue(0, 1), 1);
}

TEST(PasteTitleText, FillsTitlesFromTheFirstLineUpToZ) {
  TDataTable table = NewTable();
  EXPECT_EQ(PasteTitleText(table, "One;Two,Three\tFour\r\nFive", 23), 3);
  EXPECT_EQ(table.Summary(23).Title, "One");
  EXPECT_EQ(table.Summary(25).Title, "Three");
  EXPECT_EQ(table.Summary(0).Title, "");
}

}  // namespace
}  // namespace ombrel
