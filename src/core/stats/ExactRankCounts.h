#pragma once

// Exact null distributions of the rank tests, counted rather than
// enumerated: each count returns exactly the number of equally likely
// arrangements a full enumeration would find at least as extreme as the
// data, but by dynamic programming over rank sums, by subset-sum tables or by
// pairing the sorted statistics of two halves of the groups, so the largest
// cases the tests allow take a fraction of a second. Counts are exact 64-bit
// integers.
//
// Every count reports its progress the same way (a TStageReport between its
// stages) and ends the same way (a TExactStatus in its TExactCount).

#include <cstdint>
#include <functional>
#include <span>

#include "core/base/CalcProgress.h"
#include "core/base/EmptyValue.h"

namespace ombrel {

// How the exact computation of a P value ended. The numbers are those the
// rank tests have always kept.
enum class TExactStatus : std::int32_t {
  Cancelled = 0,  // the user stopped it: the approximate P is used
  Exact = 1,      // the count finished: the P value is exact
  TooLong = 2,    // too many arrangements, too long a computation, or no memory
  Ties = 3,       // tied values: the exact count does not apply and was not tried
};

// Called between the stages of a count with the percentage done; any answer
// but Continue stops the count. An empty function never stops it.
using TStageReport = std::function<TProgressAnswer(TReal percentDone)>;

// The stage report that passes each stage on to the calculation panel
// (ReportExactProgress only: the caller starts and ends the progress display).
TStageReport ExactProgressReport(TCalcProgress& progress);

// The status a count ends with after the given answer of its stage report.
TExactStatus StatusFromAnswer(TProgressAnswer answer);

// The outcome of an exact count: of Total equally likely arrangements,
// AtLeastAsExtreme are at least as extreme as the observed one. Both are
// meaningful only when Status is Exact.
struct TExactCount {
  TExactStatus Status = TExactStatus::Exact;
  std::uint64_t AtLeastAsExtreme = 0;
  std::uint64_t Total = 0;
};

// ---------------------------------------------------------------------------
// Signed-rank, rank-sum and Spearman counts

// Largest number of ranks whose sign patterns are counted (2^n must stay
// well inside 64 bits).
inline constexpr int MaxSignedRankCount = 62;

// Signed-rank test: of the 2^n ways to give the ranks 1..n signs, the number
// whose sum of positive ranks is at least `threshold`. Subset-sum counts,
// one stage per rank (n + 1 reports at most). Total = 2^n. n from 0 to
// MaxSignedRankCount.
TExactCount CountSignedRankPatterns(std::int32_t n, TReal threshold, const TStageReport& report = {});

// Rank-sum test: of the C(total, chosen) sets of `chosen` distinct ranks
// from 1..total, the number whose rank sum is at most `threshold`. Counted
// as the complementary sets of the smaller size over (ranks used, count
// chosen, sum), one stage per rank. Total = C(total, chosen); the caller
// keeps that below 2^63.
TExactCount CountRankSumSets(std::int32_t total, std::int32_t chosen, TReal threshold, const TStageReport& report = {});

// Largest number of pairs whose rank permutations are counted.
inline constexpr int MaxSpearmanCount = 12;

// Spearman rank correlation: of the n! assignments of the ranks 1..n to the
// positions 1..n, the number whose sum of squared differences
// (rank - position)^2 is at least `threshold`. Counted over (set of ranks
// placed, partial sum), about n 2^(n-1) (n^3 - n)/6 additions, so n = 12
// takes milliseconds where enumeration visits 479,001,600 assignments.
// Reports in 16 stages (fewer for n < 4) so that even a short count can be
// stopped. Total = n!. n from 0 to MaxSpearmanCount.
TExactCount CountSpearmanPermutations(std::int32_t n, TReal threshold, const TStageReport& report = {});

// The sum of squared rank differences of the mirror image of a coefficient
// rs among n pairs, (n^3 - n)(1 + |rs|)/6 rounded to the nearest integer
// (halves to even): assignments reaching it have a coefficient of -|rs| or
// below, one tail of the exact test. The rounding absorbs the error of rs.
TReal SpearmanThreshold(std::int32_t n, TReal rs);

// The number of arrangements at which the rank-sum test gives up its exact P.
inline constexpr std::int64_t MaxRankSumArrangements = 2'000'000'000;

// Binomial coefficient C(n, k), exact, returned as MaxRankSumArrangements
// when it is larger; 0 for k < 0 or k > n. Multiplies C(n, i) up term by
// term, which stays exact in 64 bits below the cap.
std::int64_t count_combinations(std::int32_t n, std::int32_t k);

// ---------------------------------------------------------------------------
// Kruskal-Wallis and Friedman counts, for untied ranks

// The number of ways to hand ranks 1..N (N the sum of the sizes) to groups
// of the given sizes: the product, group after group, of the binomial
// coefficient of the ranks left over the group's size. Exact; 0 when the
// product exceeds `limit` (or a size is below 1).
std::uint64_t RankArrangements(std::span<const std::int32_t> sizes, std::uint64_t limit);

// How the Kruskal-Wallis arrangements are counted. All ways give the same
// counts; Automatic takes the one estimated to be quickest.
enum class TKruskalWallisMethod {
  Automatic,
  RankSumTable,          // ranks handed out one by one, states merged by rank sums
  VisitedRankSumTables,  // the smallest group visited, a rank-sum table for the rest of each visit
  GroupEnumeration,      // small groups visited, the largest but one counted
  SplitGroups,           // the groups split in two sides, each side's statistics listed per rank set
};

// Kruskal-Wallis. Counts the arrangements of ranks 1..N among groups of the
// given sizes whose S = sum of (rank sum)^2 / size is at least the S of the
// observed rank sums (one per group, same order). S is compared exactly, in
// integers scaled by the common multiple of the sizes. Reports progress in
// stages and ends TooLong when the sizes cannot be counted or memory runs
// out.
TExactCount CountKruskalWallisExtremes(std::span<const std::int32_t> sizes,
                                       std::span<const std::int64_t> observedRankSums, const TStageReport& report = {},
                                       TKruskalWallisMethod method = TKruskalWallisMethod::Automatic);

// (k!)^r for k columns and r rows; 0 when it exceeds `limit`.
std::uint64_t FriedmanArrangements(std::int32_t columns, std::int32_t rows, std::uint64_t limit);

// Friedman. Counts the (k!)^r ways of ranking each of r rows 1..k whose sum
// of squared column rank sums is at least `observedSumOfSquares`, by
// convolving the rows' rank-sum vectors one row at a time; one stage per row.
TExactCount CountFriedmanExtremes(std::int32_t columns, std::int32_t rows, std::int64_t observedSumOfSquares,
                                  const TStageReport& report = {});

}  // namespace ombrel
