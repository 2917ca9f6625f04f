#include <algorithm>
#include <cstdint>
#include <memory>
#include <numeric>
#include <vector>

#include "core/stats/ExactRankCountsDetail.h"

namespace ombrel::detail {

namespace {

// Beyond these the subset-sum tables of the group enumeration would not fit
// their integers or would take too much memory.
constexpr long double MaxSubsetCount = 1e18L;
constexpr long double MaxSubsetTableEntries = 16e6L;
// Group-by-group counting reports progress at most after this many visits.
constexpr std::uint64_t MaxStepsPerReport = std::uint64_t{1} << 14;

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
class TGroupEnumeration final : public TKruskalWallisCounter {
 public:
  explicit TGroupEnumeration(const TKruskalWallisProblem& problem)
      : mProblem(problem), mUsed(static_cast<std::size_t>(problem.N) + 1, 0) {
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

  bool Usable() const override { return mUsable; }
  long double Work() const override { return mWork; }

  bool Count(const TStageReport& report, TExactCount& result) override {
    mReport = &report;
    mResult = TExactCount{};
    if (!mDirect) mSums = std::make_unique<TSubsetSums>(mProblem.N, mCountedSize);
    Visit(0, 0, 0, 0);
    result = mResult;
    return true;
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
        Visit(position + 1, partial + Scaled(mProblem.Weights[position], groupSum), handedOut + groupSum, groupFirst);
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
      mResult.AtLeastAsExtreme += all * mMultiplicity;
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
      mResult.AtLeastAsExtreme += CountSubsets(0, mCountedSize, 0, reaches) * mMultiplicity;
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
    mResult.AtLeastAsExtreme += static_cast<std::uint64_t>(count) * mMultiplicity;
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
    const TProgressAnswer answer = ReportStage(*mReport, percent);
    if (answer == TProgressAnswer::Continue) return;
    mResult.Status = StatusFromAnswer(answer);
    mStopped = true;
  }

  const TKruskalWallisProblem& mProblem;
  const TStageReport* mReport = nullptr;
  std::size_t mCounted = 0;  // the group counted without visits; all before it are visited
  std::int32_t mCountedSize = 0;
  std::int64_t mFree = 0;                // ranks left for the counted and the last group
  std::int64_t mChoices = 0;             // subsets the counted group can take from them
  std::vector<std::int32_t> mRunLength;  // position among the equal sizes before it, from 1
  std::uint64_t mMultiplicity = 1;       // orders each visit stands for
  bool mUsable = false;
  bool mDirect = false;  // count the counted group's subsets one by one
  long double mWork = 0;
  std::unique_ptr<TSubsetSums> mSums;
  std::vector<std::uint8_t> mUsed;
  std::vector<std::int32_t> mUsedRanks;
  std::vector<std::int32_t> mFreeRanks;
  TExactCount mResult;
  std::uint64_t mSteps = 0;
  std::uint64_t mStepsPerReport = 1;
  bool mStopped = false;
};

}  // namespace

std::unique_ptr<TKruskalWallisCounter> MakeGroupEnumeration(const TKruskalWallisProblem& problem) {
  return std::make_unique<TGroupEnumeration>(problem);
}

}  // namespace ombrel::detail
