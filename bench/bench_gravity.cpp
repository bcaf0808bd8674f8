// One cycle of the physics (move, accelerations, velocity update) for the nine bodies of the
// 1940 epoch at a realistic time rate: the fast kernel and the reference loop.
#include <benchmark/benchmark.h>

#include "../tests/support/running_epoch.h"
#include "engine/gravity.h"

namespace {

template <void (*Accel)(orbits::SimState&, orbits::Accelerations&, orbits::ProximityReport&)>
void BM_Cycle(benchmark::State& state) {
  orbits::SimState s = orbits::testing::runningEpoch1940();
  orbits::Accelerations a;
  orbits::ProximityReport close;
  for (auto _ : state) {
    orbits::moveBodies(s);
    Accel(s, a, close);
    for (int k = 0; k <= s.lastBody; ++k) orbits::updateVelocity(s, a, k);
    benchmark::DoNotOptimize(s.velX.data());
    benchmark::ClobberMemory();
  }
}

BENCHMARK_TEMPLATE(BM_Cycle, orbits::computeAccelerations)->Name("CycleKernel");

// The cycle with the Sun's relativistic term added, as the run loop does with the option on.
void BM_CycleRelativity(benchmark::State& state) {
  orbits::SimState s = orbits::testing::runningEpoch1940();
  s.lightSpeed = 299792.458;
  s.stepSeconds = 15;  // time-rate index 5
  orbits::Accelerations a;
  orbits::ProximityReport close;
  for (auto _ : state) {
    orbits::moveBodies(s);
    orbits::computeAccelerations(s, a, close);
    orbits::addRelativity(s, a);
    for (int k = 0; k <= s.lastBody; ++k) orbits::updateVelocity(s, a, k);
    benchmark::DoNotOptimize(s.velX.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CycleRelativity)->Name("CycleKernelRelativity");
BENCHMARK_TEMPLATE(BM_Cycle, orbits::accelerationsReference)->Name("CycleReference");

// The kernel at each vector width this processor supports.
void BM_CycleAtWidth(benchmark::State& state) {
  const auto width = static_cast<orbits::KernelWidth>(state.range(0));
  if (!orbits::kernelWidthSupported(width)) {
    state.SkipWithError("not supported here");
    return;
  }
  const orbits::KernelWidth before = orbits::kernelWidth();
  orbits::setKernelWidth(width);
  BM_Cycle<orbits::computeAccelerations>(state);
  orbits::setKernelWidth(before);
}
BENCHMARK(BM_CycleAtWidth)
    ->ArgName("width")
    ->Arg(static_cast<int>(orbits::KernelWidth::kPortable))
    ->Arg(static_cast<int>(orbits::KernelWidth::kSse2))
    ->Arg(static_cast<int>(orbits::KernelWidth::kAvx))
    ->Arg(static_cast<int>(orbits::KernelWidth::kAvx512));

}  // namespace
