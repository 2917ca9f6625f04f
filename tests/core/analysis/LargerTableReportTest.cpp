#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/analysis/LargerTable.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "support/ContingencyTestSupport.h"
#include "support/GoldenReport.h"
#include "support/ReportAgreement.h"

// Golden reports of the larger-table analysis, kept in
// tests/data/reports/larger-table and laid out by hand from the report's
// rules. Their figures come from python3 (tools/expected/larger_table.py):
// Pearson's chi-square in exact rationals, the trend statistic as N r^2 over
// the individual subjects, tails from mpmath 1.3.

namespace ombrel {
namespace {

TStatusCode RunTable(TDataTable& table, TReportText& report, TReportResults& results) {
  return test::RunRecorded(table, report, results, [&](TAnalysisRun& run) { RunLargerTable({}, run); });
}

struct GoldenReport {
  const char* Name;
  std::vector<std::vector<long double>> Grid;  // an empty row is left blank
  int FirstRow;
  int FirstColumn;
  std::vector<std::string> Titles;
  const char* Golden;
};

// clang-format off
const GoldenReport Goldens[] = {
    {"TwoByTwoHasNoTrendTest", {{20, 10}, {15, 25}}, 0, 0, {"Yes", "No"},
     "larger-table/two-by-two-has-no-trend-test"},
    {"ThreeByTwoTrendOverRows", {{10, 20}, {15, 15}, {25, 5}}, 0, 0, {"Improved", "Worse"},
     "larger-table/three-by-two-trend-over-rows"},
    {"TwoByFourTrendOverColumns", {{5, 10, 15, 20}, {20, 15, 10, 5}}, 3, 1, {"B", "C", "D", "E"},
     "larger-table/two-by-four-trend-over-columns"},
    {"EmptyRowListedWithZero", {{10, 20}, {}, {15, 15}, {25, 5}}, 0, 0, {"A", "B"},
     "larger-table/empty-row-listed-with-zero"},
    {"SmallExpectedCountsWarn", {{3, 20, 30}, {5, 25, 25}}, 0, 0, {"Low", "Middle", "High"},
     "larger-table/small-expected-counts-warn"},
    {"HugeChiSquareHasTinyP", {{1000, 1}, {1, 1000}}, 0, 0, {"A", "B"},
     "larger-table/huge-chi-square-has-tiny-p"},
    {"NoAssociationAndNoTrend", {{10, 10, 10}, {10, 10, 10}}, 0, 0, {"A", "B", "C"},
     "larger-table/no-association-and-no-trend"},
};
// clang-format on

TEST(LargerTableReport, MatchesGoldenReports) {
  for (const GoldenReport& golden : Goldens) {
    SCOPED_TRACE(golden.Name);
    TDataTable table;
    for (std::size_t i = 0; i < golden.Grid.size(); ++i)
      for (std::size_t j = 0; j < golden.Grid[i].size(); ++j)
        table.SetValue(golden.FirstRow + static_cast<int>(i), golden.FirstColumn + static_cast<int>(j),
                       golden.Grid[i][j]);
    for (std::size_t j = 0; j < golden.Titles.size(); ++j)
      table.Summary(golden.FirstColumn + static_cast<int>(j)).Title = golden.Titles[j];
    TReportText report;
    TReportResults results;
    EXPECT_EQ(RunTable(table, report, results), TStatusCode::Ok);
    EXPECT_EQ(report.HelpTopic, 612);
    test::ExpectGoldenRun(report, results, "", TDataFormat::LargerTable, golden.Golden);
  }
}

TEST(LargerTableReport, RefusalsReplaceTheReportByTheirMessage) {
  TDataTable table;
  table.SetValue(0, 0, 1);
  table.SetValue(0, 1, 2);
  table.SetValue(1, 0, 3);  // (1, 1) is missing
  TReportText report;
  TReportResults results;
  EXPECT_EQ(RunTable(table, report, results), TStatusCode::NotRectangular);
  test::ExpectReportLines(report, {
                                      "",
                                      "Values are missing.  Chi-square analysis requires a rectangular",
                                      "data set.  Missing values cannot be dealt with appropriately.",
                                  });
  EXPECT_TRUE(results.Analyses[0].Results.IsNull());

  table.ExcludeAllFilled();
  TReportText second;
  EXPECT_EQ(RunTable(table, second, results), TStatusCode::NoContingencyData);
  test::ExpectReportLines(second, {"", "No data in the contingency table."});
}

}  // namespace
}  // namespace ombrel
