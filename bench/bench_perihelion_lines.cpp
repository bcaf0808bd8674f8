// The Sun and Mercury (preset 1) to 400 orbits with the perihelion lines drawn at every orbit,
// at the preset's own scale and at the finest, where every line runs far beyond the surface.
// Drawing the lines must cost about the same at both.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "window/main_window.h"

namespace orbits {
namespace {

constexpr double kOrbits = 400;
constexpr int kFinestScale = 0;  // "OpDist(0)": 1 km to a drawing unit

class OrbitsHost : public Host {
 public:
  MainWindow* w = nullptr;
  int scale = -1;  // chosen at the first cycle, as a user would; -1 keeps the preset's
  long cycles = 0;
  void yield() override {
    if (++cycles == 1 && scale >= 0) w->c("OpDist", scale).setValue(1);
    if (w->sim.orbitCount >= kOrbits) w->c("CDstop").press();
  }
  void messageBox(const std::string&, const std::string&, MessageIcon) override {}
  bool openAddress(const std::string&) override { return false; }
  text::DateTime now() override { return {}; }
  void quit() override {}
  std::string dataDir() override {
    static const std::string dir = [] {
      auto d = std::filesystem::temp_directory_path() / "orbits-bench-lines";
      std::filesystem::create_directories(d);
      return d.string();
    }();
    return dir;
  }
};

void BM_Preset1To400Orbits(benchmark::State& state) {
  for (auto _ : state) {
    OrbitsHost host;
    MainWindow w(host);
    host.w = &w;
    host.scale = int(state.range(0));
    w.c("CDp", 1).press();
    if (w.sim.orbitCount < kOrbits) state.SkipWithError("the run ended before 400 orbits");
    state.counters["orbits"] = w.sim.orbitCount;
  }
}
BENCHMARK(BM_Preset1To400Orbits)
    ->ArgName("scale")
    ->Arg(-1)  // the preset's own
    ->Arg(kFinestScale)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

}  // namespace
}  // namespace orbits
