#include "core/entry/Workbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "core/entry/ImportData.h"
#include "core/entry/WorkbookParts.h"
#include "support/ImportSamples.h"

namespace ombrel {
namespace {

TImportOptions SheetOptions(const std::string& sheet) {
  TImportOptions options;
  options.Sheet = sheet;
  return options;
}

struct TColumnExpect {
  const char* Title;
  int Numbers;
  long double Mean;
  int NotNumbers;
  int Dates;
  int Empty;
};

// book.xlsx was written by a spreadsheet application (formulas hold their
// results), book.ods is the same workbook saved as OpenDocument: both must
// read alike. Means worked out by hand from the values typed into the
// sheets; the "Dose" cells show one decimal and the "Rate" cells percents,
// which must change nothing.
TEST(ReadImportData, ReadsEachSheetOfBothFormatsAlike) {
  struct TCase {
    const char* Sheet;
    int Rows;
    std::vector<TColumnExpect> Columns;
    int NotNumbers;
    const char* FirstNotNumberCell;
    int Dates;
    int HiddenRows;
    int HiddenColumns;
    std::vector<std::string> RowTitles;
  };
  const TCase cases[] = {
      {"",
       5,
       {{"Dose", 5, (0.1L + 0.2L + 1.5e-5L + 0.123456789012L + 1234.5L) / 5, 0, 0, 0},
        {"Response", 3, 25, 2, 0, 0},  // 12.5, =B2*2, =SUM(B2:B3); #DIV/0! and #N/A
        {"Weight", 3, (70 + 71.5L + 68) / 3, 1, 0, 1},
        {"Visit", 0, 0, 0, 4, 1},  // three dates and a time
        {"Ok", 0, 0, 3, 0, 2},     // truth values
        {"Rate", 4, (0.25L + 0.5L + 0.125L + 1) / 4, 0, 0, 1}},
       6,
       "E2",
       4,
       0,
       0,
       {}},
      {"Weights",
       4,
       {{"Group A", 4, 19.875L, 0, 0, 0},
        {"Group B", 3, (22.1L + 23.5L + 24.25L) / 3, 1, 0, 0},
        {"Group C", 4, 2.5L, 0, 0, 0}},
       1,
       "C5",
       0,
       1,
       1,
       {}},
      {"3", 4, {{"Group", 0, 0, 3, 0, 1}, {"Value", 3, 6, 0, 0, 1}}, 3, "A2", 0, 0, 0, {}},
      {"Named",
       3,
       {{"height", 3, (1.62L + 1.75L + 1.8L) / 3, 0, 0, 0}, {"mass", 3, (55 + 72.5L + 80) / 3, 0, 0, 0}},
       0,
       "",
       0,
       0,
       0,
       {"alpha", "beta", "gamma"}},
  };
  for (const char* book : {"book.xlsx", "book.ods"}) {
    for (const TCase& c : cases) {
      SCOPED_TRACE(testing::Message() << book << " sheet '" << c.Sheet << "'");
      const TImportedFile file = ReadImportData(ImportSamplePath(book), SheetOptions(c.Sheet));
      ASSERT_TRUE(file.Read()) << file.ProblemMessage;
      EXPECT_EQ(file.SheetNames, (std::vector<std::string>{"Doses", "Weights", "Layout", "Named"}));
      EXPECT_EQ(file.DataRows, c.Rows);
      EXPECT_EQ(file.DataColumns, static_cast<int>(c.Columns.size()));
      EXPECT_FALSE(file.TooManyRows);
      EXPECT_FALSE(file.TooManyColumns);
      for (std::size_t k = 0; k < c.Columns.size(); ++k) {
        SCOPED_TRACE(c.Columns[k].Title);
        EXPECT_EQ(file.ColumnTitles[k], c.Columns[k].Title);
        const TColumnNMean got = ColumnNMean(*file.Table, static_cast<int>(k));
        EXPECT_EQ(got.N, c.Columns[k].Numbers);
        EXPECT_NEAR(static_cast<double>(got.Mean), static_cast<double>(c.Columns[k].Mean),
                    std::fabs(static_cast<double>(c.Columns[k].Mean)) * 1e-13);
        EXPECT_EQ(file.Counts[k].Numbers, c.Columns[k].Numbers);
        EXPECT_EQ(file.Counts[k].NotNumbers, c.Columns[k].NotNumbers);
        EXPECT_EQ(file.Counts[k].Dates, c.Columns[k].Dates);
        EXPECT_EQ(file.Counts[k].Empty, c.Columns[k].Empty);
      }
      EXPECT_EQ(file.NotNumberFields, c.NotNumbers);
      EXPECT_EQ(file.FirstNotNumberCell, c.FirstNotNumberCell);
      EXPECT_EQ(file.DateFields, c.Dates);
      EXPECT_EQ(file.HiddenRows, c.HiddenRows);
      EXPECT_EQ(file.HiddenColumns, c.HiddenColumns);
      EXPECT_EQ(std::count(file.RowHidden.begin(), file.RowHidden.end(), 1), c.HiddenRows);
      EXPECT_EQ(std::count(file.ColumnHidden.begin(), file.ColumnHidden.end(), 1), c.HiddenColumns);
      EXPECT_EQ(file.RowNamesTaken, !c.RowTitles.empty());
      for (std::size_t r = 0; r < c.RowTitles.size(); ++r)
        EXPECT_EQ(file.Table->RowTitle(static_cast<int>(r)), c.RowTitles[r]);
    }
  }
}

// Values kept exactly as stored, whatever the cell shows.
TEST(ReadImportData, KeepsStoredValuesNotDisplayedOnes) {
  for (const char* book : {"book.xlsx", "book.ods"}) {
    SCOPED_TRACE(book);
    const TImportedFile file = ReadImportData(ImportSamplePath(book), {});
    ASSERT_TRUE(file.Read());
    EXPECT_EQ(file.Table->GetValue(2, 0), 1.5e-5L);  // shown as 0.0
    EXPECT_EQ(file.Table->GetValue(3, 0), 0.123456789012L);
    EXPECT_EQ(file.Table->GetValue(0, 5), 0.25L);  // shown as 25%
    EXPECT_EQ(file.PreviewRows[0][4].Kind, TPreviewKind::NotNumber);
    EXPECT_EQ(file.PreviewRows[0][3].Kind, TPreviewKind::Date);
    EXPECT_EQ(file.PreviewRows[1][2].Text, "NA");
  }
}

// Every digit the file stores reaches the document's cells: none of the
// rounding of typed text (0.30000000000000004 is no 0.3).
TEST(ReadImportData, KeepsEveryStoredDigit) {
  const char* stored[] = {"0.30000000000000004", "123456789.12345679", "1e-20",
                          "0.3333333333333333",  "1234567890123456.8", "-0.1"};
  for (const char* book : {"exact-numbers.xlsx", "exact-numbers.ods"}) {
    SCOPED_TRACE(book);
    const TImportedFile file = ReadImportData(ImportSamplePath(book), {});
    ASSERT_TRUE(file.Read()) << file.ProblemMessage;
    TDataTable target;
    ApplyImport(file, {}, target, 0, 0);
    for (int r = 0; r < static_cast<int>(std::size(stored)); ++r) {
      SCOPED_TRACE(stored[r]);
      EXPECT_EQ(target.GetValue(r, 0), std::strtold(stored[r], nullptr));
      EXPECT_EQ(static_cast<double>(target.GetValue(r, 0)), std::strtod(stored[r], nullptr));
    }
    EXPECT_NE(target.GetValue(0, 0), 0.3L);
  }
}

// Formulas a writer stored without their results cannot be taken as numbers.
TEST(ReadImportData, CountsFormulasWithoutResultsAsNotNumbers) {
  const TImportedFile file = ReadImportData(ImportSamplePath("book-uncached.xlsx"), {});
  ASSERT_TRUE(file.Read()) << file.ProblemMessage;
  EXPECT_EQ(file.Counts[1].Numbers, 1);
  EXPECT_EQ(file.Counts[1].NotNumbers, 4);
  EXPECT_EQ(file.PreviewRows[1][1].Text, "=B2*2");
  EXPECT_EQ(file.Counts[3].Dates, 4);
  EXPECT_EQ(file.Counts[5].Numbers, 4);
}

TEST(ReadImportData, ReadsAtMostOneThousandRowsOfAWorkbook) {
  struct TCase {
    const char* File;
    long double Last[3];
    bool TooManyColumns;
  };
  const TCase cases[] = {
      {"long.xlsx", {1000, 1000000, EmptyValue}, false},
      // A row written once with a repeat count of 1200, its last cell twice.
      {"repeated-rows.ods", {1.5L, 2, 2}, false},
      // The same with repeat counts of two thousand millions.
      {"repeat-bomb.ods", {1.5L, 2, 2}, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    const TImportedFile file = ReadImportData(ImportSamplePath(c.File), {});
    ASSERT_TRUE(file.Read()) << file.ProblemMessage;
    EXPECT_EQ(file.DataRows, MaxImportRows);
    EXPECT_TRUE(file.TooManyRows);
    EXPECT_EQ(file.TooManyColumns, c.TooManyColumns);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(file.Table->GetValue(MaxImportRows - 1, k), c.Last[k]) << k;
  }
}

TEST(ReadImportData, SaysWhyADamagedOrHostileFileIsNotRead) {
  struct TCase {
    const char* File;
    std::string Sheet;
    TImportProblem Problem;
    std::string Message;
  };
  const TCase cases[] = {
      {"truncated.xlsx", "", TImportProblem::Damaged,
       "truncated.xlsx is damaged: its zip archive ends early (the file may have been cut short)."},
      {"entity-bomb.xlsx", "", TImportProblem::Damaged,
       "entity-bomb.xlsx is damaged: its part xl/workbook.xml declares a document type, which a workbook never "
       "does."},
      {"huge-declared.xlsx", "", TImportProblem::TooLarge,
       "huge-declared.xlsx is too large to import: its part xl/worksheets/sheet1.xml unpacks to more than 128 MB."},
      {"not-a-workbook.xlsx", "", TImportProblem::NotWorkbook, "not-a-workbook.xlsx is not a workbook."},
      {"book.xlsx", "Nope", TImportProblem::NoSuchSheet, "book.xlsx has no sheet named \"Nope\"."},
      {"book.ods", "9", TImportProblem::NoSuchSheet, "book.ods has no sheet 9: it has 4 sheets."},
      {"no-such-book.xlsx", "", TImportProblem::CannotOpen, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.File);
    const TImportedFile file = ReadImportData(ImportSamplePath(c.File), SheetOptions(c.Sheet));
    EXPECT_EQ(file.Problem, c.Problem);
    if (!c.Message.empty()) {
      EXPECT_EQ(file.ProblemMessage, c.Message);
    }
    EXPECT_FALSE(file.Table->HasData());
  }
}

TEST(ReadWorkbookFile, CountsTheBytesItUnpacks) {
  TWorkbookLimits limits;
  limits.PartBytes = 1 << 20;
  const TWorkbookSheet small = ReadWorkbookFile(ImportSamplePath("inflates-large.xlsx"), "", limits);
  EXPECT_EQ(small.Problem, TWorkbookProblem::TooLarge);
  // Within the usual limit the blanks are only blanks.
  EXPECT_TRUE(ReadWorkbookFile(ImportSamplePath("inflates-large.xlsx"), "").Ok());
}

std::map<std::string, std::string> XlsxParts(const std::string& sheetXml, const std::string& workbookXml = {}) {
  return {{"xl/workbook.xml", workbookXml.empty() ? "<workbook><sheets><sheet name='A' r:id='rId1' "
                                                    "xmlns:r='r'/><sheet name='1' r:id='rId2' xmlns:r='r'/>"
                                                    "</sheets></workbook>"
                                                  : workbookXml},
          {"xl/worksheets/sheet1.xml", sheetXml},
          {"xl/worksheets/sheet2.xml", "<worksheet><sheetData><row><c><v>7</v></c></row></sheetData></worksheet>"}};
}

TEST(ReadWorkbookParts, RefusesHostileXml) {
  struct TCase {
    const char* Name;
    std::string Sheet;
    TWorkbookProblem Problem;
    std::string Detail;
  };
  std::string deep;
  for (int i = 0; i < 300; ++i) deep += "<a>";
  const TCase cases[] = {
      {"entity declared inside", "<!DOCTYPE w [<!ENTITY x 'y'>]><worksheet/>", TWorkbookProblem::Damaged,
       "its part xl/worksheets/sheet1.xml declares a document type, which a workbook never does"},
      {"nested beyond the limit", "<worksheet>" + deep, TWorkbookProblem::Damaged,
       "its part xl/worksheets/sheet1.xml nests elements more than 256 deep"},
      {"not well-formed", "<worksheet><sheetData></worksheet>", TWorkbookProblem::Damaged,
       "its part xl/worksheets/sheet1.xml is not well-formed XML (mismatched tag at line 1)"},
      {"undefined entity", "<worksheet>&x;</worksheet>", TWorkbookProblem::Damaged,
       "its part xl/worksheets/sheet1.xml is not well-formed XML (undefined entity at line 1)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    detail::TMemoryParts parts(XlsxParts(c.Sheet));
    const TWorkbookSheet sheet = ReadWorkbookParts(parts, "");
    EXPECT_EQ(sheet.Problem, c.Problem);
    EXPECT_EQ(sheet.Detail, c.Detail);
  }
}

TEST(ReadWorkbookParts, CountsCellsAndChoosesSheetsByNameFirst) {
  std::string manyCells = "<worksheet><sheetData><row>";
  for (int i = 0; i < 200; ++i) manyCells += "<c/>";
  manyCells += "</row></sheetData></worksheet>";
  TWorkbookLimits limits;
  limits.Cells = 100;
  detail::TMemoryParts parts(XlsxParts(manyCells));
  EXPECT_EQ(ReadWorkbookParts(parts, "", limits).Problem, TWorkbookProblem::TooLarge);
  // The sheet named "1" is the second one; sheet 2 by number is also it.
  for (const char* choice : {"1", "2"}) {
    const TWorkbookSheet sheet = ReadWorkbookParts(parts, choice);
    ASSERT_TRUE(sheet.Ok()) << choice;
    EXPECT_EQ(sheet.Sheet, 1);
    EXPECT_EQ(sheet.Rows[0][0].Text, "7");
  }
}

TEST(ReadWorkbookParts, ReadsCellsOfEveryKind) {
  // Inline strings, shared strings with phonetic runs left out, formula
  // text, errors, truth values, dates by style, cells without references.
  detail::TMemoryParts parts({
      {"xl/workbook.xml", "<workbook><sheets><sheet name='S' r:id='rId9' xmlns:r='r'/></sheets></workbook>"},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships><Relationship Id='rId9' Target='/xl/data/s.xml' Type='x/worksheet'/>"
       "<Relationship Id='rId3' Target='strings.xml' Type='x/sharedStrings'/>"
       "<Relationship Id='rId4' Target='st.xml' Type='x/styles'/></Relationships>"},
      {"xl/strings.xml", "<sst><si><t>zero</t></si><si><r><t>o</t></r><r><t>ne</t></r><rPh><t>x</t></rPh></si></sst>"},
      {"xl/st.xml",
       "<styleSheet><numFmts><numFmt numFmtId='170' formatCode='d/m/yy'/></numFmts><cellStyleXfs><xf numFmtId='14'/>"
       "</cellStyleXfs><cellXfs><xf numFmtId='0'/><xf numFmtId='170'/><xf numFmtId='46'/></cellXfs></styleSheet>"},
      {"xl/data/s.xml",
       "<worksheet><sheetData><row r='3'><c r='B3' t='s'><v>1</v></c><c t='inlineStr'><is><t>in</t></is></c>"
       "<c><f>A1</f></c><c t='e'><v>#N/A</v></c><c t='b'><v>1</v></c><c s='1'><v>45000</v></c>"
       "<c s='2'><v>0.5</v></c><c s='0'><v>-2.5E-3</v></c><c t='str'><f>X</f><v></v></c></row></sheetData>"
       "</worksheet>"},
  });
  const TWorkbookSheet sheet = ReadWorkbookParts(parts, "");
  ASSERT_TRUE(sheet.Ok()) << sheet.Detail;
  EXPECT_EQ(sheet.FirstRow, 3);
  ASSERT_EQ(sheet.Rows.size(), 1U);
  const std::vector<TWorkbookCell>& row = sheet.Rows[0];
  ASSERT_EQ(row.size(), 9U);  // the empty text result last is no value
  using K = TWorkbookCellKind;
  const std::vector<std::pair<K, std::string>> expected = {
      {K::Empty, ""},       {K::Text, "one"},   {K::Text, "in"},  {K::Formula, "=A1"},   {K::Error, "#N/A"},
      {K::Boolean, "TRUE"}, {K::Date, "45000"}, {K::Date, "0.5"}, {K::Number, "-2.5E-3"}};
  for (std::size_t k = 0; k < expected.size(); ++k) {
    SCOPED_TRACE(k);
    EXPECT_EQ(row[k].Kind, expected[k].first);
    EXPECT_EQ(row[k].Text, expected[k].second);
  }
}

TEST(IsDateFormatCode, FindsDateAndTimePartsOutsideTextAndBrackets) {
  struct TCase {
    const char* Code;
    bool Date;
  };
  const TCase cases[] = {
      {"yyyy\\-mm\\-dd", true}, {"d/m/yy", true},        {"hh:mm", true},
      {"[h]:mm:ss", true},      {"[$-409]mmm d", true},  {"General", false},
      {"0.0", false},           {"0%", false},           {"0.00E+00", false},
      {"[Red]0.00", false},     {"#,##0 \"kg\"", false}, {"\"days\" 0", false},
      {"_-* #,##0_-", false},   {"0\\d", false},         {"", false},
  };
  for (const TCase& c : cases) EXPECT_EQ(IsDateFormatCode(c.Code), c.Date) << c.Code;
  for (const int id : {14, 22, 45, 47}) EXPECT_TRUE(IsBuiltInDateFormat(id)) << id;
  for (const int id : {0, 2, 10, 13, 23, 44, 48, 49}) EXPECT_FALSE(IsBuiltInDateFormat(id)) << id;
}

TEST(DataFileKindOf, TellsDataFilesByTheirContent) {
  struct TCase {
    std::string Path;
    TDataFileKind Kind;
    std::string Message;
  };
  const TCase cases[] = {
      {ImportSamplePath("r-write-csv.csv"), TDataFileKind::TextData,
       "r-write-csv.csv is a text file of data, not an Ombrel document."},
      {ImportSamplePath("book.xlsx"), TDataFileKind::Xlsx, "book.xlsx is a workbook, not an Ombrel document."},
      {ImportSamplePath("book.ods"), TDataFileKind::Ods, "book.ods is a workbook, not an Ombrel document."},
      {ImportSamplePath("not-a-workbook.xlsx"), TDataFileKind::Other, ""},
      {ImportSamplePath("no-such-file.csv"), TDataFileKind::Other, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Path);
    EXPECT_EQ(DataFileKindOf(c.Path), c.Kind);
    EXPECT_EQ(NotDocumentMessage(c.Path, c.Kind), c.Message);
  }
}

}  // namespace
}  // namespace ombrel
