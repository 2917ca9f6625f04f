// Times the exact Spearman P: the count of rank assignments by their sum of
// squared differences for 12 pairs (479,001,600 assignments), alone and
// inside a whole correlation of 12 pairs.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <iostream>
#include <vector>

#include "document/CalcProgress.h"
#include "document/DataTable.h"
#include "stats/Correlation.h"

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

}  // namespace

int main() {
  using namespace ombrel;
  constexpr int Runs = 10;
  TSilentCalcProgress progress;

  double best = 1e300;
  std::uint64_t total = 0;
  for (int run = 0; run < Runs; ++run) {
    std::vector<std::uint64_t> counts;
    const auto start = TClock::now();
    progress.StartExactProgress(1);
    static_cast<void>(CountRankDistances(MaxExactSpearmanPairs, counts, progress));
    best = std::min(best, MillisecondsSince(start));
    total = 0;
    for (const std::uint64_t c : counts) total += c;
  }
  std::cout << "CountRankDistances(12): best of " << Runs << " runs " << best << " ms (" << total
            << " assignments counted)\n";

  TDataTable table;
  const int x[] = {3, 1, 4, 12, 5, 9, 2, 6, 11, 8, 7, 10};
  for (int row = 0; row < 12; ++row) {
    table.SetValue(row, 0, x[row]);
    table.SetValue(row, 1, row + 1);
  }
  const std::vector<int> others = {1};
  best = 1e300;
  TReal p = 0;
  for (int run = 0; run < Runs; ++run) {
    const auto start = TClock::now();
    p = ComputeSpearman(table, 0, others, progress).P;
    best = std::min(best, MillisecondsSince(start));
  }
  std::cout << "ComputeSpearman, 12 pairs: best of " << Runs << " runs " << best << " ms (exact P "
            << static_cast<double>(p) << ")\n";
  return 0;
}
