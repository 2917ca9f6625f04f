#include "core/stats/ExactRankCounts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <chrono>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "support/ScriptedProgress.h"

// The exact counts are checked against complete enumerations written here
// independently: every sign pattern, rank set or permutation (for sizes small
// enough to enumerate) at every integer and half-integer threshold, and for
// Kruskal-Wallis group after group taking every combination of the ranks
// left, as the arrangements are defined. Published tables give critical
// values and exact probabilities of the tests, and each Kruskal-Wallis
// counting method is checked against the others.

namespace ombrel {
namespace {

using test::TScriptedProgress;

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
      ASSERT_EQ(count.Status, TExactStatus::Exact);
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
        ASSERT_EQ(count.Status, TExactStatus::Exact);
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
      ASSERT_EQ(count.Status, TExactStatus::Exact);
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
      {10, -3, 3628800},
      {10, 1, 3628799},
      {10, 165, 1814400},
      {10, 167, 1765338},
      {10, 230, 477478},
      {10, 328, 10},
      {10, 330, 1},
      {10, 331, 0},
      {11, 220, 20168640},
      {11, 221, 19748160},
      {11, 340, 1749090},
      {11, 438, 11},
      {11, 440, 1},
      {12, 0, 479001600},
      {12, 1, 479001599},
      {12, 286, 241650132},
      {12, 286.5L, 237351468},
      {12, 287, 237351468},
      {12, 472, 6155263},
      {12, 570, 12},
      {12, 572, 1},
      {12, 573, 0},
      {12, 1e30L, 0},
  };
  const TCount factorials[] = {3628800, 39916800, 479001600};
  for (const TCase& c : cases) {
    SCOPED_TRACE("n = " + std::to_string(c.N) + ", threshold = " + std::to_string(static_cast<double>(c.Threshold)));
    const TExactCount count = CountSpearmanPermutations(c.N, c.Threshold);
    ASSERT_EQ(count.Status, TExactStatus::Exact);
    EXPECT_EQ(count.Total, factorials[c.N - 10]);
    EXPECT_EQ(count.AtLeastAsExtreme, c.Expected);
  }
  EXPECT_EQ(CountSpearmanPermutations(MaxSpearmanCount + 1, 0).Status, TExactStatus::TooLong);
  EXPECT_EQ(CountSpearmanPermutations(-1, 0).Status, TExactStatus::TooLong);
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
      {2, 0.25L, 1},    // 1.25 rounds down
      {2, 0.5L, 2},     // 1.5 rounds to even 2
      {3, 0.125L, 4},   // 4.5 rounds to even 4
      {3, -0.375L, 6},  // 5.5 rounds to even 6
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
      {10, 0.05, 10}, {10, 0.025, 8},  {10, 0.01, 5},   {10, 0.005, 3},  {20, 0.05, 60}, {20, 0.025, 52},
      {20, 0.01, 43}, {20, 0.005, 37}, {25, 0.05, 100}, {25, 0.025, 89}, {25, 0.01, 76}, {25, 0.005, 68},
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

TEST(ExactRankCounts, LargestAllowedCasesAreCountedQuickly) {
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

TEST(ExactRankCounts, StageReportStopsTheCount) {
  // A report is made after every rank (every row for Friedman); the answer
  // of the third stops it.
  struct TCase {
    TProgressAnswer Answer;
    TExactStatus Status;
  };
  const TCase cases[] = {
      {TProgressAnswer::Cancelled, TExactStatus::Cancelled},
      {TProgressAnswer::TooLong, TExactStatus::TooLong},
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
    percents.clear();
    EXPECT_EQ(CountFriedmanExtremes(3, 5, 300, report).Status, c.Status);
    EXPECT_EQ(percents.size(), 3u);
  }
  // A count that runs through reports every stage, ending at 100 percent.
  std::vector<TReal> percents;
  const TStageReport record = [&](TReal percent) {
    percents.push_back(percent);
    return TProgressAnswer::Continue;
  };
  EXPECT_EQ(CountSignedRankPatterns(8, 30, record).Status, TExactStatus::Exact);
  ASSERT_EQ(percents.size(), 8u);
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);
  // The Spearman count reports after each sixteenth of its 2^n rank sets,
  // the last sixteenth unreported; two pairs still give two reports.
  percents.clear();
  EXPECT_EQ(CountSpearmanPermutations(12, 436, record).Status, TExactStatus::Exact);
  std::vector<TReal> sixteenths;
  for (int i = 1; i <= 15; ++i) sixteenths.push_back(TReal{100} * i / 16);
  EXPECT_EQ(percents, sixteenths);
  percents.clear();
  EXPECT_EQ(CountSpearmanPermutations(2, 1, record).Status, TExactStatus::Exact);
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

constexpr std::array<TKruskalWallisMethod, 5> AllMethods{
    TKruskalWallisMethod::Automatic, TKruskalWallisMethod::RankSumTable, TKruskalWallisMethod::VisitedRankSumTables,
    TKruskalWallisMethod::GroupEnumeration, TKruskalWallisMethod::SplitGroups};

std::string Describe(const std::vector<std::int32_t>& values) {
  std::string text;
  for (const std::int32_t value : values) text += std::to_string(value) + " ";
  return text;
}

// Every arrangement of ranks 1..N among the groups, counted one by one; an
// arrangement is as extreme when its S differs from the observed one by more
// than -1e-8 (S = sum of squared rank sums over sizes, in extended precision).
class TBruteForceKruskalWallis {
 public:
  TBruteForceKruskalWallis(std::vector<std::int32_t> sizes, long double observed)
      : mSizes(std::move(sizes)), mObserved(observed) {
    mN = std::accumulate(mSizes.begin(), mSizes.end(), 0);
    mUsed.assign(static_cast<std::size_t>(mN) + 1, false);
    Group(0, 0);
  }
  std::uint64_t Extreme = 0;
  std::uint64_t Total = 0;

 private:
  void Group(std::size_t group, long double s) {
    if (group == mSizes.size()) {
      ++Total;
      if (s - mObserved > -1e-8L) ++Extreme;
      return;
    }
    Choose(group, mSizes[group], 1, 0, s);
  }
  void Choose(std::size_t group, std::int32_t left, std::int32_t from, std::int64_t sum, long double s) {
    for (std::int32_t rank = from; rank <= mN; ++rank) {
      if (mUsed[static_cast<std::size_t>(rank)]) continue;
      mUsed[static_cast<std::size_t>(rank)] = true;
      const std::int64_t total = sum + rank;
      if (left == 1) {
        Group(group + 1, s + static_cast<long double>(total * total) / mSizes[group]);
      } else {
        Choose(group, left - 1, rank + 1, total, s);
      }
      mUsed[static_cast<std::size_t>(rank)] = false;
    }
  }
  std::vector<std::int32_t> mSizes;
  long double mObserved;
  std::int32_t mN = 0;
  std::vector<bool> mUsed;
};

// Rank sums of a random arrangement of 1..N among the groups.
std::vector<std::int64_t> RandomRankSums(const std::vector<std::int32_t>& sizes, std::mt19937& random) {
  std::vector<std::int32_t> ranks(static_cast<std::size_t>(std::accumulate(sizes.begin(), sizes.end(), 0)));
  std::iota(ranks.begin(), ranks.end(), 1);
  std::shuffle(ranks.begin(), ranks.end(), random);
  std::vector<std::int64_t> sums;
  std::size_t at = 0;
  for (const std::int32_t size : sizes) {
    std::int64_t sum = 0;
    for (std::int32_t i = 0; i < size; ++i) sum += ranks[at++];
    sums.push_back(sum);
  }
  return sums;
}

long double StatisticS(const std::vector<std::int32_t>& sizes, const std::vector<std::int64_t>& sums) {
  long double s = 0;
  for (std::size_t i = 0; i < sizes.size(); ++i)
    s += static_cast<long double>(sums[i] * sums[i]) / static_cast<long double>(sizes[i]);
  return s;
}

TExactCount Count(const std::vector<std::int32_t>& sizes, const std::vector<std::int64_t>& sums,
                  TKruskalWallisMethod method = TKruskalWallisMethod::Automatic) {
  return CountKruskalWallisExtremes(sizes, sums, {}, method);
}

TEST(KruskalWallisExactCount, EveryMethodEqualsCompleteEnumeration) {
  const std::vector<std::vector<std::int32_t>> shapes{
      {1, 1},       {2, 3},       {1, 1, 2},       {2, 2, 2},          {3, 2, 1},       {1, 1, 1, 1},
      {3, 3, 3},    {1, 1, 6},    {4, 4, 2},       {1, 1, 1, 5},       {2, 3, 4},       {1, 2, 3, 4},
      {5, 1, 1, 1}, {2, 2, 2, 2}, {3, 1, 4},       {1, 1, 1, 1, 1, 1}, {2, 2, 1, 1, 2}, {6, 1, 2},
      {1, 9},       {5, 4, 3},    {1, 1, 2, 2, 3}, {2, 2, 2, 3}};
  std::mt19937 random(20240611);
  for (const auto& sizes : shapes) {
    for (int trial = 0; trial < 6; ++trial) {
      const std::vector<std::int64_t> sums = RandomRankSums(sizes, random);
      const TBruteForceKruskalWallis expected(sizes, StatisticS(sizes, sums));
      for (const TKruskalWallisMethod method : AllMethods) {
        SCOPED_TRACE("sizes " + Describe(sizes) + "method " + std::to_string(static_cast<int>(method)));
        const TExactCount counted = Count(sizes, sums, method);
        EXPECT_EQ(counted.Status, TExactStatus::Exact);
        EXPECT_EQ(counted.Total, expected.Total);
        EXPECT_EQ(counted.AtLeastAsExtreme, expected.Extreme);
      }
    }
  }
}

TEST(KruskalWallisExactCount, MatchesPublishedExactProbabilities) {
  // Siegel and Castellan (1988), Nonparametric Statistics for the
  // Behavioral Sciences, Table O: exact P of H for small samples (three
  // decimals). The observed rank sums give the tabled H; the exact counts in
  // brackets come from a complete enumeration in python3 with rationals.
  struct TRow {
    std::vector<std::int32_t> Sizes;
    std::vector<std::int64_t> RankSums;
    double PublishedH;
    double PublishedP;
    std::uint64_t Extreme;
    std::uint64_t Total;
  };
  const TRow rows[] = {
      {{2, 2, 2}, {3, 7, 11}, 4.5714, 0.067, 6, 90},           {{3, 2, 1}, {6, 9, 6}, 4.2857, 0.100, 6, 60},
      {{3, 3, 3}, {6, 15, 24}, 7.2000, 0.004, 6, 1680},        {{3, 3, 3}, {6, 18, 21}, 5.6000, 0.050, 84, 1680},
      {{3, 3, 3}, {7, 17, 21}, 4.6222, 0.100, 168, 1680},      {{4, 4, 4}, {10, 32, 36}, 7.5385, 0.011, 372, 34650},
      {{4, 4, 4}, {12, 32, 34}, 5.6923, 0.049, 1686, 34650},   {{5, 5, 5}, {20, 40, 60}, 8.0000, 0.009, 7158, 756756},
      {{5, 5, 5}, {23, 40, 57}, 5.7800, 0.049, 36912, 756756}, {{5, 5, 5}, {21, 46, 53}, 5.6600, 0.051, 38532, 756756},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE("sizes " + Describe(row.Sizes) + "H " + std::to_string(row.PublishedH));
    const std::int32_t n = std::accumulate(row.Sizes.begin(), row.Sizes.end(), 0);
    const long double h = 12.0L / (n * (n + 1)) * StatisticS(row.Sizes, row.RankSums) - 3.0L * (n + 1);
    EXPECT_NEAR(static_cast<double>(h), row.PublishedH, 0.00006);
    for (const TKruskalWallisMethod method : AllMethods) {
      const TExactCount counted = Count(row.Sizes, row.RankSums, method);
      EXPECT_EQ(counted.AtLeastAsExtreme, row.Extreme);
      EXPECT_EQ(counted.Total, row.Total);
      EXPECT_NEAR(static_cast<double>(counted.AtLeastAsExtreme) / static_cast<double>(counted.Total), row.PublishedP,
                  0.0005);
    }
  }
}

TEST(KruskalWallisExactCount, MethodsAgreeOnLargerSamples) {
  // Too many arrangements to enumerate here; the four methods share no
  // counting code, so their agreement is the check.
  const std::vector<std::vector<std::int32_t>> shapes{{5, 5, 6},    {2, 3, 4, 5},       {1, 1, 2, 40},   {2, 2, 30},
                                                      {1, 3, 3, 3}, {1, 1, 2, 2, 3, 3}, {2, 2, 2, 2, 3}, {1, 2, 2, 9}};
  std::mt19937 random(7);
  for (const auto& sizes : shapes) {
    SCOPED_TRACE("sizes " + Describe(sizes));
    const std::vector<std::int64_t> sums = RandomRankSums(sizes, random);
    const TExactCount table = Count(sizes, sums, TKruskalWallisMethod::RankSumTable);
    ASSERT_EQ(table.Status, TExactStatus::Exact);
    EXPECT_EQ(table.Total, RankArrangements(sizes, std::uint64_t{1} << 62));
    for (const TKruskalWallisMethod method :
         {TKruskalWallisMethod::VisitedRankSumTables, TKruskalWallisMethod::GroupEnumeration,
          TKruskalWallisMethod::SplitGroups}) {
      const TExactCount other = Count(sizes, sums, method);
      EXPECT_EQ(other.Total, table.Total);
      EXPECT_EQ(other.AtLeastAsExtreme, table.AtLeastAsExtreme);
    }
  }
}

TEST(KruskalWallisExactCount, CountsTheLargestBalancedSamplesCompletely) {
  // Groups of 7, 7 and 8 values: 1,097,450,640 arrangements, just below the
  // limit of exact computation; a count one by one would take many seconds.
  const std::vector<std::int32_t> sizes{7, 7, 8};
  const std::vector<std::int64_t> sums{60, 80, 113};
  const TExactCount counted = Count(sizes, sums);
  EXPECT_EQ(counted.Status, TExactStatus::Exact);
  EXPECT_EQ(counted.Total, 1097450640u);
  EXPECT_GT(counted.AtLeastAsExtreme, 0u);
  EXPECT_LT(counted.AtLeastAsExtreme, counted.Total);
}

TEST(KruskalWallisExactCount, StopsWhenTheProgressSaysSo) {
  const std::vector<std::int32_t> sizes{5, 5, 6};
  const std::vector<std::int64_t> sums{30, 40, 66};
  for (const TKruskalWallisMethod method : AllMethods) {
    SCOPED_TRACE(static_cast<int>(method));
    TScriptedProgress cancelling(1);
    cancelling.StartExactProgress(0.5L);
    EXPECT_EQ(CountKruskalWallisExtremes(sizes, sums, ExactProgressReport(cancelling), method).Status,
              TExactStatus::Cancelled);
    TScriptedProgress slow(0, 10 * 60 * 1000);
    slow.StartExactProgress(0.5L);
    EXPECT_EQ(CountKruskalWallisExtremes(sizes, sums, ExactProgressReport(slow), method).Status, TExactStatus::TooLong);
  }
}

TEST(RankArrangements, MultipliesTheBinomialsOfTheRanksLeft) {
  struct TRow {
    std::vector<std::int32_t> Sizes;
    std::uint64_t Limit;
    std::uint64_t Expected;
  };
  const TRow rows[] = {
      {{2, 2, 2}, 2000000000, 90},              // 6! / (2! 2! 2!)
      {{1, 1, 2}, 2000000000, 12},              // 4! / 2!
      {{7, 7, 8}, 2000000000, 1097450640},      // 22! / (7! 7! 8!)
      {{5, 5, 5, 5}, 2000000000, 0},            // 11,732,745,024 exceeds the limit
      {{1, 1, 1, 997}, 2000000000, 997002000},  // 1000 x 999 x 998
      {{3, 0}, 2000000000, 0},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(Describe(row.Sizes));
    EXPECT_EQ(RankArrangements(row.Sizes, row.Limit), row.Expected);
  }
}

// Every ranking of every row, counted one by one.
std::array<std::uint64_t, 2> BruteForceFriedman(std::int32_t k, std::int32_t r, std::int64_t observed) {
  std::vector<std::vector<std::int64_t>> permutations;
  std::vector<std::int64_t> ranks(static_cast<std::size_t>(k));
  std::iota(ranks.begin(), ranks.end(), 1);
  do {
    permutations.push_back(ranks);
  } while (std::next_permutation(ranks.begin(), ranks.end()));
  std::uint64_t total = 1;
  for (std::int32_t row = 0; row < r; ++row) total *= permutations.size();
  std::uint64_t extreme = 0;
  for (std::uint64_t code = 0; code < total; ++code) {
    std::vector<std::int64_t> sums(static_cast<std::size_t>(k), 0);
    std::uint64_t rest = code;
    for (std::int32_t row = 0; row < r; ++row) {
      const auto& permutation = permutations[rest % permutations.size()];
      rest /= permutations.size();
      for (std::size_t j = 0; j < sums.size(); ++j) sums[j] += permutation[j];
    }
    std::int64_t squares = 0;
    for (const std::int64_t sum : sums) squares += sum * sum;
    if (squares >= observed) ++extreme;
  }
  return {extreme, total};
}

TEST(FriedmanExactCount, EqualsCompleteEnumeration) {
  struct TRow {
    std::int32_t K;
    std::int32_t R;
  };
  const TRow rows[] = {{2, 1}, {2, 5}, {3, 1}, {3, 2}, {3, 4}, {4, 2}, {4, 3}, {5, 2}};
  std::mt19937 random(99);
  for (const TRow& row : rows) {
    for (int trial = 0; trial < 4; ++trial) {
      // Observed sums of squares from the range the rank sums can take.
      const std::int64_t lowest = static_cast<std::int64_t>(row.K) * row.R * row.R * (row.K + 1) * (row.K + 1) / 4;
      const std::int64_t observed = lowest + static_cast<std::int64_t>(random() % (2 * row.R * row.R + 3));
      SCOPED_TRACE("k " + std::to_string(row.K) + " r " + std::to_string(row.R) + " S " + std::to_string(observed));
      const auto expected = BruteForceFriedman(row.K, row.R, observed);
      const TExactCount counted = CountFriedmanExtremes(row.K, row.R, observed);
      EXPECT_EQ(counted.Status, TExactStatus::Exact);
      EXPECT_EQ(counted.AtLeastAsExtreme, expected[0]);
      EXPECT_EQ(counted.Total, expected[1]);
    }
  }
}

TEST(FriedmanExactCount, MatchesPublishedExactProbabilities) {
  // Siegel and Castellan (1988), Table M (after Friedman 1937): exact P of
  // the Friedman statistic; S is the sum of squared column rank sums giving
  // the tabled value, the counts in brackets from a complete enumeration in
  // python3.
  struct TRow {
    std::int32_t K;
    std::int32_t R;
    std::int64_t S;
    double PublishedP;
    std::uint64_t Extreme;
    std::uint64_t Total;
  };
  const TRow rows[] = {
      {3, 3, 126, 0.028, 6, 216},      {3, 3, 122, 0.194, 42, 216},     {3, 4, 218, 0.042, 54, 1296},
      {3, 4, 224, 0.0046, 6, 1296},    {3, 5, 332, 0.039, 306, 7776},   {3, 5, 342, 0.0085, 66, 7776},
      {3, 6, 474, 0.029, 1350, 46656}, {3, 6, 470, 0.052, 2430, 46656}, {4, 2, 120, 0.042, 24, 576},
      {4, 3, 262, 0.033, 456, 13824},  {4, 3, 270, 0.0017, 24, 13824},  {4, 4, 452, 0.036, 12072, 331776},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE("k " + std::to_string(row.K) + " r " + std::to_string(row.R) + " S " + std::to_string(row.S));
    const TExactCount counted = CountFriedmanExtremes(row.K, row.R, row.S);
    EXPECT_EQ(counted.AtLeastAsExtreme, row.Extreme);
    EXPECT_EQ(counted.Total, row.Total);
    const double p = static_cast<double>(counted.AtLeastAsExtreme) / static_cast<double>(counted.Total);
    EXPECT_NEAR(p, row.PublishedP, row.PublishedP < 0.01 ? 0.00005 : 0.0005);
  }
}

TEST(FriedmanExactCount, CountsTheLargestCasesAndStopsOnRequest) {
  // Six columns and three rows: 720^3 = 373,248,000 rankings.
  const TExactCount counted = CountFriedmanExtremes(6, 3, 500);
  EXPECT_EQ(counted.Status, TExactStatus::Exact);
  EXPECT_EQ(counted.Total, 373248000u);
  EXPECT_EQ(FriedmanArrangements(3, 11, 1000000000), 362797056u);  // 6^11
  EXPECT_EQ(FriedmanArrangements(3, 12, 1000000000), 0u);          // 6^12 exceeds 10^9
  EXPECT_EQ(FriedmanArrangements(7, 1, 1000000000), 5040u);

  TScriptedProgress cancelling(2);
  cancelling.StartExactProgress(0.5L);
  EXPECT_EQ(CountFriedmanExtremes(3, 5, 300, ExactProgressReport(cancelling)).Status, TExactStatus::Cancelled);
  EXPECT_EQ(cancelling.Reports(), 2);
}

}  // namespace
}  // namespace ombrel
