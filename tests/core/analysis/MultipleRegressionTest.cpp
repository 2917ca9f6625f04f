#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/NistData.h"
#include "support/RegressionTestSupport.h"
#include "support/ReportAgreement.h"
#include "core/analysis/AnalysisFrame.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/document/ReportData.h"
#include "core/base/NumberText.h"
#include "core/analysis/MultipleRegression.h"

namespace ombrel {
namespace {

using test::AgreeingDigits;
using test::FillColumns;
using test::PrintedDigits;

TColumnFlags AllSelected() {
  TColumnFlags flags{};
  flags.fill(1);
  return flags;
}

const TReportDateTime ReportTime{2024, 3, 3, 14, 5, 9};

TMultipleRegressionRequest RequestOf(bool regression, int dependent, const TColumnFlags& selected) {
  TMultipleRegressionRequest request;
  request.Mode = regression ? TMultipleRegressionMode::Regression : TMultipleRegressionMode::CorrelationMatrix;
  request.DependentColumn = dependent;
  request.Selected = selected;
  return request;
}

// A report as RunMultipleRegression writes it, at a fixed time, with its
// record.
struct TWritten {
  TReportText Report;
  TReportResults Results;
  std::vector<std::string> Lines;
};

void Write(const TMultipleRegressionResult& computed, TWritten& out) {
  TMultipleRegressionResult result = computed;
  result.When = ReportTime;
  out.Report.BeginReport();
  out.Results.Analyses.emplace_back();
  TAnalysisRecord& record = out.Results.Analyses.back();
  FillMultipleRegressionRecord(result, record);
  WriteMultipleRegressionHeading(result, out.Report);
  record.FirstLine = out.Report.LineCount();
  WriteMultipleRegressionReport(result, out.Report);
  record.EndLine = out.Report.LineCount();
  out.Lines = test::FinishedLines(out.Report);
}

void WriteReport(const TDataTable& table, bool regression, int dependent, const TColumnFlags& selected, TWritten& out) {
  const TMultipleRegressionResult result = ComputeMultipleRegression(RequestOf(regression, dependent, selected), table);
  EXPECT_EQ(result.Status, TStatusCode::Ok);
  Write(result, out);
}

std::vector<std::string> ReportLines(const TDataTable& table, bool regression, int dependent,
                                     const TColumnFlags& selected) {
  TWritten out;
  WriteReport(table, regression, dependent, selected, out);
  return out.Lines;
}

// The report and its JSON equal their golden files, and agree.
void ExpectGoldenReport(const TDataTable& table, bool regression, const TColumnFlags& selected, std::string_view name) {
  TWritten out;
  WriteReport(table, regression, 0, selected, out);
  test::ExpectGoldenRun(out.Report, out.Results, table.Title(), TDataFormat::MultipleRegression, name);
}

// The lines from `first` up to, not including, `last`.
std::vector<std::string> Between(const std::vector<std::string>& lines, const std::string& first,
                                 const std::string& last) {
  const auto from = std::find(lines.begin(), lines.end(), first);
  const auto to = std::find(from, lines.end(), last);
  return {from, to};
}

// ---------------------------------------------------------------------------
// NIST StRD linear least squares: every coefficient, its standard error, the
// residual SD and R² against the certified values (from the files), and the
// digits the report prints for each. Polynomial models get X, X², ... as
// separate columns, as a user would enter them.

struct TNistCase {
  const char* File;
  int Degree;     // 0: the file's own x columns
  double Digits;  // agreeing significant digits required
};

TEST(MultipleRegression, MatchesNistCertifiedValues) {
  const TNistCase cases[] = {
      {"Norris.dat", 0, 14},
      {"Pontius.dat", 2, 14},
      {"Longley.dat", 0, 14},
      {"Wampler1.dat", 5, 19},
      {"Wampler2.dat", 5, 16},
      {"Wampler3.dat", 5, 14},
      {"Wampler4.dat", 5, 14},
      {"Wampler5.dat", 5, 14},
      // Degree 10: the columns' own rounding to 64 bits already limits the
      // agreement to 11.9 digits (mpmath, from the stored columns).
      {"Filip.dat", 10, 11.5},
  };
  for (const TNistCase& c : cases) {
    SCOPED_TRACE(c.File);
    const test::TNistRegression nist = test::ReadNistRegression(c.File);
    ASSERT_TRUE(nist.Loaded);
    std::vector<std::vector<long double>> columns{nist.Y};
    for (const auto& x : c.Degree > 0 ? test::PowerColumns(nist.X[0], c.Degree) : nist.X) columns.push_back(x);
    TDataTable table;
    FillColumns(table, columns);
    const TMultipleRegressionResult r = ComputeMultipleRegression({}, table);
    ASSERT_EQ(r.Status, TStatusCode::Ok);
    ASSERT_EQ(r.Coefficients.size(), nist.Estimates.size());
    for (std::size_t i = 0; i < r.Coefficients.size(); ++i) {
      SCOPED_TRACE("B" + std::to_string(i));
      const TCoefficient& b = r.Coefficients[i];
      EXPECT_GE(AgreeingDigits(b.Value, nist.Estimates[i]), c.Digits);
      EXPECT_EQ(PrintedDigits(b.Value), test::ReferenceDigits(nist.Estimates[i], b.Value));
      if (nist.StandardDeviations[i] == 0) {
        EXPECT_EQ(b.SE, 0.0L);
      } else {
        EXPECT_GE(AgreeingDigits(b.SE, nist.StandardDeviations[i]), c.Digits);
      }
      EXPECT_EQ(PrintedDigits(b.SE), test::ReferenceDigits(nist.StandardDeviations[i], b.SE));
    }
    if (nist.ResidualSD == 0) {
      EXPECT_EQ(r.SD, 0.0L);
      EXPECT_EQ(r.RSquared, 1.0L);
    } else {
      EXPECT_GE(AgreeingDigits(r.SD, nist.ResidualSD), c.Digits);
      EXPECT_GE(AgreeingDigits(r.RSquared, nist.RSquared), c.Digits);
    }
    EXPECT_EQ(PrintedDigits(r.SD), test::ReferenceDigits(nist.ResidualSD, r.SD));
    EXPECT_EQ(NumberText(r.RSquared, 0, 4), NumberText(nist.RSquared, 0, 4));
    EXPECT_EQ(NumberText(100 * r.RSquared, 0, 2), NumberText(100 * nist.RSquared, 0, 2));
  }
}

// --------------------------------------------------------------------------
// ---------------------------------------------------------------------------
// Reports. Every figure was checked against an exact solution of the
// normal equations in rational arithmetic (python fractions; square roots
// and the incomplete beta of the P values with mpmath at 30 digits); the 95%
// limits use the program's t table (2.447 for 6 df, 2.262 for 9 df). The
// reports are kept in tests/data/reports/multiple-regression;
// tools/expected/multiple_regression.py redoes the figures.

const std::vector<long double> YValues = {-3.2L, -1.1L, -2.5L, 1.4L, 2.2L, 0.9L, 4.1L, 3.3L, 6.8L, 6.9L, 5, 2};
const std::vector<long double> Dose = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, EmptyValue, 4};
const std::vector<long double> Second = {2.5L, 3.1L, 2.2L, 4.8L, 5.5L, 4.9L, 7.2L, 6.1L, 8.8L, 9.3L, EmptyValue, 3};
const std::vector<long double> Age = {7, 3, 5, 2, 8, 6, 1, 9, 4, 5, 3, 2};

// Three X with a negative constant. Row 11 lacks two X values and row 12 has
// its Y excluded: two rows with missing data, each counted once.
TEST(MultipleRegressionReport, ThreeVariables) {
  TDataTable table;
  FillColumns(table, {YValues, Dose, Second, Age});
  table.Summary(1).Title = "Dose";
  table.Summary(3).Title = "Age";
  table.SetExcluded(11, 0, true);
  table.SetTitle("Three X");
  ExpectGoldenReport(table, true, AllSelected(), "multiple-regression/three-x");
  // The tables as HTML shows them: coefficients, fit figures, coefficient
  // tests, VIF and one block of the matrix, each ending with its last row.
  TWritten out;
  WriteReport(table, true, 0, AllSelected(), out);
  const std::vector<TReportTable>& tables = out.Report.Structure().Tables;
  ASSERT_EQ(tables.size(), 5u);
  const std::size_t rows[] = {4, 6, 4, 3, 3};
  for (std::size_t i = 0; i < tables.size(); ++i) EXPECT_EQ(tables[i].Body.size(), rows[i]) << "table " << i;
}

// One X: "Intercept"/"Slope" rows, "r", and no tests of single
// coefficients, collinearity or correlation matrix.
TEST(MultipleRegressionReport, OneVariable) {
  TDataTable table;
  FillColumns(table, {YValues, Dose, Second, Age});
  table.Summary(1).Title = "Dose";
  TColumnFlags selected = AllSelected();
  selected[2] = 0;
  selected[3] = 0;
  ExpectGoldenReport(table, true, selected, "multiple-regression/one-x");
}

// Seven variables: blocks of five columns, then the rest.
TEST(MultipleRegressionReport, CorrelationMatrixOfSevenVariables) {
  const test::TNistRegression nist = test::ReadNistRegression("Longley.dat");
  ASSERT_TRUE(nist.Loaded);
  std::vector<std::vector<long double>> columns{nist.Y};
  for (const auto& x : nist.X) columns.push_back(x);
  TDataTable table;
  FillColumns(table, columns);
  table.Summary(0).Title = "Employed";
  table.Summary(6).Title = "Year";
  ExpectGoldenReport(table, false, AllSelected(), "multiple-regression/longley-matrix");
}

// With five X the Y column has no room in the block and forms its own.
TEST(MultipleRegressionReport, DependentColumnGetsItsOwnBlockAfterFive) {
  const test::TNistRegression nist = test::ReadNistRegression("Longley.dat");
  ASSERT_TRUE(nist.Loaded);
  std::vector<std::vector<long double>> columns{nist.Y};
  for (const auto& x : nist.X) columns.push_back(x);
  TDataTable table;
  FillColumns(table, columns);
  TColumnFlags selected = AllSelected();
  selected[6] = 0;
  const std::vector<std::string> lines = ReportLines(table, true, 0, selected);
  const std::vector<std::string> matrix = Between(lines, "_Correlation Matrix_", "_Summary of your data_");
  const std::vector<std::string> expected = {
      "_Correlation Matrix_",
      "",
      "                 B:       C:       D:       E:       F:",
      "B:               1.0000   0.9916   0.6206   0.4647   0.9792",
      "C:               0.9916   1.0000   0.6043   0.4464   0.9911",
      "D:               0.6206   0.6043   1.0000  -0.1774   0.6866",
      "E:               0.4647   0.4464  -0.1774   1.0000   0.3644",
      "F:               0.9792   0.9911   0.6866   0.3644   1.0000",
      "",
      "                |  A: (Y)",
      "B:              |  0.9709",
      "C:              |  0.9836",
      "D:              |  0.5025",
      "E:              |  0.4573",
      "F:              |  0.9604",
      "",
      "Each correlation coefficient (r) is calculated independently, ",
      "without considering the other variables.",
      "",
      "",
  };
  test::ExpectLines(matrix, expected);
}

// The verdict follows the largest VIF; exactly 4 and exactly 10 give none of
// the three sentences, and from above 4 the advice follows. The data give
// r² = 3/4, 0.79372, 9/10 and 0.00636 between their two X (exact: python
// fractions).
TEST(MultipleRegressionReport, CollinearityVerdicts) {
  const std::vector<std::string> advice = {
      "This means that the X variables provide redundant information, ",
      "making the confidence intervals very wide (by a factor of VIF).",
      "Consider removing one or more X variables from the model,",
      "or obtaining data over a wider range of X values.",
  };
  const struct {
    const char* Name;
    std::vector<std::vector<long double>> Columns;
    std::string Vif;
    std::vector<std::string> Verdict;
    bool Advice;
  } cases[] = {
      {"low",
       {YValues, Dose, Age},
       "B:                 1.01             0.0064",
       {"All R squared values are low (<0.75). The X variables are independent ",
        "of each other. Multicollinearity is not a problem."},
       false},
      {"exactly 4",
       {{1, 3, 2, 5, 4}, {0, 1, 2, 3, 4}, {0, 0, 0, 1, 1}},
       "B:                 4.00             0.7500",
       {},
       false},
      {"high",
       {{1, 3, 2, 5, 4, 7, 6, 9, 8, 10}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {3, 1, 2, 6, 4, 5, 9, 7, 8, 10}},
       "B:                 4.85             0.7937",
       {"Some R squared values are high (>.75). Multicollinearity may be a problem."},
       true},
      {"exactly 10",
       {{1, 3, 2, 5, 4, 7}, {0, 1, 2, 3, 4, 5}, {0, 1, 2, 4, 6, 5}},
       "B:                 10.00            0.9000",
       {},
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table;
    FillColumns(table, c.Columns);
    const std::vector<std::string> lines = ReportLines(table, true, 0, AllSelected());
    std::vector<std::string> expected = {"the other X variables (ignoring Y). VIF is calculated from R squared.", ""};
    expected.insert(expected.end(), c.Verdict.begin(), c.Verdict.end());
    if (c.Advice) expected.insert(expected.end(), advice.begin(), advice.end());
    expected.insert(expected.end(), {"", ""});
    test::ExpectLines(Between(lines, expected.front(), "_Correlation Matrix_"), expected);
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.Vif), lines.end());
  }
}

TEST(MultipleRegression, CollinearityVerdictBoundaries) {
  const struct {
    long double Vif;
    TCollinearityVerdict Verdict;
  } rows[] = {
      {1, TCollinearityVerdict::Low},
      {3.999L, TCollinearityVerdict::Low},
      {4, TCollinearityVerdict::None},
      {4.001L, TCollinearityVerdict::High},
      {9.999L, TCollinearityVerdict::High},
      {10, TCollinearityVerdict::None},
      {10.001L, TCollinearityVerdict::VeryHigh},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(static_cast<double>(row.Vif));
    EXPECT_EQ(CollinearityVerdict(row.Vif), row.Verdict);
  }
}

// Y = 0.5 + 0.1 X1 + 0.3 X2 exactly in decimals: the residuals are rounding
// errors, so the fit is perfect, every t infinite, and the VIF still that of
// the X variables (r² = 0.93617 between them).
TEST(MultipleRegressionReport, PerfectFit) {
  TDataTable table;
  FillColumns(table, {{0.9L, 1.0L, 1.7L, 1.8L, 2.2L, 2.6L}, {1, 2, 3, 4, 5, 6}, {1, 1, 3, 3, 4, 5}});
  TWritten out;
  WriteReport(table, true, 0, AllSelected(), out);
  test::ExpectGoldenSection(out.Lines, "multiple-regression/perfect-fit");
  test::ExpectReportAgreesWithResults(out.Report, out.Results);
  EXPECT_NE(std::find(out.Lines.begin(), out.Lines.end(), "B:                 15.67            0.9362"),
            out.Lines.end());
}

// ---------------------------------------------------------------------------
// Refusals and the rows used, through the entry point as the document runs
// it: a refusal's code and its message between empty lines.

struct TEntryRun {
  TStatusCode Code = TStatusCode::Ok;
  TMultipleRegressionOutputs Outputs;
  std::vector<std::string> Lines;
};

TEntryRun RunEntry(TDataTable& table, bool regression, int dependent, const TColumnFlags& selected) {
  TEntryRun run;
  TReportText report;
  TSilentCalcProgress progress;
  TAnalysisRecord record;
  report.BeginReport();
  RunGuarded(table, &report, [&] {
    TAnalysisRun analysis{table, report, progress, record};
    RunMultipleRegression(RequestOf(regression, dependent, selected), analysis, run.Outputs);
  });
  run.Code = table.StatusCode;
  if (run.Code != TStatusCode::Ok) report.WriteErrorReport(run.Code);
  run.Lines = test::FinishedLines(report);
  return run;
}

TEST(MultipleRegression, RefusalsReplaceTheReport) {
  TColumnFlags none{};
  const struct {
    const char* Name;
    std::vector<std::vector<long double>> Columns;
    bool Regression;
    TColumnFlags Selected;
    TStatusCode Code;
  } cases[] = {
      {"no data", {}, true, AllSelected(), TStatusCode::NoMultipleRegressionData},
      {"only the dependent column", {{1, 2, 3}}, true, AllSelected(), TStatusCode::NoDependentVariable},
      {"no X chosen", {{1, 2, 3}, {4, 5, 7}}, true, none, TStatusCode::NoIndependentVariables},
      {"one matrix column",
       {{1, 2, 3}, {4, 5, 7}},
       false,
       [] {
         TColumnFlags f{};
         f[1] = 1;
         return f;
       }(),
       TStatusCode::TooFewMatrixVariables},
      {"four rows for three X",
       {{1, 2, 3, 5}, {1, 2, 4, 3}, {3, 1, 4, 1}, {5, 9, 2, 6}},
       true,
       AllSelected(),
       TStatusCode::TooFewRegressionRows},
      {"identical X columns",
       {{1, 3, 2, 5, 4}, {1, 2, 3, 4, 6}, {2, 1, 4, 3, 5}, {1, 2, 3, 4, 6}},
       true,
       AllSelected(),
       TStatusCode::SingularRegression},
      {"X that repeats the constant",
       {{1, 3, 2, 5, 4}, {1, 2, 3, 4, 6}, {7, 7, 7, 7, 7}},
       true,
       AllSelected(),
       TStatusCode::SingularRegression},
      {"X that is a sum of two others",
       {{1, 3, 2, 5, 4, 6},
        {0.1L, 0.2L, 0.4L, 0.3L, 0.6L, 0.5L},
        {1.5L, 1.1L, 2.3L, 0.7L, 1.9L, 2.2L},
        {1.6L, 1.3L, 2.7L, 1.0L, 2.5L, 2.7L}},
       true,
       AllSelected(),
       TStatusCode::SingularRegression},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table;
    FillColumns(table, c.Columns);
    const TEntryRun run = RunEntry(table, c.Regression, 0, c.Selected);
    EXPECT_EQ(run.Code, c.Code);
    EXPECT_FALSE(run.Outputs.HasCases());
    test::ExpectLines(run.Lines, {"", std::string(ErrorMessageLines(c.Code).front())});
  }
}

// Five rows for three X leave one degree of freedom: computed.
TEST(MultipleRegression, FiveRowsForThreeVariablesAreEnough) {
  TDataTable table;
  FillColumns(table, {{1, 2, 3, 5, 4}, {1, 2, 4, 3, 5}, {3, 1, 4, 1, 5}, {5, 9, 2, 6, 5}});
  const TEntryRun run = RunEntry(table, true, 0, AllSelected());
  EXPECT_EQ(run.Code, TStatusCode::Ok);
  EXPECT_EQ(run.Lines.back(), "Number of degrees of freedom (#subjects - #variables - 1): 1");
  EXPECT_EQ(run.Outputs.Rows.size(), 5u);
}

// A constant Y leaves R² as 0/0, a constant column its r: the report of an
// invalid operation, never a number that is not one.
TEST(MultipleRegression, ConstantColumnsAreInvalidOperations) {
  const struct {
    const char* Name;
    bool Regression;
    std::vector<std::vector<long double>> Columns;
  } cases[] = {
      {"constant Y", true, {{2, 2, 2, 2}, {1, 2, 3, 4}}},
      {"constant matrix column", false, {{1, 2, 3, 4}, {5, 5, 5, 5}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TDataTable table;
    FillColumns(table, c.Columns);
    const TEntryRun run = RunEntry(table, c.Regression, 0, AllSelected());
    EXPECT_EQ(run.Code, TStatusCode::InvalidOperation);
    EXPECT_FALSE(run.Outputs.HasCases());
  }
}

// What the graph gets: the rows used, the values of each X, the dependent
// values and the residuals, in row order; excluded values drop their row,
// and a compare-means column selection left on the table does not apply.
TEST(MultipleRegression, HandsTheAnalysedCasesToTheGraph) {
  TDataTable table;
  FillColumns(table, {{1, 3, 2, 5, 4, 6}, {1, 2, 3, 4, 5, 6}, {2, 1, 4, 3, 6, 5}});
  table.SetExcluded(2, 2, true);
  table.UseColumnSelection = 1;
  table.ColumnSelected[2] = 0;
  const TEntryRun run = RunEntry(table, true, 0, AllSelected());
  ASSERT_EQ(run.Code, TStatusCode::Ok);
  const TMultipleRegressionOutputs& out = run.Outputs;
  EXPECT_EQ(out.Regression, 1);
  EXPECT_EQ(out.DependentColumn, 0);
  EXPECT_EQ(out.Variables, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(out.Rows, (std::vector<std::int32_t>{0, 1, 3, 4, 5}));
  ASSERT_EQ(out.Values.size(), 2u);
  EXPECT_EQ(out.Values[1], (std::vector<long double>{2, 1, 3, 6, 5}));
  EXPECT_EQ(out.Dependent, (std::vector<long double>{1, 3, 5, 4, 6}));
  ASSERT_EQ(out.Residuals.size(), 5u);
  ASSERT_EQ(out.Coefficients.size(), 3u);
  for (std::size_t k = 0; k < 5; ++k) {
    const long double fitted =
        out.Coefficients[0] + out.Coefficients[1] * out.Values[0][k] + out.Coefficients[2] * out.Values[1][k];
    EXPECT_NEAR(static_cast<double>(out.Residuals[k]), static_cast<double>(out.Dependent[k] - fitted), 1e-15);
  }
  EXPECT_EQ(table.UseColumnSelection, 1);
}

// ---------------------------------------------------------------------------
// Through the document's analysis run.

TEST(RegressionDocuments, ReportsAndGraphOutputsAreKept) {
  TSilentCalcProgress progress;
  {
    TDocument document;
    document.ChooseFormat(TDataFormat::XY);
    FillColumns(document.Table, {{1, 2, 3, 4}, {2, 4.5L, 5.5L, 8}});
    RunAnalysis(document, progress);
    EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
    // Slope 1.9, intercept 0.25 (least squares by hand: Sxy 9.5, Sxx 5).
    EXPECT_NEAR(static_cast<double>(document.Regression.Slope), 1.9, 1e-15);
    EXPECT_NEAR(static_cast<double>(document.Regression.Intercept), 0.25, 1e-15);
    EXPECT_EQ(document.Regression.N, 4);
    EXPECT_NEAR(static_cast<double>(document.Regression.MeanX), 2.5, 1e-15);
    EXPECT_NEAR(static_cast<double>(document.Regression.Sxx), 5, 1e-15);
  }
  {
    TDocument document;
    document.ChooseFormat(TDataFormat::MultipleRegression);
    FillColumns(document.Table, {{1, 3, 2, 5, 4}, {1, 2, 3, 4, 5}, {2, 1, 4, 3, 6}});
    RunAnalysis(document, progress);
    EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
    EXPECT_EQ(document.MultipleRegressionResults.Rows.size(), 5u);
    const std::string title(*document.Report.GetLine(3));
    EXPECT_NE(title.find("Multiple Regression Results"), std::string::npos) << title;

    document.Choices.MultipleRegression = 0;
    document.MarkChanged();
    RunAnalysis(document, progress);
    const std::string matrixTitle(*document.Report.GetLine(3));
    EXPECT_NE(matrixTitle.find("Correlation Matrix Results"), std::string::npos) << matrixTitle;
    EXPECT_EQ(document.MultipleRegressionResults.Regression, 0);
    EXPECT_EQ(document.MultipleRegressionResults.Variables, (std::vector<std::int32_t>{0, 1, 2}));
  }
}

// The section that closes a report when asked for. Linear regression has
// no size line (the report gives r²): the method of the slope's P and the
// APA sentence b, t (slope / SE, the square root of F), p and R², without
// R² for a line forced through the origin (tools/expected/
// linear_regression.py: b 1.9857, t 11.738, R² .9583; forced b 2.0235,
// t 28.327).
// Multiple regression: Cohen's f squared with its interval and F, p, R²,
// f². The reports are kept in tests/data/reports; the multiple regression's
// from its section on, as its first line holds the time.
TEST(RegressionDocuments, EffectSections) {
  TSilentCalcProgress progress;
  const std::vector<std::vector<long double>> line = {{1, 2, 3, 4, 5, 6, 7, 8},
                                                      {3.1L, 3.9L, 5.2L, 8.8L, 9.1L, 13.2L, 12.8L, 17.1L}};
  for (const bool forced : {false, true}) {
    SCOPED_TRACE(forced);
    TDocument document;
    document.ChooseFormat(TDataFormat::XY);
    document.EffectSizes = true;
    FillColumns(document.Table, line);
    document.Table.Summary(0).Title = "Dose";
    document.Table.Summary(1).Title = "Response";
    document.Choices.InterpolateUnknowns = 0;
    document.Choices.ForceThrough = forced ? 1 : 0;
    RunAnalysis(document, progress);
    test::ExpectGoldenDocument(document,
                               forced ? "linear-regression/effect-section-forced" : "linear-regression/effect-section");
  }
  TDocument document;
  document.ChooseFormat(TDataFormat::MultipleRegression);
  document.EffectSizes = true;
  FillColumns(document.Table, {YValues, Dose, Second, Age});
  document.Table.Summary(1).Title = "Dose";
  document.Table.Summary(3).Title = "Age";
  RunAnalysis(document, progress);
  test::ExpectGoldenSection(test::VisibleLines(document.Report), "multiple-regression/effect-section");
  test::ExpectGoldenJson(ReportResultTree(document, "effect-section.omd"), "multiple-regression/effect-section");
  test::ExpectReportAgreesWithResults(document.Report, document.Results);
}

// Cohen's f squared and its interval against SciPy's noncentral F
// (tools/expected/multiple_regression.py): rows 1 to 10 on all three X, on
// Age alone (an interval from 0), and a perfect fit (none).
TEST(MultipleRegression, CohensFSquared) {
  const struct {
    const char* Name;
    std::vector<std::vector<long double>> Columns;
    long double Value, Lower, Upper;
  } rows[] = {
      {"three X", {YValues, Dose, Second, Age}, 69.85787911869176L, 8.078591062621594L, 101.68161430793596L},
      {"Age", {YValues, {}, {}, Age}, 0.01807779798087384L, 0, 0.5142313140750813L},
      {"perfect",
       {{0.9L, 1.0L, 1.7L, 1.8L, 2.2L, 2.6L}, {1, 2, 3, 4, 5, 6}, {1, 1, 3, 3, 4, 5}},
       EmptyValue,
       EmptyValue,
       EmptyValue},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table;
    std::vector<std::vector<long double>> columns = row.Columns;
    // Rows 1 to 10: the last two rows of the golden data left out.
    for (auto& column : columns)
      if (column.size() > 10) column.resize(10);
    FillColumns(table, columns);
    const TEffectSize f2 = ComputeMultipleRegression({}, table).FSquared;
    for (const auto& [actual, expected] :
         {std::pair{f2.Value, row.Value}, std::pair{f2.Lower, row.Lower}, std::pair{f2.Upper, row.Upper}}) {
      if (IsEmpty(expected)) {
        EXPECT_TRUE(IsEmpty(actual));
      } else {
        EXPECT_NEAR(static_cast<double>(actual), static_cast<double>(expected), 1e-9 * (1 + std::fabs(expected)));
      }
    }
  }
}

// The coefficient table's stops are 20, 32, 42, 50 and 54, the last one
// for "to": a limit wider than its column pushes "to" to the last stop, and
// the upper limit keeps one blank after it.
TEST(MultipleRegressionReport, CoefficientRowsThatOverflowKeepTheirFieldsApart) {
  struct TCase {
    const char* Name;
    TReal Value, SE, Lower, Upper;
    std::string Expected;
  };
  const TCase cases[] = {
      {"fits its columns", 1.074L, 0.1353L, 0.7683L, 1.381L,
       "B:Dose             1.074       0.1353    0.7683  to  1.381"},
      {"wide negative lower limit", 0.002394L, 0.001211L, -0.0002716L, 0.005060L,
       "B:Dose             0.002394    0.001211  -0.0002716  to 0.005060"},
      {"scientific lower limit", 0.00002L, 0.00001L, -0.00000123L, 0.0000412L,
       "B:Dose              2.000E-05   1.000E-05         -1.230E-06 to 4.120E-05"},
      {"large values", -12345.678L, 4567.8L, -21456.7L, -3234.6L,
       "B:Dose             -12346      4567.8    -21457  to  -3234.6"},
  };
  TDataTable table;
  FillColumns(table, {YValues, Dose, Second, Age});
  table.Summary(1).Title = "Dose";
  table.Summary(3).Title = "Age";
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TMultipleRegressionResult result = ComputeMultipleRegression({}, table);
    ASSERT_EQ(result.Status, TStatusCode::Ok);
    TCoefficient& dose = result.Coefficients[1];
    dose.Value = c.Value;
    dose.SE = c.SE;
    dose.Lower = c.Lower;
    dose.Upper = c.Upper;
    TWritten out;
    Write(result, out);
    const std::vector<std::string>& lines = out.Lines;
    const auto row =
        std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("B:Dose"); });
    ASSERT_NE(row, lines.end());
    EXPECT_EQ(*row, c.Expected);
  }
}

}  // namespace
}  // namespace ombrel
