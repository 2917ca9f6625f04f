// The exact Spearman P for 12 pairs (479,001,600 rank assignments): the
// count alone and a whole correlation.
#include <cstdint>
#include <vector>

#include "Bench.h"
#include "document/CalcProgress.h"
#include "document/DataTable.h"
#include "stats/Correlation.h"

namespace {

using namespace ombrel;

OMBREL_BENCHMARK("CountRankDistances, 12 pairs", 1000) {
  TSilentCalcProgress progress;
  progress.StartExactProgress(1);
  std::vector<std::uint64_t> counts;
  static_cast<void>(CountRankDistances(MaxExactSpearmanPairs, counts, progress));
}

OMBREL_BENCHMARK("ComputeSpearman, 12 pairs with exact P", 1000) {
  static const TDataTable table = [] {
    TDataTable t;
    const int x[] = {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10};
    for (int row = 0; row < 12; ++row) {
      t.SetValue(row, 0, x[row]);
      t.SetValue(row, 1, row + 1);
    }
    return t;
  }();
  TDataTable copy = table;
  TSilentCalcProgress progress;
  const std::vector<int> others = {1};
  static_cast<void>(ComputeSpearman(copy, 0, others, progress));
}

}  // namespace
