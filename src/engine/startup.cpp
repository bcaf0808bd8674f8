#include "engine/startup.h"

#include <filesystem>

#include "analysis/data_file.h"
#include "display/colours.h"
#include "physics/constants.h"
#include "window/main_window.h"

namespace orbits {

namespace {

struct BodyLook {
  const char* name;
  float red, green, blue;
};
constexpr BodyLook kBodies[kMaxBodies] = {
    {"Sun", 255, 207, 159},    {"Mercury", 255, 127, 0}, {"Venus", 255, 0, 255},
    {"Earth", 0, 159, 255},    {"Mars", 255, 0, 0},      {"Jupiter", 255, 255, 0},
    {"Saturn", 159, 127, 255}, {"Uranus", 0, 255, 0},    {"Neptune", 0, 255, 255},
    {"Rogue", 127, 191, 0},
};

constexpr double kOrbitRatio[9] = {0, 984, 385, 237, 126, 77, 31, 23, 8};

// Presets that are never offered.
constexpr int kHiddenPresets[] = {9, 19, 10, 47, 48, 59, 60, 67, 68, 69, 70};

struct Place {
  const char* name;
  int left, top;  // -1: unchanged
};
constexpr Place kPlaces[] = {
    {"TXyearLeap", 11280, -1}, {"FraDate", 10680, -1}, {"Picoc", -1, 4890}, {"Pico2", 6810, -1},
    {"FrameDark", 360, -1},    {"CDcont", 1080, -1},   {"Command1", 0, -1}, {"FraNo", 1320, -1},
    {"CDstop", 1080, -1},      {"ImZod", 2205, 1485},
};

}  // namespace

void Form_Load(MainWindow& w) {
  SimState& s = w.sim;
  s.altShade = 0.4;                                                                             // 1
  s.driftFilePath = (std::filesystem::path(w.host.dataDir()) / kDriftFileName).string();        // 2
  w.c("CHfile").setTooltip("Data for min/max drift can be found in file: " + s.driftFilePath);  // 3
  w.c("Chfiti").setTooltip("Data for orbit duration can be found in file: " + s.driftFilePath);
  w.c("ChZAxis").setValue(1);  // 4
  w.c("ChZAxis").setValue(0);
  w.c("ChZX").setValue(0);
  w.c("ChZX").setValue(1);
  for (int k = 0; k < 9; ++k) w.pair.orbitRatio[size_t(k)] = kOrbitRatio[k];  // 5
  w.c("FraaaA").setLeft(0);                                                   // 6
  w.c("ChAvg").setValue(1);
  w.c("ChLR").setValue(0);
  s.twoPi = kTwoPi15;  // 7
  s.piValue = kPi15;
  s.solarMass = kSolarMass;
  s.siderealYearSecs = kSiderealYearSeconds;
  s.lightSpeed = kSpeedOfLightKmPerS;
  s.prevTimeFactor = 1.0;
  w.c("OptimT", 4).setValue(1);     // 8
  Control& sideView = w.c("PiZX");  // 9
  sideView.setLeft(2160);
  sideView.setTop(9360);
  w.c("ChZX").setValue(1);
  w.c("ChNY").setValue(0);  // 10
  w.c("ChEach").setValue(1);
  w.c("ChEach").setValue(0);
  w.c("ChAPE").setValue(1);
  w.c("opGee", 1).setValue(1);  // 11
  w.c("opGee", 4).setValue(1);
  for (const Place& p : kPlaces) {  // 12
    Control& c = w.c(p.name);
    if (p.left >= 0) c.setLeft(p.left);
    if (p.top >= 0) c.setTop(p.top);
  }
  for (int k = 0; k < kMaxBodies; ++k) {  // 13
    s.bodyRed[k] = kBodies[k].red;
    s.bodyGreen[k] = kBodies[k].green;
    s.bodyBlue[k] = kBodies[k].blue;
  }
  s.lastPresetIndex = 83;  // 14
  const Color normal = w.c("Command2").backColor();
  for (int i = 1; i <= 83; ++i) w.c("CDp", i).setBackColor(normal);
  for (int i : kHiddenPresets) w.c("CDp", i).setVisible(false);          // 15
  for (int k = 0; k < kMaxBodies; ++k) s.bodyName[k] = kBodies[k].name;  // 16
  ColPlan(w);                                                            // 17
}

}  // namespace orbits
