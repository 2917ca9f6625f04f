#include "core/stats/ExactRankCounts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "support/RankTestSupport.h"

// The exact counts are checked against complete enumerations written here
// independently (group after group taking every combination of the ranks
// left, as the arrangements are defined), against the published tables of
// exact Kruskal-Wallis and Friedman probabilities, and each Kruskal-Wallis
// counting method against the others.

namespace ombrel {
namespace {

using test::TScriptedProgress;

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

TRankCount Count(const std::vector<std::int32_t>& sizes, const std::vector<std::int64_t>& sums,
                  TKruskalWallisMethod method = TKruskalWallisMethod::Automatic) {
  TSilentCalcProgress progress;
  progress.StartExactProgress(0.5L);
  return CountKruskalWallisExtremes(sizes, sums, progress, method);
}

TEST(KruskalWallisExactCount, EveryMethodEqualsCompleteEnumeration) {
  const std::vector<std::vector<std::int32_t>> shapes{
      {1, 1},    {2, 3},       {1, 1, 2},    {2, 2, 2},    {3, 2, 1},       {1, 1, 1, 1}, {3, 3, 3},
      {1, 1, 6}, {4, 4, 2},    {1, 1, 1, 5}, {2, 3, 4},    {1, 2, 3, 4},    {5, 1, 1, 1}, {2, 2, 2, 2},
      {3, 1, 4}, {1, 1, 1, 1, 1, 1}, {2, 2, 1, 1, 2}, {6, 1, 2}, {1, 9}, {5, 4, 3},
      {1, 1, 2, 2, 3}, {2, 2, 2, 3}};
  std::mt19937 random(20240611);
  for (const auto& sizes : shapes) {
    for (int trial = 0; trial < 6; ++trial) {
      const std::vector<std::int64_t> sums = RandomRankSums(sizes, random);
      const TBruteForceKruskalWallis expected(sizes, StatisticS(sizes, sums));
      for (const TKruskalWallisMethod method : AllMethods) {
        SCOPED_TRACE("sizes " + Describe(sizes) + "method " + std::to_string(static_cast<int>(method)));
        const TRankCount counted = Count(sizes, sums, method);
        EXPECT_EQ(counted.Run, TRankCountRun::Completed);
        EXPECT_EQ(counted.Total, expected.Total);
        EXPECT_EQ(counted.Extreme, expected.Extreme);
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
      {{2, 2, 2}, {3, 7, 11}, 4.5714, 0.067, 6, 90},
      {{3, 2, 1}, {6, 9, 6}, 4.2857, 0.100, 6, 60},
      {{3, 3, 3}, {6, 15, 24}, 7.2000, 0.004, 6, 1680},
      {{3, 3, 3}, {6, 18, 21}, 5.6000, 0.050, 84, 1680},
      {{3, 3, 3}, {7, 17, 21}, 4.6222, 0.100, 168, 1680},
      {{4, 4, 4}, {10, 32, 36}, 7.5385, 0.011, 372, 34650},
      {{4, 4, 4}, {12, 32, 34}, 5.6923, 0.049, 1686, 34650},
      {{5, 5, 5}, {20, 40, 60}, 8.0000, 0.009, 7158, 756756},
      {{5, 5, 5}, {23, 40, 57}, 5.7800, 0.049, 36912, 756756},
      {{5, 5, 5}, {21, 46, 53}, 5.6600, 0.051, 38532, 756756},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE("sizes " + Describe(row.Sizes) + "H " + std::to_string(row.PublishedH));
    const std::int32_t n = std::accumulate(row.Sizes.begin(), row.Sizes.end(), 0);
    const long double h = 12.0L / (n * (n + 1)) * StatisticS(row.Sizes, row.RankSums) - 3.0L * (n + 1);
    EXPECT_NEAR(static_cast<double>(h), row.PublishedH, 0.00006);
    for (const TKruskalWallisMethod method : AllMethods) {
      const TRankCount counted = Count(row.Sizes, row.RankSums, method);
      EXPECT_EQ(counted.Extreme, row.Extreme);
      EXPECT_EQ(counted.Total, row.Total);
      EXPECT_NEAR(static_cast<double>(counted.Extreme) / static_cast<double>(counted.Total), row.PublishedP, 0.0005);
    }
  }
}

TEST(KruskalWallisExactCount, MethodsAgreeOnLargerSamples) {
  // Too many arrangements to enumerate here; the four methods share no
  // counting code, so their agreement is the check.
  const std::vector<std::vector<std::int32_t>> shapes{{5, 5, 6},     {2, 3, 4, 5},    {1, 1, 2, 40},
                                                      {2, 2, 30},    {1, 3, 3, 3},    {1, 1, 2, 2, 3, 3},
                                                      {2, 2, 2, 2, 3}, {1, 2, 2, 9}};
  std::mt19937 random(7);
  for (const auto& sizes : shapes) {
    SCOPED_TRACE("sizes " + Describe(sizes));
    const std::vector<std::int64_t> sums = RandomRankSums(sizes, random);
    const TRankCount table = Count(sizes, sums, TKruskalWallisMethod::RankSumTable);
    ASSERT_EQ(table.Run, TRankCountRun::Completed);
    EXPECT_EQ(table.Total, RankArrangements(sizes, std::uint64_t{1} << 62));
    for (const TKruskalWallisMethod method :
         {TKruskalWallisMethod::VisitedRankSumTables, TKruskalWallisMethod::GroupEnumeration,
          TKruskalWallisMethod::SplitGroups}) {
      const TRankCount other = Count(sizes, sums, method);
      EXPECT_EQ(other.Total, table.Total);
      EXPECT_EQ(other.Extreme, table.Extreme);
    }
  }
}

TEST(KruskalWallisExactCount, CountsTheLargestBalancedSamplesCompletely) {
  // Groups of 7, 7 and 8 values: 1,097,450,640 arrangements, just below the
  // limit of exact computation; a count one by one would take many seconds.
  const std::vector<std::int32_t> sizes{7, 7, 8};
  const std::vector<std::int64_t> sums{60, 80, 113};
  const TRankCount counted = Count(sizes, sums);
  EXPECT_EQ(counted.Run, TRankCountRun::Completed);
  EXPECT_EQ(counted.Total, 1097450640u);
  EXPECT_GT(counted.Extreme, 0u);
  EXPECT_LT(counted.Extreme, counted.Total);
}

TEST(KruskalWallisExactCount, StopsWhenTheProgressSaysSo) {
  const std::vector<std::int32_t> sizes{5, 5, 6};
  const std::vector<std::int64_t> sums{30, 40, 66};
  for (const TKruskalWallisMethod method : AllMethods) {
    SCOPED_TRACE(static_cast<int>(method));
    TScriptedProgress cancelling(1);
    cancelling.StartExactProgress(0.5L);
    EXPECT_EQ(CountKruskalWallisExtremes(sizes, sums, cancelling, method).Run, TRankCountRun::Cancelled);
    TScriptedProgress slow(0, 10 * 60 * 1000);
    slow.StartExactProgress(0.5L);
    EXPECT_EQ(CountKruskalWallisExtremes(sizes, sums, slow, method).Run, TRankCountRun::TooLong);
  }
}

TEST(RankArrangements, MultipliesTheBinomialsOfTheRanksLeft) {
  struct TRow {
    std::vector<std::int32_t> Sizes;
    std::uint64_t Limit;
    std::uint64_t Expected;
  };
  const TRow rows[] = {
      {{2, 2, 2}, 2000000000, 90},            // 6! / (2! 2! 2!)
      {{1, 1, 2}, 2000000000, 12},            // 4! / 2!
      {{7, 7, 8}, 2000000000, 1097450640},    // 22! / (7! 7! 8!)
      {{5, 5, 5, 5}, 2000000000, 0},          // 11,732,745,024 exceeds the limit
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
      TSilentCalcProgress progress;
      progress.StartExactProgress(0.5L);
      const TRankCount counted = CountFriedmanExtremes(row.K, row.R, observed, progress);
      EXPECT_EQ(counted.Run, TRankCountRun::Completed);
      EXPECT_EQ(counted.Extreme, expected[0]);
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
      {3, 3, 126, 0.028, 6, 216},     {3, 3, 122, 0.194, 42, 216},     {3, 4, 218, 0.042, 54, 1296},
      {3, 4, 224, 0.0046, 6, 1296},   {3, 5, 332, 0.039, 306, 7776},   {3, 5, 342, 0.0085, 66, 7776},
      {3, 6, 474, 0.029, 1350, 46656}, {3, 6, 470, 0.052, 2430, 46656}, {4, 2, 120, 0.042, 24, 576},
      {4, 3, 262, 0.033, 456, 13824}, {4, 3, 270, 0.0017, 24, 13824}, {4, 4, 452, 0.036, 12072, 331776},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE("k " + std::to_string(row.K) + " r " + std::to_string(row.R) + " S " + std::to_string(row.S));
    TSilentCalcProgress progress;
    progress.StartExactProgress(0.5L);
    const TRankCount counted = CountFriedmanExtremes(row.K, row.R, row.S, progress);
    EXPECT_EQ(counted.Extreme, row.Extreme);
    EXPECT_EQ(counted.Total, row.Total);
    const double p = static_cast<double>(counted.Extreme) / static_cast<double>(counted.Total);
    EXPECT_NEAR(p, row.PublishedP, row.PublishedP < 0.01 ? 0.00005 : 0.0005);
  }
}

TEST(FriedmanExactCount, CountsTheLargestCasesAndStopsOnRequest) {
  // Six columns and three rows: 720^3 = 373,248,000 rankings.
  TSilentCalcProgress progress;
  progress.StartExactProgress(0.5L);
  const TRankCount counted = CountFriedmanExtremes(6, 3, 500, progress);
  EXPECT_EQ(counted.Run, TRankCountRun::Completed);
  EXPECT_EQ(counted.Total, 373248000u);
  EXPECT_EQ(FriedmanArrangements(3, 11, 1000000000), 362797056u);  // 6^11
  EXPECT_EQ(FriedmanArrangements(3, 12, 1000000000), 0u);          // 6^12 exceeds 10^9
  EXPECT_EQ(FriedmanArrangements(7, 1, 1000000000), 5040u);

  TScriptedProgress cancelling(2);
  cancelling.StartExactProgress(0.5L);
  EXPECT_EQ(CountFriedmanExtremes(3, 5, 300, cancelling).Run, TRankCountRun::Cancelled);
  EXPECT_EQ(cancelling.Reports(), 2);
}

}  // namespace
}  // namespace ombrel
