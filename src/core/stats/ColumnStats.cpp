#include "stats/ColumnStats.h"

namespace ombrel {

// Placeholder until the column statistics land: counts values only.
TReal ComputeRawColumnStatistics(TDataTable& table, int column) {
  TColumnSummary& summary = table.Summary(column);
  summary.ClearStatistics();
  TReal sum = 0;
  for (int row = 0; row <= table.LastRow(); ++row) {
    const TReal value = table.GetAnalysisValue(row, column);
    if (IsEmpty(value)) continue;
    ++summary.N;
    sum += value;
  }
  if (summary.N > 0) summary.Mean = sum / summary.N;
  return summary.Mean;
}

void RefreshColumnSummaries(TDataTable& table) {
  for (int c = 0; c < MaxColumns; ++c) {
    if (table.ColumnChanged[static_cast<std::size_t>(c)] == 0) continue;
    ComputeRawColumnStatistics(table, c);
    table.ColumnChanged[static_cast<std::size_t>(c)] = 0;
  }
}

}  // namespace ombrel
