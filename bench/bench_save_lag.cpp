// How far the newest save on the disk lags behind a run: what a crash at any moment would lose.
// Preset 83 (some thousands of orbits a second) saving at every orbit, for two seconds of run.
// About every millisecond the run reads the orbit count of "orbit-save.txt" on the disk; the lag
// is the age of the oldest save handed over that the disk does not hold yet (0 when it holds the
// newest). Reported per run: the largest lag, the 99th percentile and the median, and the
// longest write of the saves, in ms: the lag stays within 250 ms and about one write.
//   build/orbits_bench --benchmark_filter=NewestSaveLag --benchmark_repetitions=5
// bench/save_lag.sh measures it on a quiet machine and under load, in alternating rounds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <deque>
#include <fstream>
#include <string>
#include <vector>

#include "../tests/support/test_host.h"
#include "panel/wired_window.h"
#include "persist/save_reload.h"
#include "persist/write_behind.h"
#include "window/main_window.h"

namespace orbits {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPreset = 83;
constexpr auto kRunFor = std::chrono::seconds(2);
constexpr auto kSampleEvery = std::chrono::milliseconds(1);

// The orbit count of the save on the disk, -1 without one.
double savedOrbit(const std::string& path) {
  std::ifstream in(path);
  std::string first;
  if (!std::getline(in, first)) return -1;
  const size_t comma = first.find(',');
  if (comma == std::string::npos) return -1;
  try {
    return std::stod(first.substr(comma + 1));
  } catch (const std::exception&) {
    return -1;
  }
}

double percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[size_t(p * double(v.size() - 1))];
}

void BM_NewestSaveLag(benchmark::State& state) {
  std::vector<double> lagsMs;
  double longestWriteMs = 0;
  for (auto _ : state) {
    testing::TestHost host;
    WiredWindow w(host);
    const std::string save = host.dataDir() + "/" + kSaveFileName;
    struct Handed {
      double orbit;
      Clock::time_point at;
    };
    std::deque<Handed> notOnDisk;  // saves handed over, oldest first; bounded by the lag
    double lastOrbit = 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point nextSample = start;
    host.onYield = [&](long n) {
      // The save of an orbit is handed over right after the yield of the cycle completing it.
      if (w.sim.orbitCount != lastOrbit) {
        lastOrbit = w.sim.orbitCount;
        notOnDisk.push_back({lastOrbit, Clock::now()});
      }
      if (n % 16 != 0) return;
      const Clock::time_point now = Clock::now();
      if (now < nextSample) return;
      nextSample = now + kSampleEvery;
      const double onDisk = savedOrbit(save);
      while (!notOnDisk.empty() && notOnDisk.front().orbit <= onDisk) notOnDisk.pop_front();
      lagsMs.push_back(
          notOnDisk.empty()
              ? 0.0
              : std::chrono::duration<double, std::milli>(now - notOnDisk.front().at).count());
      if (now - start > kRunFor) w.c("CDstop").press();
    };
    w.c("CDp", kPreset).press();
    longestWriteMs = std::max(
        longestWriteMs, std::chrono::duration<double, std::milli>(w.saves.longestWrite()).count());
  }
  state.counters["lag_max_ms"] = percentile(lagsMs, 1.0);
  state.counters["lag_p99_ms"] = percentile(lagsMs, 0.99);
  state.counters["lag_median_ms"] = percentile(lagsMs, 0.5);
  state.counters["samples"] = double(lagsMs.size());
  state.counters["longest_write_ms"] = longestWriteMs;
}

BENCHMARK(BM_NewestSaveLag)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace orbits
