// The exact P values of the rank tests at the largest sizes they allow: the
// signed-rank patterns of 29 values, the rank-sum sets just under two
// thousand million, the Kruskal-Wallis group shapes that were slowest to
// count, and the Friedman tables at each number of columns' row limit.
#include <array>
#include <cstdint>
#include <numeric>
#include <vector>

#include "Bench.h"
#include "core/base/CalcProgress.h"
#include "core/stats/ExactRankCounts.h"

namespace {

using namespace ombrel;

OMBREL_BENCHMARK("CountSignedRankPatterns, 29 values", 10) { static_cast<void>(CountSignedRankPatterns(29, 300)); }

OMBREL_BENCHMARK("CountRankSumSets, C(33, 16) sets", 10) { static_cast<void>(CountRankSumSets(33, 16, 250)); }

// The observed rank sums of a fixed interleaving of the groups, so the
// P value is neither 0 nor 1 and no shortcut applies.
std::vector<std::int64_t> InterleavedRankSums(const std::vector<std::int32_t>& sizes) {
  std::vector<std::int64_t> sums(sizes.size(), 0);
  std::vector<std::int32_t> left = sizes;
  std::int64_t rank = 1;
  for (bool any = true; any;) {
    any = false;
    for (std::size_t g = 0; g < sizes.size(); ++g) {
      if (left[g] == 0) continue;
      sums[g] += rank++;
      --left[g];
      any = true;
    }
  }
  return sums;
}

void CountShape(const std::vector<std::int32_t>& sizes) {
  const std::vector<std::int64_t> sums = InterleavedRankSums(sizes);
  TSilentCalcProgress progress;
  progress.StartExactProgress(0.5L);
  static_cast<void>(CountKruskalWallisExtremes(sizes, sums, ExactProgressReport(progress)));
}

OMBREL_BENCHMARK("Kruskal-Wallis 1,2,4,5,6 (1.5e9 arrangements)", 1000) { CountShape({1, 2, 4, 5, 6}); }
OMBREL_BENCHMARK("Kruskal-Wallis 1,1,2,2,3,3,3 (1.5e9 arrangements)", 1000) { CountShape({1, 1, 2, 2, 3, 3, 3}); }
OMBREL_BENCHMARK("Kruskal-Wallis 1,2,2,2,24 (1.7e9 arrangements)", 1000) { CountShape({1, 2, 2, 2, 24}); }
OMBREL_BENCHMARK("Kruskal-Wallis 2,3,3,4,5 (1.7e9 arrangements)", 1000) { CountShape({2, 3, 3, 4, 5}); }
OMBREL_BENCHMARK("Kruskal-Wallis 1,4,4,4,4 (1.1e9 arrangements)", 1000) { CountShape({1, 4, 4, 4, 4}); }
OMBREL_BENCHMARK("Kruskal-Wallis 6,7,10 (1.9e9 arrangements)", 1000) { CountShape({6, 7, 10}); }
OMBREL_BENCHMARK("Kruskal-Wallis 1,1,44719 (2.0e9 arrangements)", 1000) { CountShape({1, 1, 44719}); }

void CountFriedman(std::int32_t columns, std::int32_t rows) {
  TSilentCalcProgress progress;
  progress.StartExactProgress(0.5L);
  // The middle of the distribution: each column's sum near r(k+1)/2.
  const std::int64_t middle = static_cast<std::int64_t>(columns) * rows * rows * (columns + 1) * (columns + 1) / 4;
  static_cast<void>(CountFriedmanExtremes(columns, rows, middle + rows, ExactProgressReport(progress)));
}

OMBREL_BENCHMARK("Friedman 3 columns x 11 rows", 1000) { CountFriedman(3, 11); }
OMBREL_BENCHMARK("Friedman 4 columns x 6 rows", 1000) { CountFriedman(4, 6); }
OMBREL_BENCHMARK("Friedman 5 columns x 4 rows", 1000) { CountFriedman(5, 4); }
OMBREL_BENCHMARK("Friedman 6 columns x 3 rows", 1000) { CountFriedman(6, 3); }

}  // namespace
