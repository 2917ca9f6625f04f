#include "core/stats/ColumnStats.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/base/Index.h"
#include "core/stats/AssumptionTests.h"
#include "core/stats/PValue.h"

namespace ombrel {

namespace {

constexpr int FirstShellIncrement = 95;
constexpr TReal NormalityAlpha = 0.05L;
constexpr std::int32_t MinimumNormalityN = 5;

// Neumaier's compensated sum: the running error of each addition is kept
// apart, so values of very different size add up without losing the small.
class TCompensatedSum {
 public:
  void Add(TReal value) {
    const TReal total = mSum + value;
    if (std::fabs(mSum) >= std::fabs(value)) {
      mCompensation += (mSum - total) + value;
    } else {
      mCompensation += (value - total) + mSum;
    }
    mSum = total;
  }
  TReal Value() const { return mSum + mCompensation; }

 private:
  TReal mSum = 0;
  TReal mCompensation = 0;
};

// Half of an increment, rounded to the nearest integer with halves to even.
int HalveIncrement(int increment) {
  int half = increment / 2;
  if (increment % 2 != 0 && half % 2 != 0) ++half;
  return half;
}

// Column index whose summary an analysis column's statistics belong to; -1
// for the scratch column or an unmapped analysis column.
int SummaryColumn(const TDataTable& table, int column) {
  const int target = table.MapColumn(column);
  return target >= 0 && target < MaxColumns ? target : -1;
}

}  // namespace

std::vector<TReal> ColumnValues(const TDataTable& table, int column) {
  std::vector<TReal> values;
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal value = table.GetAnalysisValue(row, column);
    if (!IsEmpty(value)) values.push_back(value);
  }
  return values;
}

void ShellSort(std::span<TReal> values) {
  const int n = static_cast<int>(values.size());
  int increment = FirstShellIncrement;
  while (increment >= 1 && increment > n - 1) increment = HalveIncrement(increment);
  while (increment >= 1) {
    for (int i = increment; i < n; ++i) {
      for (int j = i - increment; j >= 0; j -= increment) {
        TReal& lower = values[static_cast<std::size_t>(j)];
        TReal& upper = values[static_cast<std::size_t>(j + increment)];
        if (!(lower > upper)) break;
        std::swap(lower, upper);
      }
    }
    if (increment == 1) break;
    increment = HalveIncrement(increment);
  }
}

TReal MedianOfSorted(std::span<const TReal> sorted) {
  const std::size_t n = sorted.size();
  if (n == 0) return EmptyValue;
  if (n % 2 == 1) return sorted[n / 2];
  return (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

TReal ColumnMedian(const TDataTable& table, int column) {
  if (table.StatusCode != TStatusCode::Ok) return EmptyValue;
  std::vector<TReal> values = ColumnValues(table, column);
  ShellSort(values);
  return MedianOfSorted(values);
}

TColumnSummary ComputeRawSummary(const TDataTable& table, int column) {
  TColumnSummary summary;
  std::vector<TReal> values = ColumnValues(table, column);
  if (values.empty()) return summary;

  summary.N = static_cast<std::int32_t>(values.size());
  const TReal n = static_cast<TReal>(summary.N);
  TCompensatedSum sum;
  summary.Minimum = values.front();
  summary.Maximum = values.front();
  for (const TReal value : values) {
    if (value < summary.Minimum) summary.Minimum = value;
    if (value > summary.Maximum) summary.Maximum = value;
    sum.Add(value);
  }
  // Rounding must not move the mean outside the values, and equal values
  // must give their own value and an SD of exactly 0, so that a column of
  // identical values is never tested for normality.
  summary.Mean = std::clamp(sum.Value() / n, summary.Minimum, summary.Maximum);
  if (summary.Minimum == summary.Maximum) {
    summary.Mean = summary.Minimum;
    summary.SD = 0;
  } else {
    // Second pass about the mean; subtracting (sum of deviations)^2 / N
    // removes the first-order effect of the mean's own rounding.
    TCompensatedSum squares;
    TCompensatedSum deviations;
    for (const TReal value : values) {
      const TReal deviation = value - summary.Mean;
      squares.Add(deviation * deviation);
      deviations.Add(deviation);
    }
    const TReal drift = deviations.Value();
    const TReal sumOfSquares = std::max(squares.Value() - drift * drift / n, TReal{0});
    summary.SD = std::sqrt(sumOfSquares / (n - 1));
  }
  summary.SEM = summary.SD / std::sqrt(n);

  if (table.StatusCode == TStatusCode::Ok) {
    ShellSort(values);
    summary.Median = MedianOfSorted(values);
  }
  SetConfidenceLimits(summary);
  return summary;
}

TReal ComputeRawColumnStatistics(TDataTable& table, int column) {
  const TColumnSummary computed = ComputeRawSummary(table, column);
  const int target = SummaryColumn(table, column);
  if (target < 0) return computed.Mean;
  TColumnSummary& summary = table.Summary(target);
  if (computed.N == 0) {
    summary.ClearStatistics();
    table.ColumnSelected[At(target)] = 0;
    return computed.Mean;
  }
  summary.N = computed.N;
  summary.Mean = computed.Mean;
  summary.SD = computed.SD;
  summary.SEM = computed.SEM;
  summary.Minimum = computed.Minimum;
  summary.Maximum = computed.Maximum;
  summary.Median = computed.Median;
  summary.UpperCI = computed.UpperCI;
  summary.LowerCI = computed.LowerCI;
  return computed.Mean;
}

TReal KolmogorovSmirnovDistance(std::span<const TReal> sorted, TReal mean, TReal sd) {
  const TReal n = static_cast<TReal>(sorted.size());
  TReal ks = 0;
  for (std::size_t index = 0; index < sorted.size(); ++index) {
    const TReal i = static_cast<TReal>(index + 1);
    const TReal z = (sorted[index] - mean) / sd;
    TReal cumulative = p_value_z(z) / 2;
    if (z > 0) cumulative = 1 - cumulative;
    TReal distance = std::fabs(cumulative - i / n);
    if (index > 0) distance = std::max(distance, std::fabs(cumulative - (i - 1) / n));
    if (distance > ks) ks = distance;
  }
  return ks;
}

TNormalityResult TestNormality(std::span<const TReal> values, TReal mean, TReal sd) {
  TNormalityResult result;
  if (static_cast<std::int32_t>(values.size()) < MinimumNormalityN || IsEmpty(mean) || IsEmpty(sd) || !(sd > 0))
    return result;
  std::vector<TReal> sorted(values.begin(), values.end());
  ShellSort(sorted);
  result.KS = KolmogorovSmirnovDistance(sorted, mean, sd);
  // The mean and SD come from the same values, so the distance is judged
  // by Lilliefors' distribution, not by the one for a given mean and SD.
  result.P = LillieforsP(result.KS, static_cast<std::int32_t>(sorted.size())).P;
  result.Passed = result.P > NormalityAlpha;
  return result;
}

TNormalityResult NormalityTest(TDataTable& table, int column, TReal mean, TReal sd) {
  const TNormalityResult result = TestNormality(ColumnValues(table, column), mean, sd);
  const int target = SummaryColumn(table, column);
  if (target >= 0) {
    TColumnSummary& summary = table.Summary(target);
    summary.NormalityKS = result.KS;
    summary.NormalityP = result.P;
    summary.PassedNormality = result.Passed ? 1 : 0;
  }
  return result;
}

void SetConfidenceLimits(TColumnSummary& summary) {
  if (summary.N < 1 || IsEmpty(summary.Mean) || IsEmpty(summary.SEM)) {
    summary.UpperCI = EmptyValue;
    summary.LowerCI = EmptyValue;
    return;
  }
  if (summary.N == 1) {
    summary.UpperCI = summary.Mean;
    summary.LowerCI = summary.Mean;
    return;
  }
  const TReal halfWidth = t_critical_95(summary.N - 1) * summary.SEM;
  summary.UpperCI = summary.Mean + halfWidth;
  summary.LowerCI = summary.Mean - halfWidth;
}

void DeriveAveragedStatistics(TColumnSummary& summary, bool sdFormat) {
  if (sdFormat) {
    summary.SEM = EmptyValue;
  } else {
    summary.SD = EmptyValue;
  }
  if (summary.N > 0) {
    const TReal root = std::sqrt(static_cast<TReal>(summary.N));
    if (!IsEmpty(summary.SD)) {
      summary.SEM = summary.SD / root;
    } else if (!IsEmpty(summary.SEM)) {
      summary.SD = summary.SEM * root;
    }
  }
  SetConfidenceLimits(summary);
}

bool HoldsAveragedData(const TColumnSummary& summary) {
  return summary.N != 0 && (!IsEmpty(summary.Mean) || !IsEmpty(summary.SD) || !IsEmpty(summary.SEM));
}

void RefreshColumnSummaries(TDataTable& table) {
  // A refusal left by the last analysis must not blank the medians shown on
  // the summary page; the refresh is not part of any analysis.
  const TStatusCode status = table.StatusCode;
  table.StatusCode = TStatusCode::Ok;
  table.UseColumnSelection = 0;
  for (int c = 0; c < MaxColumns; ++c) {
    const std::size_t slot = At(c);
    TColumnSummary& summary = table.Summary(c);
    const bool averaged = table.MeanEntryColumn[slot] != 0;
    bool recomputed = false;
    if (table.ColumnChanged[slot] != 0) {
      table.ColumnChanged[slot] = 0;
      // Typed mean and error would be lost to a recomputation from a
      // column that holds no raw value.
      if (!(averaged && HoldsAveragedData(summary) && table.IsColumnEmpty(c))) {
        ComputeRawColumnStatistics(table, c);
        recomputed = true;
      }
    }
    if (averaged) continue;
    if (recomputed || (IsEmpty(summary.NormalityKS) && IsEmpty(summary.NormalityP)))
      NormalityTest(table, c, summary.Mean, summary.SD);
  }
  table.StatusCode = status;
}

}  // namespace ombrel
