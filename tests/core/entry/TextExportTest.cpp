#include "core/entry/TextExport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/entry/CellStore.h"
#include "core/entry/TextImport.h"

namespace ombrel {
namespace {

// Column A: 1 and 2.5 with one decimal; column B: 12345678 (shown in
// scientific form) above an empty cell.
TDataTable SampleTable(bool titles) {
  TDataTable table;
  StoreCell(table, 0, 0, 1);
  StoreCell(table, 1, 0, 2.5L);
  StoreCell(table, 0, 1, 12345678);
  table.AutoDecimals[0] = 1;
  table.SetTitle("Sheet");
  if (titles) {
    StoreColumnTitle(table, 0, "X");
    StoreColumnTitle(table, 1, "Y");
  }
  return table;
}

TEST(ExportSeparator, UsesTheListSeparatorForTextAndCsvInAnyCase) {
  struct TCase {
    const char* Name;
    char List;
    char Decimal;
    char Separator;
  };
  const TCase cases[] = {
      {"DATA.TXT", ',', '.', ','},          {"/home/u/data.txt", ',', '.', ','},
      {"data.csv", ',', '.', ','},          {"Data.Csv", ';', ',', ';'},
      {"data.csv", ',', ',', ';'},          {"DATA", ',', '.', '\t'},
      {"/home/u.TXT/DATA", ',', '.', '\t'}, {"DATA.TXT.bak", ',', '.', '\t'},
      {"data.dat", ',', '.', '\t'},         {".csv", ',', '.', '\t'},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ExportSeparator(c.Name, c.List, c.Decimal), c.Separator);
  }
}

TEST(WithExtension, AddsTheFilterExtensionOnlyToANameWithout) {
  struct TCase {
    const char* Name;
    const char* Result;
  };
  const TCase cases[] = {{"/home/u/data", "/home/u/data.CSV"},
                         {"data.txt", "data.txt"},
                         {"/home/u.v/data", "/home/u.v/data.CSV"},
                         {"data.", "data.CSV"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(WithExtension(c.Name, "CSV"), c.Result);
  }
}

TEST(ExportDataText, WritesEachLayout) {
  struct TCase {
    const char* Name;
    TExportChoices Choices;
    bool Titles;
    const char* Text;
  };
  TExportChoices standard;
  standard.Separator = ',';
  TExportChoices bare = standard;
  bare.SheetTitle = false;
  bare.ColumnTitles = false;
  TExportChoices decimalComma;
  decimalComma.SheetTitle = false;
  decimalComma.DecimalSeparator = ',';
  TExportChoices indexed;
  indexed.Arrangement = TExportArrangement::Indexed;
  indexed.SheetTitle = false;
  indexed.Separator = ',';
  const TCase cases[] = {
      {"standard with titles", standard, true, "Sheet\r\nX,Y\r\n1.0,1.2345678E+07\r\n2.5,\r\n"},
      {"no title line without titles", standard, false, "Sheet\r\n1.0,1.2345678E+07\r\n2.5,\r\n"},
      {"neither title", bare, true, "1.0,1.2345678E+07\r\n2.5,\r\n"},
      {"decimal comma and tabs", decimalComma, true, "X\tY\r\n1,0\t1,2345678E+07\r\n2,5\t\r\n"},
      {"index layout", indexed, true, "value,group\r\n1.0,1\r\n2.5,1\r\n1.2345678E+07,2\r\n,2\r\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ExportDataText(SampleTable(c.Titles), c.Choices), c.Text);
  }
}

// Exported with the separators a file name and the user's settings call for
// and read back as File Import reads it: the same table, titles included.
TEST(ExportDataText, ReadsBackThroughImport) {
  TDataTable table;
  // An empty first cell makes the first data line start with a separator.
  StoreCell(table, 0, 1, 5);
  StoreCell(table, 1, 0, -0.125L);
  StoreCell(table, 1, 1, 1.5e-9L);
  StoreCell(table, 2, 2, 98765432.5L);
  StoreCell(table, 3, 0, 1.2e-5L);
  StoreCell(table, 3, 1, 5063103);
  StoreCell(table, 3, 2, -7.25L);
  table.AutoDecimals = {};
  table.AutoDecimals[0] = 3;
  table.AutoDecimals[2] = 2;
  table.SetTitle("Round trip");
  StoreColumnTitle(table, 0, "first");
  StoreColumnTitle(table, 2, "third");
  struct TCase {
    const char* Name;
    char List;
    char Decimal;
  };
  const TCase cases[] = {{"data.csv", ',', '.'}, {"data.txt", ',', '.'}, {"DATA.TXT", ',', '.'},
                         {"data.csv", ';', ','}, {"DATA.DAT", ',', '.'}, {"data.txt", ';', ','}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Name << " " << c.List << " " << c.Decimal);
    TExportChoices choices;
    choices.Separator = ExportSeparator(c.Name, c.List, c.Decimal);
    choices.DecimalSeparator = c.Decimal;
    std::istringstream in(ExportDataText(table, choices));
    const TImportedFile file = ReadImportText(in, TImportSeparators{c.List, c.Decimal});
    EXPECT_EQ(file.SheetTitle, "Round trip");
    EXPECT_EQ(file.ColumnTitles[0], "first");
    EXPECT_EQ(file.ColumnTitles[2], "third");
    EXPECT_EQ(file.NotNumberFields, 0);
    ASSERT_EQ(file.DataRows, 4);
    ASSERT_EQ(file.DataColumns, 3);
    for (int r = 0; r < 4; ++r)
      for (int col = 0; col < 3; ++col) {
        SCOPED_TRACE(testing::Message() << "row " << r << " column " << col);
        EXPECT_EQ(file.Table->GetValue(r, col), table.GetValue(r, col));
      }
  }
}

TEST(ExportTwoByTwoText, WritesOneLinePerRow) {
  TTwoByTwoTable table;
  table.A = 12;
  table.B = 3;
  table.C = 40;
  EXPECT_EQ(ExportTwoByTwoText(table, '\t'), "12\t3\r\n40\t\r\n");
}

TEST(ExportSummaryText, WritesTheColumnsWithValues) {
  TDataTable table;
  TColumnSummary& a = table.Summary(0);
  a.Title = "Control";
  a.N = 3;
  a.Mean = 2;
  a.SD = 1;
  a.SEM = 0.5L;
  a.Median = 2;
  a.Minimum = 1;
  a.Maximum = 3;
  a.LowerCI = -0.25L;
  a.UpperCI = 4.25L;
  TColumnSummary& c = table.Summary(2);
  c.Title = "Treated";
  c.N = 1;
  c.Mean = 7;
  c.Median = 7;
  c.Minimum = 7;
  c.Maximum = 7;
  EXPECT_EQ(ExportSummaryText(table),
            "Control,Treated\r\n3,1\r\n2,7\r\n1,\r\n0.5,\r\n2,7\r\n1,7\r\n3,7\r\n-0.25,\r\n4.25,\r\n");
  EXPECT_EQ(ExportSummaryText(TDataTable{}), "");
}

TEST(WriteExportFile, WritesTheTextOrAnswersTheError) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("ombrel-export-" + std::to_string(::getpid()) + ".TXT");
  ASSERT_EQ(WriteExportFile(path.string(), "1, 2\r\n"), 0);
  std::ifstream in(path, std::ios::binary);
  const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(written, "1, 2\r\n");
  in.close();
  std::filesystem::remove(path);
  EXPECT_EQ(WriteExportFile("/nonexistent-ombrel-folder/DATA.TXT", "x"), ENOENT);
}

}  // namespace
}  // namespace ombrel
