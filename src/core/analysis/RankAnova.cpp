#include "core/analysis/RankAnova.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/analysis/AnalysisFrame.h"
#include "core/analysis/ChooseTest.h"
#include "core/base/CalcProgress.h"
#include "core/stats/EffectSizes.h"
#include "core/stats/PValue.h"

namespace ombrel {

bool RankPairSelected(const TPairFlags& flags, bool useSelectedPairs, int first, int second, int groups) {
  if (!useSelectedPairs) return true;
  const int index = PairIndex(first, second, groups);
  return index >= 0 && index < PairFlagCount && flags[static_cast<std::size_t>(index)] != 0;
}

std::int32_t RankPairCount(const TPairFlags& flags, bool useSelectedPairs, int groups) {
  std::int32_t count = 0;
  for (int i = 0; i < groups; ++i)
    for (int j = i + 1; j < groups; ++j)
      if (RankPairSelected(flags, useSelectedPairs, i, j, groups)) ++count;
  return count;
}

bool RankPostTestRuns(TPostTestCondition postTestMode, TReal p) {
  return postTestMode == TPostTestCondition::Always ||
         (postTestMode == TPostTestCondition::IfSignificant && p <= 0.05L);
}

TDunnCriticalValues DunnCriticalValues(std::int32_t pairs) {
  TDunnCriticalValues critical;
  if (pairs < 1) return critical;
  const TReal twice = 2 * static_cast<TReal>(pairs);
  critical.Z05 = z_for_p(0.05L / twice);
  critical.Z01 = z_for_p(0.01L / twice);
  critical.Z001 = z_for_p(0.001L / twice);
  return critical;
}

TReal DunnCodedP(TReal difference, TReal se, const TDunnCriticalValues& critical) {
  const TReal size = std::fabs(difference);
  if (size >= se * critical.Z001) return 0.001L;
  if (size >= se * critical.Z01) return 0.01L;
  if (size >= se * critical.Z05) return 0.05L;
  return 1;
}

std::vector<TRankComparison> DunnComparisons(std::span<const TReal> values, const TPairFlags& flags,
                                             bool useSelectedPairs,
                                             const std::function<TReal(int, int)>& standardError) {
  const int groups = static_cast<int>(values.size());
  const TDunnCriticalValues critical = DunnCriticalValues(RankPairCount(flags, useSelectedPairs, groups));
  std::vector<TRankComparison> comparisons;
  for (int i = 0; i < groups; ++i) {
    for (int j = i + 1; j < groups; ++j) {
      if (!RankPairSelected(flags, useSelectedPairs, i, j, groups)) continue;
      TRankComparison comparison;
      comparison.First = i;
      comparison.Second = j;
      comparison.Difference = values[static_cast<std::size_t>(i)] - values[static_cast<std::size_t>(j)];
      comparison.SE = standardError(i, j);
      comparison.P = DunnCodedP(comparison.Difference, comparison.SE, critical);
      comparisons.push_back(comparison);
    }
  }
  return comparisons;
}

// ---------------------------------------------------------------------------
// The analysis

namespace {

std::size_t At(int column) { return static_cast<std::size_t>(column); }

// The group of an analysis column, and the values it used and left out.
void AddGroup(TRankAnovaResult& result, const TDataTable& table, int column, std::int32_t used) {
  const int mapped = table.MapColumn(column);
  result.Groups.push_back({mapped, table.Summary(mapped)});
  result.Columns.push_back(ColumnUseOf(table, column, table.Summary(mapped).Title, used));
  result.Columns.back().Column = mapped;
}

// The P values, how the exact count ended, and which post test runs.
void SetP(TRankAnovaResult& result, TReal p, TReal approximate, TExactStatus status, std::uint64_t arrangements) {
  result.P = p;
  result.PApproximate = approximate;
  result.Exact = status;
  result.Arrangements = status == TExactStatus::Exact ? arrangements : 0;
  // The tests leave M at 0 when they do not try to count.
  result.TooManyArrangements = status == TExactStatus::TooLong && arrangements == 0;
  result.DF = static_cast<std::int32_t>(result.Groups.size()) - 1;
  const TRankAnovaRequest& request = result.Request;
  result.PostTestWithheld = request.PostTestCondition == TPostTestCondition::IfSignificant && p > 0.05L;
  if (!RankPostTestRuns(request.PostTestCondition, p)) return;
  const bool control = request.PostTest == TRankPostTest::ControlComparisons;
  // The Kruskal-Wallis test has no comparisons with a control.
  if (request.PostTest == TRankPostTest::Dunn || (control && request.Kind == TRankAnovaKind::Friedman))
    result.PostTestRun = request.PostTest;
}

void SetDunn(TRankAnovaResult& result, std::span<const TReal> values,
             const std::function<TReal(int, int)>& standardError) {
  const TRankAnovaRequest& request = result.Request;
  const int groups = static_cast<int>(values.size());
  result.DunnPairs = RankPairCount(request.PairSelected, request.UseSelectedPairs, groups);
  result.DunnCritical = DunnCriticalValues(result.DunnPairs);
  result.Comparisons = DunnComparisons(values, request.PairSelected, request.UseSelectedPairs, standardError);
}

void ComputeKruskalWallis(TRankAnovaResult& result, TDataTable& table, TCalcProgress& progress) {
  TKruskalWallisResult& kw = result.KruskalWallis;
  kw = RankKruskalWallis(table);
  if (kw.TotalN < 1) {
    result.Status = TStatusCode::NotEnoughData;
    return;
  }
  FindKruskalWallisP(kw, progress);
  for (const TKruskalWallisGroup& group : kw.Groups) AddGroup(result, table, group.Column, group.N);
  SetP(result, kw.P, kw.ApproximateP, kw.Status, kw.Arrangements);
  result.EpsilonSquared = EpsilonSquared(kw.KW, kw.TotalN);
  if (result.PostTestRun != TRankPostTest::Dunn) return;
  std::vector<TReal> meanRanks;
  for (const TKruskalWallisGroup& group : kw.Groups) meanRanks.push_back(group.MeanRank);
  // Dunn (1964): the SE of a difference of mean ranks, corrected for ties.
  const TReal n = kw.TotalN;
  const TReal spread = (n * (n * n - 1) - kw.TieSum) / (12 * (n - 1));
  SetDunn(result, meanRanks, [&kw, spread](int i, int j) {
    const TReal first = kw.Groups[At(i)].N;
    const TReal second = kw.Groups[At(j)].N;
    return std::sqrt((1 / first + 1 / second) * spread);
  });
}

// Every column compared with the control, in ascending order of the column
// means (equal means keep their order).
void SetControlComparisons(TRankAnovaResult& result) {
  const TFriedmanResult& fr = result.Friedman;
  const std::size_t count = result.Groups.size();
  for (std::size_t j = 0; j < count; ++j)
    if (result.Groups[j].Column == result.Request.ControlColumn) result.ControlGroup = j;
  const TReal k = fr.ColumnCount();
  const TReal r = fr.Rows();
  result.ControlSE = std::sqrt(k * r * (k + 1) / 6);
  const auto comparisons = static_cast<std::int32_t>(count) - 1;
  const bool twoTailed = result.Request.Tails == 2;
  result.Critical05 = ControlCriticalValue(comparisons, twoTailed, 0.05L);
  result.Critical01 = ControlCriticalValue(comparisons, twoTailed, 0.01L);
  std::vector<std::size_t> order(count);
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&result](std::size_t a, std::size_t b) {
    return result.Groups[a].Summary.Mean < result.Groups[b].Summary.Mean;
  });
  const TReal margin = result.ControlSE * result.Critical05;
  for (const std::size_t j : order) {
    if (j == result.ControlGroup) continue;
    const TReal difference = fr.RankSums[result.ControlGroup] - fr.RankSums[j];
    const TReal size = std::fabs(difference);
    const TReal p = size >= result.ControlSE * result.Critical01 ? 0.01L : size >= margin ? 0.05L : 1;
    result.ControlComparisons.push_back({j, difference, p, difference - margin, difference + margin});
  }
}

void ComputeFriedman(TRankAnovaResult& result, TDataTable& table, TCalcProgress& progress) {
  TFriedmanResult& fr = result.Friedman;
  result.Status = FindFriedmanBlock(table, fr);
  if (result.Status != TStatusCode::Ok) return;
  RankFriedman(table, fr);
  FindFriedmanP(fr, progress);
  for (const int column : fr.Columns) AddGroup(result, table, column, fr.Rows());
  SetP(result, fr.P, fr.ApproximateP, fr.Status, fr.Arrangements);
  result.KendallsW = KendallsW(fr.Fr, fr.Rows(), fr.ColumnCount());
  if (result.PostTestRun == TRankPostTest::ControlComparisons) {
    SetControlComparisons(result);
  } else if (result.PostTestRun == TRankPostTest::Dunn) {
    // Rank sums of r rows of k ranks each: SE sqrt(r k (k + 1) / 6).
    const TReal k = fr.ColumnCount();
    const TReal se = std::sqrt(static_cast<TReal>(fr.Rows()) * k * (k + 1) / 6);
    SetDunn(result, fr.RankSums, [se](int, int) { return se; });
    result.DunnThreshold = result.DunnCritical.Z05 * se;
  }
}

}  // namespace

TRankAnovaResult ComputeRankAnova(const TRankAnovaRequest& request, TDataTable& table, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  TRankAnovaResult result;
  result.Request = request;
  const bool averagedData = RefreshGroupSummaries(table);
  const TColumnMapScope columnMap(table);
  if (averagedData) {
    result.Status = TStatusCode::AveragedAnova;
  } else if (request.Kind == TRankAnovaKind::KruskalWallis) {
    ComputeKruskalWallis(result, table, progress);
  } else {
    ComputeFriedman(result, table, progress);
  }
  table.StatusCode = result.Status;
  return result;
}

void RunRankAnova(const TRankAnovaRequest& request, TAnalysisRun& run) {
  TRankAnovaResult result;
  result.Request = request;
  // Faults of the Friedman test keep their kind: division by zero, overflow,
  // invalid operation.
  const TFaultMapping mapping =
      request.Kind == TRankAnovaKind::Friedman ? TFaultMapping::ByKind : TFaultMapping::AllInvalid;
  RunGuarded(
      run.Table, &run.Report,
      [&] {
        result = ComputeRankAnova(request, run.Table, run.Progress);
        if (result.Status == TStatusCode::Ok) run.Table.StatusCode = WriteRankAnovaReport(result, run.Report);
      },
      mapping);
  result.Status = run.Table.StatusCode;
  FillRankAnovaRecord(result, run.Record);
}

}  // namespace ombrel
