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

TEST(ExportSeparator, UsesTheListSeparatorOnlyForTXT) {
  struct TCase {
    const char* Name;
    char Separator;
  };
  const TCase cases[] = {{"DATA.TXT", ';'},       {"/home/u/DATA.TXT", ';'}, {"DATA.txt", '\t'},
                         {"DATA.CSV", '\t'},      {"DATA", '\t'},            {"/home/u.TXT/DATA", '\t'},
                         {"DATA.TXT.bak", '\t'}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ExportSeparator(c.Name, ';'), c.Separator);
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
      {"standard with titles", standard, true, "Sheet\r\nX,Y\r\n1.0, 1.2345678E+07\r\n2.5, \r\n"},
      {"no title line without titles", standard, false, "Sheet\r\n1.0, 1.2345678E+07\r\n2.5, \r\n"},
      {"neither title", bare, true, "1.0, 1.2345678E+07\r\n2.5, \r\n"},
      {"decimal comma and tabs", decimalComma, true, "X\tY\r\n1,0\t 1,2345678E+07\r\n2,5\t \r\n"},
      {"index layout", indexed, true, "value,group\r\n1.0,1\r\n2.5,1\r\n1.2345678E+07,2\r\n,2\r\n"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(ExportDataText(SampleTable(c.Titles), c.Choices), c.Text);
  }
}

TEST(ExportDataText, ReadsBackThroughImport) {
  TDataTable table;
  // An empty first cell makes the first data line start with a tab.
  StoreCell(table, 0, 1, 5);
  StoreCell(table, 1, 0, -0.125L);
  StoreCell(table, 1, 1, 1.5e-9L);
  StoreCell(table, 2, 2, 98765432.5L);
  table.AutoDecimals = {};
  table.AutoDecimals[0] = 3;
  table.AutoDecimals[2] = 1;
  table.SetTitle("Round trip");
  StoreColumnTitle(table, 0, "first");
  StoreColumnTitle(table, 2, "third");
  std::istringstream in(ExportDataText(table, TExportChoices{}));
  const TImportedFile file = ReadImportText(in, TImportSeparators{});
  EXPECT_EQ(file.SheetTitle, "Round trip");
  EXPECT_EQ(file.ColumnTitles[0], "first");
  EXPECT_EQ(file.ColumnTitles[2], "third");
  ASSERT_EQ(file.DataRows, 3);
  ASSERT_EQ(file.DataColumns, 3);
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
      EXPECT_EQ(static_cast<double>(file.Table->GetValue(r, c)), static_cast<double>(table.GetValue(r, c)));
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
