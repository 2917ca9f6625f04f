#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/ContingencyTestSupport.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/analysis/TwoByTwo.h"

// Golden reports of the two-by-two analysis, laid out by hand from the
// report's rules (tab columns, widths, number forms). The figures in them come
// from independent python3 computations: exact rationals for Fisher's P and
// the chi-square statistics, mpmath 1.3 for chi-square tails, the intervals
// and the bisected F quantiles of the exact binomial limits.

namespace ombrel {
namespace {

using test::ReportLines;
using test::RunFramed;

const std::array<std::string, 2> ColumnTitles{"Disease", "No disease"};
const std::array<std::string, 2> RowTitles{"Exposed", "Unexposed"};

TStatusCode RunTable(TDataTable& table, TReportText& report, const TTwoByTwoChoices& c, long double a, long double b,
                     long double cc, long double d) {
  return RunFramed(table, report, [&] {
    RunTwoByTwoTable(table, report, ColumnTitles, RowTitles, c.Fisher, c.Yates, c.ChiSquare, c.Sensitivity,
                     c.Difference, c.OddsRatio, c.RelativeRisk, c.TwoTailed, true, a, b, cc, d);
  });
}

struct GoldenReport {
  const char* Name;
  long double A, B, C, D;
  TTwoByTwoChoices Choices;
  bool WholeReport;  // otherwise the lines before "Data analyzed"
  std::vector<std::string> Lines;
};

// clang-format off
const GoldenReport Goldens[] = {
    {"FisherTwoSidedWithOddsRatio", 10, 3, 4, 12, TTwoByTwoChoices{.OddsRatio = true}, true,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The two-sided P value is 0.0092, considered very significant.",
      "The row/column association is statistically significant.",
      "",
      "{u}Odds Ratio{u}",
      "Odds ratio= 10.000",
      "95% Confidence Interval: 1.797 to 55.653",
      "(using the approximation of Woolf.)",
      "",
      "{u}Data analyzed{u}",
      "{b}                        Disease       No disease            Total{b}",
      "{b}        Exposed{b}              10                3               13",
      "                         ( 34%)           ( 10%)           ( 45%)",
      "",
      "{b}      Unexposed{b}               4               12               16",
      "                         ( 14%)           ( 41%)           ( 55%)",
      "{b}-----------------------------------------------------------------{b}",
      "{b}          Total{b}              14               15               29",
      "                         ( 48%)           ( 52%)           (100%)",
      "",
      "",
      ""
     }},
    {"FisherOneSidedZeroCountOddsRatio", 5, 0, 3, 7, TTwoByTwoChoices{.OddsRatio = true, .TwoTailed = false}, true,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The one-sided P value is 0.0186, considered significant.",
      "The row/column association is statistically significant.",
      "",
      "{u}Odds Ratio{u}",
      "Odds ratio= 23.571",
      "95% Confidence Interval: 0.9984 to 556.51",
      "(using the approximation of Woolf.)",
      "Note that at least one value is zero.  To make calculations possible,",
      "0.5 was added to each value.",
      "",
      "{u}Data analyzed{u}",
      "{b}                        Disease       No disease            Total{b}",
      "{b}        Exposed{b}               5                0                5",
      "                         ( 33%)           (  0%)           ( 33%)",
      "",
      "{b}      Unexposed{b}               3                7               10",
      "                         ( 20%)           ( 47%)           ( 67%)",
      "{b}-----------------------------------------------------------------{b}",
      "{b}          Total{b}               8                7               15",
      "                         ( 53%)           ( 47%)           (100%)",
      "",
      "",
      ""
     }},
    {"FisherTooLargeFallsBackToChiSquare", 1000, 500, 300, 201, TTwoByTwoChoices{}, true,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The numbers are too large for Fisher's exact test.  The",
      "chi-square approximation was performed instead.",
      "",
      "The two-sided P value is 0.0069, considered very significant.",
      "The row/column association is statistically significant.",
      "",
      "{u}Calculation details:{u}",
      "Chi-square statistic (with Yates correction) = 7.304",
      "Degrees of freedom = 1",
      "",
      "{u}Data analyzed{u}",
      "{b}                        Disease       No disease            Total{b}",
      "{b}        Exposed{b}            1000              500             1500",
      "                         ( 50%)           ( 25%)           ( 75%)",
      "",
      "{b}      Unexposed{b}             300              201              501",
      "                         ( 15%)           ( 10%)           ( 25%)",
      "{b}-----------------------------------------------------------------{b}",
      "{b}          Total{b}            1300              701             2001",
      "                         ( 65%)           ( 35%)           (100%)",
      "",
      "",
      ""
     }},
    {"ChiSquareYatesWarnsAtForty", 15, 10, 5, 10, TTwoByTwoChoices{.Fisher = false, .ChiSquare = true}, true,
     {
      "{u}                         Chi-square Test                         {u}",
      "The two-sided P value is 0.1914, considered not significant.",
      "The row/column association is not statistically significant.",
      "",
      "Note: With such small values, the chi-square P value",
      "is not accurate.  Use Fisher's exact test instead.",
      "",
      "{u}Calculation details:{u}",
      "Chi-square statistic (with Yates correction) = 1.707",
      "Degrees of freedom = 1",
      "",
      "{u}Data analyzed{u}",
      "{b}                        Disease       No disease            Total{b}",
      "{b}        Exposed{b}              15               10               25",
      "                         ( 38%)           ( 25%)           ( 63%)",
      "",
      "{b}      Unexposed{b}               5               10               15",
      "                         ( 13%)           ( 25%)           ( 38%)",
      "{b}-----------------------------------------------------------------{b}",
      "{b}          Total{b}              20               20               40",
      "                         ( 50%)           ( 50%)           (100%)",
      "",
      "",
      ""
     }},
    {"ChiSquareOneSidedRiskAndDifference", 30, 20, 18, 32, TTwoByTwoChoices{.Fisher = false, .Yates = false, .ChiSquare = true, .Difference = true, .RelativeRisk = true, .TwoTailed = false}, true,
     {
      "{u}                         Chi-square Test                         {u}",
      "The one-sided P value is 0.0082, considered very significant.",
      "The row/column association is statistically significant.",
      "",
      "{u}Calculation details:{u}",
      "Chi-square statistic (no Yates correction) = 5.769",
      "Degrees of freedom = 1",
      "",
      "{u}Relative Risk{u}",
      "Relative risk = 1.667",
      "95% Confidence Interval: 1.080 to 2.571",
      "(using the approximation of Katz.)",
      "",
      "{u}Difference between the two proportions{u}",
      "{b}Top row (Exposed):{b}",
      "{b}{b}  Fraction in the left column: 0.6000",
      "  95% Confidence Interval of that fraction: 0.4522 to 0.7362",
      "{b}Bottom row (Unexposed):{b}",
      "{b}{b}  Fraction in the left column: 0.3600",
      "  95% Confidence Interval of that fraction: 0.2294 to 0.5079",
      "{b}Difference:{b}",
      "{b}{b}  Difference between the fractions: 0.2400",
      "  Standard error of the difference: 0.09992",
      "  95% confidence interval of difference: 0.04411 to 0.4359",
      "",
      "{u}Data analyzed{u}",
      "{b}                        Disease       No disease            Total{b}",
      "{b}        Exposed{b}              30               20               50",
      "                         ( 30%)           ( 20%)           ( 50%)",
      "",
      "{b}      Unexposed{b}              18               32               50",
      "                         ( 18%)           ( 32%)           ( 50%)",
      "{b}-----------------------------------------------------------------{b}",
      "{b}          Total{b}              48               52              100",
      "                         ( 48%)           ( 52%)           (100%)",
      "",
      "",
      ""
     }},
    {"FisherWithSensitivityBlock", 40, 10, 5, 45, TTwoByTwoChoices{.Sensitivity = true}, true,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The two-sided P value is < 0.0001, considered extremely significant.",
      "The row/column association is statistically significant.",
      "",
      "{u}Sensitivity and specificity{u}",
      "{b}Variable                     Value     95% Confidence Interval{b}",
      "{b}{b}Sensitivity                  0.8889    0.7593  to  0.9629",
      "Specificity                  0.8182    0.6907  to  0.9092",
      "Positive Predictive Value    0.8000    0.6631  to  0.8998",
      "Negative Predictive Value    0.9000    0.7821  to  0.9667",
      "Likelihood Ratio             4.889",
      "",
      "{u}Data analyzed{u}",
      "{b}                        Disease       No disease            Total{b}",
      "{b}        Exposed{b}              40               10               50",
      "                         ( 40%)           ( 10%)           ( 50%)",
      "",
      "{b}      Unexposed{b}               5               45               50",
      "                         (  5%)           ( 45%)           ( 50%)",
      "{b}-----------------------------------------------------------------{b}",
      "{b}          Total{b}              45               55              100",
      "                         ( 45%)           ( 55%)           (100%)",
      "",
      "",
      ""
     }},
    {"FisherEqualMarginsDoublesOneSided", 5, 0, 0, 5, TTwoByTwoChoices{.Sensitivity = true}, false,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The two-sided P value is 0.0079, considered very significant.",
      "The row/column association is statistically significant.",
      "",
      "{u}Sensitivity and specificity{u}",
      "{b}Variable                     Value     95% Confidence Interval{b}",
      "{b}{b}Sensitivity                  1.000     0.4783  to  1.000",
      "Specificity                  1.000     0.4783  to  1.000",
      "Positive Predictive Value    1.000     0.4783  to  1.000",
      "Negative Predictive Value    1.000     0.4783  to  1.000",
      "Likelihood Ratio             Infinity",
      ""
     }},
    {"FisherBalancedTableIsCappedAtOne", 5, 5, 5, 5, TTwoByTwoChoices{}, false,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The two-sided P value is 1.0000, considered not significant.",
      "The row/column association is not statistically significant.",
      ""
     }},
    {"ChiSquareOfZeroHasPOne", 11, 11, 11, 11, TTwoByTwoChoices{.Fisher = false, .ChiSquare = true}, false,
     {
      "{u}                         Chi-square Test                         {u}",
      "The two-sided P value is 1.0000, considered not significant.",
      "The row/column association is not statistically significant.",
      "",
      "{u}Calculation details:{u}",
      "Chi-square statistic (with Yates correction) = 0.000",
      "Degrees of freedom = 1",
      ""
     }},
    {"InfiniteRelativeRisk", 5, 5, 0, 10, TTwoByTwoChoices{.Difference = true, .RelativeRisk = true}, false,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The two-sided P value is 0.0325, considered significant.",
      "The row/column association is statistically significant.",
      "",
      "{u}Relative Risk{u}",
      "Relative risk = Infinity",
      "95% Confidence Interval: -Infinity to Infinity",
      "(using the approximation of Katz.)",
      "",
      "{u}Difference between the two proportions{u}",
      "{b}Top row (Exposed):{b}",
      "{b}{b}  Fraction in the left column: 0.5000",
      "{b}Bottom row (Unexposed):{b}",
      "{b}{b}  Fraction in the left column: 0.000",
      "{b}Difference:{b}",
      "{b}{b}  Difference between the fractions: 0.5000",
      "",
      "The standard error and the confidence interval of the difference between",
      "proportions can only be calculated when each cell is greater than five.",
      ""
     }},
    {"DifferenceWithTopIntervalOnly", 6, 6, 3, 9, TTwoByTwoChoices{.Difference = true, .RelativeRisk = true}, false,
     {
      "{u}                       Fisher's Exact Test                       {u}",
      "The two-sided P value is 0.4003, considered not significant.",
      "The row/column association is not statistically significant.",
      "",
      "{u}Relative Risk{u}",
      "Relative risk = 2.000",
      "95% Confidence Interval: 0.6449 to 6.203",
      "(using the approximation of Katz.)",
      "",
      "{u}Difference between the two proportions{u}",
      "{b}Top row (Exposed):{b}",
      "{b}{b}  Fraction in the left column: 0.5000",
      "  95% Confidence Interval of that fraction: 0.2109 to 0.7891",
      "{b}Bottom row (Unexposed):{b}",
      "{b}{b}  Fraction in the left column: 0.2500",
      "{b}Difference:{b}",
      "{b}{b}  Difference between the fractions: 0.2500",
      "",
      "The standard error and the confidence interval of the difference between",
      "proportions can only be calculated when each cell is greater than five.",
      ""
     }},
};
// clang-format on

TEST(TwoByTwoReport, MatchesGoldenReports) {
  for (const GoldenReport& golden : Goldens) {
    SCOPED_TRACE(golden.Name);
    TDataTable table;
    TReportText report;
    report.BeginReport();
    const TStatusCode code = RunTable(table, report, golden.Choices, golden.A, golden.B, golden.C, golden.D);
    EXPECT_EQ(code, TStatusCode::Ok);
    EXPECT_EQ(report.HelpTopic, 557);
    std::vector<std::string> lines = ReportLines(report);
    if (!golden.WholeReport) {
      std::size_t end = 0;
      while (end < lines.size() && lines[end] != "{u}Data analyzed{u}") ++end;
      lines.resize(end);
    }
    ASSERT_EQ(lines.size(), golden.Lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], golden.Lines[i]) << "line " << i;
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
    report.BeginReport();
    report.WriteLine("Data set title");
    EXPECT_EQ(RunTable(table, report, TTwoByTwoChoices{}, row.A, row.B, row.C, row.D), row.Code);
    EXPECT_EQ(table.StatusCode, row.Code);
    std::vector<std::string> expected{""};
    expected.insert(expected.end(), row.Message.begin(), row.Message.end());
    expected.emplace_back();
    EXPECT_EQ(ReportLines(report), expected);
  }
}

TEST(TwoByTwoReport, CountsBeyondThirtyTwoBitsAreAnInvalidOperation) {
  // The report's count table holds 32-bit counts; a larger count is refused
  // with code 5 rather than printed wrongly.
  TDataTable table;
  TReportText report;
  report.BeginReport();
  EXPECT_EQ(RunTable(table, report, TTwoByTwoChoices{}, 3e9L, 1, 2, 3), TStatusCode::InvalidOperation);
  EXPECT_EQ(ReportLines(report)[1], "Invalid floating point operation.  This unanticipated error");
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
    EXPECT_EQ(ReportLines(report), std::vector<std::string>{row.Line});
    EXPECT_EQ(report.Column(), 1);
  }
}

}  // namespace
}  // namespace ombrel
