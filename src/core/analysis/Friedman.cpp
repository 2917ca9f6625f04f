#include "core/analysis/Friedman.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/base/CalcProgress.h"
#include "core/stats/ExactRankCounts.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr std::int32_t MaxExactColumns = 6;
constexpr std::uint64_t MaxArrangements = 1000000000;

// Dunnett's critical values for infinite degrees of freedom, by number of
// comparisons with the control.
constexpr std::array<std::int32_t, 14> TabledComparisons{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 20};
using TCriticalRow = std::array<TReal, 14>;
constexpr TCriticalRow TwoTailed05{1.96L, 2.21L, 2.35L, 2.44L, 2.51L, 2.57L, 2.61L,
                                   2.65L, 2.69L, 2.72L, 2.74L, 2.77L, 2.83L, 2.91L};
constexpr TCriticalRow TwoTailed01{2.58L, 2.79L, 2.92L, 3.00L, 3.06L, 3.11L, 3.15L,
                                   3.19L, 3.22L, 3.25L, 3.27L, 3.29L, 3.35L, 3.42L};
constexpr TCriticalRow OneTailed05{1.65L, 1.92L, 2.06L, 2.16L, 2.24L, 2.29L, 2.34L,
                                   2.38L, 2.42L, 2.45L, 2.48L, 2.50L, 2.57L, 2.64L};
constexpr TCriticalRow OneTailed01{2.33L, 2.56L, 2.69L, 2.77L, 2.84L, 2.89L, 2.94L,
                                   2.97L, 3.00L, 3.03L, 3.06L, 3.08L, 3.14L, 3.21L};

}  // namespace

TStatusCode FindFriedmanBlock(const TDataTable& table, TFriedmanResult& result) {
  result.Columns.clear();
  result.BlockRows.clear();
  std::vector<int> present;
  for (int row = 0; row <= table.LastRow(); ++row) {
    present.clear();
    for (int column = 0; column <= table.LastMappedColumn(); ++column)
      if (!IsEmpty(table.GetAnalysisValue(row, column))) present.push_back(column);
    if (present.empty()) continue;
    if (result.BlockRows.empty()) {
      result.Columns = present;
    } else if (present != result.Columns) {
      return TStatusCode::MissingValues;
    }
    result.BlockRows.push_back(row);
  }
  if (result.Rows() < 2 || result.ColumnCount() < 2) return TStatusCode::NotEnoughData;
  return TStatusCode::Ok;
}

void RankFriedman(const TDataTable& table, TFriedmanResult& result) {
  const std::size_t k = result.Columns.size();
  result.RankSums.assign(k, 0);
  result.TieSum = 0;
  std::vector<std::pair<TReal, std::size_t>> values(k);
  for (const int row : result.BlockRows) {
    for (std::size_t j = 0; j < k; ++j) values[j] = {table.GetAnalysisValue(row, result.Columns[j]), j};
    std::stable_sort(values.begin(), values.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t first = 0; first < k;) {
      std::size_t end = first + 1;
      while (end < k && values[end].first == values[first].first) ++end;
      const TReal rank = static_cast<TReal>(first + 1 + end) / 2;
      for (std::size_t i = first; i < end; ++i) result.RankSums[values[i].second] += rank;
      const auto t = static_cast<TReal>(end - first);
      result.TieSum += t * t * t;
      first = end;
    }
  }
  const TReal columns = static_cast<TReal>(k);
  const TReal rows = result.Rows();
  const TReal middle = rows * (columns + 1) / 2;
  TReal spread = 0;
  for (const TReal sum : result.RankSums) spread += (sum - middle) * (sum - middle);
  result.Fr = 12 * spread / (rows * columns * (columns + 1) + (rows * columns - result.TieSum) / (columns - 1));
  result.ApproximateP = p_value_chi_square(result.ColumnCount() - 1, result.Fr);
}

void FindFriedmanP(TFriedmanResult& result, TCalcProgress& progress) {
  result.P = result.ApproximateP;
  result.Arrangements = 0;
  if (!result.Untied()) {
    result.Status = TExactStatus::Ties;
    return;
  }
  if (result.ColumnCount() > MaxExactColumns) {
    result.Status = TExactStatus::TooLong;
    return;
  }
  result.Arrangements = FriedmanArrangements(result.ColumnCount(), result.Rows(), MaxArrangements);
  if (result.Arrangements == 0) {
    result.Status = TExactStatus::TooLong;
    return;
  }
  std::int64_t observed = 0;
  for (const TReal sum : result.RankSums) {
    const std::int64_t whole = std::llround(sum);
    observed += whole * whole;
  }
  progress.StartExactProgress(result.ApproximateP);
  const TExactCount count =
      CountFriedmanExtremes(result.ColumnCount(), result.Rows(), observed, ExactProgressReport(progress));
  progress.EndExactProgress();
  result.Status = count.Status;
  if (count.Status == TExactStatus::Exact)
    result.P = static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total);
}

TReal ControlCriticalValue(std::int32_t comparisons, bool twoTailed, TReal alpha) {
  const bool at05 = alpha == 0.05L;
  const TCriticalRow& row = twoTailed ? (at05 ? TwoTailed05 : TwoTailed01) : (at05 ? OneTailed05 : OneTailed01);
  if (comparisons <= 1) return row.front();
  if (comparisons >= TabledComparisons.back()) return row.back();
  const auto above = static_cast<std::size_t>(
      std::lower_bound(TabledComparisons.begin(), TabledComparisons.end(), comparisons) - TabledComparisons.begin());
  if (TabledComparisons[above] == comparisons) return row[above];
  const TReal from = TabledComparisons[above - 1];
  const TReal to = TabledComparisons[above];
  return row[above - 1] + (static_cast<TReal>(comparisons) - from) / (to - from) * (row[above] - row[above - 1]);
}

}  // namespace ombrel
