// The Sun and Mercury (preset 1) to 400 orbits with the perihelion lines drawn at every orbit,
// at the preset's own scale and at the finest, where every line runs far beyond the surface.
// Drawing the lines must cost about the same at both.
#include <benchmark/benchmark.h>

#include "../tests/support/test_host.h"
#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

constexpr double kOrbits = 400;
constexpr int kFinestScale = 0;  // "OpDist(0)": 1 km to a drawing unit

void BM_Preset1To400Orbits(benchmark::State& state) {
  const int scale = int(state.range(0));  // chosen at the first cycle, as a user would
  for (auto _ : state) {
    testing::TestHost host;
    WiredWindow w(host);
    host.onYield = [&](long cycles) {
      if (cycles == 1 && scale >= 0) w.c("OpDist", scale).setValue(1);
      if (w.sim.orbitCount >= kOrbits) w.c("CDstop").press();
    };
    w.c("CDp", 1).press();
    if (w.sim.orbitCount < kOrbits) state.SkipWithError("the run ended before 400 orbits");
    state.counters["orbits"] = w.sim.orbitCount;
  }
}
BENCHMARK(BM_Preset1To400Orbits)
    ->ArgName("scale")
    ->Arg(-1)  // the preset's own scale
    ->Arg(kFinestScale)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace orbits
