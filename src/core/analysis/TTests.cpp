#include "core/analysis/TTests.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "core/stats/ColumnStats.h"
#include "core/stats/AssumptionTests.h"
#include "core/stats/EffectSizes.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::array<TReal, 13> CriticalT = {12.706L, 4.303L, 3.182L, 2.776L, 2.571L, 2.447L, 2.365L,
                                             2.306L,  2.262L, 2.228L, 2.201L, 2.179L, 2.160L};

TReal Square(TReal x) { return x * x; }

// A typed summary holds the mean, N and one of SD and SEM; the other one
// and the limits follow from them.
void CompleteAveragedSummary(TColumnSummary& summary) {
  if (summary.N <= 0) return;
  const TReal root = std::sqrt(static_cast<TReal>(summary.N));
  if (IsEmpty(summary.SEM) && !IsEmpty(summary.SD)) {
    summary.SEM = summary.SD / root;
  } else if (IsEmpty(summary.SD) && !IsEmpty(summary.SEM)) {
    summary.SD = summary.SEM * root;
  }
  if ((IsEmpty(summary.LowerCI) || IsEmpty(summary.UpperCI)) && !IsEmpty(summary.Mean) && !IsEmpty(summary.SEM)) {
    const TReal t = summary.N > 1 ? t_critical_95(summary.N - 1) : 0;
    summary.LowerCI = summary.Mean - t * summary.SEM;
    summary.UpperCI = summary.Mean + t * summary.SEM;
  }
}

void SetNormality(TColumnSummary& summary, const std::vector<TReal>& values) {
  const TNormalityResult normality = TestNormality(values, summary.Mean, summary.SD);
  summary.NormalityKS = normality.KS;
  summary.NormalityP = normality.P;
  summary.PassedNormality = normality.Passed ? 1 : 0;
}

// Statistics of an analysis column (the scratch column included) into a
// summary that keeps its title, with the column's normality test.
void FillRawSummary(const TDataTable& table, int column, TColumnSummary& summary) {
  const std::string title = summary.Title;
  summary = ComputeRawSummary(table, column);
  summary.Title = title;
  SetNormality(summary, ColumnValues(table, column));
}

void FillSummary(const TDataTable& table, int column, TColumnSummary& summary) {
  if (column < 0) {
    CompleteAveragedSummary(summary);
  } else {
    FillRawSummary(table, column, summary);
  }
}

// The differences first minus second of every row holding both values go to
// the scratch column; every other row of it is empty.
void FillDifferences(TDataTable& table, int firstColumn, int secondColumn) {
  table.ClearScratchColumn();
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal a = table.GetAnalysisValue(row, firstColumn);
    const TReal b = table.GetAnalysisValue(row, secondColumn);
    table.SetAnalysisValue(row, ScratchColumn, IsEmpty(a) || IsEmpty(b) ? EmptyValue : a - b);
  }
}

// The analysis index of a column: -1 for typed averaged data.
int IndexOf(const TTestColumn& column) { return column.Averaged ? -1 : column.Column; }

TColumnUse UseOf(const TDataTable& table, const TTestColumn& column, const TColumnSummary& summary, std::int32_t used) {
  if (column.Averaged) return {column.Column, summary.Title, used};
  return ColumnUseOf(table, column.Column, summary.Title, used);
}

// Cohen's d and Hedges' g of a computed test, signed as its difference.
void ComputeEffectSizes(TTTestResult& result) {
  const TTStatistic& t = result.T;
  if (t.SDZero || IsEmpty(t.Difference)) return;
  switch (result.Request.Kind) {
    case TTTestKind::OneSample:
      result.CohensD = CohensDOneSample(t.Difference, result.A.SD, result.A.N);
      break;
    case TTTestKind::Paired:
      result.CohensD = CohensDOneSample(t.Difference, result.Differences.SD, result.Differences.N);
      break;
    case TTTestKind::Unpaired:
      result.CohensD = CohensDPooled(t.Difference, result.A.SD, result.A.N, result.B.SD, result.B.N);
      result.HedgesG = HedgesG(t.Difference, result.A.SD, result.A.N, result.B.SD, result.B.N);
      break;
    case TTTestKind::Welch:
      result.CohensD = CohensDWelch(t.Difference, result.A.SD, result.A.N, result.B.SD, result.B.N, t.DF);
      break;
  }
}

void ComputeOneSample(TTTestResult& result, TDataTable& table) {
  const TTTestRequest& request = result.Request;
  TColumnSummary& summary = table.Summary(request.First.Column);
  FillSummary(table, IndexOf(request.First), summary);
  result.A = summary;
  // A single value has SEM 0 as well; its count is the cause to name.
  if (summary.N < 2) {
    result.Status = TStatusCode::SingleValue;
    return;
  }
  if (summary.SEM == 0) {
    result.Status = TStatusCode::SDZero;
    return;
  }
  result.T = OneSampleTTest(summary, request.HypotheticalMean);
  result.Columns = {UseOf(table, request.First, summary, summary.N)};
}

void CheckPairing(TTTestResult& result, TDataTable& table) {
  if (result.Differences.N <= 3) {
    result.Pairing = TPairingCheck::TooFewPairs;
  } else if (result.A.SEM == 0 || result.B.SEM == 0) {
    result.Pairing = TPairingCheck::NoVariability;
  } else {
    const std::array<int, 1> second = {result.Request.Second.Column};
    result.PairingR = ComputePearson(table, result.Request.First.Column, second);
    result.Status = table.StatusCode;
    result.PairingPOneTailed = result.PairingR.P / 2;
  }
}

void ComputeTwoSample(TTTestResult& result, TDataTable& table) {
  const TTTestRequest& request = result.Request;
  const bool unpaired = request.Kind != TTTestKind::Paired;
  if (!unpaired && (request.First.Averaged || request.Second.Averaged)) {
    result.Status = TStatusCode::AveragedPaired;
    return;
  }
  TColumnSummary& a = table.Summary(request.First.Column);
  TColumnSummary& b = table.Summary(request.Second.Column);
  FillSummary(table, IndexOf(request.First), a);
  FillSummary(table, IndexOf(request.Second), b);
  result.A = a;
  result.B = b;
  if (a.N < 2 || b.N < 2) {
    result.Status = TStatusCode::SingleValue;
    return;
  }
  if (unpaired && (a.SEM == 0 || b.SEM == 0)) {
    result.Status = TStatusCode::SDZero;
    return;
  }
  if (unpaired) {
    result.T = UnpairedTTest(a, b, request.Kind == TTTestKind::Unpaired);
    result.F = EqualSDsFTest(a, b);
    result.Columns = {UseOf(table, request.First, a, a.N), UseOf(table, request.Second, b, b.N)};
    return;
  }
  FillDifferences(table, request.First.Column, request.Second.Column);
  result.Differences.Title = "Difference";
  FillRawSummary(table, ScratchColumn, result.Differences);
  if (result.Differences.N < 2) {
    result.Status = TStatusCode::SinglePair;
    return;
  }
  result.T = OneSampleTTest(result.Differences, 0);
  const std::int32_t pairs = result.Differences.N;
  result.Columns = {UseOf(table, request.First, a, pairs), UseOf(table, request.Second, b, pairs)};
  CheckPairing(result, table);
}

}  // namespace

TReal t_test_critical_95(std::int32_t df) {
  if (df < 1) return EmptyValue;
  if (df <= static_cast<std::int32_t>(CriticalT.size())) return CriticalT[static_cast<std::size_t>(df - 1)];
  const TReal v = static_cast<TReal>(df);
  return v * 1.96L / (v - 1.20722L);
}

TTStatistic OneSampleTTest(const TColumnSummary& column, TReal hypotheticalMean) {
  TTStatistic result;
  result.DF = column.N - 1;
  result.Difference = column.Mean - hypotheticalMean;
  if (column.SD == 0) {
    result.SDZero = true;
    return result;
  }
  const TReal se = column.SD / std::sqrt(static_cast<TReal>(column.N));
  result.T = std::fabs(result.Difference) / se;
  const TReal margin = t_test_critical_95(result.DF) * se;
  result.Lower = result.Difference - margin;
  result.Upper = result.Difference + margin;
  result.P = p_value_t(result.DF, result.T);
  return result;
}

TTStatistic UnpairedTTest(const TColumnSummary& a, const TColumnSummary& b, bool equalSDs) {
  TTStatistic result;
  const TReal na = static_cast<TReal>(a.N);
  const TReal nb = static_cast<TReal>(b.N);
  result.Difference = b.Mean - a.Mean;
  TReal se = 0;
  if (equalSDs) {
    const TReal pooled = (Square(a.SD) * (na - 1) + Square(b.SD) * (nb - 1)) / (na + nb - 2);
    se = std::sqrt(pooled * (na + nb) / (na * nb));
    result.DF = a.N + b.N - 2;
  } else {
    const TReal va = Square(a.SD) / na;
    const TReal vb = Square(b.SD) / nb;
    se = std::sqrt(va + vb);
    const TReal df = Square(va + vb) / (Square(vb) / (nb - 1) + Square(va) / (na - 1));
    // Truncated toward zero; the allowance keeps a ratio that is whole in
    // exact arithmetic (equal SDs and Ns give 2(N - 1)) from losing a whole
    // degree of freedom to rounding. The ratio is never below 1 exactly.
    result.DF = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::trunc(df * (1 + 1e-12L))));
  }
  result.T = std::fabs(result.Difference / se);
  const TReal margin = t_test_critical_95(result.DF) * se;
  result.Lower = result.Difference - margin;
  result.Upper = result.Difference + margin;
  result.P = p_value_t(result.DF, result.T);
  return result;
}

TFTestResult EqualSDsFTest(const TColumnSummary& a, const TColumnSummary& b) {
  const bool bLarger = a.SD <= b.SD;
  const TColumnSummary& larger = bLarger ? b : a;
  const TColumnSummary& smaller = bLarger ? a : b;
  TFTestResult result;
  result.F = Square(larger.SD) / Square(smaller.SD);
  result.NumeratorDF = larger.N - 1;
  result.DenominatorDF = smaller.N - 1;
  // The question is whether the SDs differ in either direction, so both
  // tails count: twice the upper tail of the larger over the smaller.
  result.P = VarianceRatioTwoSidedP(result.F, result.NumeratorDF, result.DenominatorDF);
  return result;
}

TTTestResult ComputeTTest(const TTTestRequest& request, TDataTable& table) {
  // The pairing check reads its refusal from the table.
  table.StatusCode = TStatusCode::Ok;
  TTTestResult result;
  result.Request = request;
  if (request.Kind == TTTestKind::OneSample) {
    ComputeOneSample(result, table);
  } else {
    ComputeTwoSample(result, table);
  }
  if (result.Status == TStatusCode::Ok && !result.T.SDZero)
    // t is taken positive, so one tail is the direction the data show.
    result.P = request.Tails == 1 ? result.T.P / 2 : result.T.P;
  if (result.Status == TStatusCode::Ok) ComputeEffectSizes(result);
  return result;
}

void RunTTest(const TTTestRequest& request, TAnalysisRun& run) {
  const TTTestResult result = ComputeTTest(request, run.Table);
  run.Table.StatusCode = result.Status;
  FillTTestRecord(result, run.Record);
  if (result.Status == TStatusCode::Ok) WriteTTestReport(result, run.Report);
}

}  // namespace ombrel
