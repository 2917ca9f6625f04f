// Pearson and Spearman correlation: published and independently computed
// values, exact Spearman P values, progress and cancellation, and whole
// reports laid out by hand (tests/data/reports/correlation). Numbers not
// quoted from a publication were computed with mpmath at 40 digits; exact
// Spearman counts with a separate Python enumeration
// (tools/expected/correlation.py).

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <vector>

#include "support/GoldenReport.h"
#include "support/ReportAgreement.h"
#include "support/ScriptedProgress.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/analysis/Correlation.h"
#include "core/report/EffectSizeLines.h"

namespace ombrel {
namespace {

using namespace ombrel::test;

// Anscombe's first data set (Anscombe 1973): r = 0.81642, P = 0.00217.
const std::vector<TReal> AnscombeX = {10, 8, 13, 9, 11, 14, 6, 4, 12, 7, 5};
const std::vector<TReal> AnscombeY = {8.04L, 6.95L, 7.58L, 8.81L, 8.33L, 9.96L, 7.24L, 4.26L, 10.84L, 4.82L, 5.68L};

std::vector<TReal> Sequence(int n) {
  std::vector<TReal> values(static_cast<std::size_t>(n));
  std::iota(values.begin(), values.end(), TReal{1});
  return values;
}

TDataTable XYTable(const std::vector<TReal>& x, const std::vector<TReal>& y) {
  TDataTable table;
  for (std::size_t row = 0; row < x.size(); ++row) {
    if (!IsEmpty(x[row])) table.SetValue(static_cast<int>(row), 0, x[row]);
    if (!IsEmpty(y[row])) table.SetValue(static_cast<int>(row), 1, y[row]);
  }
  return table;
}

TDocument XYDocument(const std::vector<TReal>& x, const std::vector<TReal>& y, std::int32_t kind) {
  TDocument document;
  static_cast<void>(document.ChooseFormat(TDataFormat::XY));
  TypeColumn(document, 0, "X", x);
  TypeColumn(document, 1, "Y", y);
  document.Choices.IsRegression = 0;
  document.Choices.RegressionKind = static_cast<TRegressionKind>(kind);  // the number the file stores
  return document;
}

TEST(Pearson, AgreesWithPublishedValues) {
  TDataTable table = XYTable(AnscombeX, AnscombeY);
  const std::vector<int> y = {1};
  const TPearsonResult result = ComputePearson(table, 0, y);
  EXPECT_EQ(table.StatusCode, TStatusCode::Ok);
  EXPECT_EQ(result.N, 11);
  EXPECT_NEAR(result.R, 0.81642L, 5e-6L);
  EXPECT_NEAR(result.P, 0.00217L, 5e-6L);
  // Fisher's interval with z = 1.96044921875 (where the bisection for a
  // one-tailed 0.025 stops): tanh(atanh r -/+ z / sqrt 8), mpmath.
  EXPECT_NEAR(result.Lower, 0.4242505456L, 1e-9L);
  EXPECT_NEAR(result.Upper, 0.9507097518L, 1e-9L);
}

TEST(Pearson, LargeCommonOffsetKeepsItsPrecision) {
  // The same data shifted by 1e9: r must not change (one-pass sums of
  // squares would lose every digit here).
  std::vector<TReal> x = AnscombeX;
  std::vector<TReal> y = AnscombeY;
  for (TReal& v : x) v += 1e9L;
  for (TReal& v : y) v += 1e9L;
  TDataTable table = XYTable(x, y);
  const std::vector<int> others = {1};
  EXPECT_NEAR(ComputePearson(table, 0, others).R, 0.816420516L, 1e-8L);
}

TEST(Pearson, PerfectLineHasPZeroAndAPointInterval) {
  // Literally r = 1 divides by a zero standard error and takes ln 0; the
  // report must say P < 0.0001 instead of failing.
  TDataTable table = XYTable({1, 2, 3, 4, 5}, {2, 4, 6, 8, 10});
  const std::vector<int> others = {1};
  const TPearsonResult result = ComputePearson(table, 0, others);
  EXPECT_EQ(table.StatusCode, TStatusCode::Ok);
  EXPECT_EQ(result.R, 1);
  EXPECT_EQ(result.P, 0);
  EXPECT_EQ(result.Lower, 1);
  EXPECT_EQ(result.Upper, 1);
}

TEST(Spearman, ReplicatesFormPairsAndTieTheirX) {
  // X 1 with Y 5, 6, 7; X 2, 3, 4 with Y 8, 4, 9. By hand: X ranks 2, 2, 2,
  // 4, 5, 6 (Tx = 2), Y ranks 2, 3, 4, 5, 1, 6, D = 22, S = 35, so
  // rs = (35 - 22 - 2) / sqrt(31 x 35) = 0.333943. Exact: 179 of 720
  // assignments reach H = 47, P = 358 / 720.
  TDataTable table;
  const std::array<std::array<TReal, 4>, 4> rows = {
      {{1, 5, 6, 7}, {2, 8, EmptyValue, EmptyValue}, {3, 4, EmptyValue, EmptyValue}, {4, 9, EmptyValue, EmptyValue}}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c)
      if (!IsEmpty(rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]))
        table.SetValue(r, c, rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
  TSilentCalcProgress progress;
  const std::vector<int> others = YColumns(table);
  ASSERT_EQ(others.size(), 3u);
  const TSpearmanResult result = ComputeSpearman(table, 0, others, progress);
  EXPECT_EQ(result.N, 6);
  EXPECT_TRUE(result.Ties);
  EXPECT_NEAR(result.R, 11 / std::sqrt(1085.0L), 1e-15L);
  EXPECT_EQ(result.Status, TExactStatus::Exact);
  EXPECT_NEAR(result.P, 358.0L / 720, 1e-15L);
  // The X values stay where they were: no scratch column is used.
  EXPECT_TRUE(IsEmpty(table.GetAnalysisValue(0, ScratchColumn)));
}

TEST(Spearman, ExactPValues) {
  struct TRow {
    const char* Name;
    std::vector<TReal> Y;
    TReal P;
  };
  const TRow rows[] = {
      {"4 in order: 1 of 24 in each tail", {10, 20, 30, 40}, 2.0L / 24},
      {"8 swapped pairs: 92 of 40320 reach H = 160", {2, 1, 4, 3, 6, 5, 8, 7}, 184.0L / 40320},
      {"12: 20103385 of 12! reach H = 436", {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10}, 40206770.0L / 479001600},
      {"11 reversed: rs = -1", {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}, 2.0L / 39916800},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDataTable table = XYTable(Sequence(static_cast<int>(row.Y.size())), row.Y);
    TSilentCalcProgress progress;
    const std::vector<int> others = {1};
    const TSpearmanResult result = ComputeSpearman(table, 0, others, progress);
    EXPECT_EQ(result.Status, TExactStatus::Exact);
    EXPECT_NEAR(result.P, row.P, 1e-15L);
  }
}

TEST(Spearman, PerfectReverseOrderHasAPointInterval) {
  // rs = -1 with N > 10 would take ln 0 in Fisher's z.
  TDataTable table = XYTable(Sequence(11), {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1});
  TSilentCalcProgress progress;
  const std::vector<int> others = {1};
  const TSpearmanResult result = ComputeSpearman(table, 0, others, progress);
  EXPECT_EQ(table.StatusCode, TStatusCode::Ok);
  EXPECT_EQ(result.R, -1);
  EXPECT_EQ(result.Lower, -1);
  EXPECT_EQ(result.Upper, -1);
  EXPECT_EQ(result.ApproximateP, 0);
}

TEST(Spearman, ExactCountReportsProgressInStages) {
  // Every reading moves the clock 3 s on, so each report shows its
  // percentage: 15 stages of 256 rank sets out of 4096 for 12 pairs.
  TScriptedProgress progress(0, 3000);
  TDataTable table = XYTable(Sequence(12), {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10});
  const std::vector<int> others = {1};
  const TSpearmanResult result = ComputeSpearman(table, 0, others, progress);
  EXPECT_EQ(result.Status, TExactStatus::Exact);
  EXPECT_EQ(progress.Reports(), 15);
  const std::vector<std::string> shown = {"6.3",  "12.5", "18.8", "25.0", "31.3", "37.5", "43.8", "50.0",
                                          "56.3", "62.5", "68.8", "75.0", "81.3", "87.5", "93.8"};
  EXPECT_EQ(progress.Shown(), shown);
}

TEST(Spearman, StopAnswersEndTheCountAndChooseTheApproximateP) {
  struct TRow {
    const char* Name;
    std::int64_t Step;  // milliseconds per clock reading
    int CancelAt;
    TExactStatus Status;
  };
  const TRow rows[] = {
      // The second report is 1.2 s after the start: past the 500 ms gate.
      {"cancelled", 600, 2, TExactStatus::Cancelled},
      // 100 s for the first 6.25% estimates 1500 s left.
      {"too long", 100000, 0, TExactStatus::TooLong},
      {"finished", 1, 0, TExactStatus::Exact},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TScriptedProgress progress(row.CancelAt, row.Step);
    TDataTable table = XYTable(Sequence(12), {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10});
    const std::vector<int> others = {1};
    const TSpearmanResult result = ComputeSpearman(table, 0, others, progress);
    EXPECT_EQ(result.Status, row.Status);
    if (row.Status == TExactStatus::Exact) {
      EXPECT_NEAR(result.P, 0.0839386967L, 1e-10L);
    } else {
      EXPECT_EQ(result.P, result.ApproximateP);
      EXPECT_NEAR(result.P, 0.080019376L, 1e-6L);
    }
  }
}

TEST(CorrelationReports, PearsonWithThreePointsHasNoInterval) {
  TDocument document = XYDocument({1, 2, 3}, {2, 3, 5}, 1);
  document.Table.SetTitle("Dose response");
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  ExpectGoldenDocument(document, "correlation/pearson-three-points");
}

TEST(CorrelationReports, PearsonWithInterval) {
  TDocument document = XYDocument(AnscombeX, AnscombeY, 1);
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  ExpectGoldenDocument(document, "correlation/pearson-with-interval");
}

TEST(CorrelationReports, Spearman) {
  struct TRow {
    const char* Name;
    std::vector<TReal> Y;
    std::int64_t Step;
    int CancelAt;
    const char* Golden;
  };
  const TRow rows[] = {
      {"4 pairs in perfect order: exact P = 2/24 and no chance of significance",
       {10, 20, 30, 40},
       1,
       0,
       "correlation/spearman-4-pairs-perfect-order"},
      {"12 pairs with a tie: exact P, interval and the ties remark",
       {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 7},
       1,
       0,
       "correlation/spearman-12-pairs-with-a-tie"},
      {"12 pairs, cancelled: the approximate P",
       {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10},
       600,
       2,
       "correlation/spearman-12-pairs-cancelled"},
      {"12 pairs, too long: the approximate P",
       {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10},
       100000,
       0,
       "correlation/spearman-12-pairs-too-long"},
      {"13 pairs: never exact", {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 13, 7, 10}, 1, 0, "correlation/spearman-13-pairs"},
      {"8 pairs, cancelled: no P at all", {2, 1, 4, 3, 6, 5, 8, 7}, 600, 2, "correlation/spearman-8-pairs-cancelled"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document = XYDocument(Sequence(static_cast<int>(row.Y.size())), row.Y, 2);
    TScriptedProgress progress(row.CancelAt, row.Step);
    RunAnalysis(document, progress);
    EXPECT_EQ(document.Table.StatusCode, TStatusCode::Ok);
    ExpectGoldenDocument(document, row.Golden);
  }
}

// The closing section: no size line (r and r squared are in the report),
// the method and the APA sentence (r without its leading zero, df N - 2).
// The figures are the reports' own, rounded: Anscombe's r = 0.8164, 0.4243
// to 0.9507, P = 0.0022; Spearman's as in the goldens of the rows above.
TEST(CorrelationReports, EffectSection) {
  TDocument pearson = XYDocument(AnscombeX, AnscombeY, 1);
  pearson.EffectSizes = true;
  TSilentCalcProgress silent;
  RunAnalysis(pearson, silent);
  ExpectGoldenDocument(pearson, "correlation/pearson-effect-section");

  struct TRow {
    const char* Name;
    std::vector<TReal> X;
    std::vector<TReal> Y;
    std::int64_t Step;
    int CancelAt;
    const char* Method;
    const char* Apa;
  };
  const TRow rows[] = {
      {"exact, with a tie",
       Sequence(12),
       {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 7},
       1,
       0,
       "Method: exact P by complete enumeration of 479001600 arrangements; two-tailed; N used: X 12, Y 12; no "
       "values left out.",
       "APA: ~r~s(10) = .47, 95% CI [-.17, .83], ~p~ = .128"},
      {"too long: the approximation",
       Sequence(12),
       {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10},
       100000,
       0,
       "Method: P by the t approximation (no ties); two-tailed; N used: X 12, Y 12; no values left out.",
       "APA: ~r~s(10) = .52, 95% CI [-.09, .85], ~p~ = .080"},
      {"cancelled with 8 pairs: no P",
       Sequence(8),
       {2, 1, 4, 3, 6, 5, 8, 7},
       600,
       2,
       "Method: two-tailed; N used: X 8, Y 8; no values left out.",
       "APA: ~r~s(6) = .90"},
      {"pairs left out",
       {1, 2, 3, 4, 5, EmptyValue},
       {2, EmptyValue, 5, 4, 7, 8},
       1,
       0,
       "Method: exact P by complete enumeration of 24 arrangements; two-tailed; N used: X 4, Y 4; left out: X 1 "
       "without a partner; Y 1 empty, 1 without a partner.",
       "APA: ~r~s(2) = .80, ~p~ = .333"},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document = XYDocument(row.X, row.Y, 2);
    TScriptedProgress progress(row.CancelAt, row.Step);
    RunAnalysis(document, progress);
    ASSERT_EQ(document.Results.Analyses.size(), 1u);
    const std::optional<TEffectSection>& effect = document.Results.Analyses[0].Effect;
    ASSERT_TRUE(effect.has_value());
    EXPECT_TRUE(effect->Sizes.empty());
    EXPECT_EQ(MethodLineText(effect->Method), row.Method);
    EXPECT_EQ(Visible(ApaLineText(effect->Apa)), row.Apa);
  }
}

TEST(CorrelationReports, Refusals) {
  struct TRow {
    const char* Name;
    std::vector<TReal> X;
    std::vector<TReal> Y;
    std::int32_t Kind;
    TStatusCode Code;
    std::string Message;
  };
  const TRow rows[] = {
      {"Pearson, no pair",
       {1, 2, EmptyValue, EmptyValue},
       {EmptyValue, EmptyValue, 3, 4},
       1,
       TStatusCode::NoCorrelationData,
       "No data to perform correlation test."},
      {"Spearman, no pair",
       {1, 2, EmptyValue, EmptyValue},
       {EmptyValue, EmptyValue, 3, 4},
       2,
       TStatusCode::NoCorrelationData,
       "No data to perform correlation test."},
      {"Pearson, one X value",
       {2, 2, 2, 2},
       {1, 2, 3, 4},
       1,
       TStatusCode::OneXValue,
       "Points have only one x-value.  The slope is infinite."},
      {"Spearman, one X value",
       {2, 2, 2, 2},
       {1, 2, 3, 4},
       2,
       TStatusCode::OneXValue,
       "Points have only one x-value.  The slope is infinite."},
      {"Pearson, one Y value",
       {1, 2, 3, 4},
       {5, 5, 5, 5},
       1,
       TStatusCode::OneYValue,
       "Points have only one y-value.  The slope is zero."},
      {"Spearman, one Y value",
       {1, 2, 3, 4},
       {5, 5, 5, 5},
       2,
       TStatusCode::OneYValue,
       "Points have only one y-value.  The slope is zero."},
      {"Pearson, two pairs",
       {1, 2},
       {3, 5},
       1,
       TStatusCode::TooFewCorrelationPoints,
       "Linear correlation requires at least three points."},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Name);
    TDocument document = XYDocument(row.X, row.Y, row.Kind);
    TSilentCalcProgress progress;
    RunAnalysis(document, progress);
    EXPECT_EQ(document.Table.StatusCode, row.Code);
    ExpectReportLines(document.Report, MessageReport({row.Message}));
  }
}

}  // namespace
}  // namespace ombrel

namespace ombrel {
namespace {

// An X without a Y, and a Y without an X, are left out of the pairs.
TEST(CorrelationRecord, CountsValuesUsedAndLeftOut) {
  TDocument document = XYDocument({1, 2, 3, 4, EmptyValue}, {2, EmptyValue, 5, 4, 7}, 1);
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  ASSERT_EQ(document.Results.Analyses.size(), 1u);
  const TAnalysisRecord& record = document.Results.Analyses[0];
  EXPECT_EQ(record.Analysis, "pearsonCorrelation");
  EXPECT_EQ(record.Results.Find("n")->AsInteger(), 3);
  const std::vector<TResultValue>& columns = record.Method.Find("columns")->Items();
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_EQ(columns[0].Find("nUsed")->AsInteger(), 3);
  EXPECT_EQ(columns[0].Find("nLeftOut")->AsInteger(), 1);
  EXPECT_EQ(columns[1].Find("nUsed")->AsInteger(), 3);
  EXPECT_EQ(columns[1].Find("nLeftOut")->AsInteger(), 1);
}

}  // namespace
}  // namespace ombrel
