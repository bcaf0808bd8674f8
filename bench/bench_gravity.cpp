// One cycle of the physics (move, accelerations, velocity update) for the nine bodies of the
// 1940 epoch at a realistic time rate: the fast kernel and the reference loop.
#include <alloca.h>
#include <benchmark/benchmark.h>

#include "../tests/support/running_epoch.h"
#include "bench_stats.h"
#include "physics/gravity.h"

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

BENCHMARK_TEMPLATE(BM_Cycle, orbits::computeAccelerations)->Name("CycleKernel")->Apply(withMinimum);

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
BENCHMARK(BM_CycleRelativity)->Name("CycleKernelRelativity")->Apply(withMinimum);
BENCHMARK_TEMPLATE(BM_Cycle, orbits::accelerationsReference)
    ->Name("CycleReference")
    ->Apply(withMinimum);

// The kernel in each of its variants this processor supports (kKernelVariants, by index).
void BM_CycleAtWidth(benchmark::State& state) {
  const orbits::KernelVariant v = orbits::kKernelVariants[state.range(0)];
  if (!orbits::kernelSupported(v)) {
    state.SkipWithError("not supported here");
    return;
  }
  state.SetLabel(orbits::kernelName(v));
  const orbits::KernelVariant before = orbits::kernelVariant();
  orbits::setKernel(v);
  BM_Cycle<orbits::computeAccelerations>(state);
  orbits::setKernel(before);
}
BENCHMARK(BM_CycleAtWidth)
    ->ArgName("variant")
    ->DenseRange(0, orbits::kKernelVariantCount - 1)
    ->Apply(withMinimum);

// The kernel with the frame of its caller moved by a number of bytes: its speed must not
// depend on where the stack lies against the rest of the program's memory. (A load whose
// address agrees with that of a store still in flight in its low twelve bits waits for the
// store; the kernel of before took up to half as long again at some offsets.)
void BM_KernelAtStackOffset(benchmark::State& state) {
  volatile char* pad = static_cast<char*>(alloca(size_t(state.range(0)) + 1));
  pad[0] = 0;
  BM_Cycle<orbits::computeAccelerations>(state);
}
BENCHMARK(BM_KernelAtStackOffset)->ArgName("bytes")->DenseRange(0, 4032, 64)->MinTime(0.02);

// What the choice at start-up measured and chose, and how long it took.
void BM_KernelChoice(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(orbits::kernelChoice());
  const orbits::KernelChoice& c = orbits::kernelChoice();
  state.SetLabel(orbits::kernelName(c.chosen));
  state.counters["choice_ms"] = c.seconds * 1e3;
  for (int i = 0; i < orbits::kKernelVariantCount; ++i)
    if (c.nsPerCycle[size_t(i)] > 0)
      state.counters[orbits::kernelName(orbits::kKernelVariants[i])] = c.nsPerCycle[size_t(i)];
}
BENCHMARK(BM_KernelChoice)->Iterations(1);

}  // namespace
