#include "core/entry/TextImport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/entry/CellStore.h"

namespace ombrel {
namespace {

TImportedFile Read(const std::string& text, TImportSeparators separators = {}) {
  std::istringstream in(text);
  return ReadImportText(in, separators);
}

// Expected cells: row, column, value (EmptyValue for an empty cell).
struct TCell {
  int Row;
  int Column;
  long double Value;
};

// Expected values are worked out by hand from the reading rules.
TEST(ReadImportText, ReadsFieldsTitlesAndSeparators) {
  struct TCase {
    const char* Name;
    std::string Text;
    char DecimalSeparator;
    char ListSeparator;
    int Rows;
    int Columns;
    std::vector<TCell> Cells;
    const char* SheetTitle;
    std::vector<std::string> Titles;
  };
  const TCase cases[] = {
      {"titles line matching the columns", "Weight,Height\r\n70,1.8\r\n82.5,1.75\r\n", '.', ',', 2, 2,
       {{0, 0, 70}, {0, 1, 1.8L}, {1, 0, 82.5L}, {1, 1, 1.75L}}, "", {"Weight", "Height"}},
      {"free text then titles", "Body sizes of the class\nWeight,Height\n70,1.8\n", '.', ',', 1, 2,
       {{0, 0, 70}, {0, 1, 1.8L}}, "Body sizes of the class", {"Weight", "Height"}},
      {"a sheet title alone keeps numbers out of the titles", "Doses\n1,2\n", '.', ',', 1, 2, {{0, 1, 2}}, "Doses",
       {}},
      {"quoted titles keep their commas", "\"Dose, mg\",\"Response\"\n1,2\n", '.', ',', 1, 2, {{0, 0, 1}}, "",
       {"Dose, mg", "Response"}},
      {"lowercase e is dropped", "1.5e3;7\n", '.', ',', 1, 2, {{0, 0, 1.53L}, {0, 1, 7}}, "", {}},
      {"uppercase E is an exponent", "1.5E3;7\n", '.', ',', 1, 2, {{0, 0, 1500}, {0, 1, 7}}, "", {}},
      {"decimal comma", "1,5;2\n", ',', ';', 1, 2, {{0, 0, 1.5L}, {0, 1, 2}}, "", {}},
      {"list separator splits fields", "1|2|3\n", '.', '|', 1, 3, {{0, 2, 3}}, "", {}},
      {"tabs, quotes and blanks after the first line", "1\t2\t3\n\"4\"\t 5 \t6\n", '.', ',', 2, 3,
       {{1, 0, 4}, {1, 1, 5}, {1, 2, 6}}, "", {}},
      {"empty fields stay empty", "1,,3\n,5\n", '.', ',', 2, 3,
       {{0, 1, EmptyValue}, {1, 0, EmptyValue}, {1, 1, 5}}, "", {}},
      {"a star is removed", "*5,-*6\n", '.', ',', 1, 2, {{0, 0, 5}, {0, 1, -6}}, "", {}},
      {"unreadable numbers become 0", "1.2.3,4-5,E\n", '.', ',', 1, 3, {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}}, "",
       {}},
      {"LF, CR and CR LF all end lines", "1\r2\n3\r\n4", '.', ',', 4, 1, {{1, 0, 2}, {2, 0, 3}, {3, 0, 4}}, "",
       {}},
      {"blank lines inside the data keep their rows", "1,1\n\n3,3\n\n\n", '.', ',', 3, 2,
       {{1, 0, EmptyValue}, {2, 0, 3}}, "", {}},
      {"a leading tab is data, not a title", "\t5\n\t6\n", '.', ',', 2, 2,
       {{0, 0, EmptyValue}, {0, 1, 5}, {1, 1, 6}}, "", {}},
      {"column-aligned fields", "Run  Time\n  1    12.5\n 10   3.25\n100   0\n", '.', ',', 3, 2,
       {{0, 0, 1}, {0, 1, 12.5L}, {1, 0, 10}, {1, 1, 3.25L}, {2, 0, 100}, {2, 1, 0}}, "Run  Time", {}},
      {"column-aligned with signs", " -1.5  +2\n  3    -4\n", '.', ',', 2, 2,
       {{0, 0, -1.5L}, {0, 1, 2}, {1, 0, 3}, {1, 1, -4}}, "", {}},
      {"fields past Z are dropped", std::string(30, ',') + "\n1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,"
                                    "21,22,23,24,25,26,27,28\n",
       '.', ',', 2, 26, {{1, 25, 26}}, "", {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TImportedFile file = Read(c.Text, {c.ListSeparator, c.DecimalSeparator});
    EXPECT_EQ(file.DataRows, c.Rows);
    EXPECT_EQ(file.DataColumns, c.Columns);
    for (const TCell& cell : c.Cells) {
      SCOPED_TRACE(testing::Message() << "row " << cell.Row << " column " << cell.Column);
      const long double got = file.Table->GetValue(cell.Row, cell.Column);
      if (IsEmpty(cell.Value))
        EXPECT_TRUE(IsEmpty(got)) << static_cast<double>(got);
      else
        EXPECT_NEAR(static_cast<double>(got), static_cast<double>(cell.Value), 1e-12);
      EXPECT_FALSE(file.Table->IsExcluded(cell.Row, cell.Column));
    }
    EXPECT_EQ(file.SheetTitle, c.SheetTitle);
    EXPECT_EQ(file.Table->Title(), c.SheetTitle);
    EXPECT_EQ(file.HasColumnTitles, !c.Titles.empty());
    for (std::size_t t = 0; t < c.Titles.size(); ++t) {
      EXPECT_EQ(file.ColumnTitles[t], c.Titles[t]);
      EXPECT_EQ(file.Table->Summary(static_cast<int>(t)).Title, c.Titles[t]);
    }
  }
}

TEST(IsTitleLine, TellsTitlesFromDataLines) {
  struct TCase {
    const char* Line;
    bool Title;
  };
  const TCase cases[] = {
      {"Weight,Height", true}, {"1,2", false},     {"1.5e3;7", false},    {" -2.5E-3 , +4", false},
      {"x1", true},            {"1 kg", true},     {"*Excluded", false},  {"\t1\t2", false},
      {"(1)", true},           {"1/2", true},      {"", false},       {"\"1\",\"2\"", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    EXPECT_EQ(IsTitleLine(c.Line), c.Title);
  }
}

TEST(ImportFieldValue, RoundsLikeAPastedNumberAndGuardsTheRange) {
  struct TCase {
    const char* Field;
    long double Value;  // EmptyValue for an empty cell
    bool OutOfRange;
  };
  // Rounded values worked out by hand: 12 decimals, then the first 14
  // characters of the text.
  const TCase cases[] = {
      {"", EmptyValue, false},
      {"*", EmptyValue, false},
      {"0.1234567890123456", 0.123456789012L, false},
      {"1234.123456789012", 1234.123456789L, false},
      {"-1234.5678", -1234.5678L, false},
      {"+42", 42, false},
      {".5", 0.5L, false},
      {"12345678901234", 12345678901234.0L, false},
      // From 1E14 on the 14-character text would drop integer digits.
      {"-123456789012345678", -123456789012346000.0L, false},
      {"1E-20", 1e-20L, false},
      {"2.5E-13", 2.5e-13L, false},
      // 12 decimals would keep only 3 of these digits.
      {"1.23456E-10", 1.23456e-10L, false},
      {"1E-99999", 0, false},
      {"1.5E38", 1.5e38L, false},
      {"1.6E38", EmptyValue, true},
      {"-1E300", EmptyValue, true},
      {"1E99999", EmptyValue, true},
      {"5E", 0, false},
      {"--5", 0, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Field);
    bool outOfRange = false;
    const long double got = ImportFieldValue(c.Field, outOfRange);
    EXPECT_EQ(outOfRange, c.OutOfRange);
    if (IsEmpty(c.Value))
      EXPECT_TRUE(IsEmpty(got)) << static_cast<double>(got);
    else
      EXPECT_NEAR(static_cast<double>(got), static_cast<double>(c.Value), std::fabs(static_cast<double>(c.Value)) * 1e-14);
  }
}

TEST(ReadImportText, LearnsColumnDecimals) {
  const TImportedFile file = Read("1.25,3,0.5\n2.5,4,1E-9\n123.125,5,2\n");
  EXPECT_EQ(file.Table->AutoDecimals[0], 3);
  EXPECT_EQ(file.Table->AutoDecimals[1], 0);
  // A value shown in scientific form does not widen the column.
  EXPECT_EQ(file.Table->AutoDecimals[2], 1);
}

TEST(ReadImportText, ReadsAtMostOneThousandRows) {
  struct TCase {
    const char* Name;
    int Header;
    int DataLines;
    int TrailingBlank;
    bool TooMany;
    int Rows;
  };
  const TCase cases[] = {
      {"exactly 1000", 0, 1000, 0, false, 1000},
      {"1000 after a title", 1, 1000, 3, false, 1000},
      {"1001", 0, 1001, 0, true, 1000},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::string text;
    for (int i = 0; i < c.Header; ++i) text += "Title\n";
    for (int i = 0; i < c.DataLines; ++i) text += std::to_string(i + 1) + "\n";
    text += std::string(static_cast<std::size_t>(c.TrailingBlank), '\n');
    const TImportedFile file = Read(text);
    EXPECT_EQ(file.TooManyRows, c.TooMany);
    EXPECT_EQ(file.DataRows, c.Rows);
    EXPECT_EQ(static_cast<double>(file.Table->GetValue(c.Rows - 1, 0)), c.Rows);
  }
}

TEST(ReadImportText, CountsNumbersBeyondTheRange) {
  const TImportedFile file = Read("1E39,2\n3,-4E40\n");
  EXPECT_EQ(file.OutOfRangeFields, 2);
  EXPECT_TRUE(file.Table->IsCellEmpty(0, 0));
  EXPECT_EQ(static_cast<double>(file.Table->GetValue(1, 0)), 3.0);
}

// Random bytes, binary junk and one endless line must read without a crash
// or a hang, into at most 1000 rows of finite values within the entry range.
TEST(ReadImportText, SurvivesArbitraryBytes) {
  std::mt19937 random(20261208);
  std::vector<std::string> inputs;
  const std::string alphabet = "0123456789.,;\t\r\n eE+-*\"abc";
  for (int i = 0; i < 150; ++i) {
    std::string text(static_cast<std::size_t>(random() % 3000), '\0');
    for (char& ch : text)
      ch = i % 2 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
    inputs.push_back(text);
  }
  inputs.push_back(std::string(2'000'000, '9'));
  inputs.push_back(std::string(100'000, '\n') + "1");
  std::string longField = "1";
  longField += std::string(50'000, '0');
  inputs.push_back(longField + "," + longField);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "input " << i);
    const TImportedFile file = Read(inputs[i], {';', ','});
    ASSERT_LE(file.DataRows, MaxImportRows);
    ASSERT_LE(file.DataColumns, MaxColumns);
    for (int r = 0; r < file.DataRows; ++r)
      for (int c = 0; c < file.DataColumns; ++c) {
        const long double v = file.Table->GetValue(r, c);
        if (IsEmpty(v)) continue;
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_LE(std::fabs(v), 1.5e38L);
      }
  }
}

TEST(IsAsciiText, LooksPastTheFirstLineOnly) {
  struct TCase {
    const char* Text;
    bool Ascii;
  };
  const TCase cases[] = {
      {"caf\xc3\xa9\n1,2\n", true},
      {"Title\n1,2\n3\xb0,4\n", false},
      {"Title\r3\xff\r", false},
      {"", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    std::istringstream in(c.Text);
    EXPECT_EQ(IsAsciiText(in), c.Ascii);
  }
}

// A target table and a scratch file of rows 1..6 with two columns: (r, 10 r).
TImportedFile SixRows() {
  return Read("Dose,Response\n1,10\n2,20\n3,30\n4,40\n5,50\n6,60\n");
}

TEST(ApplyImport, ChoosesRowsColumnsAndFilteredRows) {
  struct TCase {
    const char* Name;
    TImportChoices Choices;
    int StartRow;
    int StartColumn;
    std::vector<TCell> Cells;
  };
  TImportChoices all;
  TImportChoices rows3to5;
  rows3to5.RowRange = true;
  rows3to5.StartRow = 3;
  rows3to5.EndRow = 5;
  TImportChoices column2;
  column2.Columns = TImportColumns::Range;
  column2.StartColumn = 2;
  column2.EndColumn = 2;
  TImportChoices above3;
  above3.FilterRows = true;
  above3.FilterColumn = 1;
  above3.Condition = TFilterCondition::Greater;
  above3.FilterValue = 3;
  TImportChoices filteredRange = above3;
  filteredRange.RowRange = true;
  filteredRange.StartRow = 5;
  filteredRange.EndRow = 6;
  const TCase cases[] = {
      {"everything", all, 0, 0, {{0, 0, 1}, {5, 1, 60}, {6, 0, EmptyValue}}},
      {"rows 3 to 5 leave two rows empty", rows3to5, 0, 0,
       {{0, 0, EmptyValue}, {1, 1, EmptyValue}, {2, 0, 3}, {4, 1, 50}, {5, 0, EmptyValue}}},
      {"second column into column C from row 3", column2, 2, 2,
       {{2, 2, 10}, {7, 2, 60}, {2, 3, EmptyValue}, {2, 1, EmptyValue}}},
      {"rows whose dose is above 3", above3, 0, 0, {{0, 0, 4}, {2, 1, 60}, {3, 0, EmptyValue}}},
      {"filter first, then the range", filteredRange, 0, 0,
       {{0, 0, EmptyValue}, {1, 0, 5}, {2, 1, 60}, {3, 0, EmptyValue}}},
      {"the last column cuts the row", all, 0, 25, {{0, 25, 1}, {5, 25, 6}}},
      {"the last row ends the import", all, 997, 0, {{997, 0, 1}, {999, 1, 30}}},
  };
  const TImportedFile file = SixRows();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable target;
    EXPECT_EQ(ApplyImport(file, c.Choices, target, c.StartRow, c.StartColumn), TImportOutcome::Imported);
    for (const TCell& cell : c.Cells) {
      SCOPED_TRACE(testing::Message() << "row " << cell.Row << " column " << cell.Column);
      const long double got = target.GetValue(cell.Row, cell.Column);
      if (IsEmpty(cell.Value))
        EXPECT_TRUE(IsEmpty(got)) << static_cast<double>(got);
      else
        EXPECT_EQ(static_cast<double>(got), static_cast<double>(cell.Value));
    }
  }
}

TEST(ApplyImport, ClearsExclusionAndCarriesDecimalsAndTitles) {
  const TImportedFile file = Read("Sheet\nDose,Response\n1.25,10\n*2,20\n");
  TDataTable target;
  StoreCell(target, 0, 1, 99);
  target.SetExcluded(0, 1, true);
  target.MeanEntryColumn[1] = 1;
  target.Summary(5).Title = "kept";
  ASSERT_EQ(ApplyImport(file, TImportChoices{}, target, 0, 1), TImportOutcome::Imported);
  EXPECT_FALSE(target.IsExcluded(0, 1));
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 1)), 1.25);
  EXPECT_EQ(static_cast<double>(target.GetValue(1, 1)), 2.0);
  EXPECT_EQ(target.AutoDecimals[1], 2);
  EXPECT_EQ(target.MeanEntryColumn[1], 0);
  EXPECT_EQ(target.ColumnChanged[2], 1);
  EXPECT_EQ(target.Title(), "Sheet");
  EXPECT_EQ(target.Summary(1).Title, "Dose");
  EXPECT_EQ(target.Summary(2).Title, "Response");
  EXPECT_EQ(target.Summary(0).Title, "");
  EXPECT_EQ(target.Summary(5).Title, "kept");
}

TEST(ApplyImport, SpreadsAnIndexedLayoutIntoGroups) {
  const TImportedFile file = Read("5,10\n6,20\n7,10\n8,\n9,2.125\n");
  TDataTable target;
  StoreCell(target, 40, 7, 1);
  TImportChoices choices;
  choices.Columns = TImportColumns::Indexed;
  choices.ValueColumn = 1;
  choices.GroupColumn = 2;
  ASSERT_EQ(ApplyImport(file, choices, target, 3, 3), TImportOutcome::Imported);
  EXPECT_EQ(target.Summary(0).Title, "10");
  EXPECT_EQ(target.Summary(1).Title, "20");
  EXPECT_EQ(target.Summary(2).Title, "2.13");
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 0)), 5.0);
  EXPECT_EQ(static_cast<double>(target.GetValue(1, 0)), 7.0);
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 1)), 6.0);
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 2)), 9.0);
  // A row without a group is skipped; old values are gone.
  EXPECT_TRUE(target.IsCellEmpty(2, 0));
  EXPECT_TRUE(target.IsCellEmpty(40, 7));
}

TEST(ApplyImport, RefusesEqualValueAndGroupColumns) {
  const TImportedFile file = Read("5,10\n");
  TDataTable target;
  StoreCell(target, 0, 0, 42);
  TImportChoices choices;
  choices.Columns = TImportColumns::Indexed;
  choices.ValueColumn = 2;
  choices.GroupColumn = 2;
  EXPECT_EQ(ApplyImport(file, choices, target, 0, 0), TImportOutcome::SameIndexColumns);
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 0)), 42.0);
}

TEST(ApplyImport, KeepsTheFirstTwentySixGroups) {
  std::string text;
  for (int g = 1; g <= 30; ++g) text += std::to_string(100 + g) + "," + std::to_string(g) + "\n";
  const TImportedFile file = Read(text);
  TDataTable target;
  TImportChoices choices;
  choices.Columns = TImportColumns::Indexed;
  ASSERT_EQ(ApplyImport(file, choices, target, 0, 0), TImportOutcome::Imported);
  EXPECT_EQ(target.Summary(25).Title, "26");
  EXPECT_EQ(static_cast<double>(target.GetValue(0, 25)), 126.0);
  EXPECT_TRUE(target.IsRowEmpty(1));
}

TEST(GroupTitle, KeepsAtMostTwoDecimals) {
  struct TCase {
    long double Group;
    const char* Title;
  };
  const TCase cases[] = {{10, "10"}, {2.5L, "2.5"}, {1.234L, "1.23"}, {-0.001L, "0"}, {-3.999L, "-4"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Title);
    EXPECT_EQ(GroupTitle(c.Group), c.Title);
  }
}

}  // namespace
}  // namespace ombrel
