#include "core/analysis/KruskalWallis.h"

#include <algorithm>
#include <cmath>

#include "core/base/CalcProgress.h"
#include "core/stats/ExactRankCounts.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::uint64_t MaxArrangements = 2000000000;

struct TRankedValue {
  TReal Value = 0;
  std::size_t Group = 0;
};

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

}  // namespace ombrel
