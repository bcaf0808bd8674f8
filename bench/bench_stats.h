#pragma once
// The least of the repetitions beside their median and mean: on a machine shared with other
// work, a slow spell only ever adds time, so the least repetition is the figure least thrown by
// it. (Apply it to a benchmark; --benchmark_repetitions=N then reports both.)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

inline void withMinimum(benchmark::internal::Benchmark* b) {
  b->ComputeStatistics(
      "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}
