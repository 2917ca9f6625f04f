#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/report/ReportTables.h"

// Golden texts of the report tables. Every expected line was laid out by hand
// from the tables' documented columns, widths and alignments (centred text
// gets floor((w - length) / 2) blanks before it), with the number texts taken
// from the digit rule (digits -5: 12.3456 -> 12.346, 1.23456 -> 1.235,
// 0.123456 -> 0.1235, 123.456 -> 123.46). They are kept in
// tests/data/reports/report-tables.

namespace ombrel {
namespace {

struct TGoldenCase {
  const char* Name;
  std::function<void(TReportText&)> Write;
  const char* Golden;
};

// Writes a case into a fresh report, finishes it and compares it with its
// golden file; the lines after the file's must be the empty padding of
// FinishReport.
void ExpectGolden(const TGoldenCase& golden) {
  SCOPED_TRACE(golden.Name);
  TReportText report;
  report.BeginReport();
  golden.Write(report);
  EXPECT_FALSE(report.Bold()) << "a table must leave bold off";
  EXPECT_FALSE(report.SawNonFinite());
  report.FinishReport();
  test::ExpectGoldenReport(report, golden.Golden);
}

TColumnSummary Summary(std::string title, std::int32_t n, TReal mean, TReal sd, TReal sem, TReal minimum, TReal maximum,
                       TReal median, TReal lower, TReal upper) {
  TColumnSummary s;
  s.Title = std::move(title);
  s.N = n;
  s.Mean = mean;
  s.SD = sd;
  s.SEM = sem;
  s.Minimum = minimum;
  s.Maximum = maximum;
  s.Median = median;
  s.LowerCI = lower;
  s.UpperCI = upper;
  return s;
}

const TColumnSummary Before =
    Summary("Before", 8, 12.3456L, 1.23456L, 0.43648L, 10, EmptyValue, 12.3456L, 11.3137L, 13.3776L);
const TColumnSummary After = Summary("After", 8, -3.25L, 0.5L, 0.17678L, -4, -2.5L, -3.25L, -3.668L, -2.832L);
const TColumnSummary Difference = Summary("Difference", 8, 15.5956L, 1.5L, 0.53033L, 14, 17, 15.5L, 14.342L, 16.8499L);
const TColumnSummary NoValues = Summary("Nothing", 0, EmptyValue, EmptyValue, EmptyValue, EmptyValue, EmptyValue,
                                        EmptyValue, EmptyValue, EmptyValue);
// An empty column made ready for typed means carries N = -1.
const TColumnSummary ReadyForMeans = Summary("Typed", -1, EmptyValue, EmptyValue, EmptyValue, EmptyValue, EmptyValue,
                                             EmptyValue, EmptyValue, EmptyValue);

TEST(ReportTables, GroupTablesMatchTheirLayouts) {
  const std::vector<TGoldenCase> cases = {
      {"group summary: long name pushes the row right, empty median is Unknown, N = 0 omitted",
       [](TReportText& r) {
         WriteGroupSummaryHeading(r);
         WriteGroupSummaryRow(r, "Control", 12, 12.3456L, 1.23456L, 0.123456L, 123.456L);
         WriteGroupSummaryRow(r, "Empty", 0, 1, 1, 1, 1);
         WriteGroupSummaryRow(r, "A very long group name", 5, 2.5L, 0.5L, 0.25L, EmptyValue);
       },
       "report-tables/group-summary"},
      {"group range: empty line first, Unknown maximum, N = 0 omitted",
       [](TReportText& r) {
         WriteGroupRangeHeading(r);
         WriteGroupRangeRow(r, "Control", 12, 1.5L, EmptyValue, 10, 1234.56L);
         WriteGroupRangeRow(r, NoValues);
       },
       "report-tables/group-range"},
      {"group summary with its range table appended from a scratch report",
       [](TReportText& r) {
         const auto scratch = OpenScratchReport();
         ASSERT_TRUE(scratch);
         WriteGroupSummaryHeading(r);
         WriteGroupRangeHeading(*scratch);
         WriteGroupSummaryRow(r, "Control", 12, 12.3456L, 1.23456L, 0.123456L, 123.456L);
         WriteGroupRangeRow(*scratch, "Control", 12, 1.5L, EmptyValue, 10, 1234.56L);
         scratch->TerminateReport();
         r.AppendReport(*scratch);
       },
       "report-tables/group-summary-with-scratch-range"},
      {"normality: N = 4 too few, N = 5 tested, P forms, averaged data, N = 0 omitted",
       [](TReportText& r) {
         WriteNormalityHeading(r);
         WriteNormalityRow(r, "Four", 4, 0.1L, 0.5L, false);
         WriteNormalityRow(r, "Five", 5, 0.123456L, 0.0456L, false);
         WriteNormalityRow(r, "Wide", 6, 0.2L, 0.25L, false);
         WriteNormalityRow(r, "Skewed", 7, 0.5L, 0.00005L, false);
         WriteNormalityRow(r, "Near", 8, 0.3L, 0.06L, false);
         WriteNormalityRow(r, "Typed", 10, EmptyValue, EmptyValue, true);
         WriteNormalityRow(r, "Gone", 0, EmptyValue, EmptyValue, false);
         WriteNormalityRow(r, "A very long group name", 9, 0.1L, 0.5L, false);
       },
       "report-tables/normality"},
      {"normality: a test that did not run (all values equal) is not reported as passed",
       [](TReportText& r) { WriteNormalityRow(r, "Flat", 6, EmptyValue, EmptyValue, false); },
       "report-tables/normality-not-run"},
      {"median: empty median is Unknown",
       [](TReportText& r) {
         WriteMedianHeading(r);
         WriteMedianRow(r, "Dose", 7, EmptyValue, 0, 100);
         WriteMedianRow(r, NoValues);
         WriteMedianRow(r, ReadyForMeans);
       },
       "report-tables/median"},
      {"column summary of one column", [](TReportText& r) { WriteColumnSummaryTable(r, Before); },
       "report-tables/column-summary-of-one-column"},
      {"column summary of three columns", [](TReportText& r) { WriteColumnSummaryTable(r, Before, After, Difference); },
       "report-tables/column-summary-of-three-columns"},
  };
  for (const TGoldenCase& golden : cases) ExpectGolden(golden);
}

TEST(ReportTables, ColumnSummaryShowsThirdColumnOnlyAfterASecond) {
  // Which columns appear: counted from the "Parameter:" line's titles.
  struct TCase {
    const TColumnSummary& Second;
    const TColumnSummary& Third;
    const char* TitleLine;
  };
  const TCase cases[] = {
      {NoValues, After, "^    Parameter:          Before^"},
      {ReadyForMeans, After, "^    Parameter:          Before^"},
      {After, NoValues, "^    Parameter:          Before           After^"},
      {After, Difference, "^    Parameter:          Before           After      Difference^"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.TitleLine);
    TReportText report;
    WriteColumnSummaryTable(report, Before, c.Second, c.Third);
    report.FinishReport();
    EXPECT_EQ(test::Visible(*report.GetLine(1)), c.TitleLine);
  }
}

TEST(ReportTables, ComparisonTablesMatchTheirLayouts) {
  const std::vector<TGoldenCase> cases = {
      {"Bonferroni: marks at P = 0.001, 0.01, 0.05 and 0.0500001; long name",
       [](TReportText& r) {
         WriteComparisonHeading(r, TComparisonStatistic::T);
         WriteComparisonRow(r, "Control", "Low dose", 2.5L, 3, 0.001L);
         WriteComparisonRow(r, "Control", "High dose", -3.25L, 2.5L, 0.01L);
         WriteComparisonRow(r, "Low dose", "High dose", 0.5L, 2, 0.05L);
         WriteComparisonRow(r, "A very long group name", "High dose", 10, 1.5L, 0.0500001L);
       },
       "report-tables/bonferroni"},
      {"Tukey-Kramer heading", [](TReportText& r) { WriteComparisonHeading(r, TComparisonStatistic::Q); },
       "report-tables/tukey-kramer-heading"},
      {"SNK heading is the q heading", [](TReportText& r) { WriteSnkHeading(r); }, "report-tables/snk-heading"},
      {"SNK pair not tested", [](TReportText& r) { WriteSnkRow(r, "Control", "High dose", 1.5L, EmptyValue, 1); },
       "report-tables/snk-pair-not-tested"},
      {"difference interval",
       [](TReportText& r) {
         WriteDifferenceIntervalHeading(r);
         WriteDifferenceIntervalRow(r, "Control", "Low dose", 2.5L, 0.5L, 10);
       },
       "report-tables/difference-interval"},
      {"Dunn with mean ranks",
       [](TReportText& r) {
         WriteRankComparisonHeading(r, TRankDifference::MeanRank);
         WriteRankComparisonRow(r, "Control", "Low dose", -3.25L, 0.02L);
       },
       "report-tables/dunn-with-mean-ranks"},
      {"Dunn with rank sums", [](TReportText& r) { WriteRankComparisonHeading(r, TRankDifference::RankSum); },
       "report-tables/dunn-with-rank-sums"},
      {"control comparison with q",
       [](TReportText& r) {
         WriteControlComparisonHeading(r, TQColumn::Shown);
         WriteControlComparisonRow(r, TQColumn::Shown, "Control", "Low dose", 2.5L, 3, 0.0005L);
         WriteControlComparisonRow(r, TQColumn::Shown, "Control", "High dose", 0.5L, 1.5L, 0.2L);
       },
       "report-tables/control-comparison-with-q"},
      {"control comparison without q",
       [](TReportText& r) {
         WriteControlComparisonHeading(r, TQColumn::Hidden);
         WriteControlComparisonRow(r, TQColumn::Hidden, "Control", "Low dose", 12.3456L, 99, 0.05L);
       },
       "report-tables/control-comparison-without-q"},
      {"control interval",
       [](TReportText& r) {
         WriteControlIntervalHeading(r);
         WriteControlIntervalRow(r, "Control", "Low dose", 2.5L, -0.5L, 5.5L);
       },
       "report-tables/control-interval"},
      {"Kruskal-Wallis rank sums",
       [](TReportText& r) {
         WriteKruskalWallisRankHeading(r);
         WriteKruskalWallisRankRow(r, "Control", 4, 25, 6.25L);
       },
       "report-tables/kruskal-wallis-rank-sums"},
      {"Friedman rank sums",
       [](TReportText& r) {
         WriteFriedmanRankHeading(r);
         WriteFriedmanRankRow(r, "Control", 10);
       },
       "report-tables/friedman-rank-sums"},
  };
  for (const TGoldenCase& golden : cases) ExpectGolden(golden);
}

TEST(ReportTables, AnovaAndRegressionTablesMatchTheirLayouts) {
  const std::vector<TGoldenCase> cases = {
      {"ordinary one-way",
       [](TReportText& r) {
         WriteOneWayAnovaTable(r, {2, 123.456L, 61.728L}, {12, 24, 2}, {14, 147.456L});
       },
       "report-tables/ordinary-one-way"},
      {"repeated measures",
       [](TReportText& r) {
         WriteRepeatedMeasuresAnovaTable(r, {2, 30, 15}, {4, 12.3456L, 3.0864L}, {8, 4, 0.5L}, {14, 46.3456L});
       },
       "report-tables/repeated-measures"},
      {"ordinary with trend: mean squares computed by the table",
       [](TReportText& r) {
         WriteOneWayTrendAnovaTable(r, 100, {2, 12, 99}, {12, 24, 2}, {15, 136});
       },
       "report-tables/ordinary-with-trend"},
      {"repeated measures with trend: no degrees of freedom left gives a blank mean square",
       [](TReportText& r) {
         WriteRepeatedMeasuresTrendAnovaTable(r, 30, {0, 0}, {4, 12.3456L, 3.0864L}, {4, 4, 1}, {9, 46.3456L});
       },
       "report-tables/repeated-measures-with-trend"},
      {"regression without replicates",
       [](TReportText& r) {
         WriteRegressionAnovaTable(r, {1, 123.456L, 123.456L}, {8, 4, 0.5L}, {9, 127.456L});
       },
       "report-tables/regression-without-replicates"},
      {"regression with replicates",
       [](TReportText& r) {
         WriteReplicateRegressionAnovaTable(r, {1, 123.456L, 123.456L}, {3, 3, 1}, {5, 2.5L, 0.5L}, {9, 128.956L});
       },
       "report-tables/regression-with-replicates"},
      {"residuals: SD only with replicates",
       [](TReportText& r) {
         WriteResidualHeading(r);
         WriteResidualRow(r, 1, 1, 2.5L, 2, 2.25L, 0.5L, 0.25L);
         WriteResidualRow(r, 12, 10, 25, 1, 24.5L, 0.7L, 0.5L);
       },
       "report-tables/residuals"},
      {"regression parameters",
       [](TReportText& r) {
         WriteRegressionParameterTable(r, {2.5L, 0.123456L, 2.25L, 2.75L}, {-3.25L, 0.5L, -4, -2.5L}, 1.3L, false);
       },
       "report-tables/regression-parameters"},
      {"regression parameters, forced fit, undefined X intercept",
       [](TReportText& r) {
         WriteRegressionParameterTable(r, {2.5L, 0.123456L, 2.25L, 2.75L}, {-3.25L, 0.5L, -4, -2.5L}, EmptyValue, true);
       },
       "report-tables/regression-parameters-forced-fit"},
  };
  for (const TGoldenCase& golden : cases) ExpectGolden(golden);
}

TEST(ReportTables, ContingencyTablesMatchTheirLayouts) {
  const TTwoByTwoCounts counts{"Treated",
                               "Placebo",
                               "Died",
                               "Survived",
                               {7, 3, 10, 35, 15, 50},
                               {2, 8, 10, 10, 40, 50},
                               {9, 11, 20, 45, 55, 100}};
  const std::vector<TGoldenCase> cases = {
      {"row totals with an empty row and the grand total",
       [](TReportText& r) {
         WriteTotalsHeading(r, TTotalsOf::Rows);
         WriteTotalsNumberedRow(r, 1, 30, 37.5L);
         WriteTotalsNumberedRow(r, 2, 0, 0);
         WriteTotalsNumberedRow(r, 0, 80, 100);
       },
       "report-tables/row-totals"},
      {"column totals with a long title",
       [](TReportText& r) {
         WriteTotalsHeading(r, TTotalsOf::Columns);
         WriteTotalsTitledRow(r, "A very long column title", 1234567.8L, 12.5L);
       },
       "report-tables/column-totals"},
      {"two-by-two with stars", [&](TReportText& r) { WriteTwoByTwoCountTable(r, counts, false); },
       "report-tables/two-by-two-with-stars"},
      {"two-by-two without stars", [&](TReportText& r) { WriteTwoByTwoCountTable(r, counts, true); },
       "report-tables/two-by-two-without-stars"},
  };
  for (const TGoldenCase& golden : cases) ExpectGolden(golden);
}

TEST(ReportTables, SignificanceMarksPutBoundariesInTheMoreSignificantClass) {
  struct TCase {
    TReal P;
    const char* Mark;
    const char* ControlMark;
  };
  const TCase cases[] = {
      {0.0000001L, "*** P<0.001", "**  P<0.01"},
      {0.001L, "*** P<0.001", "**  P<0.01"},
      {0.0010001L, "**  P<0.01", "**  P<0.01"},
      {0.01L, "**  P<0.01", "**  P<0.01"},
      {0.0100001L, "*   P<0.05", "*   P<0.05"},
      {0.05L, "*   P<0.05", "*   P<0.05"},
      // A P coded from a double constant is a hair above 0.05L.
      {0.05, "*   P<0.05", "*   P<0.05"},
      {0.0500001L, "ns  P>0.05", "ns  P>0.05"},
      {1, "ns  P>0.05", "ns  P>0.05"},
      {2.5L, "ns  P>0.05", "ns  P>0.05"},  // Bonferroni's P times g is not capped
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<double>(c.P));
    EXPECT_EQ(SignificanceMark(c.P), c.Mark);
    EXPECT_EQ(ControlSignificanceMark(c.P), c.ControlMark);
  }
}

TEST(ReportTables, InfinityAndUnknownCells) {
  struct TCase {
    const char* Name;
    std::function<void(TReportText&)> Write;
    const char* Text;
  };
  const TCase cases[] = {
      {"empty marker is Infinity", [](TReportText& r) { WriteValueOrInfinity(r, EmptyValue); }, "Infinity"},
      {"its negative is -Infinity", [](TReportText& r) { WriteValueOrInfinity(r, -EmptyValue); }, "-Infinity"},
      {"a value uses digits -5", [](TReportText& r) { WriteValueOrInfinity(r, 2.5L); }, "2.500"},
      {"a large value keeps its leading space", [](TReportText& r) { WriteValueOrInfinity(r, 123456); }, " 123456"},
      {"Unknown right-aligned", [](TReportText& r) { WriteValueOrUnknown(r, 8, EmptyValue); }, " Unknown"},
      {"Unknown wider than the width is whole", [](TReportText& r) { WriteValueOrUnknown(r, 5, EmptyValue); },
       "Unknown"},
      {"a value right-aligned", [](TReportText& r) { WriteValueOrUnknown(r, 8, 1.23456L); }, "   1.235"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TReportText report;
    c.Write(report);
    EXPECT_EQ(report.Text(), c.Text);
  }
}

TEST(ReportTables, DateLineIsTimeThenDateThenAnEmptyLine) {
  struct TCase {
    TReportDateTime When;
    const char* Line;
  };
  const TCase cases[] = {
      {{2024, 3, 5, 9, 7, 3}, "09:07:03  5 March 2024"},
      {{1999, 12, 31, 23, 59, 59}, "23:59:59  31 December 1999"},
      {{2031, 1, 1, 0, 0, 0}, "00:00:00  1 January 2031"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    TReportText report;
    report.BeginReport();
    WriteDateLine(report, c.When);
    WriteGroupSummaryHeading(report);
    report.FinishReport();
    EXPECT_EQ(*report.GetLine(0), c.Line);
    EXPECT_EQ(*report.GetLine(1), "");
    EXPECT_EQ(test::Visible(*report.GetLine(2)).substr(0, 23), "^                Number");
  }
}

}  // namespace
}  // namespace ombrel
