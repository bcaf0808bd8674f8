// Makes the data directory of a long run for the long-run window check, in a moment: a real run
// of preset 83 saved after a few orbits, then carried on in the model to orbit ORBITS with the
// lab's records of that many orbits and the perihelion records a run that long keeps, and saved
// again by the program's own saving. "Load Previous Data" then reloads it as any long run.
//
//   long_lab_fixture DIR [ORBITS]   (default 1000000)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "../support/long_lab.h"
#include "analysis/data_file.h"
#include "panel/wired_window.h"
#include "persist/record_format.h"
#include "persist/save_format.h"
#include "persist/save_reload.h"

namespace {

class DirHost : public orbits::Host {
 public:
  explicit DirHost(std::string dir) : dir_(std::move(dir)) {}
  orbits::MainWindow* w = nullptr;
  void yield() override {
    if (w && w->sim.orbitCount >= 3 && w->sim.runState == orbits::RunState::Bat)
      w->c("CDstop").press();
  }
  void messageBox(const std::string& text, const std::string&, orbits::MessageIcon) override {
    std::fprintf(stderr, "long_lab_fixture: %s\n", text.c_str());
  }
  bool openAddress(const std::string&) override { return false; }
  orbits::text::DateTime now() override {
    return {orbits::text::Date::fromYmd(2024, 1, 1), 12, 0, 0};
  }
  void quit() override {}
  std::string dataDir() override { return dir_; }

 private:
  std::string dir_;
};

// The records of the first 9999 orbits, all a run keeps in "orbit-pp.txt".
std::string perihelionRecords(uint64_t runId) {
  std::string pp = orbits::perihelionHeader(runId);
  for (int o = 0; o <= 9998; ++o) {
    orbits::persist::RecordWriter rec;
    rec.whole(o).number(o * 1.5).number(2).number(3).number(4).number(o * 0.001);
    rec.whole(o + 1).whole(4).whole(0).whole(0);
    rec.end();
    pp += rec.text();
  }
  return pp;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: long_lab_fixture DIR [ORBITS]\n");
    return 2;
  }
  const std::string dir = argv[1];
  const long long orbits = argc > 2 ? std::atoll(argv[2]) : 1000000;
  if (orbits < 10000) {
    std::fprintf(stderr, "long_lab_fixture: ORBITS must be at least 10000\n");
    return 2;
  }
  std::filesystem::create_directories(dir);
  DirHost host(dir);
  orbits::WiredWindow w(host);
  host.w = &w;
  w.c("CDp", 83).press();
  if (w.sim.orbitCount < 3) return 1;

  std::ofstream(orbits::dataFilePath(w, orbits::kPerihelionFileName), std::ios::binary)
      << perihelionRecords(w.scenario.runId);
  w.lab = orbits::LabState{};
  orbits::testing::fillLongLab(w, orbits);
  w.sim.orbitCount = double(orbits);
  w.sim.cycleCount = orbits::testing::kLongLabCyclesPerOrbit * double(orbits + 1);
  orbits::SaveOrbit(w);
  orbits::settleSaves(w);
  std::printf("%lld orbits in %s\n", orbits, dir.c_str());
  return 0;
}
