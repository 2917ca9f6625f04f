#include "core/entry/TextImport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/entry/CellStore.h"
#include "core/entry/WrittenNumbers.h"
#include "support/ImportSamples.h"

namespace ombrel {
namespace {

// Expected values are worked out by hand from the reading rules.
TEST(ReadImportText, ReadsFieldsTitlesAndSeparators) {
  struct TCase {
    const char* Name;
    std::string Text;
    char DecimalSeparator;
    char ListSeparator;
    int Rows;
    int Columns;
    std::vector<TImportedCell> Cells;
    const char* SheetTitle;
    std::vector<std::string> Titles;
  };
  const TCase cases[] = {
      {"titles line matching the columns",
       "Weight,Height\r\n70,1.8\r\n82.5,1.75\r\n",
       '.',
       ',',
       2,
       2,
       {{0, 0, 70}, {0, 1, 1.8L}, {1, 0, 82.5L}, {1, 1, 1.75L}},
       "",
       {"Weight", "Height"}},
      {"free text then titles",
       "Body sizes of the class\nWeight,Height\n70,1.8\n",
       '.',
       ',',
       1,
       2,
       {{0, 0, 70}, {0, 1, 1.8L}},
       "Body sizes of the class",
       {"Weight", "Height"}},
      {"a sheet title alone keeps numbers out of the titles", "Doses\n1,2\n", '.', ',', 1, 2, {{0, 1, 2}}, "Doses", {}},
      {"quoted titles keep their commas",
       "\"Dose, mg\",\"Response\"\n1,2\n",
       '.',
       ',',
       1,
       2,
       {{0, 0, 1}},
       "",
       {"Dose, mg", "Response"}},
      {"lowercase e is an exponent",
       "1.5e3;7\n2.5e-3;-1e+2\n",
       '.',
       ',',
       2,
       2,
       {{0, 0, 1500}, {0, 1, 7}, {1, 0, 0.0025L}, {1, 1, -100}},
       "",
       {}},
      {"uppercase E is an exponent", "1.5E3;7\n", '.', ',', 1, 2, {{0, 0, 1500}, {0, 1, 7}}, "", {}},
      {"decimal comma", "1,5;2\n", ',', ';', 1, 2, {{0, 0, 1.5L}, {0, 1, 2}}, "", {}},
      {"list separator splits fields", "1|2|3\n", '.', '|', 1, 3, {{0, 2, 3}}, "", {}},
      {"tabs, quotes and blanks after the first line",
       "1\t2\t3\n\"4\"\t 5 \t6\n",
       '.',
       ',',
       2,
       3,
       {{1, 0, 4}, {1, 1, 5}, {1, 2, 6}},
       "",
       {}},
      {"empty fields stay empty",
       "1,,3\n,5\n",
       '.',
       ',',
       2,
       3,
       {{0, 1, EmptyValue}, {1, 0, EmptyValue}, {1, 1, 5}},
       "",
       {}},
      {"a star is removed", "*5,-*6\n", '.', ',', 1, 2, {{0, 0, 5}, {0, 1, -6}}, "", {}},
      {"what is not a number is left empty",
       "1.2.3,4-5,E,7\n",
       '.',
       ',',
       1,
       4,
       {{0, 0, EmptyValue}, {0, 1, EmptyValue}, {0, 2, EmptyValue}, {0, 3, 7}},
       "",
       {}},
      {"quoted fields hold separators",
       "\"Dose, mg\";\"x\"\n\"1,5\";\"2\"\n",
       '.',
       ',',
       1,
       2,
       {{0, 0, 1.5L}, {0, 1, 2}},
       "",
       {"Dose, mg", "x"}},
      {"LF, CR and CR LF all end lines", "1\r2\n3\r\n4", '.', ',', 4, 1, {{1, 0, 2}, {2, 0, 3}, {3, 0, 4}}, "", {}},
      {"blank lines inside the data keep their rows",
       "1,1\n\n3,3\n\n\n",
       '.',
       ',',
       3,
       2,
       {{1, 0, EmptyValue}, {2, 0, 3}},
       "",
       {}},
      {"a leading tab is data, not a title",
       "\t5\n\t6\n",
       '.',
       ',',
       2,
       2,
       {{0, 0, EmptyValue}, {0, 1, 5}, {1, 1, 6}},
       "",
       {}},
      {"column-aligned fields",
       "Run  Time\n  1    12.5\n 10   3.25\n100   0\n",
       '.',
       ',',
       3,
       2,
       {{0, 0, 1}, {0, 1, 12.5L}, {1, 0, 10}, {1, 1, 3.25L}, {2, 0, 100}, {2, 1, 0}},
       "Run  Time",
       {}},
      {"column-aligned with signs",
       " -1.5  +2\n  3    -4\n",
       '.',
       ',',
       2,
       2,
       {{0, 0, -1.5L}, {0, 1, 2}, {1, 0, 3}, {1, 1, -4}},
       "",
       {}},
      {"fields past Z are dropped",
       std::string(30, ',') + "\n1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,"
                              "21,22,23,24,25,26,27,28\n",
       '.',
       ',',
       2,
       26,
       {{1, 25, 26}},
       "",
       {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TImportedFile file = ReadImportString(c.Text, {c.ListSeparator, c.DecimalSeparator});
    EXPECT_EQ(file.DataRows, c.Rows);
    EXPECT_EQ(file.DataColumns, c.Columns);
    for (const TImportedCell& cell : c.Cells) {
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

// Files as other programs write them, read on a system whose separators are
// the point and the comma: every number as written, every marker empty and
// counted. Means worked out by hand from the files.
TEST(ReadImportFile, ReadsFilesAsOtherProgramsWriteThem) {
  struct TColumn {
    int N;
    long double Mean;
  };
  struct TCase {
    const char* File;
    char Decimal;
    bool DecimalFromFile;
    int Rows;
    std::vector<std::string> Titles;
    std::vector<TColumn> Columns;
    int NotNumbers;
    int FirstRow;
    int FirstColumn;
  };
  const TCase cases[] = {
      // Row names in column 1, "e" exponents, NA.
      {"r-write-csv.csv",
       '.',
       true,
       4,
       {"", "dose", "response", "weight"},
       {{4, 2.5L}, {4, 4.675e-5L}, {4, 3953275.75L}, {2, 69.75L}},
       2,
       1,
       4},
      // Byte-order mark, ";" between fields, decimal commas, CR LF.
      {"spreadsheet-semicolon.csv",
       ',',
       true,
       3,
       {"Nr", "Masse", "Laenge"},
       {{3, 2}, {3, 28.727L / 3}, {2, 22.005L}},
       1,
       2,
       3},
      {"missing-markers.csv", '.', true, 6, {"x", "y"}, {{3, 2.5L}, {4, 4.5L}}, 4, 1, 2},
      {"signed-tabs.txt", '.', true, 3, {}, {{3, 1.0L / 3}, {3, -388.0L / 3}}, 0, 0, 0},
      {"cr-only.csv",
       '.',
       true,
       3,
       {"Dose", "Response", "Weight"},
       {{3, 7.0L / 3}, {3, 12.5833333333333333L}, {2, 71.25L}},
       0,
       0,
       0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    const TImportedFile file = ReadImportFile(ImportSamplePath(c.File), {',', '.'});
    EXPECT_EQ(file.ReadError, 0);
    EXPECT_EQ(file.DecimalSeparator, c.Decimal);
    EXPECT_EQ(file.DecimalFromFile, c.DecimalFromFile);
    EXPECT_EQ(file.DataRows, c.Rows);
    EXPECT_EQ(file.DataColumns, static_cast<int>(c.Columns.size()));
    EXPECT_FALSE(file.HasSheetTitle);
    EXPECT_EQ(file.HasColumnTitles, !c.Titles.empty());
    for (std::size_t t = 0; t < c.Titles.size(); ++t) EXPECT_EQ(file.ColumnTitles[t], c.Titles[t]);
    for (std::size_t k = 0; k < c.Columns.size(); ++k) {
      SCOPED_TRACE(testing::Message() << "column " << k + 1);
      const TColumnNMean got = ColumnNMean(*file.Table, static_cast<int>(k));
      EXPECT_EQ(got.N, c.Columns[k].N);
      EXPECT_NEAR(static_cast<double>(got.Mean), static_cast<double>(c.Columns[k].Mean),
                  std::fabs(static_cast<double>(c.Columns[k].Mean)) * 1e-12);
    }
    EXPECT_EQ(file.NotNumberFields, c.NotNumbers);
    EXPECT_EQ(file.FirstNotNumberRow, c.FirstRow);
    EXPECT_EQ(file.FirstNotNumberColumn, c.FirstColumn);
  }
}

TEST(ReadImportText, TakesTheDecimalSeparatorTheFileShows) {
  struct TCase {
    const char* Name;
    std::string Text;
    char System;
    char Chosen;
    char Decimal;
    bool FromFile;
    std::vector<TImportedCell> Cells;
  };
  const TCase cases[] = {
      {"decimal commas between semicolons on a point system",
       "1;8,977;22,61\n",
       '.',
       '\0',
       ',',
       true,
       {{0, 1, 8.977L}, {0, 2, 22.61L}}},
      {"decimal points between commas on a comma system",
       "1,8.977,22.61\n",
       ',',
       '\0',
       '.',
       true,
       {{0, 0, 1}, {0, 1, 8.977L}, {0, 2, 22.61L}}},
      {"decimal commas between tabs", "1\t2,5\n", '.', '\0', ',', true, {{0, 0, 1}, {0, 1, 2.5L}}},
      {"integers leave it to the system", "1,5\n2,6\n", ',', '\0', ',', false, {{0, 0, 1.5L}, {1, 0, 2.6L}}},
      {"integers on a point system", "1,5\n2,6\n", '.', '\0', '.', false, {{0, 0, 1}, {0, 1, 5}}},
      {"both kinds leave it to the system", "1.5;2,5\n", '.', '\0', '.', false, {{0, 0, 1.5L}, {0, 1, 2}, {0, 2, 5}}},
      {"the user's choice wins", "1;8,977\n", '.', '.', '.', false, {{0, 0, 1}, {0, 1, 8}, {0, 2, 977}}},
      {"the user's comma", "1,5\n", '.', ',', ',', false, {{0, 0, 1.5L}, {0, 1, EmptyValue}}},
      {"column-aligned decimal commas",
       "  1,5   2,25\n 10,75  3\n",
       '.',
       '\0',
       '.',
       false,
       {{0, 0, 1}, {0, 1, EmptyValue}}},
      {"column-aligned decimal commas chosen",
       "  1,5   2,25\n 10,75  3\n",
       '.',
       ',',
       ',',
       false,
       {{0, 0, 1.5L}, {0, 1, 2.25L}, {1, 0, 10.75L}, {1, 1, 3}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TImportSeparators separators{c.System == ',' ? ';' : ',', c.System, c.Chosen};
    const TImportedFile file = ReadImportString(c.Text, separators);
    EXPECT_EQ(file.DecimalSeparator, c.Decimal);
    EXPECT_EQ(file.DecimalFromFile, c.FromFile);
    for (const TImportedCell& cell : c.Cells) {
      SCOPED_TRACE(testing::Message() << "row " << cell.Row << " column " << cell.Column);
      const long double got = file.Table->GetValue(cell.Row, cell.Column);
      if (IsEmpty(cell.Value))
        EXPECT_TRUE(IsEmpty(got)) << static_cast<double>(got);
      else
        EXPECT_NEAR(static_cast<double>(got), static_cast<double>(cell.Value), 1e-12);
    }
  }
}

TEST(ReadImportFile, ReportsAFileThatCannotBeOpened) {
  const TImportedFile file = ReadImportFile(ImportSamplePath("no-such-file.csv"), {});
  EXPECT_EQ(file.ReadError, ENOENT);
  EXPECT_EQ(file.DataRows, 0);
}

TEST(NotNumbersMessage, NamesTheCountAndTheFirstPlace) {
  EXPECT_EQ(NotNumbersMessage(1, 3, 2), "1 field of this file is not a number and was left empty: row 3, column 2.");
  EXPECT_EQ(NotNumbersMessage(12, 1, 4),
            "12 fields of this file are not numbers and were left empty; the first is in row 1, column 4.");
}

TEST(IsTitleLine, TellsTitlesFromDataLines) {
  struct TCase {
    const char* Line;
    bool Title;
  };
  const TCase cases[] = {
      {"Weight,Height", true},
      {"1,2", false},
      {"1.5e3;7", false},
      {" -2.5E-3 , +4", false},
      {"x1", true},
      {"1 kg", true},
      {"*Excluded", false},
      {"\t1\t2", false},
      {"(1)", true},
      {"1/2", true},
      {"", false},
      {"\"1\",\"2\"", false},
      {"1.5,NA", false},
      {"NA\t-2", false},
      {"NA,NA", true},
      {"1;8,977;22,61", false},
      {"\"\",\"x\"", true},
      {"x,1", true},
      {"1,#N/A", false},
      {"Run 1,Run 2", true},
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
    bool NotNumber;
    bool OutOfRange;
  };
  // Rounded values worked out by hand: 12 decimals, then the first 14
  // characters of the text.
  const TCase cases[] = {
      {"", EmptyValue, false, false},
      {"*", EmptyValue, false, false},
      {" \"\" ", EmptyValue, false, false},
      {"0.1234567890123456", 0.123456789012L, false, false},
      {"1234.123456789012", 1234.123456789L, false, false},
      {"-1234.5678", -1234.5678L, false, false},
      {"+42", 42, false, false},
      {".5", 0.5L, false, false},
      {"7.", 7, false, false},
      {"12345678901234", 12345678901234.0L, false, false},
      // From 1E14 on the 14-character text would drop integer digits.
      {"-123456789012345678", -123456789012346000.0L, false, false},
      {"1E-20", 1e-20L, false, false},
      {"1.2e-05", 1.2e-5L, false, false},
      {"5.063103e+06", 5063103, false, false},
      {"2.5E-13", 2.5e-13L, false, false},
      // 12 decimals would keep only 3 of these digits.
      {"1.23456E-10", 1.23456e-10L, false, false},
      {"1E-99999", 0, false, false},
      {"1.5E38", 1.5e38L, false, false},
      {"1.6E38", EmptyValue, false, true},
      {"-1E300", EmptyValue, false, true},
      {"1E99999", EmptyValue, false, true},
      {"5E", EmptyValue, true, false},
      {"--5", EmptyValue, true, false},
      {"NA", EmptyValue, true, false},
      {"NaN", EmptyValue, true, false},
      {"inf", EmptyValue, true, false},
      {"-", EmptyValue, true, false},
      {".", EmptyValue, true, false},
      {"1 kg", EmptyValue, true, false},
      {"0x1p3", EmptyValue, true, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Field);
    const TImportField got = ImportFieldValue(c.Field);
    EXPECT_EQ(got.NotNumber, c.NotNumber);
    EXPECT_EQ(got.OutOfRange, c.OutOfRange);
    if (IsEmpty(c.Value))
      EXPECT_TRUE(IsEmpty(got.Value)) << static_cast<double>(got.Value);
    else
      EXPECT_NEAR(static_cast<double>(got.Value), static_cast<double>(c.Value),
                  std::fabs(static_cast<double>(c.Value)) * 1e-14);
  }
}

TEST(ReadImportText, LearnsColumnDecimals) {
  const TImportedFile file = ReadImportString("1.25,3,0.5\n2.5,4,1E-9\n123.125,5,2\n");
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
    const TImportedFile file = ReadImportString(text);
    EXPECT_EQ(file.TooManyRows, c.TooMany);
    EXPECT_EQ(file.DataRows, c.Rows);
    EXPECT_EQ(static_cast<double>(file.Table->GetValue(c.Rows - 1, 0)), c.Rows);
  }
}

TEST(ReadImportText, CountsNumbersBeyondTheRange) {
  const TImportedFile file = ReadImportString("1E39,2\n3,-4E40\n");
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
    for (char& ch : text) ch = i % 2 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
    inputs.push_back(text);
  }
  inputs.push_back(std::string(2'000'000, '9'));
  inputs.push_back(std::string(100'000, '\n') + "1");
  std::string longField = "1";
  longField += std::string(50'000, '0');
  inputs.push_back(longField + "," + longField);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "input " << i);
    const TImportedFile file = ReadImportString(inputs[i], {';', ','});
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

}  // namespace
}  // namespace ombrel

namespace ombrel {
namespace {

TImportedFile ReadWith(const std::string& text, TImportHeader header, bool rowNames = true) {
  std::istringstream in(text);
  TImportOptions options;
  options.Header = header;
  options.RowNames = rowNames;
  return ReadTextForImport(in, options);
}

// A first column titled with nothing holds row names when its fields are
// all quoted, or are the row numbers; the switch puts them back as data.
TEST(ReadImportText, TakesRowNamesAsRowTitles) {
  struct TCase {
    const char* Name;
    std::string Text;
    bool Found;
    bool Numbered;
    int Columns;
    std::vector<std::string> Titles;
    std::vector<std::string> RowTitles;
  };
  const TCase cases[] = {
      {"numbered as a statistics language writes them",
       "\"\",\"dose\",\"weight\"\n\"1\",1.5,70\n\"2\",2.5,NA\n",
       true,
       true,
       2,
       {"dose", "weight"},
       {"1", "2"}},
      {"quoted labels", ",\"x\"\n\"mouse a\",1\n\"mouse b\",2\n", true, false, 1, {"x"}, {"mouse a", "mouse b"}},
      {"quoted numbers out of order are labels", "\"\",x\n\"4\",1\n\"9\",2\n", true, false, 1, {"x"}, {"4", "9"}},
      {"unquoted row numbers", ",x\n1,7\n2,8\n3,9\n", true, true, 1, {"x"}, {"1", "2", "3"}},
      {"unquoted numbers out of order are data", ",x\n1,7\n3,8\n", false, false, 2, {"", "x"}, {"1", "2"}},
      {"a titled first column is data", "id,x\n\"a\",7\n\"b\",8\n", false, false, 2, {"id", "x"}, {"1", "2"}},
      {"a name missing", "\"\",x\n\"a\",7\n,8\n", false, false, 2, {"", "x"}, {"1", "2"}},
      {"one column alone", "\"\"\n\"1\"\n\"2\"\n", false, false, 1, {""}, {"1", "2"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TImportedFile file = ReadWith(c.Text, TImportHeader::Detect);
    EXPECT_EQ(file.RowNamesFound, c.Found);
    EXPECT_EQ(file.RowNamesTaken, c.Found);
    EXPECT_EQ(file.RowNamesNumbered, c.Numbered);
    EXPECT_EQ(file.DataColumns, c.Columns);
    for (std::size_t t = 0; t < c.Titles.size(); ++t) EXPECT_EQ(file.ColumnTitles[t], c.Titles[t]);
    TDataTable target;
    (void)ApplyImport(file, TImportChoices{}, target, 0, 0);
    for (std::size_t r = 0; r < c.RowTitles.size(); ++r)
      EXPECT_EQ(target.RowTitle(static_cast<int>(r)), c.RowTitles[r]);
    EXPECT_EQ(target.GetValue(0, c.Columns - 1), file.Table->GetValue(0, c.Columns - 1));
    if (!c.Found) continue;
    // Switched back, the names are data again.
    const TImportedFile kept = ReadWith(c.Text, TImportHeader::Detect, false);
    EXPECT_TRUE(kept.RowNamesFound);
    EXPECT_FALSE(kept.RowNamesTaken);
    EXPECT_EQ(kept.DataColumns, c.Columns + 1);
  }
}

TEST(ReadImportText, HeaderCanBeSwitchedOnAndOff) {
  struct TCase {
    const char* Name;
    std::string Text;
    TImportHeader Header;
    int Rows;
    int NotNumbers;
    std::vector<std::string> Titles;
  };
  const TCase cases[] = {
      {"detected", "Weight,Height\n70,1.8\n", TImportHeader::Detect, 1, 0, {"Weight", "Height"}},
      {"off: titles are data", "Weight,Height\n70,1.8\n", TImportHeader::Off, 2, 2, {}},
      {"on: the first line names the columns", "1,2\n3,4\n", TImportHeader::On, 1, 0, {"1", "2"}},
      {"on with titles found", "Weight,Height\n70,1.8\n", TImportHeader::On, 1, 0, {"Weight", "Height"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TImportedFile file = ReadWith(c.Text, c.Header);
    EXPECT_EQ(file.DataRows, c.Rows);
    EXPECT_EQ(file.NotNumberFields, c.NotNumbers);
    EXPECT_EQ(file.HasColumnTitles, !c.Titles.empty());
    for (std::size_t t = 0; t < c.Titles.size(); ++t) EXPECT_EQ(file.ColumnTitles[t], c.Titles[t]);
  }
}

TEST(ReadImportText, NamesTheFieldSeparatorAndTakesAChosenOne) {
  struct TCase {
    const char* Name;
    std::string Text;
    char Chosen;
    char ChosenDecimal;
    char Separator;
    std::vector<long double> FirstRow;
  };
  const TCase cases[] = {
      {"semicolons", "1;2;3\n", '\0', '\0', ';', {1, 2, 3}},
      {"tabs", "1\t2\n", '\0', '\0', '\t', {1, 2}},
      {"a quoted comma first", "\"1,5\";2\n", '\0', '\0', ';', {1.5L, 2}},
      {"column-aligned", " 1  2\n 3  4\n", '\0', '\0', ' ', {1, 2}},
      {"a chosen semicolon keeps commas in fields", "1,5;2\n", ';', ',', ';', {1.5L, 2}},
      {"a chosen blank reads aligned columns", "1,5  2\n3,5  4\n", ' ', ',', ' ', {1.5L, 2}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TImportSeparators separators;
    separators.ChosenSeparator = c.Chosen;
    separators.ChosenDecimal = c.ChosenDecimal;
    const TImportedFile file = ReadImportString(c.Text, separators);
    EXPECT_EQ(file.FieldSeparator, c.Separator);
    for (std::size_t k = 0; k < c.FirstRow.size(); ++k)
      EXPECT_EQ(file.Table->GetValue(0, static_cast<int>(k)), c.FirstRow[k]) << k;
  }
}

// What the preview shows: each column's counts and the first rows' fields.
TEST(ReadImportText, CountsEachColumnForThePreview) {
  const TImportedFile file = ReadImportString("x,y,z\n1,NA,\n2,,3\n,4,-\n");
  ASSERT_EQ(file.DataColumns, 3);
  const int expected[3][3] = {{2, 1, 0}, {1, 1, 1}, {1, 1, 1}};  // numbers, empty, not numbers
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(file.Counts[static_cast<std::size_t>(c)].Numbers, expected[c][0]);
    EXPECT_EQ(file.Counts[static_cast<std::size_t>(c)].Empty, expected[c][1]);
    EXPECT_EQ(file.Counts[static_cast<std::size_t>(c)].NotNumbers, expected[c][2]);
  }
  EXPECT_EQ(file.FirstNotNumberText, "NA");
  ASSERT_EQ(file.PreviewRows.size(), 3U);
  EXPECT_EQ(file.PreviewRows[0][1].Kind, TPreviewKind::NotNumber);
  EXPECT_EQ(file.PreviewRows[2][1].Kind, TPreviewKind::Number);
  EXPECT_EQ(file.PreviewRows[2][1].Text, "4");
}

}  // namespace
}  // namespace ombrel
