#pragma once

#include <cstdint>
#include <functional>

#include "core/base/CalcProgress.h"
#include "core/base/EmptyValue.h"

// Exact null distributions of the rank tests, counted rather than
// enumerated: each function returns exactly the number of arrangements a
// full enumeration would find at least as extreme, but by dynamic
// programming over rank sums, so the largest cases the tests allow take
// milliseconds. Counts are exact 64-bit integers.

namespace ombrel {

// How an exact calculation ended; the values are those of the status the
// rank tests keep (1 = exact, 0 = cancelled by the user, 2 = abandoned as
// too long or too large to try).
enum class TCountStatus : std::int32_t {
  Cancelled = 0,
  Exact = 1,
  Abandoned = 2,
};

// Called between the stages of a count with the percentage done; any answer
// but Continue stops the count. An empty function never stops it.
using TStageReport = std::function<TProgressAnswer(TReal percentDone)>;

// The stage report that passes each stage on to the calculation panel.
TStageReport ExactProgressReport(TCalcProgress& progress);

// The outcome of an exact count. AtLeastAsExtreme and Total are meaningful
// only when Status is Exact.
struct TExactCount {
  TCountStatus Status = TCountStatus::Exact;
  std::uint64_t AtLeastAsExtreme = 0;
  std::uint64_t Total = 0;
};

// The status a progress answer leaves behind.
TCountStatus StatusFromAnswer(TProgressAnswer answer);

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
inline constexpr std::int64_t MaxArrangements = 2'000'000'000;

// Binomial coefficient C(n, k), exact, returned as MaxArrangements when it
// is larger; 0 for k < 0 or k > n. Multiplies C(n, i) up term by term, which
// stays exact in 64 bits below the cap.
std::int64_t count_combinations(std::int32_t n, std::int32_t k);

}  // namespace ombrel
