#include "stats/ColumnStats.h"

#include <algorithm>
#include <cmath>

#include "stats/PValue.h"

namespace ombrel {

// Placeholder until the column statistics land: plain two-pass statistics
// and the Kolmogorov-Smirnov test with the asymptotic series.

std::vector<TReal> ColumnValues(const TDataTable& table, int column) {
  std::vector<TReal> values;
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal value = table.GetAnalysisValue(row, column);
    if (!IsEmpty(value)) values.push_back(value);
  }
  return values;
}

TColumnSummary ComputeRawSummary(const TDataTable& table, int column) {
  TColumnSummary summary;
  std::vector<TReal> values = ColumnValues(table, column);
  summary.N = static_cast<std::int32_t>(values.size());
  if (values.empty()) return summary;
  TReal sum = 0;
  for (const TReal v : values) sum += v;
  const TReal n = static_cast<TReal>(values.size());
  summary.Mean = sum / n;
  TReal squares = 0;
  for (const TReal v : values) squares += (v - summary.Mean) * (v - summary.Mean);
  summary.SD = values.size() >= 2 ? std::sqrt(squares / (n - 1)) : 0;
  summary.SEM = summary.SD / std::sqrt(n);
  std::sort(values.begin(), values.end());
  summary.Minimum = values.front();
  summary.Maximum = values.back();
  const std::size_t half = values.size() / 2;
  summary.Median = values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2;
  const TReal t = values.size() >= 2 ? t_critical_95(summary.N - 1) : 0;
  summary.UpperCI = summary.Mean + t * summary.SEM;
  summary.LowerCI = summary.Mean - t * summary.SEM;
  if (table.StatusCode != 0) summary.Median = EmptyValue;
  return summary;
}

TReal ComputeRawColumnStatistics(TDataTable& table, int column) {
  TColumnSummary& summary = table.Summary(table.MapColumn(column));
  const TColumnSummary computed = ComputeRawSummary(table, column);
  const std::string title = summary.Title;
  summary = computed;
  summary.Title = title;
  return summary.Mean;
}

TNormalityResult TestNormality(std::span<const TReal> values, TReal mean, TReal sd) {
  TNormalityResult result;
  if (values.size() < 5 || !(sd > 0)) return result;
  std::vector<TReal> sorted(values.begin(), values.end());
  std::sort(sorted.begin(), sorted.end());
  const TReal n = static_cast<TReal>(sorted.size());
  TReal ks = 0;
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    const TReal z = (sorted[i] - mean) / sd;
    const TReal half = p_value_z(z) / 2;
    const TReal f = z > 0 ? 1 - half : half;
    TReal distance = std::fabs(f - static_cast<TReal>(i + 1) / n);
    if (i > 0) distance = std::max(distance, std::fabs(f - static_cast<TReal>(i) / n));
    if (distance > ks) ks = distance;
  }
  TReal p = 0;
  TReal previous = 0;
  int k = 0;
  for (; k <= 100; ++k) {
    const TReal sign = k % 2 == 0 ? 1 : -1;
    const TReal term = 2 * sign * std::exp(-2 * (k + 1) * (k + 1) * n * ks * ks);
    p += term;
    if (k > 0 && 0.001L * std::fabs(previous) > std::fabs(term)) break;
    previous = term;
  }
  if (k >= 100) p = 1;
  result.KS = ks;
  result.P = std::clamp(p, TReal{0}, TReal{1});
  result.Passed = result.P > 0.05L;
  return result;
}

void RefreshColumnSummaries(TDataTable& table) {
  for (int c = 0; c < MaxColumns; ++c) {
    if (table.ColumnChanged[static_cast<std::size_t>(c)] == 0) continue;
    ComputeRawColumnStatistics(table, c);
    table.ColumnChanged[static_cast<std::size_t>(c)] = 0;
  }
}

}  // namespace ombrel
