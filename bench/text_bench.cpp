// Cost of the number texts the panel shows every cycle in the detailed mode.
#include <benchmark/benchmark.h>

#include "text/number_text.h"

namespace {

void BM_Plain(benchmark::State& state) {
  double v = 123456789.0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orbits::text::plain(v));
    v += 1.0;
  }
}
BENCHMARK(BM_Plain);

void BM_PatternedNineDecimals(benchmark::State& state) {
  double v = 0.000123456789;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orbits::text::patterned(v, "000.000000000"));
    v += 1e-9;
  }
}
BENCHMARK(BM_PatternedNineDecimals);

void BM_Shortest(benchmark::State& state) {
  double v = -4461866447.73686;
  for (auto _ : state) {
    benchmark::DoNotOptimize(orbits::text::shortest(v));
    v *= 1.0000001;
  }
}
BENCHMARK(BM_Shortest);

void BM_Val(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(orbits::text::val("  -1234567.890123E-05"));
}
BENCHMARK(BM_Val);

}  // namespace
