#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/base/NumberText.h"

// The contingency analyses reached the way the user reaches them: through
// the document's RunAnalysis, its drivers and the finished report.

namespace ombrel {
namespace {

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(ContingencyDocument, TwoByTwoReportNamesUntitledRowsAndColumns) {
  TDocument document;
  document.ChooseFormat(TDataFormat::TwoByTwo);
  document.TwoByTwo.A = 10;
  document.TwoByTwo.B = 3;
  document.TwoByTwo.C = 4;
  document.TwoByTwo.D = 12;
  document.TwoByTwo.Titles[TTwoByTwoTable::Column1Title] = "Disease";
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);

  EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
  EXPECT_EQ(document.Report.ReportHelpTopic, 557);
  const std::vector<std::string> lines = test::VisibleLines(document.Report);
  EXPECT_TRUE(Contains(lines, test::Underlined(CenterText("Fisher's Exact Test", 65))));
  EXPECT_TRUE(Contains(lines, "The two-sided P value is 0.0092, considered very significant."));
  // Relative risk and difference are the default choices.
  EXPECT_TRUE(Contains(lines, test::Underlined("Relative Risk")));
  EXPECT_TRUE(Contains(lines, test::Underlined("Difference between the two proportions")));
  EXPECT_TRUE(Contains(lines, std::string("^") + PadLeft("Row 1", 15) + std::string("^") + PadLeft("10", 16) +
                                  PadLeft("3", 17) + PadLeft("13", 17)));
  const std::string heading = std::string("^") + std::string(16, ' ') + PadLeft("Disease", 15) + "  " +
                              PadLeft("Column B", 15) + "  " + PadLeft("Total", 15) + std::string("^");
  EXPECT_TRUE(Contains(lines, heading));
  EXPECT_TRUE(document.TwoByTwo.Titles[TTwoByTwoTable::Row1Title].empty());
}

TEST(ContingencyDocument, TwoByTwoRefusalShowsOnlyTheMessage) {
  TDocument document;
  document.ChooseFormat(TDataFormat::TwoByTwo);
  document.TwoByTwo.A = 1;
  document.TwoByTwo.B = 2;
  document.TwoByTwo.C = 3;  // D left blank
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  EXPECT_EQ(document.Table.StatusCode, TStatusCode::MissingCount);
  const std::vector<std::string> lines = test::VisibleLines(document.Report);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "All four values must be entered in the spreadsheet to perform test.");
  EXPECT_EQ(lines[2], "");
}

TEST(ContingencyDocument, LargerTableTitlesUntitledColumnsByLetter) {
  TDocument document;
  document.ChooseFormat(TDataFormat::LargerTable);
  const long double counts[2][3] = {{5, 10, 15}, {20, 15, 10}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) document.Table.SetValue(r, c, counts[r][c]);
  document.Table.Summary(1).Title = "Middle";
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);

  EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
  EXPECT_EQ(document.Report.ReportHelpTopic, 612);
  const std::vector<std::string> lines = test::VisibleLines(document.Report);
  EXPECT_TRUE(Contains(lines, "Table size: 2 rows, 3 columns."));
  EXPECT_TRUE(Contains(lines, test::Underlined(CenterText("Chi-Squared Test for Trend.", 65))));
  // Column totals: A has 25 of 75 subjects, "Middle" 25, C 25.
  EXPECT_TRUE(Contains(lines, PadLeft("A", 15) + "          25    33.33%"));
  EXPECT_TRUE(Contains(lines, PadLeft("Middle", 15) + "          25    33.33%"));
  EXPECT_TRUE(Contains(lines, PadLeft("C", 15) + "          25    33.33%"));
  EXPECT_TRUE(document.Table.Summary(0).Title.empty());
}

}  // namespace
}  // namespace ombrel
