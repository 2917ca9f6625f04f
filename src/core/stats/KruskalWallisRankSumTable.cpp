#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numeric>
#include <span>
#include <vector>

#include "core/stats/ExactRankCountsDetail.h"

namespace ombrel::detail {

namespace {

// A layer of the rank-sum table beyond this many states would take more than
// 64 MB; the table then leaves its first group to be visited one by one.
constexpr std::size_t MaxLayerStates = std::size_t{1} << 22;
// More groups than these never fit a table's keys.
constexpr std::size_t MaxGroups = 26;

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
    const long double work =
        states * static_cast<long double>(mProblem.N) * static_cast<long double>(mGroups.size() + 1);
    // Interchangeable groups' transitions are sorted rather than merged.
    return mAnyRun ? work * (1 + std::log2(states + 1) / 8) : work;
  }

  // Counts the divisions of `ranks` (ascending) among the table's groups and
  // the last group, adding to `result`; the groups before the table's first
  // one hold the rest, with statistic `placed` and rank sum `placedSum`.
  // Progress runs from `base` over `span` percent.
  TTableOutcome Count(std::span<const std::int32_t> ranks, TWide placed, std::int64_t placedSum, TReal base, TReal span,
                      const TStageReport& report, TExactCount& result) {
    mPlaced = placed;
    mPlacedSum = placedSum;
    std::vector<TState> current{TState{0, 1}};
    std::vector<TState> next;
    std::vector<TState> shuffled;
    TExactCount counted;
    for (std::size_t step = 0; step < ranks.size() && !current.empty(); ++step) {
      const std::int32_t rank = ranks[step];
      if (mAnyRun) Shuffle(rank, current, shuffled, counted);
      Merge(static_cast<std::int64_t>(step), rank, current, shuffled, next, counted);
      if (next.size() > MaxLayerStates) return TTableOutcome::TooManyStates;
      current.swap(next);
      const TReal done = static_cast<TReal>(step + 1) / static_cast<TReal>(ranks.size());
      const TProgressAnswer answer = ReportStage(report, base + span * done);
      if (answer != TProgressAnswer::Continue) {
        result.Status = StatusFromAnswer(answer);
        return TTableOutcome::Counted;
      }
    }
    result.Total += counted.Total;
    result.AtLeastAsExtreme += counted.AtLeastAsExtreme;
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
               TExactCount& result) const {
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
               const std::vector<TState>& shuffled, TExactCount& result) const {
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
             const std::vector<TState>& shuffled, std::vector<TState>& next, TExactCount& result) const {
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

  void Settle(std::uint64_t key, std::uint64_t count, TExactCount& result) const {
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
    if (statistic >= mProblem.Observed) result.AtLeastAsExtreme += count;
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

// Counts with rank-sum tables. When a table's layers would outgrow memory,
// the first group it would hold is visited combination by combination
// instead, and a table counts the rest for each.
TTableOutcome CountByTables(const TKruskalWallisProblem& problem, std::size_t firstGroup,
                            std::span<const std::int32_t> ranks, TWide placed, std::int64_t placedSum, TReal base,
                            TReal span, const TStageReport& report, TExactCount& result, bool visitFirst = false) {
  TRankSumTable table(problem, firstGroup);
  if (!visitFirst && table.Fits() &&
      table.Count(ranks, placed, placedSum, base, span, report, result) == TTableOutcome::Counted)
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
        CountByTables(problem, firstGroup + 1, rest, placed + Scaled(problem.Weights[firstGroup], sum), placedSum + sum,
                      base + share * visited, share, report, result);
    if (outcome != TTableOutcome::Counted) return outcome;
    if (result.Status != TExactStatus::Exact) return TTableOutcome::Counted;
    // The next combination of positions in ascending order.
    std::size_t i = size;
    while (i > 0 && chosen[i - 1] == ranks.size() - (size - i) - 1) --i;
    if (i == 0) break;
    ++chosen[i - 1];
    for (std::size_t j = i; j < size; ++j) chosen[j] = chosen[j - 1] + 1;
  }
  return TTableOutcome::Counted;
}

class TRankSumTableCount final : public TKruskalWallisCounter {
 public:
  TRankSumTableCount(const TKruskalWallisProblem& problem, bool visitFirst)
      : mProblem(problem), mVisitFirst(visitFirst), mWork(TRankSumTable(problem, 0).Work()) {}

  bool Usable() const override { return true; }
  long double Work() const override { return mWork; }

  bool Count(const TStageReport& report, TExactCount& result) override {
    std::vector<std::int32_t> ranks(static_cast<std::size_t>(mProblem.N));
    std::iota(ranks.begin(), ranks.end(), 1);
    return CountByTables(mProblem, 0, ranks, 0, 0, 0, 100, report, result, mVisitFirst) == TTableOutcome::Counted;
  }

 private:
  const TKruskalWallisProblem& mProblem;
  bool mVisitFirst = false;
  long double mWork = 0;
};

}  // namespace

std::unique_ptr<TKruskalWallisCounter> MakeRankSumTableCount(const TKruskalWallisProblem& problem, bool visitFirst) {
  return std::make_unique<TRankSumTableCount>(problem, visitFirst);
}

}  // namespace ombrel::detail
