// Whole cycles of the run loop on the nine bodies of the 1940 epoch, against the bare physics
// kernel of the same cycles.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "bench_stats.h"
#include "engine/run_loop.h"
#include "panel/wired_window.h"
#include "physics/dot_lanes.h"
#include "physics/gravity.h"
#include "scenarios/epochs.h"
#include "window/main_window.h"

namespace orbits {
namespace {

constexpr long kCyclesPerRun = 2000;

// A host with nothing to do but end the run after a number of cycles.
class BenchHost : public Host {
 public:
  SimState* sim = nullptr;
  long left = 0;
  void yield() override {
    if (--left <= 0) sim->runState = RunState::Stop;
  }
  void messageBox(const std::string&, const std::string&, MessageIcon) override {}
  bool openAddress(const std::string&) override { return false; }
  text::DateTime now() override { return {}; }
  void quit() override {}
  // The data files of the benchmarked runs go to a directory of their own, not where the
  // benchmark happens to be started.
  std::string dataDir() override {
    static const std::string dir = [] {
      auto d = std::filesystem::temp_directory_path() / "orbits-bench";
      std::filesystem::create_directories(d);
      return d.string();
    }();
    return dir;
  }
};

// Nanoseconds per cycle: the inverse rate of cycles, counted in billions.
void reportPerCycle(benchmark::State& state) {
  state.counters["ns_per_cycle"] =
      benchmark::Counter(double(state.iterations()) * kCyclesPerRun * 1e-9,
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

struct Bench {
  BenchHost host;
  WiredWindow w{host};

  explicit Bench(int turbo, int timeRate = 7) {
    SimState& s = w.sim;
    host.sim = &s;
    if (s.prevTimeFactor == 0) s.prevTimeFactor = 1.0;
    s.solarMass = 1.988544;
    s.lightSpeed = 299792.458;
    s.altShade = 0.4;
    s.gravConstant = 6.6743 * s.solarMass * 225;
    for (int k = 0; k <= 8; ++k) s.bodyRed[k] = 255, s.bodyGreen[k] = 127, s.bodyBlue[k] = 0;
    w.c("OptimT", turbo).setValue(1);
    w.c("Optime", timeRate).setValue(1);
    s.lastBody = 8;
    s.pairBody = {0, 0, 5};
    loadEpoch(s, kEpoch1940, 5);
    w.c("OpDist", 13).setValue(1);
    w.c("CHquick").setValue(1);
    w.c("ChorbSave").setValue(0);
    w.c("Chender").setValue(0);
    s.runState = RunState::Bat;
    for (int k = 0; k <= s.lastBody; ++k) {
      s.velX[k] *= s.timeFactor;
      s.velY[k] *= s.timeFactor;
      s.velZ[k] *= s.timeFactor;
    }
  }

  void run(long cycles) {
    host.left = cycles;
    w.sim.runState = RunState::Bat;
    RunLoop(w);
  }
};

void runLoop(benchmark::State& state, int turbo, int timeRate = 7) {
  state.SetLabel(kernelName(kernelVariant()));  // the kernel variant chosen at start-up
  auto b = std::make_unique<Bench>(turbo, timeRate);
  b->run(kCyclesPerRun);  // settle the scale's expansion
  const double first = b->w.sim.cycleCount;
  for (auto _ : state) b->run(kCyclesPerRun);
  if (b->w.sim.cycleCount - first != double(state.iterations()) * kCyclesPerRun)
    state.SkipWithError("the run ended before its cycles were done");
  state.counters["scale"] = b->w.sim.distScaleIndex;
  reportPerCycle(state);
}

void BM_RunLoopMinimalDetail(benchmark::State& state) { runLoop(state, 5); }
// A hundred times the time rate: the dots cross pixels a hundred times as often, and the pixel
// boxes of the trail dots are made again as often as they are allowed to be.
void BM_RunLoopMinimalDetailFastRate(benchmark::State& state) { runLoop(state, 5, 9); }
void BM_RunLoopFullDetail(benchmark::State& state) { runLoop(state, 4); }

// The physics of the same cycles alone: move, accelerations, velocity update.
void BM_PhysicsKernel(benchmark::State& state) {
  auto b = std::make_unique<Bench>(5);
  SimState& s = b->w.sim;
  s.gravExponent = 2;
  Accelerations a;
  ProximityReport close;
  for (auto _ : state) {
    for (long c = 0; c < kCyclesPerRun; ++c) {
      moveBodies(s);
      computeAccelerations(s, a, close);
      for (int k = 0; k <= s.lastBody; ++k) updateVelocity(s, a, k);
    }
    benchmark::DoNotOptimize(s.posX);
  }
  reportPerCycle(state);
}

// Step 10's projection alone: the coordinates, pixels and colours of every body, with the Sun's
// glow and the first side view, on the bodies of the run loop's benchmark.
void BM_ProjectDots(benchmark::State& state) {
  auto b = std::make_unique<Bench>(5);
  b->run(kCyclesPerRun);
  MainWindow& w = b->w;
  Control& zy = w.c("PiZZ");
  DotInput in;
  in.s = &w.sim;
  in.pixels = in.glow = in.zy = true;
  in.main = dotArea(w.surface, 0, 0, w.width(), w.height());
  in.zyArea = dotArea(*zy.surface(), zy.left(), zy.top(), zy.width(), zy.height());
  DotLanes out;
  for (auto _ : state) {
    projectDots(in, out);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
}

BENCHMARK(BM_PhysicsKernel)->Apply(withMinimum);
BENCHMARK(BM_ProjectDots)->Apply(withMinimum);
BENCHMARK(BM_RunLoopMinimalDetail)->Apply(withMinimum);
BENCHMARK(BM_RunLoopMinimalDetailFastRate)->Apply(withMinimum);
BENCHMARK(BM_RunLoopFullDetail)->Apply(withMinimum);

}  // namespace
}  // namespace orbits
