// What saving at every orbit costs a fast run: preset 83 (a few hundred cycles an orbit) to
// orbit 2000, with "Save orbital data" on and off. The saves go to a directory on the disk the
// benchmark runs on, and a run ends with them synced.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "../tests/support/test_host.h"
#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

constexpr int kPreset = 83;
constexpr double kOrbits = 2000;

void runPreset(benchmark::State& state, bool saving) {
  for (auto _ : state) {
    testing::TestHost host;
    WiredWindow w(host);
    w.c("ChorbSave").setValue(saving ? 1 : 0);
    host.onYield = [&](long) {
      if (w.sim.orbitCount > kOrbits) w.c("CDstop").press();
    };
    w.c("CDp", kPreset).press();
    if (w.sim.orbitCount <= kOrbits) state.SkipWithError("the run ended early");
  }
}

void BM_Preset83To2000Orbits_SavingOff(benchmark::State& state) { runPreset(state, false); }
void BM_Preset83To2000Orbits_SavingOn(benchmark::State& state) { runPreset(state, true); }

BENCHMARK(BM_Preset83To2000Orbits_SavingOff)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Preset83To2000Orbits_SavingOn)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orbits
