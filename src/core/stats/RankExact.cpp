#include "core/stats/RankExact.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numeric>
#include <optional>
#include <vector>

namespace ombrel {
namespace {

using TCount = std::uint64_t;

// The Spearman count reports this many times (fewer for tiny n).
constexpr std::size_t SpearmanStages = 16;

// Stage reports answer Continue when no report was asked for.
TProgressAnswer Report(const TStageReport& report, TReal percentDone) {
  return report ? report(percentDone) : TProgressAnswer::Continue;
}

TReal Percent(std::int64_t done, std::int64_t all) { return static_cast<TReal>(done) * 100 / static_cast<TReal>(all); }

// C(n, k) exactly, or nothing when it exceeds `limit`. After step i the
// product is C(n - k + i, i), so every division is exact; dividing by the
// common factor first keeps the product itself below the limit.
std::optional<TCount> Binomial(std::int64_t n, std::int64_t k, TCount limit) {
  if (k < 0 || k > n) return TCount{0};
  k = std::min(k, n - k);
  TCount c = 1;
  for (std::int64_t i = 1; i <= k; ++i) {
    const auto divisor = static_cast<TCount>(i);
    const TCount g = std::gcd(c, divisor);
    const TCount factor = static_cast<TCount>(n - k + i) / (divisor / g);
    const TCount reduced = c / g;
    if (reduced > limit / factor) return std::nullopt;
    c = reduced * factor;
    if (c > limit) return std::nullopt;
  }
  return c;
}

}  // namespace

TStageReport ExactProgressReport(TCalcProgress& progress) {
  return [&progress](TReal percentDone) { return progress.ReportExactProgress(percentDone); };
}

TCountStatus StatusFromAnswer(TProgressAnswer answer) {
  switch (answer) {
    case TProgressAnswer::Continue:
      return TCountStatus::Exact;
    case TProgressAnswer::Cancelled:
      return TCountStatus::Cancelled;
    case TProgressAnswer::TooLong:
      return TCountStatus::Abandoned;
  }
  return TCountStatus::Abandoned;
}

TExactCount CountSignedRankPatterns(std::int32_t n, TReal threshold, const TStageReport& report) {
  TExactCount result;
  if (n < 0 || n > MaxSignedRankCount) {
    result.Status = TCountStatus::Abandoned;
    return result;
  }
  // ways[s]: sign patterns of the ranks so far whose positive ranks sum to s.
  const auto maxSum = static_cast<std::size_t>(n) * static_cast<std::size_t>(n + 1) / 2;
  std::vector<TCount> ways(maxSum + 1, 0);
  ways[0] = 1;
  std::size_t reached = 0;
  for (std::int32_t rank = 1; rank <= n; ++rank) {
    const auto r = static_cast<std::size_t>(rank);
    reached += r;
    for (std::size_t s = reached; s >= r; --s) ways[s] += ways[s - r];
    const TProgressAnswer answer = Report(report, Percent(rank, n));
    if (answer != TProgressAnswer::Continue) {
      result.Status = StatusFromAnswer(answer);
      return result;
    }
  }
  result.Total = TCount{1} << static_cast<unsigned>(n);
  for (std::size_t s = 0; s <= maxSum; ++s)
    if (static_cast<TReal>(s) >= threshold) result.AtLeastAsExtreme += ways[s];
  return result;
}

TExactCount CountRankSumSets(std::int32_t total, std::int32_t chosen, TReal threshold, const TStageReport& report) {
  TExactCount result;
  if (total < 0 || chosen < 0 || chosen > total) {
    result.Total = 0;
    return result;
  }
  const std::optional<TCount> all =
      Binomial(total, chosen, static_cast<TCount>(std::numeric_limits<std::int64_t>::max()));
  if (!all) {
    result.Status = TCountStatus::Abandoned;
    return result;
  }
  // A set of `chosen` ranks with sum at most T is the complement of a set of
  // total - chosen ranks with sum at least N(N + 1)/2 - T; the smaller of
  // the two sizes keeps the table small.
  const std::int32_t small = std::min(chosen, total - chosen);
  const bool complement = small != chosen;
  const TReal allRanks = static_cast<TReal>(total) * static_cast<TReal>(total + 1) / 2;

  const auto width = static_cast<std::size_t>(small) + 1;
  const std::size_t maxSum = static_cast<std::size_t>(small) * static_cast<std::size_t>(2 * total - small + 1) / 2;
  // ways[c * (maxSum + 1) + s]: sets of c ranks taken from those so far with sum s.
  std::vector<TCount> ways(width * (maxSum + 1), 0);
  const auto at = [maxSum](std::size_t c, std::size_t s) { return c * (maxSum + 1) + s; };
  ways[at(0, 0)] = 1;
  for (std::int32_t rank = 1; rank <= total; ++rank) {
    const auto r = static_cast<std::size_t>(rank);
    for (std::size_t c = std::min(r, static_cast<std::size_t>(small)); c >= 1; --c) {
      // The c largest of the ranks 1..r bound the sums reached so far.
      const std::size_t top = std::min(maxSum, c * r - c * (c - 1) / 2);
      for (std::size_t s = top; s >= r; --s) ways[at(c, s)] += ways[at(c - 1, s - r)];
    }
    const TProgressAnswer answer = Report(report, Percent(rank, total));
    if (answer != TProgressAnswer::Continue) {
      result.Status = StatusFromAnswer(answer);
      return result;
    }
  }
  result.Total = *all;
  const auto c = static_cast<std::size_t>(small);
  for (std::size_t s = 0; s <= maxSum; ++s) {
    const auto sum = static_cast<TReal>(s);
    const bool extreme = complement ? sum >= allRanks - threshold : sum <= threshold;
    if (extreme) result.AtLeastAsExtreme += ways[at(c, s)];
  }
  return result;
}

TExactCount CountSpearmanPermutations(std::int32_t n, TReal threshold, const TStageReport& report) {
  TExactCount result;
  if (n < 0 || n > MaxSpearmanCount) {
    result.Status = TCountStatus::Abandoned;
    return result;
  }
  // Placing rank r at position p adds the triangular number (r - p)(r - p + 1)/2
  // instead of (r - p)^2: the two differ by (r - p)/2, which sums to zero
  // over a whole assignment, so the total is half the sum of squares (always
  // even). That halves the table, and the partial sums still only grow.
  const auto un = static_cast<std::size_t>(n);
  const std::size_t maxHalf = un * (un * un - 1) / 6;
  // Half-sums of at least `cap` are all extreme, so they share the last
  // bucket; a threshold beyond every sum leaves that bucket empty.
  std::size_t cap = maxHalf + 1;
  if (threshold <= 0) {
    cap = 0;
  } else if (threshold <= static_cast<TReal>(2 * maxHalf)) {
    cap = static_cast<std::size_t>(std::ceil(threshold / 2));
  }
  const std::size_t width = cap + 1;
  const std::size_t sets = std::size_t{1} << un;
  // ways[set * width + h]: assignments of the ranks in `set` to the first
  // popcount(set) positions with half-sum h. At most 12! < 2^32 reach any one
  // state, and 32 bits keep the table at 4.7 MB for n = 12.
  std::vector<std::uint32_t> ways(sets * width, 0);
  ways[0] = 1;
  // The largest bucket each set reaches: the zeros above it are skipped.
  std::vector<std::size_t> top(sets, 0);
  const std::size_t stage = std::max<std::size_t>(1, sets / SpearmanStages);
  // Every set is built from smaller numbers, so increasing order finishes a
  // set before it is extended.
  for (std::size_t set = 0; set + 1 < sets; ++set) {
    if (set > 0 && set % stage == 0) {
      const TProgressAnswer answer =
          Report(report, Percent(static_cast<std::int64_t>(set), static_cast<std::int64_t>(sets)));
      if (answer != TProgressAnswer::Continue) {
        result.Status = StatusFromAnswer(answer);
        return result;
      }
    }
    const std::uint32_t* from = &ways[set * width];
    const std::size_t last = top[set];
    const auto position = static_cast<std::int64_t>(std::popcount(set)) + 1;
    for (std::size_t bit = 0; bit < un; ++bit) {
      if ((set >> bit & 1u) != 0) continue;
      const std::int64_t d = static_cast<std::int64_t>(bit) + 1 - position;
      const auto step = static_cast<std::size_t>(d * (d + 1) / 2);
      const std::size_t next = set | std::size_t{1} << bit;
      std::uint32_t* to = &ways[next * width];
      const std::size_t shifted = std::min(last + 1, cap > step ? cap - step : 0);
      for (std::size_t h = 0; h < shifted; ++h) to[h + step] += from[h];
      for (std::size_t h = shifted; h <= last; ++h) to[cap] += from[h];
      top[next] = std::max(top[next], std::min(cap, last + step));
    }
  }
  const std::uint32_t* full = &ways[(sets - 1) * width];
  for (std::size_t h = 0; h <= cap; ++h) result.Total += full[h];
  result.AtLeastAsExtreme = full[cap];
  return result;
}

TReal SpearmanThreshold(std::int32_t n, TReal rs) {
  const auto nn = static_cast<TReal>(n);
  return std::nearbyint((nn * nn * nn - nn) * (1 + std::fabs(rs)) / 6);
}

std::int64_t count_combinations(std::int32_t n, std::int32_t k) {
  const std::optional<TCount> c = Binomial(n, k, static_cast<TCount>(MaxArrangements));
  return c ? static_cast<std::int64_t>(*c) : MaxArrangements;
}

}  // namespace ombrel
