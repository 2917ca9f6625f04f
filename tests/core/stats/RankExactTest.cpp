#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <numeric>
#include <string>
#include <vector>

#include "core/stats/RankExact.h"

// The exact counts are checked against plain enumeration of every sign
// pattern, rank set or permutation (for sizes small enough to enumerate), at
// every integer and half-integer threshold, and against published critical
// values of the two tests.

namespace ombrel {
namespace {

using TCount = std::uint64_t;

// Number of sign patterns of the ranks 1..n per sum of the positive ranks,
// found by visiting all 2^n patterns.
std::vector<TCount> EnumerateSignedRankSums(int n) {
  std::vector<TCount> counts(static_cast<std::size_t>(n * (n + 1) / 2 + 1), 0);
  for (std::uint32_t mask = 0; mask < (1u << n); ++mask) {
    std::size_t sum = 0;
    for (int r = 1; r <= n; ++r)
      if ((mask >> (r - 1) & 1u) != 0) sum += static_cast<std::size_t>(r);
    ++counts[sum];
  }
  return counts;
}

// Number of sets of k ranks out of 1..n per rank sum, by visiting every set.
std::vector<TCount> EnumerateRankSetSums(int n, int k) {
  std::vector<TCount> counts(static_cast<std::size_t>(n * (n + 1) / 2 + 1), 0);
  for (std::uint32_t mask = 0; mask < (1u << n); ++mask) {
    if (std::popcount(mask) != k) continue;
    std::size_t sum = 0;
    for (int r = 1; r <= n; ++r)
      if ((mask >> (r - 1) & 1u) != 0) sum += static_cast<std::size_t>(r);
    ++counts[sum];
  }
  return counts;
}

TCount CountAtLeast(const std::vector<TCount>& counts, TReal threshold) {
  TCount total = 0;
  for (std::size_t s = 0; s < counts.size(); ++s)
    if (static_cast<TReal>(s) >= threshold) total += counts[s];
  return total;
}

TCount CountAtMost(const std::vector<TCount>& counts, TReal threshold) {
  TCount total = 0;
  for (std::size_t s = 0; s < counts.size(); ++s)
    if (static_cast<TReal>(s) <= threshold) total += counts[s];
  return total;
}

TEST(CountSignedRankPatterns, AgreesWithEnumerationAtEveryThreshold) {
  for (int n = 0; n <= 14; ++n) {
    const std::vector<TCount> sums = EnumerateSignedRankSums(n);
    const int maxSum = n * (n + 1) / 2;
    for (int twice = -1; twice <= 2 * maxSum + 2; ++twice) {
      const TReal threshold = static_cast<TReal>(twice) / 2;
      SCOPED_TRACE("n = " + std::to_string(n) + ", threshold = " + std::to_string(static_cast<double>(threshold)));
      const TExactCount count = CountSignedRankPatterns(n, threshold);
      ASSERT_EQ(count.Status, TCountStatus::Exact);
      EXPECT_EQ(count.Total, TCount{1} << n);
      EXPECT_EQ(count.AtLeastAsExtreme, CountAtLeast(sums, threshold));
    }
  }
}

TEST(CountRankSumSets, AgreesWithEnumerationAtEveryThreshold) {
  for (int n = 0; n <= 13; ++n) {
    for (int k = 0; k <= n; ++k) {
      const std::vector<TCount> sums = EnumerateRankSetSums(n, k);
      const TCount all = std::accumulate(sums.begin(), sums.end(), TCount{0});
      const int maxSum = n * (n + 1) / 2;
      for (int twice = -1; twice <= 2 * maxSum + 2; ++twice) {
        const TReal threshold = static_cast<TReal>(twice) / 2;
        SCOPED_TRACE("n = " + std::to_string(n) + ", k = " + std::to_string(k) +
                     ", threshold = " + std::to_string(static_cast<double>(threshold)));
        const TExactCount count = CountRankSumSets(n, k, threshold);
        ASSERT_EQ(count.Status, TCountStatus::Exact);
        EXPECT_EQ(count.Total, all);
        EXPECT_EQ(count.AtLeastAsExtreme, CountAtMost(sums, threshold));
      }
    }
  }
}

TEST(CountSpearmanPermutations, AgreesWithEnumerationAtEveryThreshold) {
  for (int n = 0; n <= 9; ++n) {
    std::vector<int> ranks(static_cast<std::size_t>(n));
    std::iota(ranks.begin(), ranks.end(), 1);
    std::vector<TCount> sums(static_cast<std::size_t>(n * (n * n - 1) / 3 + 1), 0);
    do {
      std::size_t d = 0;
      for (int p = 0; p < n; ++p) {
        const int diff = ranks[static_cast<std::size_t>(p)] - (p + 1);
        d += static_cast<std::size_t>(diff * diff);
      }
      ++sums[d];
    } while (std::next_permutation(ranks.begin(), ranks.end()));
    const TCount all = std::accumulate(sums.begin(), sums.end(), TCount{0});
    for (int twice = -1; twice <= 2 * static_cast<int>(sums.size()) + 2; ++twice) {
      const TReal threshold = static_cast<TReal>(twice) / 2;
      SCOPED_TRACE("n = " + std::to_string(n) + ", threshold = " + std::to_string(static_cast<double>(threshold)));
      const TExactCount count = CountSpearmanPermutations(n, threshold);
      ASSERT_EQ(count.Status, TCountStatus::Exact);
      EXPECT_EQ(count.Total, all);
      EXPECT_EQ(count.AtLeastAsExtreme, CountAtLeast(sums, threshold));
    }
  }
}

TEST(CountSpearmanPermutations, AgreesWithIndependentCountsUpToTwelvePairs) {
  // Tails of the sum of squared rank differences D from a separate Python
  // count over (ranks used, D) with unbounded integers. D is always even and
  // at most (n^3 - n)/3; S = (n^3 - n)/6 is the middle.
  struct TCase {
    int N;
    TReal Threshold;
    TCount Expected;
  };
  const TCase cases[] = {
      {10, -3, 3628800},   {10, 1, 3628799},    {10, 165, 1814400},  {10, 167, 1765338},
      {10, 230, 477478},   {10, 328, 10},       {10, 330, 1},        {10, 331, 0},
      {11, 220, 20168640}, {11, 221, 19748160}, {11, 340, 1749090},  {11, 438, 11},
      {11, 440, 1},        {12, 0, 479001600},  {12, 1, 479001599},  {12, 286, 241650132},
      {12, 286.5L, 237351468}, {12, 287, 237351468}, {12, 472, 6155263}, {12, 570, 12},
      {12, 572, 1},        {12, 573, 0},        {12, 1e30L, 0},
  };
  const TCount factorials[] = {3628800, 39916800, 479001600};
  for (const TCase& c : cases) {
    SCOPED_TRACE("n = " + std::to_string(c.N) + ", threshold = " + std::to_string(static_cast<double>(c.Threshold)));
    const TExactCount count = CountSpearmanPermutations(c.N, c.Threshold);
    ASSERT_EQ(count.Status, TCountStatus::Exact);
    EXPECT_EQ(count.Total, factorials[c.N - 10]);
    EXPECT_EQ(count.AtLeastAsExtreme, c.Expected);
  }
  EXPECT_EQ(CountSpearmanPermutations(MaxSpearmanCount + 1, 0).Status, TCountStatus::Abandoned);
  EXPECT_EQ(CountSpearmanPermutations(-1, 0).Status, TCountStatus::Abandoned);
}

TEST(SpearmanThreshold, MirrorsTheCoefficientAndRoundsToEven) {
  // (n^3 - n)(1 + |rs|)/6 by hand; rs = 1 - 6D/(n^3 - n) gives 2S - D.
  struct TCase {
    int N;
    TReal Rs;
    TReal Expected;
  };
  const TCase cases[] = {
      {12, 1 - 6 * 136.0L / 1716, 436},  // D = 136: 2S - D = 572 - 136
      {12, -(1 - 6 * 136.0L / 1716), 436},
      {4, 1, 20},
      {4, 0, 10},
      {2, 0.25L, 1},     // 1.25 rounds down
      {2, 0.5L, 2},      // 1.5 rounds to even 2
      {3, 0.125L, 4},    // 4.5 rounds to even 4
      {3, -0.375L, 6},   // 5.5 rounds to even 6
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("n = " + std::to_string(c.N) + ", rs = " + std::to_string(static_cast<double>(c.Rs)));
    EXPECT_EQ(SpearmanThreshold(c.N, c.Rs), c.Expected);
  }
}

TEST(CountSignedRankPatterns, MatchesPublishedCriticalValues) {
  // One-tailed critical values of the smaller rank sum T (standard Wilcoxon
  // signed-rank tables): P(T <= c) <= alpha < P(T <= c + 1). By symmetry
  // P(T <= c) = P(T+ >= n(n + 1)/2 - c).
  struct TCase {
    int N;
    double Alpha;
    int Critical;
  };
  const TCase cases[] = {
      {10, 0.05, 10}, {10, 0.025, 8}, {10, 0.01, 5}, {10, 0.005, 3},
      {20, 0.05, 60}, {20, 0.025, 52}, {20, 0.01, 43}, {20, 0.005, 37},
      {25, 0.05, 100}, {25, 0.025, 89}, {25, 0.01, 76}, {25, 0.005, 68},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("N = " + std::to_string(c.N) + ", alpha = " + std::to_string(c.Alpha));
    const int maxSum = c.N * (c.N + 1) / 2;
    const TExactCount at = CountSignedRankPatterns(c.N, maxSum - c.Critical);
    const TExactCount above = CountSignedRankPatterns(c.N, maxSum - c.Critical - 1);
    const auto total = static_cast<double>(at.Total);
    EXPECT_LE(static_cast<double>(at.AtLeastAsExtreme) / total, c.Alpha);
    EXPECT_GT(static_cast<double>(above.AtLeastAsExtreme) / total, c.Alpha);
  }
}

TEST(CountRankSumSets, MatchesPublishedCriticalValues) {
  // Two-tailed critical values of U for equal groups (standard Mann-Whitney
  // tables): 2 P(U <= c) <= alpha < 2 P(U <= c + 1), where U <= c means a
  // rank sum of the group of n at most c + n(n + 1)/2.
  struct TCase {
    int N;
    double Alpha;
    int Critical;
  };
  const TCase cases[] = {{10, 0.05, 23}, {10, 0.01, 16}, {20, 0.05, 127}, {20, 0.01, 105}};
  for (const TCase& c : cases) {
    SCOPED_TRACE("n = " + std::to_string(c.N) + ", alpha = " + std::to_string(c.Alpha));
    const int least = c.N * (c.N + 1) / 2;
    const TExactCount at = CountRankSumSets(2 * c.N, c.N, c.Critical + least);
    const TExactCount above = CountRankSumSets(2 * c.N, c.N, c.Critical + 1 + least);
    const auto total = static_cast<double>(at.Total);
    EXPECT_LE(2 * static_cast<double>(at.AtLeastAsExtreme) / total, c.Alpha);
    EXPECT_GT(2 * static_cast<double>(above.AtLeastAsExtreme) / total, c.Alpha);
  }
}

TEST(RankExact, LargestAllowedCasesAreCountedQuickly) {
  // Reference counts from an independent subset-sum count in Python with
  // unbounded integers.
  const auto start = std::chrono::steady_clock::now();
  const TExactCount signedRanks = CountSignedRankPatterns(29, 300);
  EXPECT_EQ(signedRanks.Total, TCount{536870912});
  EXPECT_EQ(signedRanks.AtLeastAsExtreme, TCount{20398106});
  // The most sets the rank-sum test counts: C(33, 16) balanced, and three
  // values against the largest other group.
  const TExactCount balanced = CountRankSumSets(33, 17, 289);
  EXPECT_EQ(balanced.Total, TCount{1166803110});
  EXPECT_EQ(balanced.AtLeastAsExtreme, TCount{591669132});
  const TExactCount lopsided = CountRankSumSets(2002, 1999, 2002 * 2003 / 2 - 6003);
  EXPECT_EQ(lopsided.Total, TCount{1335334000});
  EXPECT_EQ(lopsided.AtLeastAsExtreme, TCount{1});  // only 2000, 2001 and 2002 left out
  const TExactCount spearman = CountSpearmanPermutations(12, 0);
  EXPECT_EQ(spearman.Total, TCount{479001600});
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 2000);
}

TEST(RankExact, StageReportStopsTheCount) {
  // A report is made after every rank; the answer of the third stops it.
  struct TCase {
    TProgressAnswer Answer;
    TCountStatus Status;
  };
  const TCase cases[] = {
      {TProgressAnswer::Cancelled, TCountStatus::Cancelled},
      {TProgressAnswer::TooLong, TCountStatus::Abandoned},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Answer));
    std::vector<TReal> percents;
    const TStageReport report = [&](TReal percent) {
      percents.push_back(percent);
      return percents.size() == 3 ? c.Answer : TProgressAnswer::Continue;
    };
    EXPECT_EQ(CountSignedRankPatterns(10, 30, report).Status, c.Status);
    EXPECT_EQ(percents.size(), 3u);
    percents.clear();
    EXPECT_EQ(CountRankSumSets(10, 5, 20, report).Status, c.Status);
    EXPECT_EQ(percents.size(), 3u);
    percents.clear();
    EXPECT_EQ(CountSpearmanPermutations(10, 200, report).Status, c.Status);
    EXPECT_EQ(percents.size(), 3u);
  }
  // A count that runs through reports every stage, ending at 100 percent.
  std::vector<TReal> percents;
  const TStageReport record = [&](TReal percent) {
    percents.push_back(percent);
    return TProgressAnswer::Continue;
  };
  EXPECT_EQ(CountSignedRankPatterns(8, 30, record).Status, TCountStatus::Exact);
  ASSERT_EQ(percents.size(), 8u);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);
  // The Spearman count reports after each sixteenth of its 2^n rank sets,
  // the last sixteenth unreported; two pairs still give two reports.
  percents.clear();
  EXPECT_EQ(CountSpearmanPermutations(12, 436, record).Status, TCountStatus::Exact);
  std::vector<TReal> sixteenths;
  for (int i = 1; i <= 15; ++i) sixteenths.push_back(TReal{100} * i / 16);
  EXPECT_EQ(percents, sixteenths);
  percents.clear();
  EXPECT_EQ(CountSpearmanPermutations(2, 1, record).Status, TCountStatus::Exact);
  EXPECT_EQ(percents, (std::vector<TReal>{25, 50}));
}

TEST(CountCombinations, IsExactBelowTheCapAndCappedAbove) {
  // Binomial coefficients from Python's math.comb.
  struct TCase {
    std::int32_t N;
    std::int32_t K;
    std::int64_t Expected;
  };
  const TCase cases[] = {
      {0, 0, 1},
      {6, 3, 20},
      {5, 6, 0},
      {5, -1, 0},
      {30, 15, 155117520},
      {33, 16, 1166803110},
      {34, 17, 2000000000},  // 2333606220
      {40, 20, 2000000000},  // 137846528820
      {2002, 3, 1335334000},
      {2002, 1999, 1335334000},
      {2002, 4, 2000000000},
      {1001, 1000, 1001},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE("C(" + std::to_string(c.N) + ", " + std::to_string(c.K) + ")");
    EXPECT_EQ(count_combinations(c.N, c.K), c.Expected);
  }
}

}  // namespace
}  // namespace ombrel
