#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "Bench.h"

// Runs every registered benchmark (after one warm-up run) and prints the
// median and slowest wall time and the median processor time (which other
// processes on a busy machine do not inflate); the exit status is 1 when the
// median processor time exceeds the limit.
int main() {
  constexpr int Runs = 15;
  int failures = 0;
  for (const auto& benchmark : ombrel::bench::Registry()) {
    benchmark.Run();
    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int i = 0; i < Runs; ++i) {
      const std::clock_t cpuStart = std::clock();
      const auto start = std::chrono::steady_clock::now();
      benchmark.Run();
      const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
      times.push_back(elapsed.count());
      cpuTimes.push_back(1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    const double median = times[times.size() / 2];
    const double cpuMedian = cpuTimes[cpuTimes.size() / 2];
    const bool within = benchmark.LimitMs <= 0 || cpuMedian <= benchmark.LimitMs;
    if (!within) ++failures;
    std::printf("%s\n  wall median %7.2f ms, slowest %7.2f ms; processor median %7.2f ms (limit %.0f ms)%s\n",
                benchmark.Name.c_str(), median, times.back(), cpuMedian, benchmark.LimitMs, within ? "" : "  TOO SLOW");
  }
  for (const auto& note : ombrel::bench::Notes()) std::printf("%s\n", note().c_str());
  return failures == 0 ? 0 : 1;
}
