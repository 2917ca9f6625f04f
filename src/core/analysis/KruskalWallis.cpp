#include "core/analysis/KruskalWallis.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/analysis/AnalysisFrame.h"
#include "core/base/CalcProgress.h"
#include "core/report/ReportTables.h"
#include "core/report/ReportText.h"
#include "core/stats/ExactRankCounts.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::uint64_t MaxArrangements = 2000000000;

struct TRankedValue {
  TReal Value = 0;
  std::size_t Group = 0;
};

void WriteReport(TDataTable& table, TReportText& report, const TKruskalWallisResult& result,
                 const TPairFlags& pairSelected, bool useSelectedPairs, TPostTestCondition postTestMode,
                 std::int32_t postTestKind) {
  detail::WriteRankTestTitle(report, "Kruskal-Wallis Test (Nonparametric ANOVA)");
  report.WriteLine();
  detail::WriteRankTestVerdict(report, result.P, result.Status, result.Arrangements,
                               "at least one column has two or more identical values.");
  detail::WriteRankCalculationDetail(report);
  std::vector<std::string> names;
  WriteKruskalWallisRankHeading(report);
  for (const TKruskalWallisGroup& group : result.Groups) {
    names.push_back(table.Summary(table.MapColumn(group.Column)).Title);
    WriteKruskalWallisRankRow(report, names.back(), group.N, group.N * group.MeanRank, group.MeanRank);
  }
  report.WriteLine();
  report.WriteText("Kruskal-Wallis Statistic KW = ");
  report.WriteNumber(result.KW, -5);
  if (result.TieSum > 0) report.WriteText(" (corrected for ties)");
  report.NewLine();

  if (postTestKind == 1 && RankPostTestRuns(postTestMode, result.P)) {
    std::vector<TReal> meanRanks;
    for (const TKruskalWallisGroup& group : result.Groups) meanRanks.push_back(group.MeanRank);
    const TReal n = result.TotalN;
    const TReal spread = (n * (n * n - 1) - result.TieSum) / (12 * (n - 1));
    const auto standardError = [&](int i, int j) {
      const TReal first = result.Groups[static_cast<std::size_t>(i)].N;
      const TReal second = result.Groups[static_cast<std::size_t>(j)].N;
      return std::sqrt((1 / first + 1 / second) * spread);
    };
    const std::vector<TRankComparison> comparisons =
        DunnComparisons(meanRanks, pairSelected, useSelectedPairs, standardError);
    const std::int32_t pairs = RankPairCount(pairSelected, useSelectedPairs, static_cast<int>(result.Groups.size()));
    if (!detail::WriteDunnSection(report, TRankDifference::MeanRank, pairs, comparisons, names, EmptyValue, false)) {
      table.StatusCode = TStatusCode::OutOfMemory;
      return;
    }
  }
  report.NewLine();
  if (postTestMode == TPostTestCondition::IfSignificant && result.P > 0.05L) detail::WriteRankPostTestSkipped(report);

  detail::WriteRankSummaryHeading(report);
  WriteMedianHeading(report);
  for (const TKruskalWallisGroup& group : result.Groups)
    WriteMedianRow(report, table.Summary(table.MapColumn(group.Column)));
}

}  // namespace

TKruskalWallisResult RankKruskalWallis(const TDataTable& table) {
  TKruskalWallisResult result;
  std::vector<TRankedValue> values;
  for (int column = 0; column <= table.LastMappedColumn(); ++column) {
    TKruskalWallisGroup group;
    group.Column = column;
    for (int row = 0; row <= table.LastRow(); ++row) {
      const TReal value = table.GetAnalysisValue(row, column);
      if (IsEmpty(value)) continue;
      values.push_back({value, result.Groups.size()});
      ++group.N;
    }
    if (group.N > 0) result.Groups.push_back(group);
  }
  result.TotalN = static_cast<std::int32_t>(values.size());
  if (result.TotalN < 1) return result;

  std::stable_sort(values.begin(), values.end(),
                   [](const TRankedValue& a, const TRankedValue& b) { return a.Value < b.Value; });
  for (std::size_t first = 0; first < values.size();) {
    std::size_t end = first + 1;
    while (end < values.size() && values[end].Value == values[first].Value) ++end;
    // Ranks first + 1 .. end share their mean.
    const TReal rank = static_cast<TReal>(first + 1 + end) / 2;
    for (std::size_t i = first; i < end; ++i) result.Groups[values[i].Group].RankSum += rank;
    const auto t = static_cast<TReal>(end - first);
    result.TieSum += t * t * t - t;
    first = end;
  }

  const TReal n = result.TotalN;
  result.TieFactor = 1 - result.TieSum / (n * n * n - n);
  const TReal middle = (n + 1) / 2;
  TReal spread = 0;
  for (TKruskalWallisGroup& group : result.Groups) {
    group.MeanRank = group.RankSum / static_cast<TReal>(group.N);
    spread += static_cast<TReal>(group.N) * (group.MeanRank - middle) * (group.MeanRank - middle);
  }
  result.KW = 12 / (n * (n + 1)) * spread / result.TieFactor;
  result.ApproximateP = p_value_chi_square(static_cast<std::int32_t>(result.Groups.size()) - 1, result.KW);
  return result;
}

void FindKruskalWallisP(TKruskalWallisResult& result, TCalcProgress& progress) {
  result.P = result.ApproximateP;
  result.Arrangements = 0;
  if (result.TieSum > 0) {
    result.Status = TExactStatus::Ties;
    return;
  }
  std::vector<std::int32_t> sizes;
  std::vector<std::int64_t> rankSums;
  for (const TKruskalWallisGroup& group : result.Groups) {
    sizes.push_back(group.N);
    rankSums.push_back(static_cast<std::int64_t>(std::llround(group.RankSum)));
  }
  result.Arrangements = RankArrangements(sizes, MaxArrangements);
  if (result.Arrangements == 0) {
    result.Status = TExactStatus::TooLong;
    return;
  }
  progress.StartExactProgress(result.ApproximateP);
  const TExactCount count = CountKruskalWallisExtremes(sizes, rankSums, ExactProgressReport(progress));
  progress.EndExactProgress();
  result.Status = count.Status;
  if (count.Status == TExactStatus::Exact)
    result.P = static_cast<TReal>(std::max<std::uint64_t>(count.AtLeastAsExtreme, 1)) / static_cast<TReal>(count.Total);
}

TStatusCode RunKruskalWallis(TDataTable& table, TReportText& report, const TPairFlags& pairSelected,
                             bool useSelectedPairs, bool /*twoTailed*/, int /*controlColumn*/,
                             TPostTestCondition postTestMode, std::int32_t postTestKind, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  TKruskalWallisResult result = RankKruskalWallis(table);
  if (result.TotalN < 1) {
    table.StatusCode = TStatusCode::NotEnoughData;
    return table.StatusCode;
  }
  FindKruskalWallisP(result, progress);
  WriteReport(table, report, result, pairSelected, useSelectedPairs, postTestMode, postTestKind);
  return table.StatusCode;
}

}  // namespace ombrel
