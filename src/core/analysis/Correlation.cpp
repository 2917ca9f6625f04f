#include "core/analysis/Correlation.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/stats/ExactRankCounts.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

TReal Mean(const std::vector<TReal>& values) {
  TReal sum = 0;
  for (const TReal v : values) sum += v;
  return sum / static_cast<TReal>(values.size());
}

bool AllEqual(const std::vector<TReal>& values) {
  const auto [low, high] = std::minmax_element(values.begin(), values.end());
  return *low == *high;
}

// Rounding can push a coefficient of perfectly related data a hair past 1.
TReal ClampCorrelation(TReal r) { return std::clamp(r, TReal{-1}, TReal{1}); }

// Fisher's z interval tanh(z -/+ half) of a coefficient below 1 in size.
void FisherInterval(TReal r, TReal half, TReal& lower, TReal& upper) {
  const TReal z = std::log((1 + r) / (1 - r)) / 2;
  lower = std::tanh(z - half);
  upper = std::tanh(z + half);
}

// Ranks 1..n of the values (ties share the average of their ranks) and the
// tie term: the sum of (t^3 - t) / 12 over the groups of t equal values.
std::vector<TReal> AverageRanks(const std::vector<TReal>& values, TReal& tieTerm) {
  std::vector<std::size_t> order(values.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return values[a] < values[b]; });
  std::vector<TReal> ranks(values.size());
  tieTerm = 0;
  std::size_t first = 0;
  while (first < order.size()) {
    std::size_t last = first;
    while (last + 1 < order.size() && values[order[last + 1]] == values[order[first]]) ++last;
    // Ranks first + 1 .. last + 1 averaged.
    const TReal rank = static_cast<TReal>(first + last + 2) / 2;
    for (std::size_t i = first; i <= last; ++i) ranks[order[i]] = rank;
    const TReal t = static_cast<TReal>(last - first + 1);
    if (last > first) tieTerm += (t * t * t - t) / 12;
    first = last + 1;
  }
  return ranks;
}

}  // namespace

TCorrelationPairs CollectPairs(const TDataTable& table, int referenceColumn, std::span<const int> otherColumns) {
  TCorrelationPairs pairs;
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal x = table.GetAnalysisValue(row, referenceColumn);
    if (IsEmpty(x)) continue;
    for (const int column : otherColumns) {
      const TReal y = table.GetAnalysisValue(row, column);
      if (IsEmpty(y)) continue;
      pairs.X.push_back(x);
      pairs.Y.push_back(y);
    }
  }
  return pairs;
}

std::vector<int> YColumns(const TDataTable& table) {
  std::vector<int> columns;
  for (int c = 1; c <= table.LastMappedColumn(); ++c) columns.push_back(c);
  return columns;
}

TPearsonResult ComputePearson(TDataTable& table, int referenceColumn, std::span<const int> otherColumns) {
  TPearsonResult result;
  const TCorrelationPairs pairs = CollectPairs(table, referenceColumn, otherColumns);
  const std::int32_t n = static_cast<std::int32_t>(pairs.X.size());
  if (n == 0) {
    table.StatusCode = TStatusCode::NoCorrelationData;
    return result;
  }
  // Equality of the values themselves: sums of squares of equal values
  // need not come out exactly 0.
  if (AllEqual(pairs.X)) {
    table.StatusCode = TStatusCode::OneXValue;
    return result;
  }
  if (AllEqual(pairs.Y)) {
    table.StatusCode = TStatusCode::OneYValue;
    return result;
  }
  if (n < 3) {
    table.StatusCode = TStatusCode::TooFewCorrelationPoints;
    return result;
  }
  const TReal meanX = Mean(pairs.X);
  const TReal meanY = Mean(pairs.Y);
  TReal sxx = 0;
  TReal syy = 0;
  TReal sxy = 0;
  for (std::size_t i = 0; i < pairs.X.size(); ++i) {
    const TReal dx = pairs.X[i] - meanX;
    const TReal dy = pairs.Y[i] - meanY;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  result.N = n;
  result.R = ClampCorrelation(sxy / std::sqrt(sxx * syy));
  result.RSquared = result.R * result.R;
  result.SE = std::sqrt((1 - result.RSquared) / (n - 2));
  // A perfect line has no error: its t would divide by zero.
  const bool perfect = std::fabs(result.R) == 1;
  result.P = perfect ? 0 : p_value_t(n - 2, std::fabs(result.R / result.SE));
  if (n >= 4) {
    if (perfect) {
      result.Lower = result.R;
      result.Upper = result.R;
    } else {
      FisherInterval(result.R, z_for_p(0.025L) * std::sqrt(TReal{1} / (n - 3)), result.Lower, result.Upper);
    }
  }
  return result;
}

TSpearmanResult ComputeSpearman(TDataTable& table, int referenceColumn, std::span<const int> otherColumns,
                                TCalcProgress& progress) {
  TSpearmanResult result;
  const TCorrelationPairs pairs = CollectPairs(table, referenceColumn, otherColumns);
  const std::int32_t n = static_cast<std::int32_t>(pairs.X.size());
  if (n == 0) {
    table.StatusCode = TStatusCode::NoCorrelationData;
    return result;
  }
  TReal tx = 0;
  TReal ty = 0;
  const std::vector<TReal> rankX = AverageRanks(pairs.X, tx);
  const std::vector<TReal> rankY = AverageRanks(pairs.Y, ty);
  TReal d = 0;
  for (std::size_t i = 0; i < rankX.size(); ++i) d += (rankY[i] - rankX[i]) * (rankY[i] - rankX[i]);
  // Ranks are multiples of 1/2 and the tie terms of 1/2, so these
  // differences are exact and the comparisons with 0 are safe.
  const TReal nn = static_cast<TReal>(n);
  const TReal s = (nn * nn * nn - nn) / 6;
  if (s - 2 * tx == 0) {
    table.StatusCode = TStatusCode::OneXValue;
    return result;
  }
  if (s - 2 * ty == 0) {
    table.StatusCode = TStatusCode::OneYValue;
    return result;
  }
  result.N = n;
  result.R = ClampCorrelation((s - d - tx - ty) / std::sqrt((s - 2 * tx) * (s - 2 * ty)));
  result.RSquared = result.R * result.R;
  result.Ties = tx > 0 || ty > 0;
  const bool perfect = std::fabs(result.R) == 1;
  if (n > 2) result.SE = std::sqrt((1 - result.RSquared) / (n - 2));
  if (n > 10) {
    // Perfect order in either direction has no Fisher z.
    if (perfect) {
      result.Lower = result.R;
      result.Upper = result.R;
    } else {
      FisherInterval(result.R, 1.96L * std::sqrt(1.06L / (n - 3)), result.Lower, result.Upper);
    }
  }
  if (perfect) {
    result.ApproximateP = 0;
  } else if (n > 2) {
    result.ApproximateP = p_value_t(n - 2, result.R * std::sqrt((nn - 2) / (1 - result.RSquared)));
  } else {
    result.ApproximateP = 1;
  }

  TReal exactP = EmptyValue;
  if (n > MaxSpearmanCount) {
    result.Status = TExactStatus::TooLong;
  } else {
    progress.StartExactProgress(result.ApproximateP);
    const TExactCount count =
        CountSpearmanPermutations(n, SpearmanThreshold(n, result.R), ExactProgressReport(progress));
    progress.EndExactProgress();
    result.Status = count.Status;
    if (count.Status == TExactStatus::Exact) result.Arrangements = count.Total;
    // One tail, doubled. The doubled tail passes 1 when rs is near 0 (the
    // middle sum belongs to both tails); a probability stops at 1.
    if (result.Status == TExactStatus::Exact)
      exactP = std::min(TReal{1}, 2 * static_cast<TReal>(count.AtLeastAsExtreme) / static_cast<TReal>(count.Total));
  }
  result.P = result.Status == TExactStatus::Exact ? exactP : result.ApproximateP;
  return result;
}

std::vector<TColumnUse> PairedColumnUse(const TDataTable& table, int xColumn, std::span<const int> yColumns) {
  std::int32_t usedX = 0;
  std::vector<std::int32_t> usedY(yColumns.size(), 0);
  for (int row = 0; row <= table.LastRow(); ++row) {
    if (IsEmpty(table.GetAnalysisValue(row, xColumn))) continue;
    bool paired = false;
    for (std::size_t i = 0; i < yColumns.size(); ++i) {
      if (IsEmpty(table.GetAnalysisValue(row, yColumns[i]))) continue;
      ++usedY[i];
      paired = true;
    }
    if (paired) ++usedX;
  }
  const auto useOf = [&](int column, std::int32_t used) {
    const int mapped = table.MapColumn(column);
    const std::string title = mapped >= 0 && mapped < MaxColumns ? table.Summary(mapped).Title : std::string();
    TColumnUse use = ColumnUseOf(table, column, title, used);
    use.Column = mapped;
    return use;
  };
  std::vector<TColumnUse> columns{useOf(xColumn, usedX)};
  for (std::size_t i = 0; i < yColumns.size(); ++i) columns.push_back(useOf(yColumns[i], usedY[i]));
  return columns;
}

TCorrelationResult ComputeCorrelation(const TCorrelationRequest& request, TDataTable& table, TCalcProgress& progress) {
  table.StatusCode = TStatusCode::Ok;
  TCorrelationResult result;
  result.Request = request;
  if (request.Method == TCorrelationMethod::Pearson) {
    result.Pearson = ComputePearson(table, request.XColumn, request.YColumns);
  } else {
    result.Spearman = ComputeSpearman(table, request.XColumn, request.YColumns, progress);
  }
  result.Status = table.StatusCode;
  if (result.Status == TStatusCode::Ok) result.Columns = PairedColumnUse(table, request.XColumn, request.YColumns);
  return result;
}

void RunCorrelation(const TCorrelationRequest& request, TAnalysisRun& run) {
  const TCorrelationResult result = ComputeCorrelation(request, run.Table, run.Progress);
  run.Table.StatusCode = result.Status;
  FillCorrelationRecord(result, run.Record);
  if (result.Status == TStatusCode::Ok) WriteCorrelationReport(result, run.Report);
}

}  // namespace ombrel
