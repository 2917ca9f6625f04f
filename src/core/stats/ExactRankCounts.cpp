// The front of the exact counts: the signed-rank, rank-sum, Spearman and
// Friedman counts, and the Kruskal-Wallis problem with the choice of its
// counting method (the methods live in KruskalWallis*.cpp).

#include "core/stats/ExactRankCounts.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <numeric>
#include <optional>
#include <vector>

#include "core/stats/ExactRankCountsDetail.h"

namespace ombrel {
namespace {

using detail::BitWidth;
using detail::ReportStage;
using detail::TWide;
using TCount = std::uint64_t;

// The Spearman count reports this many times (fewer for tiny n).
constexpr std::size_t SpearmanStages = 16;

TReal Percent(std::int64_t done, std::int64_t all) { return static_cast<TReal>(done) * 100 / static_cast<TReal>(all); }

// C(n, k) exactly, or nothing when it exceeds `limit`. After step i the
// product is C(n - k + i, i), so every division is exact; dividing by the
// common factor first keeps the product itself below the limit.
std::optional<TCount> ExactBinomial(std::int64_t n, std::int64_t k, TCount limit) {
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

// A Kruskal-Wallis problem with more arrangements is not counted.
constexpr std::uint64_t Unbounded = std::uint64_t{1} << 62;
// The scaling multiple of the group sizes; far above anything a countable
// problem needs, and low enough that every scaled statistic fits 128 bits.
constexpr std::uint64_t MaxCommonMultiple = std::uint64_t{1} << 40;
constexpr int MaxFriedmanColumns = 8;

// Counts a problem of two groups or more with the method asked for, or with
// the one estimated to be quickest; a method that runs out of room hands
// over to the next.
TExactCount CountKruskalWallis(const detail::TKruskalWallisProblem& problem, const TStageReport& report,
                               TKruskalWallisMethod method) {
  TExactCount result;
  if (problem.Sizes.size() == 1) {
    result.Total = 1;
    result.AtLeastAsExtreme = detail::Scaled(problem.Weights[0], problem.TotalRankSum) >= problem.Observed ? 1 : 0;
    return result;
  }
  const bool visitFirst = method == TKruskalWallisMethod::VisitedRankSumTables;
  const std::unique_ptr<detail::TKruskalWallisCounter> table = detail::MakeRankSumTableCount(problem, visitFirst);
  const std::unique_ptr<detail::TKruskalWallisCounter> enumeration = detail::MakeGroupEnumeration(problem);
  const std::unique_ptr<detail::TKruskalWallisCounter> split = detail::MakeSplitCount(problem);
  bool useEnumeration = false;
  bool useSplit = false;
  switch (method) {
    case TKruskalWallisMethod::Automatic: {
      // The estimates count different steps; these weights make them
      // comparable (measured times per estimated step).
      const long double tableWork = table->Work();
      const long double enumerationWork = enumeration->Work();
      const long double splitWork = 3 * split->Work();
      useEnumeration = enumeration->Usable() && enumerationWork < tableWork;
      const long double best = useEnumeration ? enumerationWork : tableWork;
      useSplit = split->Usable() && splitWork < best;
      break;
    }
    case TKruskalWallisMethod::RankSumTable:
    case TKruskalWallisMethod::VisitedRankSumTables:
      break;
    case TKruskalWallisMethod::GroupEnumeration:
      useEnumeration = enumeration->Usable();
      break;
    case TKruskalWallisMethod::SplitGroups:
      useSplit = split->Usable();
      break;
  }
  if (useSplit) {
    split->Count(report, result);
    return result;
  }
  if (!useEnumeration) {
    if (table->Count(report, result)) return result;
    result = TExactCount{};
  }
  if (enumeration->Usable()) {
    enumeration->Count(report, result);
  } else if (split->Usable()) {
    split->Count(report, result);
  } else {
    result.Status = TExactStatus::TooLong;
  }
  return result;
}

}  // namespace

TStageReport ExactProgressReport(TCalcProgress& progress) {
  return [&progress](TReal percentDone) { return progress.ReportExactProgress(percentDone); };
}

TExactStatus StatusFromAnswer(TProgressAnswer answer) {
  switch (answer) {
    case TProgressAnswer::Continue:
      return TExactStatus::Exact;
    case TProgressAnswer::Cancelled:
      return TExactStatus::Cancelled;
    case TProgressAnswer::TooLong:
      return TExactStatus::TooLong;
  }
  return TExactStatus::TooLong;
}

TExactCount CountSignedRankPatterns(std::int32_t n, TReal threshold, const TStageReport& report) {
  TExactCount result;
  if (n < 0 || n > MaxSignedRankCount) {
    result.Status = TExactStatus::TooLong;
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
    const TProgressAnswer answer = ReportStage(report, Percent(rank, n));
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
      ExactBinomial(total, chosen, static_cast<TCount>(std::numeric_limits<std::int64_t>::max()));
  if (!all) {
    result.Status = TExactStatus::TooLong;
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
    const TProgressAnswer answer = ReportStage(report, Percent(rank, total));
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
    result.Status = TExactStatus::TooLong;
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
          ReportStage(report, Percent(static_cast<std::int64_t>(set), static_cast<std::int64_t>(sets)));
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
  const std::optional<TCount> c = ExactBinomial(n, k, static_cast<TCount>(MaxRankSumArrangements));
  return c ? static_cast<std::int64_t>(*c) : MaxRankSumArrangements;
}

std::uint64_t RankArrangements(std::span<const std::int32_t> sizes, std::uint64_t limit) {
  std::int64_t left = 0;
  for (const std::int32_t size : sizes) {
    if (size < 1) return 0;
    left += size;
  }
  std::uint64_t product = 1;
  for (const std::int32_t size : sizes) {
    // C(left, size) built up as C(left - size + i, i), i = 1..size; each
    // partial coefficient is no larger than the whole one.
    const std::int64_t k = std::min<std::int64_t>(size, left - size);
    TWide binomial = 1;
    for (std::int64_t i = 1; i <= k; ++i) {
      binomial = binomial * static_cast<TWide>(left - k + i) / static_cast<TWide>(i);
      if (binomial > limit) return 0;
    }
    const TWide next = static_cast<TWide>(product) * binomial;
    if (next > limit) return 0;
    product = static_cast<std::uint64_t>(next);
    left -= size;
  }
  return product;
}

TExactCount CountKruskalWallisExtremes(std::span<const std::int32_t> sizes,
                                       std::span<const std::int64_t> observedRankSums, const TStageReport& report,
                                       TKruskalWallisMethod method) {
  TExactCount result;
  result.Status = TExactStatus::TooLong;
  if (sizes.empty() || sizes.size() != observedRankSums.size()) return result;
  try {
    detail::TKruskalWallisProblem problem;
    std::uint64_t multiple = 1;
    for (const std::int32_t size : sizes) {
      if (size < 1) return result;
      problem.N += size;
      multiple = std::lcm(multiple, static_cast<std::uint64_t>(size));
      if (multiple > MaxCommonMultiple) return result;
    }
    problem.TotalRankSum = static_cast<std::int64_t>(problem.N) * (problem.N + 1) / 2;
    problem.Arrangements = RankArrangements(sizes, Unbounded);
    if (problem.Arrangements == 0) return result;
    for (std::size_t i = 0; i < sizes.size(); ++i)
      problem.Observed += detail::Scaled(multiple / static_cast<std::uint64_t>(sizes[i]), observedRankSums[i]);
    problem.Sizes.assign(sizes.begin(), sizes.end());
    std::sort(problem.Sizes.begin(), problem.Sizes.end());
    for (const std::int32_t size : problem.Sizes)
      problem.Weights.push_back(multiple / static_cast<std::uint64_t>(size));
    return CountKruskalWallis(problem, report, method);
  } catch (const std::bad_alloc&) {
    return result;
  }
}

std::uint64_t FriedmanArrangements(std::int32_t columns, std::int32_t rows, std::uint64_t limit) {
  if (columns < 1 || rows < 0) return 0;
  TWide factorial = 1;
  for (std::int32_t i = 2; i <= columns; ++i) {
    factorial *= static_cast<TWide>(i);
    if (factorial > limit) return 0;
  }
  TWide product = 1;
  for (std::int32_t row = 0; row < rows; ++row) {
    product *= factorial;
    if (product > limit) return 0;
  }
  return static_cast<std::uint64_t>(product);
}

TExactCount CountFriedmanExtremes(std::int32_t columns, std::int32_t rows, std::int64_t observedSumOfSquares,
                                  const TStageReport& report) {
  TExactCount result;
  result.Status = TExactStatus::TooLong;
  if (columns < 1 || columns > MaxFriedmanColumns || rows < 0) return result;
  const auto k = static_cast<std::size_t>(columns);
  const int bits = BitWidth(static_cast<std::uint64_t>(columns) * static_cast<std::uint64_t>(rows));
  if (bits * columns > 63) return result;
  const std::uint64_t sumMask = (std::uint64_t{1} << bits) - 1;
  try {
    std::vector<std::array<std::uint64_t, MaxFriedmanColumns>> permutations;
    std::array<std::uint64_t, MaxFriedmanColumns> ranks{};
    std::iota(ranks.begin(), ranks.begin() + columns, std::uint64_t{1});
    do {
      permutations.push_back(ranks);
    } while (std::next_permutation(ranks.begin(), ranks.begin() + columns));

    // Every column takes one rank per row, so the counts do not change when
    // columns are exchanged: a state is the rank-sum vector sorted in
    // descending order and stands for all its permutations.
    const auto pack = [&](std::array<std::uint64_t, MaxFriedmanColumns> sums) {
      std::sort(sums.begin(), sums.begin() + columns, [](std::uint64_t a, std::uint64_t b) { return a > b; });
      std::uint64_t key = 0;
      for (std::size_t j = 0; j < k; ++j) key |= sums[j] << (bits * static_cast<int>(j));
      return key;
    };
    const auto unpack = [&](std::uint64_t key) {
      std::array<std::uint64_t, MaxFriedmanColumns> sums{};
      for (std::size_t j = 0; j < k; ++j) sums[j] = (key >> (bits * static_cast<int>(j))) & sumMask;
      return sums;
    };

    std::map<std::uint64_t, std::uint64_t> current{{0, 1}};
    std::map<std::uint64_t, std::uint64_t> next;
    for (std::int32_t row = 1; row <= rows; ++row) {
      next.clear();
      for (const auto& [key, count] : current) {
        const std::array<std::uint64_t, MaxFriedmanColumns> sums = unpack(key);
        for (const auto& permutation : permutations) {
          std::array<std::uint64_t, MaxFriedmanColumns> added = sums;
          for (std::size_t j = 0; j < k; ++j) added[j] += permutation[j];
          next[pack(added)] += count;
        }
      }
      current.swap(next);
      const TProgressAnswer answer = ReportStage(report, static_cast<TReal>(row) * 100 / static_cast<TReal>(rows));
      if (answer != TProgressAnswer::Continue) {
        result.Status = StatusFromAnswer(answer);
        return result;
      }
    }
    for (const auto& [key, count] : current) {
      const std::array<std::uint64_t, MaxFriedmanColumns> sums = unpack(key);
      std::uint64_t squares = 0;
      for (std::size_t j = 0; j < k; ++j) squares += sums[j] * sums[j];
      result.Total += count;
      if (static_cast<std::int64_t>(squares) >= observedSumOfSquares) result.AtLeastAsExtreme += count;
    }
    result.Status = TExactStatus::Exact;
    return result;
  } catch (const std::bad_alloc&) {
    result = TExactCount{};
    result.Status = TExactStatus::TooLong;
    return result;
  }
}

}  // namespace ombrel
