#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "support/ReportAgreement.h"
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

// The section that closes a report when asked for: phi or Cramer's V, the
// method and the APA sentence. SciPy gives Fisher's P 0.009221 and phi
// 0.5168 for 10 3 / 4 12; chi-square 5.769 (no Yates), P 0.01631 and phi
// 0.2402 for 30 20 / 18 32; chi-square 20 with 3 df, P 0.0001697 and V
// 0.4472 for the 2 x 4 table (tools/expected/contingency_effect_sizes.py).
TEST(ContingencyDocument, EffectSectionOfEachTable) {
  struct TRow {
    const char* Golden;
    TTwoByTwoTest Test;
    long double A, B, C, D;
  };
  const TRow rows[] = {{"two-by-two/effect-section-fisher", TTwoByTwoTest::Fisher, 10, 3, 4, 12},
                       {"two-by-two/effect-section-chi-square", TTwoByTwoTest::ChiSquare, 30, 20, 18, 32}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Golden);
    TDocument document;
    document.EffectSizes = true;
    document.ChooseFormat(TDataFormat::TwoByTwo);
    document.TwoByTwo = {row.A, row.B, row.C, row.D, {"Disease", "No disease", "Exposed", "Unexposed"}};
    document.Choices.UseChiSquare = row.Test;
    document.Choices.Yates = 0;
    document.Choices.ReportRiskDifference = 0;
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    test::ExpectGoldenDocument(document, row.Golden);
  }

  TDocument document;
  document.EffectSizes = true;
  document.ChooseFormat(TDataFormat::LargerTable);
  const long double counts[2][4] = {{5, 10, 15, 20}, {20, 15, 10, 5}};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 4; ++c) document.Table.SetValue(r, c, counts[r][c]);
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  test::ExpectGoldenDocument(document, "larger-table/effect-section");
}

}  // namespace
}  // namespace ombrel
