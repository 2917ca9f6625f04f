#pragma once

// A minimal benchmark registry: each OMBREL_BENCHMARK body is one timed run;
// ombrel-bench runs every registered benchmark several times and prints the
// median and the slowest run in milliseconds.

#include <functional>
#include <string>
#include <vector>

namespace ombrel::bench {

struct TBenchmark {
  std::string Name;
  std::function<void()> Run;
  double LimitMs = 0;  // the time the run should stay well under
};

inline std::vector<TBenchmark>& Registry() {
  static std::vector<TBenchmark> benchmarks;
  return benchmarks;
}

// Lines printed after the timings, such as the memory a structure takes.
inline std::vector<std::function<std::string()>>& Notes() {
  static std::vector<std::function<std::string()>> notes;
  return notes;
}

struct TNoteRegistrar {
  explicit TNoteRegistrar(std::function<std::string()> note) { Notes().push_back(std::move(note)); }
};

struct TRegistrar {
  TRegistrar(std::string name, double limitMs, std::function<void()> run) {
    Registry().push_back({std::move(name), std::move(run), limitMs});
  }
};

}  // namespace ombrel::bench

#define OMBREL_BENCH_CONCAT2(a, b) a##b
#define OMBREL_BENCH_CONCAT(a, b) OMBREL_BENCH_CONCAT2(a, b)
// OMBREL_BENCHMARK("name", limit in ms) { body of one run }
#define OMBREL_BENCHMARK(name, limitMs)                                                   \
  static void OMBREL_BENCH_CONCAT(BenchBody, __LINE__)();                                 \
  static const ::ombrel::bench::TRegistrar OMBREL_BENCH_CONCAT(BenchRegistrar, __LINE__)( \
      name, limitMs, OMBREL_BENCH_CONCAT(BenchBody, __LINE__));                           \
  static void OMBREL_BENCH_CONCAT(BenchBody, __LINE__)()
