#include "core/analysis/Nonparametric.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/CalcProgress.h"
#include "core/base/NumberText.h"
#include "core/stats/ColumnStats.h"
#include "core/stats/EffectSizes.h"
#include "core/stats/PValue.h"

namespace ombrel {
namespace {

// The exact signed-rank count is tried below this many ranks.
constexpr std::int32_t MaxExactSignedRanks = 30;

// Fewer arrangements than these cannot reach P < 0.05 in one or two tails.
constexpr std::uint64_t FewOneTailed = 20;
constexpr std::uint64_t FewTwoTailed = 40;

// A two-tailed P is twice the one-tailed one; when that passes 1 the sentence
// reads "> 0.9999" either way, but no P above 1 is handed on.
TReal TailedP(TReal oneTailed, bool twoTailed) { return twoTailed ? std::min<TReal>(1, 2 * oneTailed) : oneTailed; }

// Average ranks (1-based) of values, equal values sharing the mean of the
// ranks they span; adds (t^3 - t)/12 of each tie group of size t to `ties`.
std::vector<TReal> AverageRanks(std::span<const TReal> values, TReal& ties) {
  std::vector<std::size_t> order(values.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&values](std::size_t i, std::size_t j) { return values[i] < values[j]; });
  std::vector<TReal> ranks(values.size(), 0);
  std::size_t start = 0;
  while (start < order.size()) {
    std::size_t end = start + 1;
    while (end < order.size() && values[order[end]] == values[order[start]]) ++end;
    const auto t = static_cast<TReal>(end - start);
    const TReal rank = static_cast<TReal>(start + end + 1) / 2;
    for (std::size_t k = start; k < end; ++k) ranks[order[k]] = rank;
    if (end - start >= 2) ties += (t * t * t - t) / 12;
    start = end;
  }
  return ranks;
}

bool TooFewToBeSignificant(TExactStatus status, std::uint64_t arrangements, bool twoTailed) {
  return status == TExactStatus::Exact && arrangements < (twoTailed ? FewTwoTailed : FewOneTailed);
}

// ---------------------------------------------------------------------------
// The tests as analyses

// Computes a raw column's statistics into the table and returns them.
TColumnSummary RawSummary(TDataTable& table, int column) {
  ComputeRawColumnStatistics(table, column);
  return table.Summary(table.MapColumn(column));
}

// A single value also has an SEM of 0; its count is the cause to name.
TStatusCode CheckColumns(const TColumnSummary& a, const TColumnSummary& b) {
  if (a.N < 2 || b.N < 2) return TStatusCode::SingleValue;
  if (a.SEM == 0 || b.SEM == 0) return TStatusCode::SDZero;
  return TStatusCode::Ok;
}

// The P values with the request's tails, and how the exact count ended.
void SetP(TNonparametricResult& result, TReal oneTailed, TReal approximate, TExactStatus status,
          std::uint64_t arrangements) {
  const bool twoTailed = result.Request.Tails == 2;
  result.P = TailedP(oneTailed, twoTailed);
  result.PTwoTailed = TailedP(oneTailed, true);
  result.PApproximate = TailedP(approximate, twoTailed);
  result.Exact = status;
  result.Arrangements = status == TExactStatus::Exact ? arrangements : 0;
  result.TooFewArrangements = TooFewToBeSignificant(status, arrangements, twoTailed);
}

void SetSignedRankP(TNonparametricResult& result) {
  const TSignedRankResult& ranks = result.SignedRank;
  SetP(result, ranks.OneTailedP, ranks.ApproximateP, ranks.Status, ranks.Arrangements);
  result.TooManyArrangements = ranks.N >= MaxExactSignedRanks;
  result.RankBiserial = RankBiserialSignedRank(ranks.TPlus, ranks.TMinus);
}

void ComputeSignedRank(TNonparametricResult& result, TDataTable& table, TCalcProgress& progress) {
  const TNonparametricRequest& request = result.Request;
  const int column = request.First.Column;
  result.A = RawSummary(table, column);
  result.Status = CheckColumns(result.A, result.A);
  if (result.Status != TStatusCode::Ok) return;
  result.SignedRank = signed_rank_test(table, column, request.HypotheticalMedian, request.Tails == 2, progress);
  result.Columns = {ColumnUseOf(table, column, result.A.Title, result.A.N)};
  SetSignedRankP(result);
}

// The differences first minus second of the complete pairs go to the
// scratch column (every other row of it empty); the pairs themselves are
// returned for the pairing check.
void FillDifferences(TDataTable& table, int first, int second, std::vector<TReal>& firstOfPair,
                     std::vector<TReal>& secondOfPair) {
  table.ClearScratchColumn();
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal a = table.GetAnalysisValue(row, first);
    const TReal b = table.GetAnalysisValue(row, second);
    if (IsEmpty(a) || IsEmpty(b)) continue;
    table.SetAnalysisValue(row, ScratchColumn, a - b);
    firstOfPair.push_back(a);
    secondOfPair.push_back(b);
  }
}

void ComputeMatchedPairs(TNonparametricResult& result, TDataTable& table, TCalcProgress& progress) {
  const int first = result.Request.First.Column;
  const int second = result.Request.Second.Column;
  std::vector<TReal> firstOfPair;
  std::vector<TReal> secondOfPair;
  FillDifferences(table, first, second, firstOfPair, secondOfPair);
  result.Differences = ComputeRawSummary(table, ScratchColumn);
  result.Differences.Title = "Difference";
  if (result.Differences.N < 2) {
    result.Status = TStatusCode::SinglePair;
  } else if (result.Differences.SD == 0) {
    result.Status = TStatusCode::SameDifferences;
  }
  if (result.Status != TStatusCode::Ok) return;
  result.SignedRank = signed_rank_test(table, ScratchColumn, 0, result.Request.Tails == 2, progress);
  result.Pairing = SpearmanPairs(firstOfPair, secondOfPair);
  result.Status = result.Pairing.StatusCode;
  const std::int32_t pairs = result.Differences.N;
  result.Columns = {ColumnUseOf(table, first, result.A.Title, pairs),
                    ColumnUseOf(table, second, result.B.Title, pairs)};
  SetSignedRankP(result);
}

void ComputeTwoColumns(TNonparametricResult& result, TDataTable& table, TCalcProgress& progress) {
  const TNonparametricRequest& request = result.Request;
  const int first = request.First.Column;
  const int second = request.Second.Column;
  result.A = RawSummary(table, first);
  result.B = RawSummary(table, second);
  result.Status = CheckColumns(result.A, result.B);
  if (result.Status != TStatusCode::Ok) return;
  if (request.Kind == TNonparametricKind::MatchedPairs) {
    ComputeMatchedPairs(result, table, progress);
    return;
  }
  result.MannWhitney = mann_whitney_test(table, first, second, request.Tails == 2, progress);
  result.Columns = {ColumnUseOf(table, first, result.A.Title, result.A.N),
                    ColumnUseOf(table, second, result.B.Title, result.B.N)};
  const TMannWhitneyResult& test = result.MannWhitney;
  SetP(result, test.OneTailedP, test.ApproximateP, test.Status, static_cast<std::uint64_t>(test.Arrangements));
  result.TooManyArrangements = test.Arrangements >= MaxRankSumArrangements;
  result.RankBiserial = RankBiserialMannWhitney(test.RankSumA, test.NA, test.RankSumB, test.NB);
}

}  // namespace

// ---------------------------------------------------------------------------
// Signed-rank test

TSignedRankResult RankSignedDifferences(std::span<const TReal> values, TReal median) {
  struct TDifference {
    TReal Size;
    bool Negative;
  };
  TSignedRankResult result;
  std::vector<TDifference> differences;
  for (const TReal value : values) {
    if (IsEmpty(value)) continue;
    const TReal d = value - median;
    if (d == 0) {
      ++result.Zeros;
    } else {
      differences.push_back({std::fabs(d), d < 0});
    }
  }
  // Ascending |d|, each group of equal sizes taking the next ranks; the
  // order of the groups is that of the ranking passes.
  std::sort(differences.begin(), differences.end(),
            [](const TDifference& a, const TDifference& b) { return a.Size < b.Size; });
  std::int32_t counter = 0;
  std::size_t start = 0;
  while (start < differences.size()) {
    std::size_t end = start;
    std::int32_t negatives = 0;
    while (end < differences.size() && differences[end].Size == differences[start].Size) {
      if (differences[end].Negative) ++negatives;
      ++end;
    }
    const auto t = static_cast<std::int32_t>(end - start);
    const TReal rankSum = static_cast<TReal>(t) * counter + static_cast<TReal>(t) * (t + 1) / 2;
    counter += t;
    if (negatives >= 1) result.TMinus -= rankSum * negatives / t;
    if (t >= 2) {
      result.Ties = true;
      result.TieTerm += power(t, 3) - t;
    }
    start = end;
  }
  result.N = counter;
  const TReal n = counter;
  result.TPlus = n * (n + 1) / 2 + result.TMinus;
  result.W = result.TPlus + result.TMinus;
  return result;
}

TSignedRankResult signed_rank_test(const TDataTable& table, int column, TReal median, bool twoTailed,
                                   TCalcProgress& progress) {
  const std::vector<TReal> values = ColumnValues(table, column);
  TSignedRankResult result = RankSignedDifferences(values, median);
  const TReal n = result.N;
  if (result.N > 0) {
    result.Z = (std::fabs(result.TPlus - n * (n + 1) / 4) - 0.5L) /
               std::sqrt((n * (n + 1) * (2 * n + 1) - result.TieTerm / 2) / 24);
    result.ApproximateP = p_value_z(result.Z) / 2;
  } else {
    result.ApproximateP = 1;  // no ranks, no evidence either way
  }
  result.Status = result.N < MaxExactSignedRanks ? TExactStatus::Exact : TExactStatus::TooLong;
  progress.StartExactProgress(TailedP(result.ApproximateP, twoTailed));
  if (result.Status == TExactStatus::Exact) {
    const TReal threshold = std::max(result.TPlus, -result.TMinus);
    const TExactCount count = CountSignedRankPatterns(result.N, threshold, ExactProgressReport(progress));
    result.Status = count.Status;
    if (count.Status == TExactStatus::Exact) {
      result.Arrangements = count.Total;
      result.OneTailedP = static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total);
    }
  }
  progress.EndExactProgress();
  if (result.Status != TExactStatus::Exact) result.OneTailedP = result.ApproximateP;
  return result;
}

// ---------------------------------------------------------------------------
// Mann-Whitney test

TMannWhitneyResult CountMannWhitneyU(std::span<const TReal> a, std::span<const TReal> b) {
  TMannWhitneyResult result;
  TReal u = 0;
  for (const TReal x : a) {
    if (IsEmpty(x)) continue;
    ++result.NA;
    // Only ties between this A value and B values enter the tie term.
    TReal t = 1;
    for (const TReal y : b) {
      if (IsEmpty(y)) continue;
      if (y > x) {
        u += 1;
      } else if (y == x) {
        u += 0.5L;
        t += 1;
      }
    }
    if (t >= 2) result.TieTerm += (t - 1) * t * (t + 1) / t;
  }
  std::vector<TReal> all;
  for (const TReal x : a)
    if (!IsEmpty(x)) all.push_back(x);
  for (const TReal y : b)
    if (!IsEmpty(y)) all.push_back(y);
  result.NB = static_cast<std::int32_t>(all.size()) - result.NA;
  std::sort(all.begin(), all.end());
  result.Ties = std::adjacent_find(all.begin(), all.end()) != all.end();
  const TReal na = result.NA;
  const TReal nb = result.NB;
  result.RankSumA = na * (na + 1) / 2 + na * nb - u;
  if (na * nb / 2 < u) u = na * nb - u;
  result.U = u;
  result.UPrime = na * nb - u;
  const TReal total = na + nb;
  result.RankSumB = total * (total + 1) / 2 - result.RankSumA;
  return result;
}

TMannWhitneyResult mann_whitney_test(const TDataTable& table, int columnA, int columnB, bool twoTailed,
                                     TCalcProgress& progress) {
  const std::vector<TReal> a = ColumnValues(table, columnA);
  const std::vector<TReal> b = ColumnValues(table, columnB);
  TMannWhitneyResult result = CountMannWhitneyU(a, b);
  const std::int32_t smaller = std::min(result.NA, result.NB);
  const std::int32_t larger = std::max(result.NA, result.NB);
  const std::int32_t all = result.NA + result.NB;
  const TReal n = smaller;
  const TReal nPrime = larger;
  const TReal big = all;
  if (smaller > 0) {
    result.Z = (std::fabs(result.U - nPrime * n / 2) - 0.5L) /
               std::sqrt((big * big * big - big - result.TieTerm) / 12 * n * nPrime / (big * big - big));
    result.ApproximateP = p_value_z(result.Z) / 2;
  } else {
    result.ApproximateP = 1;  // an empty group: nothing to compare
  }
  progress.StartExactProgress(TailedP(result.ApproximateP, twoTailed));
  result.Arrangements = count_combinations(all, larger);
  result.Status = TExactStatus::TooLong;
  if (result.Arrangements < MaxRankSumArrangements) {
    const TReal threshold = result.U + nPrime * (nPrime + 1) / 2;
    const TExactCount count = CountRankSumSets(all, larger, threshold, ExactProgressReport(progress));
    result.Status = count.Status;
    if (count.Status == TExactStatus::Exact) {
      result.OneTailedP =
          count.Total == 0 ? TReal{1} : static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total);
    }
  }
  progress.EndExactProgress();
  if (result.Status != TExactStatus::Exact) result.OneTailedP = result.ApproximateP;
  return result;
}

// ---------------------------------------------------------------------------
// Spearman pairing check

TPairingCorrelation SpearmanPairs(std::span<const TReal> x, std::span<const TReal> y) {
  TPairingCorrelation result;
  const std::size_t pairs = std::min(x.size(), y.size());
  result.N = static_cast<std::int32_t>(pairs);
  if (pairs == 0) {
    result.StatusCode = TStatusCode::NoCorrelationData;
    return result;
  }
  TReal tx = 0;
  TReal ty = 0;
  const std::vector<TReal> rx = AverageRanks(x.first(pairs), tx);
  const std::vector<TReal> ry = AverageRanks(y.first(pairs), ty);
  TReal d = 0;
  for (std::size_t i = 0; i < pairs; ++i) d += (ry[i] - rx[i]) * (ry[i] - rx[i]);
  const TReal n = result.N;
  const TReal s = (n * n * n - n) / 6;
  if (s - 2 * tx == 0) {
    result.StatusCode = TStatusCode::OneXValue;
    return result;
  }
  if (s - 2 * ty == 0) {
    result.StatusCode = TStatusCode::OneYValue;
    return result;
  }
  // Rounding can carry a perfect correlation just past 1.
  result.R = std::clamp<TReal>((s - d - tx - ty) / std::sqrt((s - 2 * tx) * (s - 2 * ty)), -1, 1);
  result.Ties = tx > 0 || ty > 0;
  if (result.N <= MaxSpearmanCount) {
    const TExactCount count = CountSpearmanPermutations(result.N, SpearmanThreshold(result.N, result.R));
    result.Status = count.Status;
    result.TwoTailedP = 2 * static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total);
  } else {
    result.Status = TExactStatus::TooLong;
    // A perfect correlation leaves t infinite: its P is 0.
    if (std::fabs(result.R) == 1) {
      result.TwoTailedP = 0;
    } else {
      const TReal t = result.R * std::sqrt((n - 2) / (1 - result.R * result.R));
      result.TwoTailedP = p_value_t(result.N - 2, t);
    }
  }
  return result;
}

// ---------------------------------------------------------------------------
// The analysis

TNonparametricResult ComputeNonparametric(const TNonparametricRequest& request, TDataTable& table,
                                          TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  TNonparametricResult result;
  result.Request = request;
  const bool oneColumn = request.Kind == TNonparametricKind::SignedRank;
  // The titles name the columns of a refusal too.
  result.A.Title = table.Summary(request.First.Column).Title;
  if (!oneColumn) result.B.Title = table.Summary(request.Second.Column).Title;
  if (request.First.Averaged || (!oneColumn && request.Second.Averaged)) {
    result.Status = TStatusCode::AveragedNonparametric;
  } else if (oneColumn) {
    ComputeSignedRank(result, table, progress);
  } else {
    ComputeTwoColumns(result, table, progress);
  }
  table.StatusCode = result.Status;
  return result;
}

void RunNonparametric(const TNonparametricRequest& request, TAnalysisRun& run) {
  const TNonparametricResult result = ComputeNonparametric(request, run.Table, run.Progress);
  run.Table.StatusCode = result.Status;
  FillNonparametricRecord(result, run.Record);
  if (result.Status == TStatusCode::Ok) WriteNonparametricReport(result, run.Report);
}

}  // namespace ombrel
