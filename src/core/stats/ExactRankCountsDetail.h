#pragma once

// What the exact counts share behind their front, ExactRankCounts.h;
// private to core/stats. ExactRankCounts.cpp holds the signed-rank,
// rank-sum, Spearman and Friedman counts, sets a Kruskal-Wallis problem up
// and chooses its counting method; each method lives in its own file:
// KruskalWallisRankSumTable.cpp, KruskalWallisGroupEnumeration.cpp and
// KruskalWallisSplitCount.cpp.

#include <bit>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/stats/ExactRankCounts.h"

namespace ombrel::detail {

// Scaled statistics of large groups exceed 64 bits: with N ranks the squared
// rank sum of the largest group alone approaches N^4 / 4.
__extension__ typedef unsigned __int128 TWide;

// S scaled by the common multiple L of the sizes: sum of (L / n) R^2, an
// integer, so arrangements with equal S compare equal.
struct TKruskalWallisProblem {
  std::int32_t N = 0;
  std::int64_t TotalRankSum = 0;
  std::vector<std::int32_t> Sizes;     // ascending; the last group takes the ranks the others leave
  std::vector<std::uint64_t> Weights;  // L / size, same order
  TWide Observed = 0;
  std::uint64_t Arrangements = 0;
};

// One group's share of the scaled statistic: weight x (rank sum)^2.
inline TWide Scaled(std::uint64_t weight, std::int64_t rankSum) {
  const TWide sum = static_cast<TWide>(rankSum < 0 ? -rankSum : rankSum);
  return static_cast<TWide>(weight) * sum * sum;
}

// C(n, k) in floating point, for estimates of size and work.
inline long double Binomial(std::int64_t n, std::int64_t k) {
  if (k < 0 || k > n) return 0;
  long double value = 1;
  for (std::int64_t i = 1; i <= k; ++i)
    value = value * static_cast<long double>(n - k + i) / static_cast<long double>(i);
  return value;
}

inline int BitWidth(std::uint64_t value) { return static_cast<int>(std::bit_width(value)); }

// The answer of a stage report; Continue when no report was asked for.
inline TProgressAnswer ReportStage(const TStageReport& report, TReal percentDone) {
  return report ? report(percentDone) : TProgressAnswer::Continue;
}

// One way of counting a problem's arrangements, prepared for that problem.
class TKruskalWallisCounter {
 public:
  virtual ~TKruskalWallisCounter() = default;
  // Whether the method can count the problem at all.
  virtual bool Usable() const = 0;
  // An estimate of the work, comparable across methods once weighted.
  virtual long double Work() const = 0;
  // Counts into `result`, which starts empty; a stop of the stage report
  // leaves its status in `result`. False when the method ran out of room,
  // with `result` to be discarded.
  virtual bool Count(const TStageReport& report, TExactCount& result) = 0;
};

// Rank-sum tables, the ranks handed out one by one; with `visitFirst` the
// smallest group is visited combination by combination from the start,
// else only when a table would outgrow memory.
std::unique_ptr<TKruskalWallisCounter> MakeRankSumTableCount(const TKruskalWallisProblem& problem, bool visitFirst);
// The small groups visited, the largest but one counted from subset sums.
std::unique_ptr<TKruskalWallisCounter> MakeGroupEnumeration(const TKruskalWallisProblem& problem);
// The groups split in two sides whose sorted statistics are paired.
std::unique_ptr<TKruskalWallisCounter> MakeSplitCount(const TKruskalWallisProblem& problem);

}  // namespace ombrel::detail
