#include "core/stats/ExactRankCounts.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

#include "core/base/CalcProgress.h"

namespace ombrel {

namespace {

// Scaled statistics of large groups exceed 64 bits: with N ranks the squared
// rank sum of the largest group alone approaches N^4 / 4.
__extension__ typedef unsigned __int128 TWide;

constexpr std::uint64_t Unbounded = std::uint64_t{1} << 62;
// A layer of the rank-sum table beyond this many states would take more than
// 64 MB; the table then leaves its first group to be visited one by one.
constexpr std::size_t MaxLayerStates = std::size_t{1} << 22;
// The scaling multiple of the group sizes; far above anything a countable
// problem needs, and low enough that every scaled statistic fits 128 bits.
constexpr std::uint64_t MaxCommonMultiple = std::uint64_t{1} << 40;
// Group-by-group counting reports progress at most after this many visits.
constexpr std::uint64_t MaxStepsPerReport = std::uint64_t{1} << 14;
constexpr int MaxFriedmanColumns = 8;

TRankCountRun RunOf(TProgressAnswer answer) {
  return answer == TProgressAnswer::Cancelled ? TRankCountRun::Cancelled : TRankCountRun::TooLong;
}

int BitWidth(std::uint64_t value) { return static_cast<int>(std::bit_width(value)); }

// ---------------------------------------------------------------------------
// Kruskal-Wallis

constexpr std::size_t MaxGroups = 26;
// Beyond these the subset-sum tables of the group enumeration would not fit
// their integers or would take too much memory.
constexpr long double MaxSubsetCount = 1e18L;
constexpr long double MaxSubsetTableEntries = 16e6L;

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

TWide Scaled(std::uint64_t weight, std::int64_t rankSum) {
  const TWide sum = static_cast<TWide>(rankSum < 0 ? -rankSum : rankSum);
  return static_cast<TWide>(weight) * sum * sum;
}

long double Binomial(std::int64_t n, std::int64_t k) {
  if (k < 0 || k > n) return 0;
  long double value = 1;
  for (std::int64_t i = 1; i <= k; ++i)
    value = value * static_cast<long double>(n - k + i) / static_cast<long double>(i);
  return value;
}

// One group of the rank-sum table: its packed field holds the count of ranks
// it has taken, above their sum.
struct TTrackedGroup {
  std::int32_t Size = 0;
  int Shift = 0;  // position of the field in the key
  int SumBits = 0;
  std::uint64_t FieldMask = 0;
  std::size_t RunBegin = 0;  // groups of equal size form a run kept in descending field order
  bool InRun = false;        // the run has more than one group
};

struct TState {
  std::uint64_t Key = 0;
  std::uint64_t Count = 0;
};

enum class TTableOutcome { Counted, TooManyStates };

// Counts by handing the ranks out one at a time in ascending order. A state
// is the (count, sum) of every group but the last, whose share follows from
// them, packed into one key; groups of equal size are interchangeable, so
// their fields are kept sorted and a state stands for all its permutations.
// A state whose groups are all complete is settled at once: the last group
// takes every rank left. Each layer of states is kept sorted by key: giving
// the rank to a group adds the same amount to every key, so the next layer is
// a merge of sorted streams read straight through the current one. The table
// can also count a subset of the ranks for the groups from a given one on,
// the groups before it having taken the other ranks.
class TRankSumTable {
 public:
  TRankSumTable(const TKruskalWallisProblem& problem, std::size_t firstGroup)
      : mProblem(problem), mFirstGroup(firstGroup) {
    const std::size_t tracked = problem.Sizes.size() - 1 - firstGroup;
    int shift = 0;
    for (std::size_t i = 0; i < tracked; ++i) {
      TTrackedGroup group;
      group.Size = problem.Sizes[firstGroup + i];
      const std::int64_t n = group.Size;
      const std::int64_t largestSum = n * (2 * problem.N - n + 1) / 2;
      group.SumBits = BitWidth(static_cast<std::uint64_t>(largestSum));
      const int width = group.SumBits + BitWidth(static_cast<std::uint64_t>(n));
      group.Shift = shift;
      group.FieldMask = (std::uint64_t{1} << width) - 1;
      group.RunBegin = (i > 0 && mGroups[i - 1].Size == group.Size) ? mGroups[i - 1].RunBegin : i;
      shift += width;
      mGroups.push_back(group);
    }
    mFits = shift <= 63;
    if (!mFits) return;
    for (TTrackedGroup& group : mGroups) {
      group.InRun = (&group != &mGroups.back() && (&group + 1)->RunBegin == group.RunBegin) ||
                    group.RunBegin != static_cast<std::size_t>(&group - mGroups.data());
      mCountMask |= (group.FieldMask >> group.SumBits) << (group.Shift + group.SumBits);
      mFullCounts |= static_cast<std::uint64_t>(group.Size) << (group.Shift + group.SumBits);
      mAnyRun = mAnyRun || group.InRun;
    }
  }

  bool Fits() const { return mFits; }

  // A generous estimate of the work: for each group the (count, sum) pairs
  // it can reach, divided among interchangeable groups, once per rank.
  long double Work() const {
    long double states = 1;
    std::size_t runLength = 0;
    for (std::size_t i = 0; i < mGroups.size(); ++i) {
      const std::int64_t n = mGroups[i].Size;
      long double pairs = 0;
      for (std::int64_t c = 0; c <= n; ++c) pairs += static_cast<long double>(c * (mProblem.N - c) + 1);
      runLength = mGroups[i].RunBegin == i ? 1 : runLength + 1;
      states = states * pairs / static_cast<long double>(runLength);
    }
    const long double work = states * static_cast<long double>(mProblem.N) * static_cast<long double>(mGroups.size() + 1);
    // Interchangeable groups' transitions are sorted rather than merged.
    return mAnyRun ? work * (1 + std::log2(states + 1) / 8) : work;
  }

  // Counts the divisions of `ranks` (ascending) among the table's groups and
  // the last group, adding to `result`; the groups before the table's first
  // one hold the rest, with statistic `placed` and rank sum `placedSum`.
  // Progress runs from `base` over `span` percent.
  TTableOutcome Count(std::span<const std::int32_t> ranks, TWide placed, std::int64_t placedSum, TReal base,
                      TReal span, TCalcProgress& progress, TRankCount& result) {
    mPlaced = placed;
    mPlacedSum = placedSum;
    std::vector<TState> current{TState{0, 1}};
    std::vector<TState> next;
    std::vector<TState> shuffled;
    TRankCount counted;
    for (std::size_t step = 0; step < ranks.size() && !current.empty(); ++step) {
      const std::int32_t rank = ranks[step];
      if (mAnyRun) Shuffle(rank, current, shuffled, counted);
      Merge(static_cast<std::int64_t>(step), rank, current, shuffled, next, counted);
      if (next.size() > MaxLayerStates) return TTableOutcome::TooManyStates;
      current.swap(next);
      const TReal done = static_cast<TReal>(step + 1) / static_cast<TReal>(ranks.size());
      const TProgressAnswer answer = progress.ReportExactProgress(base + span * done);
      if (answer != TProgressAnswer::Continue) {
        result.Run = RunOf(answer);
        return TTableOutcome::Counted;
      }
    }
    result.Total += counted.Total;
    result.Extreme += counted.Extreme;
    return TTableOutcome::Counted;
  }

 private:
  static constexpr std::uint64_t NoKey = ~std::uint64_t{0};

  std::uint64_t Taken(std::uint64_t key, const TTrackedGroup& group) const {
    return ((key >> group.Shift) & group.FieldMask) >> group.SumBits;
  }

  // The transitions of groups that share their size with others: the grown
  // field may move within its run, so these keys are sorted afterwards.
  void Shuffle(std::int32_t rank, const std::vector<TState>& current, std::vector<TState>& shuffled,
               TRankCount& result) const {
    shuffled.clear();
    std::array<std::uint64_t, MaxGroups> fields{};
    for (const TState& state : current) {
      for (std::size_t i = 0; i < mGroups.size(); ++i)
        fields[i] = (state.Key >> mGroups[i].Shift) & mGroups[i].FieldMask;
      for (std::size_t i = 0; i < mGroups.size(); ++i) {
        const TTrackedGroup& group = mGroups[i];
        if (!group.InRun || (fields[i] >> group.SumBits) >= static_cast<std::uint64_t>(group.Size)) continue;
        std::array<std::uint64_t, MaxGroups> moved = fields;
        moved[i] += (std::uint64_t{1} << group.SumBits) + static_cast<std::uint64_t>(rank);
        // The field grew, so it moves towards the front of its run.
        for (std::size_t j = i; j > group.RunBegin && moved[j - 1] < moved[j]; --j) std::swap(moved[j - 1], moved[j]);
        std::uint64_t key = 0;
        for (std::size_t j = 0; j < mGroups.size(); ++j) key |= moved[j] << mGroups[j].Shift;
        if ((key & mCountMask) == mFullCounts) {
          Settle(key, state.Count, result);
        } else {
          shuffled.push_back(TState{key, state.Count});
        }
      }
    }
    std::sort(shuffled.begin(), shuffled.end(), [](const TState& a, const TState& b) { return a.Key < b.Key; });
    std::size_t kept = 0;
    for (std::size_t i = 0; i < shuffled.size(); ++i) {
      if (kept > 0 && shuffled[kept - 1].Key == shuffled[i].Key) {
        shuffled[kept - 1].Count += shuffled[i].Count;
      } else {
        shuffled[kept++] = shuffled[i];
      }
    }
    shuffled.resize(kept);
  }

  // One sorted stream of the next layer: the last group taking the rank
  // (Source == groups), one group of its own size taking it (Source < groups),
  // or the shuffled transitions (Source == groups + 1).
  struct TCursor {
    std::size_t Source = 0;
    std::size_t Position = 0;
    std::uint64_t Head = 0;
    std::uint64_t Count = 0;
  };

  void Advance(TCursor& cursor, std::int64_t step, std::int32_t rank, const std::vector<TState>& current,
               const std::vector<TState>& shuffled, TRankCount& result) const {
    const std::size_t groups = mGroups.size();
    if (cursor.Source == groups + 1) {
      if (cursor.Position < shuffled.size()) {
        cursor.Head = shuffled[cursor.Position].Key;
        cursor.Count = shuffled[cursor.Position].Count;
      } else {
        cursor.Head = NoKey;
      }
      return;
    }
    for (; cursor.Position < current.size(); ++cursor.Position) {
      const TState& state = current[cursor.Position];
      if (cursor.Source == groups) {
        std::int64_t handedOut = 0;
        for (const TTrackedGroup& group : mGroups) handedOut += static_cast<std::int64_t>(Taken(state.Key, group));
        if (step - handedOut >= mProblem.Sizes.back()) continue;
        cursor.Head = state.Key;
        cursor.Count = state.Count;
        return;
      }
      const TTrackedGroup& group = mGroups[cursor.Source];
      if (Taken(state.Key, group) >= static_cast<std::uint64_t>(group.Size)) continue;
      const std::uint64_t key =
          state.Key + (((std::uint64_t{1} << group.SumBits) + static_cast<std::uint64_t>(rank)) << group.Shift);
      if ((key & mCountMask) == mFullCounts) {
        Settle(key, state.Count, result);
        continue;
      }
      cursor.Head = key;
      cursor.Count = state.Count;
      return;
    }
    cursor.Head = NoKey;
  }

  void Merge(std::int64_t step, std::int32_t rank, const std::vector<TState>& current,
             const std::vector<TState>& shuffled, std::vector<TState>& next, TRankCount& result) const {
    next.clear();
    next.reserve(current.size() * 2);
    std::array<TCursor, MaxGroups + 2> cursors{};
    std::size_t streams = 0;
    for (std::size_t source = 0; source <= mGroups.size() + 1; ++source) {
      if (source < mGroups.size() && mGroups[source].InRun) continue;
      if (source == mGroups.size() + 1 && shuffled.empty()) continue;
      cursors[streams].Source = source;
      Advance(cursors[streams], step, rank, current, shuffled, result);
      ++streams;
    }
    while (true) {
      std::size_t lowest = 0;
      for (std::size_t i = 1; i < streams; ++i)
        if (cursors[i].Head < cursors[lowest].Head) lowest = i;
      TCursor& cursor = cursors[lowest];
      if (cursor.Head == NoKey) break;
      if (!next.empty() && next.back().Key == cursor.Head) {
        next.back().Count += cursor.Count;
      } else {
        next.push_back(TState{cursor.Head, cursor.Count});
      }
      ++cursor.Position;
      Advance(cursor, step, rank, current, shuffled, result);
    }
  }

  void Settle(std::uint64_t key, std::uint64_t count, TRankCount& result) const {
    TWide statistic = mPlaced;
    std::int64_t handedOut = mPlacedSum;
    for (std::size_t i = 0; i < mGroups.size(); ++i) {
      const std::uint64_t sumMask = (std::uint64_t{1} << mGroups[i].SumBits) - 1;
      const auto sum = static_cast<std::int64_t>((key >> mGroups[i].Shift) & sumMask);
      statistic += Scaled(mProblem.Weights[mFirstGroup + i], sum);
      handedOut += sum;
    }
    statistic += Scaled(mProblem.Weights.back(), mProblem.TotalRankSum - handedOut);
    result.Total += count;
    if (statistic >= mProblem.Observed) result.Extreme += count;
  }

  const TKruskalWallisProblem& mProblem;
  std::size_t mFirstGroup = 0;
  std::vector<TTrackedGroup> mGroups;
  bool mFits = false;
  bool mAnyRun = false;
  TWide mPlaced = 0;
  std::int64_t mPlacedSum = 0;
  std::uint64_t mCountMask = 0;   // the count parts of all fields
  std::uint64_t mFullCounts = 0;  // every group complete
};

// How many j-subsets of 1..N have a sum of at most s, for j = 0..k. The
// counts by sum are the coefficients of the Gaussian binomial [N over j]
// (shifted by j(j+1)/2), built from [N over j - 1] by one multiplication by
// 1 - q^(N-j+1) and one exact division by 1 - q^j.
class TSubsetSums {
 public:
  TSubsetSums(std::int32_t n, std::int32_t k) : mCumulative(static_cast<std::size_t>(k) + 1) {
    std::vector<std::int64_t> coefficients{1};
    mCumulative[0] = coefficients;
    for (std::int32_t j = 1; j <= k; ++j) {
      const auto factor = static_cast<std::size_t>(n - j + 1);
      std::vector<std::int64_t> product(coefficients.size() + factor, 0);
      for (std::size_t d = 0; d < coefficients.size(); ++d) {
        product[d] += coefficients[d];
        product[d + factor] -= coefficients[d];
      }
      const auto degree = static_cast<std::size_t>(j) * static_cast<std::size_t>(n - j);
      const auto divisor = static_cast<std::size_t>(j);
      coefficients.assign(degree + 1, 0);
      for (std::size_t d = 0; d <= degree; ++d)
        coefficients[d] = product[d] + (d >= divisor ? coefficients[d - divisor] : 0);
      std::vector<std::int64_t>& cumulative = mCumulative[static_cast<std::size_t>(j)];
      cumulative.resize(coefficients.size());
      std::partial_sum(coefficients.begin(), coefficients.end(), cumulative.begin());
    }
  }

  std::int64_t AtMost(std::int32_t j, std::int64_t s) const {
    const std::vector<std::int64_t>& cumulative = mCumulative[static_cast<std::size_t>(j)];
    const std::int64_t offset = s - std::int64_t{j} * (j + 1) / 2;
    if (offset < 0) return 0;
    if (offset >= static_cast<std::int64_t>(cumulative.size())) return cumulative.back();
    return cumulative[static_cast<std::size_t>(offset)];
  }

 private:
  std::vector<std::vector<std::int64_t>> mCumulative;
};

// Counts group by group, as the arrangements are defined: each group takes a
// combination of the ranks left. The groups but the two largest are visited
// (interchangeable ones in one order only, each visit standing for all their
// orders); the largest but one is then counted without being visited: the
// statistic is a convex quadratic in its rank sum X, so the arrangements that
// reach the observed value are those with X up to one bound or from another,
// and the subsets avoiding the ranks already taken with a sum up to a bound
// follow from the subset-sum tables by inclusion and exclusion of those
// ranks. This suits small groups beside large ones, where the rank-sum table
// would grow with every possible sum of each small group.
class TGroupEnumeration {
 public:
  TGroupEnumeration(const TKruskalWallisProblem& problem, TCalcProgress& progress)
      : mProblem(problem), mProgress(progress), mUsed(static_cast<std::size_t>(problem.N) + 1, 0) {
    const std::size_t last = problem.Sizes.size() - 1;
    mCounted = last - 1;
    mCountedSize = problem.Sizes[mCounted];
    std::int64_t taken = 0;
    for (std::size_t i = 0; i < mCounted; ++i) {
      taken += problem.Sizes[i];
      mRunLength.push_back(i > 0 && problem.Sizes[i - 1] == problem.Sizes[i] ? mRunLength.back() + 1 : 1);
      mMultiplicity *= static_cast<std::uint64_t>(mRunLength.back());
    }
    mFree = problem.N - taken;
    const long double choices = Binomial(mFree, mCountedSize);
    mChoices = static_cast<std::int64_t>(choices);
    const long double k = mCountedSize;
    const long double tableEntries = k * k * static_cast<long double>(problem.N) / 2 + k;
    mUsable = Binomial(problem.N, mCountedSize) <= MaxSubsetCount && tableEntries <= MaxSubsetTableEntries;
    const long double visits =
        static_cast<long double>(problem.Arrangements) / choices / static_cast<long double>(mMultiplicity);
    // Per visit: the subsets of the free ranks one by one, or the terms of
    // the inclusion and exclusion of the taken ranks.
    const long double terms = Binomial(taken + mCountedSize, mCountedSize);
    mDirect = choices <= terms;
    // Progress in about 32 stages, never more often than every few thousand visits.
    mStepsPerReport = std::clamp<std::uint64_t>(static_cast<std::uint64_t>(visits / 32), 1, MaxStepsPerReport);
    // Each term of the inclusion and exclusion is a step of a recursion and
    // is taken once for each end of the range that reaches the observed value.
    mWork = mDirect ? 5 * visits * (choices + static_cast<long double>(problem.N))
                    : visits * (12 * terms + 64) + 5 * tableEntries * static_cast<long double>(mCountedSize);
  }

  bool Usable() const { return mUsable; }
  long double Work() const { return mWork; }

  void Count(TRankCount& result) {
    mResult = TRankCount{};
    if (!mDirect) mSums = std::make_unique<TSubsetSums>(mProblem.N, mCountedSize);
    Visit(0, 0, 0, 0);
    result = mResult;
  }

 private:
  void Visit(std::size_t position, TWide partial, std::int64_t handedOut, std::int32_t previousFirst) {
    if (position == mCounted) {
      CountRest(partial, handedOut);
      Step();
      return;
    }
    const std::int32_t from = mRunLength[position] > 1 ? previousFirst + 1 : 1;
    Choose(position, mProblem.Sizes[position], from, 0, partial, handedOut, 0);
  }

  void Choose(std::size_t position, std::int32_t left, std::int32_t from, std::int64_t sum, TWide partial,
              std::int64_t handedOut, std::int32_t first) {
    const std::int32_t size = mProblem.Sizes[position];
    for (std::int32_t rank = from; rank <= mProblem.N - left + 1 && !mStopped; ++rank) {
      const auto at = static_cast<std::size_t>(rank);
      if (mUsed[at] != 0) continue;
      mUsed[at] = 1;
      mUsedRanks.push_back(rank);
      const std::int32_t groupFirst = left == size ? rank : first;
      if (left == 1) {
        const std::int64_t groupSum = sum + rank;
        Visit(position + 1, partial + Scaled(mProblem.Weights[position], groupSum), handedOut + groupSum,
              groupFirst);
      } else {
        Choose(position, left - 1, rank + 1, sum + rank, partial, handedOut, groupFirst);
      }
      mUsedRanks.pop_back();
      mUsed[at] = 0;
    }
  }

  // The counted group takes a subset of the free ranks, the last group the rest.
  void CountRest(TWide partial, std::int64_t handedOut) {
    const auto all = static_cast<std::uint64_t>(mChoices);
    mResult.Total += all * mMultiplicity;
    if (partial >= mProblem.Observed) {
      mResult.Extreme += all * mMultiplicity;
      return;
    }
    const TWide needed = mProblem.Observed - partial;
    const TWide countedWeight = mProblem.Weights[mCounted];
    const TWide lastWeight = mProblem.Weights.back();
    const std::int64_t rest = mProblem.TotalRankSum - handedOut;
    const auto reaches = [&](std::int64_t sum) {
      const std::int64_t other = rest - sum;
      const TWide x = static_cast<TWide>(sum);
      const TWide o = static_cast<TWide>(other < 0 ? -other : other);
      return countedWeight * x * x + lastWeight * o * o >= needed;
    };
    if (mDirect) {
      mFreeRanks.clear();
      for (std::int32_t rank = 1; rank <= mProblem.N; ++rank)
        if (mUsed[static_cast<std::size_t>(rank)] == 0) mFreeRanks.push_back(rank);
      mResult.Extreme += CountSubsets(0, mCountedSize, 0, reaches) * mMultiplicity;
      return;
    }
    const std::int64_t k = mCountedSize;
    const std::int64_t lowest = k * (k + 1) / 2;
    const std::int64_t highest = k * (2 * mProblem.N - k + 1) / 2;
    // The quadratic falls up to its vertex and rises after it.
    const auto vertex = static_cast<std::int64_t>(lastWeight * static_cast<TWide>(rest) / (countedWeight + lastWeight));
    const std::int64_t fallEnd = std::clamp<std::int64_t>(vertex, lowest - 1, highest);
    std::int64_t count = 0;
    if (fallEnd >= lowest && reaches(lowest)) {
      std::int64_t lo = lowest;
      std::int64_t hi = fallEnd;
      while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo + 1) / 2;
        if (reaches(mid)) {
          lo = mid;
        } else {
          hi = mid - 1;
        }
      }
      count += AvoidingAtMost(0, mCountedSize, lo);
    }
    if (fallEnd + 1 <= highest && reaches(highest)) {
      std::int64_t lo = fallEnd + 1;
      std::int64_t hi = highest;
      while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (reaches(mid)) {
          hi = mid;
        } else {
          lo = mid + 1;
        }
      }
      count += mChoices - AvoidingAtMost(0, mCountedSize, lo - 1);
    }
    mResult.Extreme += static_cast<std::uint64_t>(count) * mMultiplicity;
  }

  // The subsets of the free ranks from `from` on with `left` more ranks
  // whose sum reaches the observed statistic.
  template <class TReaches>
  std::uint64_t CountSubsets(std::size_t from, std::int32_t left, std::int64_t sum, const TReaches& reaches) const {
    if (left == 0) return reaches(sum) ? 1 : 0;
    std::uint64_t count = 0;
    const std::size_t end = mFreeRanks.size() - static_cast<std::size_t>(left) + 1;
    for (std::size_t i = from; i < end; ++i) count += CountSubsets(i + 1, left - 1, sum + mFreeRanks[i], reaches);
    return count;
  }

  // The j-subsets of 1..N that avoid the taken ranks from `index` on and sum
  // to at most s: (1 + y x^u)^-1 = sum of (-y x^u)^m for each such rank u.
  std::int64_t AvoidingAtMost(std::size_t index, std::int32_t j, std::int64_t s) const {
    const std::int64_t lowest = std::int64_t{j} * (j + 1) / 2;
    if (s < lowest) return 0;
    if (index == mUsedRanks.size()) return mSums->AtMost(j, s);
    std::int64_t total = 0;
    std::int64_t sign = 1;
    for (std::int32_t m = 0; m <= j; ++m) {
      total += sign * AvoidingAtMost(index + 1, j - m, s - std::int64_t{m} * mUsedRanks[index]);
      sign = -sign;
    }
    return total;
  }

  void Step() {
    if (++mSteps % mStepsPerReport != 0) return;
    const TReal percent = static_cast<TReal>(mResult.Total) * 100 / static_cast<TReal>(mProblem.Arrangements);
    const TProgressAnswer answer = mProgress.ReportExactProgress(percent);
    if (answer == TProgressAnswer::Continue) return;
    mResult.Run = RunOf(answer);
    mStopped = true;
  }

  const TKruskalWallisProblem& mProblem;
  TCalcProgress& mProgress;
  std::size_t mCounted = 0;      // the group counted without visits; all before it are visited
  std::int32_t mCountedSize = 0;
  std::int64_t mFree = 0;        // ranks left for the counted and the last group
  std::int64_t mChoices = 0;     // subsets the counted group can take from them
  std::vector<std::int32_t> mRunLength;  // position among the equal sizes before it, from 1
  std::uint64_t mMultiplicity = 1;       // orders each visit stands for
  bool mUsable = false;
  bool mDirect = false;  // count the counted group's subsets one by one
  long double mWork = 0;
  std::unique_ptr<TSubsetSums> mSums;
  std::vector<std::uint8_t> mUsed;
  std::vector<std::int32_t> mUsedRanks;
  std::vector<std::int32_t> mFreeRanks;
  TRankCount mResult;
  std::uint64_t mSteps = 0;
  std::uint64_t mStepsPerReport = 1;
  bool mStopped = false;
};

// Counts by splitting the groups in two sides. For every set of ranks the
// first side can take, the statistics of all divisions of that set among the
// first side's groups and of the other ranks among the second side's groups
// are listed with their numbers of divisions and sorted; the pairs whose sum
// reaches the observed value are then counted in one sweep. A side of two
// groups is listed by the rank sum of its smaller group, a side of more
// groups division by division, interchangeable groups in one order only,
// each division standing for all their orders. The work grows with the
// number of rank sets times the length of the lists, so this suits many
// small groups, where the rank-sum table has too many states; the split is
// chosen to make that product smallest.
class TSplitCount {
 public:
  explicit TSplitCount(const TKruskalWallisProblem& problem) : mProblem(problem) {
    const std::size_t groups = problem.Sizes.size();
    if (groups < 2 || groups > MaxSplitGroups || problem.N > MaxSplitRanks) return;
    // The first group is always on the first side: the two sides are interchangeable.
    for (std::uint32_t mask = 1; mask < (std::uint32_t{1} << groups) - 1; mask += 2) {
      std::array<TSide, 2> sides;
      for (std::size_t g = 0; g < groups; ++g) sides[((mask >> g) & 1) != 0 ? 0 : 1].Groups.push_back(g);
      Describe(sides[0]);
      Describe(sides[1]);
      if (sides[0].Entries > MaxSplitList || sides[1].Entries > MaxSplitList) continue;
      const long double sets = Binomial(problem.N, sides[0].Ranks);
      // Each set also costs its rank lists and their setting up.
      const long double work = sets * (sides[0].Work + sides[1].Work + static_cast<long double>(problem.N) + 16);
      if (mUsable && work >= mWork) continue;
      mUsable = true;
      mWork = work;
      mSets = sets;
      mSides = sides;
    }
    long double largest = 0;
    for (std::size_t g = 0; g < groups; ++g) {
      const long double n = problem.Sizes[g];
      const long double sum = n * (2 * static_cast<long double>(problem.N) - n + 1) / 2;
      largest += static_cast<long double>(problem.Weights[g]) * sum * sum;
    }
    // Every statistic of a problem this small fits 64 bits, but make sure.
    mUsable = mUsable && largest < 0x1p62L && problem.Observed < (TWide{1} << 62);
  }

  bool Usable() const { return mUsable; }
  long double Work() const { return mWork; }

  void Count(TCalcProgress& progress, TRankCount& result) {
    result = TRankCount{};
    const int n = mProblem.N;
    const std::int32_t taken = mSides[0].Ranks;
    const std::uint64_t all = (std::uint64_t{1} << n) - 1;
    const auto observed = static_cast<TValue>(mProblem.Observed);
    std::array<TListing, 2> listings;
    std::array<std::vector<std::int32_t>, 2> ranks;
    long double sinceReport = 0;
    long double visited = 0;
    // Every `taken`-subset of the n rank positions, in increasing order of its bits.
    std::uint64_t set = (std::uint64_t{1} << taken) - 1;
    while (true) {
      std::array<std::uint64_t, 2> weights{};
      for (std::size_t side = 0; side < 2; ++side) {
        const std::uint64_t bits = side == 0 ? set : (all & ~set);
        ranks[side].clear();
        for (std::uint64_t rest = bits; rest != 0; rest &= rest - 1)
          ranks[side].push_back(std::countr_zero(rest) + 1);
        TListing& listing = listings[side];
        listing.Side = &mSides[side];
        listing.Ranks = &ranks[side];
        List(listing);
        for (const TEntry& entry : listing.List) weights[side] += entry.Count;
      }
      result.Total += weights[0] * weights[1];
      result.Extreme += Pairs(listings[0].List, listings[1].List, observed);
      visited += 1;
      sinceReport += mSides[0].Work + mSides[1].Work;
      if (sinceReport >= SplitWorkPerReport) {
        sinceReport = 0;
        const TProgressAnswer answer = progress.ReportExactProgress(visited * 100 / mSets);
        if (answer != TProgressAnswer::Continue) {
          result.Run = RunOf(answer);
          return;
        }
      }
      // The next set with as many bits: the lowest block of ones moves up by one.
      const std::uint64_t lowest = set & (~set + 1);
      const std::uint64_t ripple = set + lowest;
      if ((ripple & ~all) != 0) break;
      set = ripple | (((set ^ ripple) >> 2) / lowest);
    }
  }

 private:
  static constexpr std::size_t MaxSplitGroups = 16;
  static constexpr std::int32_t MaxSplitRanks = 62;
  static constexpr long double MaxSplitList = 1 << 22;
  static constexpr long double SplitWorkPerReport = 1 << 16;
  using TValue = std::uint64_t;

  struct TEntry {
    TValue Value = 0;
    std::uint64_t Count = 0;
  };

  struct TSide {
    std::vector<std::size_t> Groups;  // indices into the problem's groups, ascending sizes
    std::int32_t Ranks = 0;
    long double Entries = 1;         // the length of the side's list
    long double Work = 0;            // listing and sorting it
    std::uint64_t Multiplicity = 1;  // orders each division stands for (more than two groups)
    bool ListSubsets = false;        // two groups: list the smaller one's subsets rather than count by sums
  };

  // The buffers of one side's listing.
  struct TListing {
    const TSide* Side = nullptr;
    const std::vector<std::int32_t>* Ranks = nullptr;
    std::int64_t Total = 0;                  // the side's rank sum
    std::vector<std::uint8_t> Used;          // ranks taken by the groups so far
    std::vector<TValue> Values;              // one per division (more than two groups)
    std::vector<std::uint64_t> Ways;         // subsets of the smaller group by sum (two groups)
    std::vector<std::uint64_t> Layers;       // subset-sum counts by number of ranks and sum
    std::vector<TEntry> ByGroupSum;  // a two-group side's entries by the smaller group's sum
    std::vector<TEntry> List;        // the result, ascending values
  };

  void Describe(TSide& side) const {
    std::int32_t left = 0;
    for (const std::size_t g : side.Groups) left += mProblem.Sizes[g];
    side.Ranks = left;
    const std::int64_t m = left;
    if (side.Groups.size() == 1) {
      side.Work = 1;
      return;
    }
    if (side.Groups.size() == 2) {
      const std::int64_t j = mProblem.Sizes[side.Groups[0]];
      const std::int64_t sums = j * (mProblem.N - j) + 1;
      const long double subsets = Binomial(m, j);
      const long double layers = static_cast<long double>(m * j * (sums + j * j)) / 2;
      side.ListSubsets = subsets <= layers;
      side.Entries = static_cast<long double>(sums);
      side.Work = std::min(subsets, layers) + 3 * side.Entries;
      return;
    }
    std::uint64_t run = 0;
    for (std::size_t i = 0; i < side.Groups.size(); ++i) {
      const std::int32_t size = mProblem.Sizes[side.Groups[i]];
      run = (i > 0 && mProblem.Sizes[side.Groups[i - 1]] == size) ? run + 1 : 1;
      side.Multiplicity *= run;
      side.Entries = side.Entries * Binomial(left, size) / static_cast<long double>(run);
      left -= size;
    }
    side.Work = 2 * side.Entries * (std::log2(side.Entries) + 4);
  }

  TValue Statistic(std::size_t group, std::int64_t rankSum) const {
    return static_cast<TValue>(Scaled(mProblem.Weights[group], rankSum));
  }

  // The side's statistics over the divisions of its ranks (ascending) among
  // its groups, with their counts, ascending.
  void List(TListing& listing) const {
    listing.List.clear();
    listing.Total = 0;
    for (const std::int32_t rank : *listing.Ranks) listing.Total += rank;
    const std::vector<std::size_t>& groups = listing.Side->Groups;
    if (groups.size() == 1) {
      listing.List.push_back(TEntry{Statistic(groups[0], listing.Total), 1});
      return;
    }
    if (groups.size() == 2) {
      ListPair(listing);
      return;
    }
    listing.Used.assign(listing.Ranks->size(), 0);
    listing.Values.clear();
    Divide(listing, 0, 0, 0, 0);
    std::sort(listing.Values.begin(), listing.Values.end());
    const std::uint64_t multiplicity = listing.Side->Multiplicity;
    for (const TValue value : listing.Values) {
      if (!listing.List.empty() && listing.List.back().Value == value) {
        listing.List.back().Count += multiplicity;
      } else {
        listing.List.push_back(TEntry{value, multiplicity});
      }
    }
  }

  // Two groups: the smaller one's rank sum decides the statistic. The number
  // of its subsets by sum comes from listing the subsets when they are few,
  // else from a subset-sum count over the ranks. The statistic is convex in
  // the sum, so the list sorts by merging outwards from its lowest entry.
  void ListPair(TListing& listing) const {
    const std::vector<std::int32_t>& ranks = *listing.Ranks;
    const std::size_t small = listing.Side->Groups[0];
    const std::size_t large = listing.Side->Groups[1];
    const auto j = static_cast<std::size_t>(mProblem.Sizes[small]);
    const std::size_t m = ranks.size();
    std::int64_t lowest = 0;
    std::int64_t highest = 0;
    for (std::size_t i = 0; i < j; ++i) {
      lowest += ranks[i];
      highest += ranks[m - 1 - i];
    }
    const auto width = static_cast<std::size_t>(highest - lowest + 1);
    // Ways[s]: the subsets whose sum is `lowest` + s.
    std::vector<std::uint64_t>& ways = listing.Ways;
    ways.assign(width, 0);
    if (listing.Side->ListSubsets) {
      ListSums(ranks, j, 0, 0, lowest, ways);
    } else {
      const auto span = static_cast<std::size_t>(highest + 1);
      std::vector<std::uint64_t>& layers = listing.Layers;
      layers.assign((j + 1) * span, 0);
      layers[0] = 1;
      std::int64_t reach = 0;  // the largest sum reachable so far
      for (std::size_t i = 0; i < m; ++i) {
        const auto rank = static_cast<std::size_t>(ranks[i]);
        reach = std::min<std::int64_t>(reach + ranks[i], highest);
        for (std::size_t c = std::min(j, i + 1); c >= 1; --c) {
          std::uint64_t* to = &layers[c * span];
          const std::uint64_t* from = &layers[(c - 1) * span];
          for (auto sum = static_cast<std::size_t>(reach); sum >= rank; --sum) to[sum] += from[sum - rank];
        }
      }
      std::copy_n(layers.begin() + static_cast<std::ptrdiff_t>(j * span + static_cast<std::size_t>(lowest)), width,
                  ways.begin());
    }
    std::vector<TEntry>& bySum = listing.ByGroupSum;
    bySum.clear();
    for (std::size_t offset = 0; offset < width; ++offset) {
      if (ways[offset] == 0) continue;
      const std::int64_t sum = lowest + static_cast<std::int64_t>(offset);
      bySum.push_back(
          TEntry{Statistic(small, sum) + Statistic(large, listing.Total - sum), ways[offset]});
    }
    std::size_t bottom = 0;
    for (std::size_t i = 1; i < bySum.size(); ++i)
      if (bySum[i].Value < bySum[bottom].Value) bottom = i;
    std::size_t left = bottom;  // bySum[..left) rises away from the bottom, leftwards
    std::size_t right = bottom;
    listing.List.push_back(bySum[bottom]);
    while (left > 0 || right + 1 < bySum.size()) {
      if (right + 1 >= bySum.size() || (left > 0 && bySum[left - 1].Value <= bySum[right + 1].Value)) {
        listing.List.push_back(bySum[--left]);
      } else {
        listing.List.push_back(bySum[++right]);
      }
    }
  }

  // Adds every `left`-subset of ranks[from..] to `ways` by its sum.
  static void ListSums(const std::vector<std::int32_t>& ranks, std::size_t left, std::size_t from, std::int64_t sum,
                       std::int64_t lowest, std::vector<std::uint64_t>& ways) {
    if (left == 0) {
      ++ways[static_cast<std::size_t>(sum - lowest)];
      return;
    }
    for (std::size_t i = from; i + left <= ranks.size(); ++i)
      ListSums(ranks, left - 1, i + 1, sum + ranks[i], lowest, ways);
  }

  // Group `position` of the side takes its ranks. Within a run of equal
  // sizes the groups take their first rank in increasing order; in the last
  // run, which takes every rank left, each group starts with the lowest free one.
  void Divide(TListing& listing, std::size_t position, TValue partial, std::int64_t handedOut,
              std::size_t previousFirst) const {
    const std::vector<std::size_t>& groups = listing.Side->Groups;
    const std::size_t group = groups[position];
    if (position + 1 == groups.size()) {
      listing.Values.push_back(partial + Statistic(group, listing.Total - handedOut));
      return;
    }
    const std::int32_t size = mProblem.Sizes[group];
    const bool continuesRun = position > 0 && mProblem.Sizes[groups[position - 1]] == size;
    const bool lastRun = mProblem.Sizes[groups.back()] == size;
    std::size_t from = continuesRun ? previousFirst + 1 : 0;
    const std::vector<std::int32_t>& ranks = *listing.Ranks;
    if (lastRun) {
      while (listing.Used[from] != 0) ++from;
      listing.Used[from] = 1;
      Take(listing, position, size - 1, from + 1, ranks[from], partial, handedOut, from);
      listing.Used[from] = 0;
      return;
    }
    for (std::size_t first = from; first < ranks.size(); ++first) {
      if (listing.Used[first] != 0) continue;
      listing.Used[first] = 1;
      Take(listing, position, size - 1, first + 1, ranks[first], partial, handedOut, first);
      listing.Used[first] = 0;
    }
  }

  void Take(TListing& listing, std::size_t position, std::int32_t left, std::size_t from, std::int64_t sum,
            TValue partial, std::int64_t handedOut, std::size_t first) const {
    if (left == 0) {
      const std::size_t group = listing.Side->Groups[position];
      Divide(listing, position + 1, partial + Statistic(group, sum), handedOut + sum, first);
      return;
    }
    const std::vector<std::int32_t>& ranks = *listing.Ranks;
    for (std::size_t i = from; i < ranks.size(); ++i) {
      if (listing.Used[i] != 0) continue;
      listing.Used[i] = 1;
      Take(listing, position, left - 1, i + 1, sum + ranks[i], partial, handedOut, first);
      listing.Used[i] = 0;
    }
  }

  // Pairs of one division from each side whose statistics together reach the
  // observed value; both lists ascending.
  static std::uint64_t Pairs(const std::vector<TEntry>& first, const std::vector<TEntry>& second,
                             TValue observed) {
    std::uint64_t pairs = 0;
    std::uint64_t reachingCount = 0;
    std::size_t reaching = second.size();  // second[reaching..] reach with the current entry of first
    for (const TEntry& entry : first) {
      while (reaching > 0 && entry.Value + second[reaching - 1].Value >= observed) {
        --reaching;
        reachingCount += second[reaching].Count;
      }
      pairs += entry.Count * reachingCount;
    }
    return pairs;
  }

  const TKruskalWallisProblem& mProblem;
  bool mUsable = false;
  long double mWork = 0;
  long double mSets = 0;
  std::array<TSide, 2> mSides;
};

// Counts with rank-sum tables. When a table's layers would outgrow memory,
// the first group it would hold is visited combination by combination
// instead, and a table counts the rest for each.
TTableOutcome CountByTables(const TKruskalWallisProblem& problem, std::size_t firstGroup,
                            std::span<const std::int32_t> ranks, TWide placed, std::int64_t placedSum, TReal base,
                            TReal span, TCalcProgress& progress, TRankCount& result, bool visitFirst = false) {
  TRankSumTable table(problem, firstGroup);
  if (!visitFirst && table.Fits() &&
      table.Count(ranks, placed, placedSum, base, span, progress, result) == TTableOutcome::Counted)
    return TTableOutcome::Counted;
  if (firstGroup + 2 >= problem.Sizes.size()) return TTableOutcome::TooManyStates;
  const auto size = static_cast<std::size_t>(problem.Sizes[firstGroup]);
  const long double visits = Binomial(static_cast<std::int64_t>(ranks.size()), problem.Sizes[firstGroup]);
  const TReal share = span / static_cast<TReal>(visits);
  std::vector<std::size_t> chosen(size);
  std::iota(chosen.begin(), chosen.end(), std::size_t{0});
  std::vector<std::int32_t> rest;
  for (TReal visited = 0;; visited += 1) {
    std::int64_t sum = 0;
    rest.clear();
    for (std::size_t i = 0, at = 0; i < ranks.size(); ++i) {
      if (at < size && chosen[at] == i) {
        sum += ranks[i];
        ++at;
      } else {
        rest.push_back(ranks[i]);
      }
    }
    const TTableOutcome outcome =
        CountByTables(problem, firstGroup + 1, rest, placed + Scaled(problem.Weights[firstGroup], sum),
                      placedSum + sum, base + share * visited, share, progress, result);
    if (outcome != TTableOutcome::Counted) return outcome;
    if (result.Run != TRankCountRun::Completed) return TTableOutcome::Counted;
    // The next combination of positions in ascending order.
    std::size_t i = size;
    while (i > 0 && chosen[i - 1] == ranks.size() - (size - i) - 1) --i;
    if (i == 0) break;
    ++chosen[i - 1];
    for (std::size_t j = i; j < size; ++j) chosen[j] = chosen[j - 1] + 1;
  }
  return TTableOutcome::Counted;
}

TRankCount CountKruskalWallis(const TKruskalWallisProblem& problem, TCalcProgress& progress,
                               TKruskalWallisMethod method) {
  TRankCount result;
  if (problem.Sizes.size() == 1) {
    result.Total = 1;
    result.Extreme = Scaled(problem.Weights[0], problem.TotalRankSum) >= problem.Observed ? 1 : 0;
    return result;
  }
  const TRankSumTable table(problem, 0);
  TGroupEnumeration enumeration(problem, progress);
  TSplitCount split(problem);
  // The forced method, or the one with the smallest estimate of the work.
  bool useEnumeration = false;
  bool useSplit = false;
  switch (method) {
    case TKruskalWallisMethod::Automatic: {
      // The estimates count different steps; these weights make them
      // comparable (measured times per estimated step).
      const long double tableWork = table.Work();
      const long double enumerationWork = enumeration.Work();
      const long double splitWork = 3 * split.Work();
      useEnumeration = enumeration.Usable() && enumerationWork < tableWork;
      const long double best = useEnumeration ? enumerationWork : tableWork;
      useSplit = split.Usable() && splitWork < best;
      break;
    }
    case TKruskalWallisMethod::RankSumTable:
    case TKruskalWallisMethod::VisitedRankSumTables:
      break;
    case TKruskalWallisMethod::GroupEnumeration:
      useEnumeration = enumeration.Usable();
      break;
    case TKruskalWallisMethod::SplitGroups:
      useSplit = split.Usable();
      break;
  }
  if (useSplit) {
    split.Count(progress, result);
    return result;
  }
  if (!useEnumeration) {
    std::vector<std::int32_t> ranks(static_cast<std::size_t>(problem.N));
    std::iota(ranks.begin(), ranks.end(), 1);
    const bool visitFirst = method == TKruskalWallisMethod::VisitedRankSumTables;
    if (CountByTables(problem, 0, ranks, 0, 0, 0, 100, progress, result, visitFirst) == TTableOutcome::Counted)
      return result;
    result = TRankCount{};
  }
  if (enumeration.Usable()) {
    enumeration.Count(result);
  } else if (split.Usable()) {
    split.Count(progress, result);
  } else {
    result.Run = TRankCountRun::TooLong;
  }
  return result;
}

}  // namespace

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

TRankCount CountKruskalWallisExtremes(std::span<const std::int32_t> sizes,
                                       std::span<const std::int64_t> observedRankSums, TCalcProgress& progress,
                                       TKruskalWallisMethod method) {
  TRankCount result;
  result.Run = TRankCountRun::TooLong;
  if (sizes.empty() || sizes.size() != observedRankSums.size()) return result;
  try {
    TKruskalWallisProblem problem;
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
      problem.Observed += Scaled(multiple / static_cast<std::uint64_t>(sizes[i]), observedRankSums[i]);
    problem.Sizes.assign(sizes.begin(), sizes.end());
    std::sort(problem.Sizes.begin(), problem.Sizes.end());
    for (const std::int32_t size : problem.Sizes)
      problem.Weights.push_back(multiple / static_cast<std::uint64_t>(size));
    return CountKruskalWallis(problem, progress, method);
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

TRankCount CountFriedmanExtremes(std::int32_t columns, std::int32_t rows, std::int64_t observedSumOfSquares,
                                  TCalcProgress& progress) {
  TRankCount result;
  result.Run = TRankCountRun::TooLong;
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
      const TProgressAnswer answer =
          progress.ReportExactProgress(static_cast<TReal>(row) * 100 / static_cast<TReal>(rows));
      if (answer != TProgressAnswer::Continue) {
        result.Run = RunOf(answer);
        return result;
      }
    }
    for (const auto& [key, count] : current) {
      const std::array<std::uint64_t, MaxFriedmanColumns> sums = unpack(key);
      std::uint64_t squares = 0;
      for (std::size_t j = 0; j < k; ++j) squares += sums[j] * sums[j];
      result.Total += count;
      if (static_cast<std::int64_t>(squares) >= observedSumOfSquares) result.Extreme += count;
    }
    result.Run = TRankCountRun::Completed;
    return result;
  } catch (const std::bad_alloc&) {
    result = TRankCount{};
    result.Run = TRankCountRun::TooLong;
    return result;
  }
}

}  // namespace ombrel
