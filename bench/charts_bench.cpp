// The lab's Charts window at 1 000, 100 000 and 1 000 000 orbits' worth of records, on the
// offscreen platform: opening it (built, drawn from the records and painted once) and one
// refresh of each page after a new orbit (redrawn and painted). Both must cost the same at every
// length of the run.
//
//   build/orbits_chart_bench --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabWidget>
#include <map>
#include <memory>

#include "../tests/support/long_lab.h"
#include "form/host.h"
#include "panel/wired_window.h"
#include "qt/lab_charts.h"

namespace orbits {
namespace {

struct BenchHost : Host {
  void yield() override {}
  void messageBox(const std::string&, const std::string&, MessageIcon) override {}
  bool openAddress(const std::string&) override { return false; }
  text::DateTime now() override { return {text::Date::fromYmd(2024, 1, 1), 12, 0, 0}; }
  void quit() override {}
  std::string dataDir() override { return "/tmp"; }
};

// A window model holding a run of `orbits` orbits, kept between benchmarks.
MainWindow& runOf(int64_t orbits) {
  static BenchHost host;
  static std::map<int64_t, std::unique_ptr<MainWindow>> made;
  auto& w = made[orbits];
  if (!w) {
    w = std::make_unique<WiredWindow>(host);
    w->scenario.presetIndex = 83;
    w->scenario.startDate = text::Date::fromYmd(1940, 1, 24);
    testing::fillLongLab(*w, orbits);
  }
  return *w;
}

void BM_ChartsOpen(benchmark::State& state) {
  MainWindow& w = runOf(state.range(0));
  for (auto _ : state) {
    qt::ChartsWindow window(w);
    window.open();
    benchmark::DoNotOptimize(window.grab());
  }
  state.counters["buckets"] = double(w.lab.series.buckets.size());
}

void BM_ChartsRefresh(benchmark::State& state) {
  MainWindow& w = runOf(state.range(0));
  qt::ChartsWindow window(w);
  window.open();
  auto* pages = window.findChild<QTabWidget*>();
  pages->setCurrentIndex(int(state.range(1)));
  window.grab();
  OrbitRecord next = w.lab.lastOrbit;
  for (auto _ : state) {
    // One more orbit, as the run adds them, then the timer's redraw and the paint.
    next.orbit += 1, next.cycle += 1000, next.days += 687;
    addOrbitRecord(w.lab, next);
    window.redraw();
    benchmark::DoNotOptimize(window.grab());
  }
}

constexpr int64_t kLengths[] = {1'000, 100'000, 1'000'000};
// The pages drawn from the lab's records: all but the last, the budget's.
constexpr int kLabPages = 6;

void openArgs(benchmark::internal::Benchmark* b) {
  b->ArgName("orbits");
  for (int64_t n : kLengths) b->Arg(n);
}

void refreshArgs(benchmark::internal::Benchmark* b) {
  b->ArgNames({"orbits", "page"});
  for (int64_t n : kLengths)
    for (int page = 0; page < kLabPages; ++page) b->Args({n, page});
}

BENCHMARK(BM_ChartsOpen)->Apply(openArgs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartsRefresh)->Apply(refreshArgs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orbits

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
