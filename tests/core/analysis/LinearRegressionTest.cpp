#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/NistData.h"
#include "support/RegressionTestSupport.h"
#include "support/ReportAgreement.h"
#include "core/analysis/AnalysisFrame.h"
#include "core/analysis/LinearRegression.h"
#include "core/base/CalcProgress.h"

namespace ombrel {
namespace {

using test::AgreeingDigits;
using test::FillColumns;
using test::PrintedDigits;

// A run as the XY driver makes it: inside the fault frame, then the error
// report, with the run's record.
struct TRun {
  TStatusCode Code = TStatusCode::Ok;
  TRegressionOutputs Line;
  TReportText Report;
  TReportResults Results;
  std::vector<std::string> Lines;
};

void RunOnTable(TDataTable& table, const TLinearRegressionRequest& request, TRun& run) {
  TSilentCalcProgress progress;
  run.Report.BeginReport();
  run.Results.Analyses.emplace_back();
  TAnalysisRecord& record = run.Results.Analyses.back();
  RunGuarded(table, &run.Report, [&] {
    TAnalysisRun analysis{table, run.Report, progress, record};
    RunLinearRegression(request, analysis, run.Line);
  });
  run.Code = table.StatusCode;
  record.Status = run.Code;
  run.Report.WriteErrorReport(run.Code);
  record.EndLine = run.Report.LineCount();
  run.Lines = test::FinishedLines(run.Report);
}

void RunRegression(const std::vector<std::vector<long double>>& columns, const TLinearRegressionRequest& request,
                   TRun& run) {
  TDataTable table;
  FillColumns(table, columns);
  RunOnTable(table, request, run);
}

// The report and its JSON equal their golden files, and agree.
void ExpectGoldenRegression(const TRun& run, std::string_view name) {
  EXPECT_EQ(run.Code, TStatusCode::Ok);
  test::ExpectGoldenRun(run.Report, run.Results, "", TDataFormat::XY, name);
}

bool HasLine(const std::vector<std::string>& lines, const std::string& text) {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

// ---------------------------------------------------------------------------
// Accuracy against certified and exactly computed values

// NIST StRD Norris (certified values in the file): y on x with an intercept.
TEST(LinearRegression, NorrisMatchesCertifiedValues) {
  const test::TNistRegression nist = test::ReadNistRegression("Norris.dat");
  ASSERT_TRUE(nist.Loaded);
  TDataTable table;
  FillColumns(table, {nist.X[0], nist.Y});
  const TLinearRegressionResult r = ComputeLinearRegression({}, table);
  ASSERT_EQ(r.Status, TStatusCode::Ok);
  const struct {
    const char* Name;
    long double Actual;
    long double Certified;
  } rows[] = {
      {"intercept", r.Intercept, nist.Estimates[0]},
      {"slope", r.Slope, nist.Estimates[1]},
      {"SE intercept", r.InterceptSE, nist.StandardDeviations[0]},
      {"SE slope", r.SlopeSE, nist.StandardDeviations[1]},
      {"Sy.x", r.SyX, nist.ResidualSD},
      {"r squared", r.RSquared, nist.RSquared},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    EXPECT_GE(AgreeingDigits(row.Actual, row.Certified), 13.0);
    EXPECT_EQ(PrintedDigits(row.Actual), test::ReferenceDigits(row.Certified, row.Actual));
  }
}

// NIST StRD NoInt1 and NoInt2: a line through the origin, which is the fit
// forced through (0, 0). Its total sum of squares is taken about the origin,
// so r² (kept for the graph and the results) is NIST's and F is t².
TEST(LinearRegression, LineThroughOriginMatchesNoIntCertifiedValues) {
  for (const char* file : {"NoInt1.dat", "NoInt2.dat"}) {
    SCOPED_TRACE(file);
    const test::TNistRegression nist = test::ReadNistRegression(file);
    ASSERT_TRUE(nist.Loaded);
    TDataTable table;
    FillColumns(table, {nist.X[0], nist.Y});
    TLinearRegressionRequest options;
    options.ForceThrough = true;
    const TLinearRegressionResult r = ComputeLinearRegression(options, table);
    ASSERT_EQ(r.Status, TStatusCode::Ok);
    EXPECT_GE(AgreeingDigits(r.Slope, nist.Estimates[0]), 14.0);
    EXPECT_GE(AgreeingDigits(r.SlopeSE, nist.StandardDeviations[0]), 14.0);
    EXPECT_GE(AgreeingDigits(r.SyX, nist.ResidualSD), 14.0);
    EXPECT_GE(AgreeingDigits(r.RSquared, nist.RSquared), 14.0);
    EXPECT_GE(AgreeingDigits(r.SSRegression / r.MSResidual, r.T * r.T), 14.0);
    EXPECT_EQ(PrintedDigits(r.Slope), test::ReferenceDigits(nist.Estimates[0], r.Slope));
    EXPECT_EQ(PrintedDigits(r.SlopeSE), test::ReferenceDigits(nist.StandardDeviations[0], r.SlopeSE));
    EXPECT_EQ(PrintedDigits(r.SyX), test::ReferenceDigits(nist.ResidualSD, r.SyX));
  }
}

// Employment (y) of NIST's Longley data on each single column: years and
// populations with large offsets. Expected values computed exactly in
// rational arithmetic with python's fractions (square roots to 40 digits).
TEST(LinearRegression, LongleySingleColumnsMatchExactValues) {
  const test::TNistRegression nist = test::ReadNistRegression("Longley.dat");
  ASSERT_TRUE(nist.Loaded);
  const struct {
    long double Slope, Intercept, SlopeSE, InterceptSE, SyX, RSquared;
  } expected[] = {
      {3.15966086376911773703E+2L, 3.31891733795876397102E+4L, 2.08301426627883129290E+1L, 2.12918863366123968676E+3L,
       8.70606365901383216413E+2L, 9.42643945965733633725E-1L},
      {3.47522943476290462904E-2L, 5.18435897818841369236E+4L, 1.70571215548439719466E-3L, 6.81371636379229421797E+2L,
       6.56622318388192464625E+2L, 9.67373771854123396552E-1L},
      {1.88852315637068506469E+0L, 5.92863553982220367493E+4L, 8.68416824465260650380E-1L, 2.88229253755102012211E+3L,
       3.14294331344624311161E+3L, 2.52504324299045635424E-1L},
      {2.30780841269469957594E+0L, 5.93012646582338852991E+4L, 1.19944417659585119937E+0L, 3.22934720491299332750E+3L,
       3.23284394341395659592E+3L, 2.09130058073249869959E-1L},
      {4.84878098315709337325E-1L, 8.38067418337614677392E+3L, 3.76002949961965840551E-2L, 4.42243393279186789267E+3L,
       1.01298449033025134712E+3L, 9.22350050007371285142E-1L},
      {7.16511764705882352941E+2L, -1.33510524411764705882E+6L, 4.68694973306697510862E+1L, 9.16066873231325279393E+4L,
       8.64230828662160161437E+2L, 9.43480918294453819892E-1L},
  };
  for (std::size_t j = 0; j < 6; ++j) {
    SCOPED_TRACE("x" + std::to_string(j + 1));
    TDataTable table;
    FillColumns(table, {nist.X[j], nist.Y});
    const TLinearRegressionResult r = ComputeLinearRegression({}, table);
    ASSERT_EQ(r.Status, TStatusCode::Ok);
    const long double actual[] = {r.Slope, r.Intercept, r.SlopeSE, r.InterceptSE, r.SyX, r.RSquared};
    const long double wanted[] = {expected[j].Slope,       expected[j].Intercept, expected[j].SlopeSE,
                                  expected[j].InterceptSE, expected[j].SyX,       expected[j].RSquared};
    for (std::size_t k = 0; k < 6; ++k) {
      SCOPED_TRACE(k);
      EXPECT_GE(AgreeingDigits(actual[k], wanted[k]), 14.0);
      EXPECT_EQ(PrintedDigits(actual[k]), test::ReferenceDigits(wanted[k], actual[k]));
    }
  }
}

// Exact probabilities of at most R runs, from enumerating the counts of
// arrangements with python's integer binomials (math.comb).
TEST(LinearRegression, RunsTestProbabilityIsExact) {
  const struct {
    std::int32_t Above, Below, Runs;
    long double P;
  } rows[] = {
      {4, 6, 3, 1.0L / 21},  // (2 + 8) / 210
      {10, 10, 12, 0.7577886509775055L},
      {5, 5, 9, 0.9920634920634921L},  // 250 / 252
      {3, 3, 2, 0.1L},                 // 2 / 20
      {20, 1, 3, 1.0L},                // three runs is the most possible
      {30, 30, 20, 0.0029067850986140239L},
      {600, 550, 500, 5.3094571541120099e-06L},  // beyond 500 runs on each side
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Above << " above, " << row.Below << " below, " << row.Runs << " runs");
    EXPECT_NEAR(static_cast<double>(RunsTestP(row.Above, row.Below, row.Runs)), static_cast<double>(row.P),
                static_cast<double>(row.P) * 1e-12);
  }
}

// --------------------------------------------------------------------------
// ---------------------------------------------------------------------------
// Reports. Every figure below was checked against an exact computation of
// the same fit in python (fractions for the sums, mpmath for square roots
// and the regularized incomplete beta of the P values); the t values of the
// limits are the program's two-sided 5% table (2.447 for 6 df, 2.101 for 18,
// 2.262 for 9, 2.306 for 8). The reports are kept in
// tests/data/reports/linear-regression; tools/expected/linear_regression.py
// redoes the figures.

TLinearRegressionRequest Request(bool testLinearity, bool standardCurve) {
  TLinearRegressionRequest request;
  request.TestLinearity = testLinearity;
  request.InterpolateUnknowns = standardCurve;
  return request;
}

// Forced through (1, 2). The deviations from a forced line keep rows - 1
// degrees of freedom and the pure error is the scatter within rows (python:
// SS deviations 0.45433 on 4 df, SS pure 2.065 on 5 df, F 0.27502, P
// 0.88249); the total is Σ(Y - 2)² = 239.33, the model b²·Σ(X - 1)² =
// 236.81067.
TLinearRegressionRequest ForcedThroughOneTwo() {
  TLinearRegressionRequest request = Request(true, false);
  request.ForceThrough = true;
  request.ForceX = 1;
  request.ForceY = 2;
  return request;
}

TEST(LinearRegressionReport, GoldenReports) {
  const struct {
    const char* Name;
    std::vector<std::vector<long double>> Columns;
    TLinearRegressionRequest Request;
  } cases[] = {
      {"without-replicates", {{1, 2, 3, 4, 5, 6, 7, 8}, {2.1L, 3.9L, 6.2L, 7.8L, 10.1L, 12.2L, 13.8L, 16.1L}}, {}},
      // Two replicates in each of ten rows: the row table, the runs test and
      // the lack-of-fit test against the scatter among replicates.
      {"with-replicates",
       {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
        {2.1L, 3.9L, 6.2L, 7.8L, 10.1L, 12.2L, 13.8L, 16.1L, 17.5L, 20.3L},
        {1.9L, 4.2L, 5.7L, 8.4L, 9.6L, 11.8L, 14.5L, 15.7L, 18.4L, 19.9L}},
       Request(true, false)},
      {"forced-with-replicates",
       {{1, 2, 3, 4, 5}, {2.5L, 4.1L, 6.3L, 7.1L, 9.9L}, {1.8L, 3.6L, 5.2L, 8.4L, 10.6L}},
       ForcedThroughOneTwo()},
      {"perfect-line", {{1, 2, 3}, {2, 4, 6}}, {}},
      // y = x²: a curve. Three unknowns: a Y without X (30 -> X 4.727), an
      // X without Y inside the curve (4.5 -> 27.5) and one beyond it (12 ->
      // 110, *).
      {"curved-with-unknowns",
       {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, EmptyValue, 4.5L, 12},
        {1, 4, 9, 16, 25, 36, 49, 64, 81, 100, 30, EmptyValue, EmptyValue}},
       Request(true, true)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRun run;
    RunRegression(c.Columns, c.Request, run);
    ExpectGoldenRegression(run, std::string("linear-regression/") + c.Name);
  }
}

// The band of a forced line is drawn from the slope's limits; a perfect
// line has r² = 1 for the graph.
TEST(LinearRegressionReport, GraphOutputs) {
  TRun forced;
  RunRegression({{1, 2, 3, 4, 5}, {2.5L, 4.1L, 6.3L, 7.1L, 9.9L}, {1.8L, 3.6L, 5.2L, 8.4L, 10.6L}},
                ForcedThroughOneTwo(), forced);
  EXPECT_NEAR(static_cast<double>(forced.Line.SlopeLower95), 1.83216309015287, 1e-12);
  EXPECT_NEAR(static_cast<double>(forced.Line.SlopeUpper95), 2.14117024318047, 1e-12);
  TRun perfect;
  RunRegression({{1, 2, 3}, {2, 4, 6}}, {}, perfect);
  EXPECT_EQ(perfect.Line.RSquared, 1.0L);
}

// Values that are not binary fractions still form a perfect line: their
// residuals are rounding errors, not scatter. A falling line has r = -1.
TEST(LinearRegressionReport, PerfectLineOfDecimalsFalling) {
  TRun run;
  RunRegression({{0.1L, 0.2L, 0.3L, 0.7L}, {0.9L, 0.6L, 0.3L, -0.9L}}, {}, run);
  EXPECT_EQ(run.Code, TStatusCode::Ok);
  EXPECT_TRUE(HasLine(run.Lines, "Your data form a perfect line:"));
  EXPECT_TRUE(HasLine(run.Lines, "Slope = -3.000"));
  EXPECT_TRUE(HasLine(run.Lines, "r = -1.0000"));
}

// The notes of a runs test that cannot be performed, and the counting of
// points: a point exactly on the line is neither above nor below it.
TEST(LinearRegressionReport, RunsTestNotes) {
  TLinearRegressionRequest options;
  options.TestLinearity = true;
  const struct {
    const char* Name;
    std::vector<long double> Y;
    std::vector<std::string> Expected;
  } cases[] = {
      {"one point above",
       {0, 0, 10, 0, 0},
       {"There are 1 points above the line, 4 below, and 3 runs.",
        "Runs test cannot be performed because both the number above the",
        "line and below the line must be greater than one."}},
      {"five points or fewer",
       {1, 3, 3, 3, 5},
       {"There are 2 points above the line, 2 below, and 4 runs.",
        "Runs test cannot be performed because the sum of the number above",
        "the line and below the line must be greater than five."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRun run;
    RunRegression({{1, 2, 3, 4, 5}, c.Y}, options, run);
    EXPECT_EQ(run.Code, TStatusCode::Ok);
    const auto at = std::find(run.Lines.begin(), run.Lines.end(), c.Expected[0]);
    ASSERT_NE(at, run.Lines.end());
    ASSERT_GE(run.Lines.end() - at, 4);
    EXPECT_EQ(*(at + 1), "");
    EXPECT_EQ(*(at + 2), c.Expected[1]);
    EXPECT_EQ(*(at + 3), c.Expected[2]);
  }
}

// A flat line through scattered points: the X intercept is undefined, and
// an unknown Y has no X (left blank, no fault).
TEST(LinearRegressionReport, FlatLineHasUndefinedXIntercept) {
  TLinearRegressionRequest options;
  options.InterpolateUnknowns = true;
  TRun run;
  RunRegression({{1, 2, 3, 4, 5, EmptyValue}, {0, 0, 10, 0, 0, 4}}, options, run);
  EXPECT_EQ(run.Code, TStatusCode::Ok);
  EXPECT_TRUE(HasLine(run.Lines, "^X intercept^  Undefined"));
  EXPECT_TRUE(HasLine(run.Lines, "              4.000"));
}

// The row table is written up to 50 points; 26 rows of two are too many.
TEST(LinearRegressionReport, RowTableOnlyUpToFiftyPoints) {
  for (const int rows : {25, 26}) {
    SCOPED_TRACE(rows);
    std::vector<long double> x, y1, y2;
    for (int i = 1; i <= rows; ++i) {
      x.push_back(i);
      y1.push_back(2 * i + (i % 3) * 0.25L);
      y2.push_back(2 * i - (i % 4) * 0.25L);
    }
    TRun run;
    RunRegression({x, y1, y2}, {}, run);
    EXPECT_EQ(run.Code, TStatusCode::Ok);
    EXPECT_EQ(HasLine(run.Lines, "_Descriptive statistics for each row_"), rows == 25);
  }
}

// Empty and excluded values are not points: two rows with a point are too
// few even though three rows hold values.
TEST(LinearRegressionReport, Refusals) {
  const struct {
    const char* Name;
    std::vector<std::vector<long double>> Columns;
    TStatusCode Code;
    std::string Message;
  } cases[] = {
      {"two rows",
       {{1, 2, 3}, {1, 3, EmptyValue}},
       TStatusCode::TooFewRegressionPoints,
       "Linear regression requires at least three points."},
      {"one X value",
       {{2, 2, 2}, {1, 3, 4}},
       TStatusCode::OneXValue,
       "Points have only one x-value.  The slope is infinite."},
      {"one Y value",
       {{1, 2, 3}, {4, 4, 4}},
       TStatusCode::OneYValue,
       "Points have only one y-value.  The slope is zero."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TRun run;
    RunRegression(c.Columns, {}, run);
    EXPECT_EQ(run.Code, c.Code);
    EXPECT_TRUE(IsEmpty(run.Line.Slope));
    ASSERT_EQ(run.Lines.size(), 2u);
    EXPECT_EQ(run.Lines[0], "");
    EXPECT_EQ(run.Lines[1], c.Message);
  }
  TDataTable table;
  FillColumns(table, {{1, 2, 3}, {1, 3, 4}});
  table.SetExcluded(2, 1, true);
  TRun run;
  RunOnTable(table, {}, run);
  EXPECT_EQ(run.Code, TStatusCode::TooFewRegressionPoints);
  EXPECT_TRUE(IsEmpty(run.Line.Slope));
  EXPECT_EQ(run.Results.Analyses[0].Analysis, "linearRegression");
}

}  // namespace
}  // namespace ombrel
