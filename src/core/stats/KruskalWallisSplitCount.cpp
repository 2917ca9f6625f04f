#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/stats/ExactRankCountsDetail.h"

namespace ombrel::detail {

namespace {

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
class TSplitCount final : public TKruskalWallisCounter {
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

  bool Usable() const override { return mUsable; }
  long double Work() const override { return mWork; }

  bool Count(const TStageReport& report, TExactCount& result) override {
    result = TExactCount{};
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
        for (std::uint64_t rest = bits; rest != 0; rest &= rest - 1) ranks[side].push_back(std::countr_zero(rest) + 1);
        TListing& listing = listings[side];
        listing.Side = &mSides[side];
        listing.Ranks = &ranks[side];
        List(listing);
        for (const TEntry& entry : listing.List) weights[side] += entry.Count;
      }
      result.Total += weights[0] * weights[1];
      result.AtLeastAsExtreme += Pairs(listings[0].List, listings[1].List, observed);
      visited += 1;
      sinceReport += mSides[0].Work + mSides[1].Work;
      if (sinceReport >= SplitWorkPerReport) {
        sinceReport = 0;
        const TProgressAnswer answer = ReportStage(report, visited * 100 / mSets);
        if (answer != TProgressAnswer::Continue) {
          result.Status = StatusFromAnswer(answer);
          return true;
        }
      }
      // The next set with as many bits: the lowest block of ones moves up by one.
      const std::uint64_t lowest = set & (~set + 1);
      const std::uint64_t ripple = set + lowest;
      if ((ripple & ~all) != 0) break;
      set = ripple | (((set ^ ripple) >> 2) / lowest);
    }
    return true;
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
    std::int64_t Total = 0;             // the side's rank sum
    std::vector<std::uint8_t> Used;     // ranks taken by the groups so far
    std::vector<TValue> Values;         // one per division (more than two groups)
    std::vector<std::uint64_t> Ways;    // subsets of the smaller group by sum (two groups)
    std::vector<std::uint64_t> Layers;  // subset-sum counts by number of ranks and sum
    std::vector<TEntry> ByGroupSum;     // a two-group side's entries by the smaller group's sum
    std::vector<TEntry> List;           // the result, ascending values
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
      bySum.push_back(TEntry{Statistic(small, sum) + Statistic(large, listing.Total - sum), ways[offset]});
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
  static std::uint64_t Pairs(const std::vector<TEntry>& first, const std::vector<TEntry>& second, TValue observed) {
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

}  // namespace

std::unique_ptr<TKruskalWallisCounter> MakeSplitCount(const TKruskalWallisProblem& problem) {
  return std::make_unique<TSplitCount>(problem);
}

}  // namespace ombrel::detail
