// The exact Spearman P for 12 pairs (479,001,600 rank assignments): the
// count alone and a whole correlation.
#include <vector>

#include "Bench.h"
#include "core/base/CalcProgress.h"
#include "core/base/DataTable.h"
#include "core/analysis/Correlation.h"
#include "core/stats/ExactRankCounts.h"

namespace {

using namespace ombrel;

// The widest table: a threshold in the upper tail keeps every sum apart.
OMBREL_BENCHMARK("CountSpearmanPermutations, 12 pairs, rs = 0.99", 1000) {
  static_cast<void>(CountSpearmanPermutations(MaxSpearmanCount, SpearmanThreshold(MaxSpearmanCount, 0.99L)));
}

// A middle threshold: every larger sum shares one bucket.
OMBREL_BENCHMARK("CountSpearmanPermutations, 12 pairs, rs = 0.5", 1000) {
  static_cast<void>(CountSpearmanPermutations(MaxSpearmanCount, SpearmanThreshold(MaxSpearmanCount, 0.5L)));
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
