#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ContingencyTestSupport.h"
#include "core/base/DataTable.h"
#include "core/report/ReportText.h"
#include "core/analysis/LargerTable.h"

// Golden reports of the larger-table analysis, laid out by hand from the
// report's rules. Their figures come from python3: Pearson's chi-square in
// exact rationals, the trend statistic as N r^2 over the individual subjects,
// tails from mpmath 1.3.

namespace ombrel {
namespace {

using test::ReportLines;
using test::RunFramed;

TStatusCode RunTable(TDataTable& table, TReportText& report) {
  return RunFramed(table, report, [&] { RunLargerTable(table, report); });
}

struct GoldenReport {
  const char* Name;
  std::vector<std::vector<long double>> Grid;  // an empty row is left blank
  int FirstRow;
  int FirstColumn;
  std::vector<std::string> Titles;
  std::vector<std::string> Lines;
};

// clang-format off
const GoldenReport Goldens[] = {
    {"TwoByTwoHasNoTrendTest", {{20, 10}, {15, 25}}, 0, 0, {"Yes", "No"},
     {
      "{u}                Chi-squared Test for Independence                {u}",
      "",
      "Chi-square: 5.833",
      "Degrees of Freedom: 1",
      "",
      "Table size: 2 rows, 2 columns.",
      "The P value is 0.0157. ",
      "The row and column variables are significantly associated.",
      "",
      "",
      "{u}                         Summary of Data                         {u}",
      "",
      "{b}      Row          Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              1          30    42.86%",
      "              2          40    57.14%",
      "---------------  ----------  --------",
      "          Total          70   100.00%",
      "",
      "{b}    Column         Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "            Yes          35    50.00%",
      "             No          35    50.00%",
      "---------------  ----------  --------",
      "          Total          70   100.00%",
      "",
      "",
      "",
      ""
     }},
    {"ThreeByTwoTrendOverRows", {{10, 20}, {15, 15}, {25, 5}}, 0, 0, {"Improved", "Worse"},
     {
      "{u}                Chi-squared Test for Independence                {u}",
      "",
      "Chi-square: 15.750",
      "Degrees of Freedom: 2",
      "",
      "Table size: 3 rows, 2 columns.",
      "The P value is 0.0004. ",
      "The row and column variables are significantly associated.",
      "",
      "",
      "{u}                   Chi-Squared Test for Trend.                   {u}",
      "Note: This analysis is useful only if the categories defining the",
      "rows are arranged in a natural order (i.e. age groups, dose",
      "or time), with equal spacing between rows.",
      "",
      "Chi-squared for trend = 15.188 (1 degree of freedom)",
      "The P value is < 0.0001. ",
      "There is a significant linear trend among the ordered categories",
      "defining the rows and the proportion of subjects in the left column.",
      "",
      "{u}                         Summary of Data                         {u}",
      "",
      "{b}      Row          Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              1          30    33.33%",
      "              2          30    33.33%",
      "              3          30    33.33%",
      "---------------  ----------  --------",
      "          Total          90   100.00%",
      "",
      "{b}    Column         Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "       Improved          50    55.56%",
      "          Worse          40    44.44%",
      "---------------  ----------  --------",
      "          Total          90   100.00%",
      "",
      "",
      "",
      ""
     }},
    {"TwoByFourTrendOverColumns", {{5, 10, 15, 20}, {20, 15, 10, 5}}, 3, 1, {"B", "C", "D", "E"},
     {
      "{u}                Chi-squared Test for Independence                {u}",
      "",
      "Chi-square: 20.000",
      "Degrees of Freedom: 3",
      "",
      "Table size: 2 rows, 4 columns.",
      "The P value is 0.0002. ",
      "The row and column variables are significantly associated.",
      "",
      "",
      "{u}                   Chi-Squared Test for Trend.                   {u}",
      "Note: This analysis is useful only if the categories defining the",
      "columns are arranged in a natural order (i.e. age groups, dose",
      "or time), with equal spacing between columns.",
      "",
      "Chi-squared for trend = 20.000 (1 degree of freedom)",
      "The P value is < 0.0001. ",
      "There is a significant linear trend among the ordered categories",
      "defining the columns and the proportion of subjects in the top row.",
      "",
      "{u}                         Summary of Data                         {u}",
      "",
      "{b}      Row          Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              4          50    50.00%",
      "              5          50    50.00%",
      "---------------  ----------  --------",
      "          Total         100   100.00%",
      "",
      "{b}    Column         Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              B          25    25.00%",
      "              C          25    25.00%",
      "              D          25    25.00%",
      "              E          25    25.00%",
      "---------------  ----------  --------",
      "          Total         100   100.00%",
      "",
      "",
      "",
      ""
     }},
    {"EmptyRowListedWithZero", {{10, 20}, {}, {15, 15}, {25, 5}}, 0, 0, {"A", "B"},
     {
      "{u}                Chi-squared Test for Independence                {u}",
      "",
      "Chi-square: 15.750",
      "Degrees of Freedom: 2",
      "",
      "Table size: 3 rows, 2 columns.",
      "The P value is 0.0004. ",
      "The row and column variables are significantly associated.",
      "",
      "",
      "{u}                   Chi-Squared Test for Trend.                   {u}",
      "Note: This analysis is useful only if the categories defining the",
      "rows are arranged in a natural order (i.e. age groups, dose",
      "or time), with equal spacing between rows.",
      "",
      "Chi-squared for trend = 13.580 (1 degree of freedom)",
      "The P value is 0.0002. ",
      "There is a significant linear trend among the ordered categories",
      "defining the rows and the proportion of subjects in the left column.",
      "",
      "{u}                         Summary of Data                         {u}",
      "",
      "{b}      Row          Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              1          30    33.33%",
      "              2           0     0.00%",
      "              3          30    33.33%",
      "              4          30    33.33%",
      "---------------  ----------  --------",
      "          Total          90   100.00%",
      "",
      "{b}    Column         Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              A          50    55.56%",
      "              B          40    44.44%",
      "---------------  ----------  --------",
      "          Total          90   100.00%",
      "",
      "",
      "",
      ""
     }},
    {"SmallExpectedCountsWarn", {{3, 20, 30}, {5, 25, 25}}, 0, 0, {"Low", "Middle", "High"},
     {
      "{u}                Chi-squared Test for Independence                {u}",
      "",
      "Chi-square: 1.474",
      "Degrees of Freedom: 2",
      "",
      "Table size: 2 rows, 3 columns.",
      "The P value is 0.4787. ",
      "The row and column variables are not significantly associated.",
      "",
      "  Chi-square calculations are only valid when all expected",
      "values are greater than 1.0 and at least 20% of the expected",
      "values are greater than 5.  These conditions have not been",
      "met, and thus the chi-square calculations are not valid.  To",
      "avoid this problem, combine two or more rows or columns.",
      "",
      "{u}                   Chi-Squared Test for Trend.                   {u}",
      "Note: This analysis is useful only if the categories defining the",
      "columns are arranged in a natural order (i.e. age groups, dose",
      "or time), with equal spacing between columns.",
      "",
      "Chi-squared for trend = 1.456 (1 degree of freedom)",
      "The P value is 0.2275. ",
      "There is not a significant linear trend among the ordered categories",
      "defining the columns and the proportion of subjects in the top row.",
      "",
      "{u}                         Summary of Data                         {u}",
      "",
      "{b}      Row          Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              1          53    49.07%",
      "              2          55    50.93%",
      "---------------  ----------  --------",
      "          Total         108   100.00%",
      "",
      "{b}    Column         Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "            Low           8     7.41%",
      "         Middle          45    41.67%",
      "           High          55    50.93%",
      "---------------  ----------  --------",
      "          Total         108   100.00%",
      "",
      "",
      "",
      ""
     }},
    {"HugeChiSquareHasTinyP", {{1000, 1}, {1, 1000}}, 0, 0, {"A", "B"},
     {
      "{u}                Chi-squared Test for Independence                {u}",
      "",
      "Chi-square: 1994.0",
      "Degrees of Freedom: 1",
      "",
      "Table size: 2 rows, 2 columns.",
      "The P value is < 0.0001. ",
      "The row and column variables are significantly associated.",
      "",
      "",
      "{u}                         Summary of Data                         {u}",
      "",
      "{b}      Row          Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              1        1001    50.00%",
      "              2        1001    50.00%",
      "---------------  ----------  --------",
      "          Total        2002   100.00%",
      "",
      "{b}    Column         Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              A        1001    50.00%",
      "              B        1001    50.00%",
      "---------------  ----------  --------",
      "          Total        2002   100.00%",
      "",
      "",
      "",
      ""
     }},
    {"NoAssociationAndNoTrend", {{10, 10, 10}, {10, 10, 10}}, 0, 0, {"A", "B", "C"},
     {
      "{u}                Chi-squared Test for Independence                {u}",
      "",
      "Chi-square: 0.000",
      "Degrees of Freedom: 2",
      "",
      "Table size: 2 rows, 3 columns.",
      "The P value is 1.0000. ",
      "The row and column variables are not significantly associated.",
      "",
      "",
      "{u}                   Chi-Squared Test for Trend.                   {u}",
      "Note: This analysis is useful only if the categories defining the",
      "columns are arranged in a natural order (i.e. age groups, dose",
      "or time), with equal spacing between columns.",
      "",
      "Chi-squared for trend = 0.000 (1 degree of freedom)",
      "The P value is > 0.9999. ",
      "There is not a significant linear trend among the ordered categories",
      "defining the columns and the proportion of subjects in the top row.",
      "",
      "{u}                         Summary of Data                         {u}",
      "",
      "{b}      Row          Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              1          30    50.00%",
      "              2          30    50.00%",
      "---------------  ----------  --------",
      "          Total          60   100.00%",
      "",
      "{b}    Column         Total      Percent  {b}",
      "{b}===============  ==========  ========{b}",
      "              A          20    33.33%",
      "              B          20    33.33%",
      "              C          20    33.33%",
      "---------------  ----------  --------",
      "          Total          60   100.00%",
      "",
      "",
      "",
      ""
     }},
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
    report.BeginReport();
    EXPECT_EQ(RunTable(table, report), TStatusCode::Ok);
    EXPECT_EQ(report.HelpTopic, 612);
    const std::vector<std::string> lines = ReportLines(report);
    ASSERT_EQ(lines.size(), golden.Lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], golden.Lines[i]) << "line " << i;
  }
}

TEST(LargerTableReport, RefusalsReplaceTheReportByTheirMessage) {
  TDataTable table;
  table.SetValue(0, 0, 1);
  table.SetValue(0, 1, 2);
  table.SetValue(1, 0, 3);  // (1, 1) is missing
  TReportText report;
  report.BeginReport();
  report.WriteLine("Data set title");
  EXPECT_EQ(RunTable(table, report), TStatusCode::NotRectangular);
  EXPECT_EQ(ReportLines(report), (std::vector<std::string>{
                                     "",
                                     "Values are missing.  Chi-square analysis requires a rectangular",
                                     "data set.  Missing values cannot be dealt with appropriately.",
                                     "",
                                 }));

  table.ExcludeAllFilled();
  report.ResetReport();
  EXPECT_EQ(RunTable(table, report), TStatusCode::NoContingencyData);
  EXPECT_EQ(ReportLines(report), (std::vector<std::string>{"", "No data in the contingency table.", ""}));
}

}  // namespace
}  // namespace ombrel
