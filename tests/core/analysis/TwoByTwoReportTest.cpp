#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <regex>
#include <string>
#include <vector>

#include "core/analysis/TwoByTwo.h"
#include "core/base/DataTable.h"
#include "core/document/ReportData.h"
#include "core/report/ReportText.h"
#include "support/ContingencyTestSupport.h"
#include "support/GoldenReport.h"
#include "support/ReportAgreement.h"

// Golden reports of the two-by-two analysis, kept in
// tests/data/reports/two-by-two and laid out by hand from the report's rules
// (tab columns, widths, number forms). The figures in them come from
// independent python3 computations (tools/expected/two_by_two.py): exact
// rationals for Fisher's P and the chi-square statistics, mpmath 1.3 for
// chi-square tails, the intervals and the bisected F quantiles of the exact
// binomial limits.

namespace ombrel {
namespace {

const TTwoByTwoTitles Titles{"Disease", "No disease", "Exposed", "Unexposed"};

TTwoByTwoRequest RequestOf(TTwoByTwoRequest request, long double a, long double b, long double c, long double d) {
  request.A = a;
  request.B = b;
  request.C = c;
  request.D = d;
  request.Titles = Titles;
  return request;
}

TStatusCode RunTable(TDataTable& table, TReportText& report, TReportResults& results, const TTwoByTwoRequest& request) {
  return test::RunRecorded(table, report, results, [&](TAnalysisRun& run) { RunTwoByTwo(request, run); });
}

struct GoldenReport {
  const char* Name;
  long double A, B, C, D;
  TTwoByTwoRequest Request;
  bool WholeReport;  // otherwise the lines before "Data analyzed"
  const char* Golden;
};

constexpr TTwoByTwoTest ChiSquare = TTwoByTwoTest::ChiSquare;

// clang-format off
const GoldenReport Goldens[] = {
    {"FisherTwoSidedWithOddsRatio", 10, 3, 4, 12, {.OddsRatio = true}, true,
     "two-by-two/fisher-two-sided-with-odds-ratio"},
    {"FisherOneSidedZeroCountOddsRatio", 5, 0, 3, 7, {.Tails = 1, .OddsRatio = true}, true,
     "two-by-two/fisher-one-sided-zero-count-odds-ratio"},
    {"FisherTooLargeFallsBackToChiSquare", 1000, 500, 300, 201, {}, true,
     "two-by-two/fisher-too-large-falls-back-to-chi-square"},
    {"ChiSquareYatesWarnsAtForty", 15, 10, 5, 10, {.Test = ChiSquare}, true,
     "two-by-two/chi-square-yates-warns-at-forty"},
    {"ChiSquareOneSidedRiskAndDifference", 30, 20, 18, 32, {.Test = ChiSquare, .Yates = false, .Tails = 1, .RelativeRisk = true, .Difference = true}, true,
     "two-by-two/chi-square-one-sided-risk-and-difference"},
    {"FisherWithSensitivityBlock", 40, 10, 5, 45, {.Sensitivity = true}, true,
     "two-by-two/fisher-with-sensitivity-block"},
    {"FisherEqualMarginsDoublesOneSided", 5, 0, 0, 5, {.Sensitivity = true}, false,
     "two-by-two/fisher-equal-margins-doubles-one-sided"},
    {"FisherBalancedTableIsCappedAtOne", 5, 5, 5, 5, {}, false,
     "two-by-two/fisher-balanced-table-is-capped-at-one"},
    {"ChiSquareOfZeroHasPOne", 11, 11, 11, 11, {.Test = ChiSquare}, false,
     "two-by-two/chi-square-of-zero-has-p-one"},
    {"InfiniteRelativeRisk", 5, 5, 0, 10, {.RelativeRisk = true, .Difference = true}, false,
     "two-by-two/infinite-relative-risk"},
    {"DifferenceWithTopIntervalOnly", 6, 6, 3, 9, {.RelativeRisk = true, .Difference = true}, false,
     "two-by-two/difference-with-top-interval-only"},
};
// clang-format on

// Each report equals its golden text (whole, or up to "Data analyzed"), its
// record the golden JSON, and the two agree.
TEST(TwoByTwoReport, MatchesGoldenReports) {
  for (const GoldenReport& golden : Goldens) {
    SCOPED_TRACE(golden.Name);
    TDataTable table;
    TReportText report;
    TReportResults results;
    const TTwoByTwoRequest request = RequestOf(golden.Request, golden.A, golden.B, golden.C, golden.D);
    EXPECT_EQ(RunTable(table, report, results, request), TStatusCode::Ok);
    EXPECT_EQ(report.HelpTopic, 557);
    if (golden.WholeReport) {
      test::ExpectGoldenRun(report, results, "", TDataFormat::TwoByTwo, golden.Golden);
      continue;
    }
    std::vector<std::string> lines = test::VisibleLines(report);
    lines.resize(static_cast<std::size_t>(std::find(lines.begin(), lines.end(), "_Data analyzed_") - lines.begin()));
    test::ExpectGolden(lines, golden.Golden);
    test::ExpectGoldenJson(ReportResultTree(results, std::string(golden.Golden) + ".omd", "", TDataFormat::TwoByTwo),
                           golden.Golden);
    test::ExpectReportAgreesWithResults(report, results);
  }
}

TEST(TwoByTwoReport, RefusalsReplaceTheReportByTheirMessage) {
  struct Row {
    long double A, B, C, D;
    TStatusCode Code;
    std::vector<std::string> Message;
  };
  const Row rows[] = {
      {EmptyValue,
       1,
       2,
       3,
       TStatusCode::MissingCount,
       {"All four values must be entered in the spreadsheet to perform test."}},
      {2.5L, 1, 2, 3, TStatusCode::Fraction, {"Fractions are not allowed in chi-square analysis."}},
      {-1,
       2,
       2,
       3,
       TStatusCode::Negative,
       {"Negative integers are not allowed in chi square analysis.  All",
        "numbers should be converted to positive integers."}},
      {-1,
       1,
       2.5L,
       3,
       TStatusCode::ZeroRow,
       {"One row is filled with zeros.  In this situation, chi-square",
        "analysis is impossible.  At least one of these values must be", "positive."}},
      {0,
       1,
       0,
       3,
       TStatusCode::ZeroColumn,
       {"One column is filled with zeros.  In this situation,",
        "chi-square analysis is impossible.  At least one of these", "values must be positive."}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Code));
    TDataTable table;
    TReportText report;
    TReportResults results;
    EXPECT_EQ(RunTable(table, report, results, RequestOf({}, row.A, row.B, row.C, row.D)), row.Code);
    EXPECT_EQ(table.StatusCode, row.Code);
    EXPECT_TRUE(results.Analyses[0].Results.IsNull());
    std::vector<std::string> expected{""};
    expected.insert(expected.end(), row.Message.begin(), row.Message.end());
    expected.emplace_back();
    test::ExpectReportLines(report, expected);
  }
}

TEST(TwoByTwoReport, CountsBeyondThirtyTwoBitsAreAnInvalidOperation) {
  // The report's count table holds 32-bit counts; a larger count is refused
  // with code 5 rather than printed wrongly.
  TDataTable table;
  TReportText report;
  TReportResults results;
  EXPECT_EQ(RunTable(table, report, results, RequestOf({}, 3e9L, 1, 2, 3)), TStatusCode::InvalidOperation);
  EXPECT_EQ(test::VisibleLines(report)[1], "Invalid floating point operation.  This unanticipated error");
}

TEST(WriteTwoByTwoPSentence, WritesTheBoundaryInFixedFormAndNoUpperCut) {
  struct Row {
    int Tails;
    bool Wording;
    long double P;
    const char* Line;
  };
  const Row rows[] = {
      {2, true, 0.0001L, "The two-sided P value is 0.0001, considered extremely significant."},
      {2, true, 0.0000999L, "The two-sided P value is < 0.0001, considered extremely significant."},
      {1, true, 0.00012L, "The one-sided P value is 0.0001, considered extremely significant."},
      {1, true, 0.05L, "The one-sided P value is 0.0500, considered not quite significant."},
      {2, true, 0.99995L, "The two-sided P value is 1.0000, considered not significant."},
      {2, true, 1.0L, "The two-sided P value is 1.0000, considered not significant."},
      {0, false, 0.2L, "The P value is 0.2000. "},
      {0, false, 0.0L, "The P value is < 0.0001. "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Line);
    TReportText report;
    report.BeginReport();
    WriteTwoByTwoPSentence(report, row.Tails, row.Wording, row.P);
    EXPECT_EQ(test::WrittenLines(report), std::vector<std::string>{row.Line});
    EXPECT_EQ(report.Column(), 1);
  }
}

// A lower limit in scientific form reaches the stop of "to", which then
// ends beyond the last stop: the fields keep a blank between them. With
// A = 1 of A + C = 4001 the sensitivity's lower limit is about 6E-06.
TEST(TwoByTwoReport, SensitivityRowsThatOverflowKeepTheirFieldsApart) {
  TDataTable table;
  TReportText report;
  TReportResults results;
  ASSERT_EQ(RunTable(table, report, results, RequestOf({.Sensitivity = true}, 1, 30, 4000, 60)), TStatusCode::Ok);
  const std::vector<std::string> lines = test::VisibleLines(report);
  const auto row = std::find_if(lines.begin(), lines.end(),
                                [](const std::string& l) { return l.find("Sensitivity  ") != std::string::npos; });
  ASSERT_NE(row, lines.end());
  // Label, value at column 30, lower limit at 40 (in 11), "to" at 52, the
  // upper limit one blank after it.
  EXPECT_TRUE(std::regex_match(*row, std::regex(R"(\^\^Sensitivity {18}\S{9} {2} [1-9]\.\d{3}E-0\d to \S+)"))) << *row;
  for (const std::string& line : lines) EXPECT_FALSE(std::regex_search(line, std::regex(R"(\dto|to\d)"))) << line;
}

}  // namespace
}  // namespace ombrel
