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
  // The shade of the alternate orbit colour.
  s.altShade = 0.4;
  // The drift file in the program's folder.
  s.driftFilePath = (std::filesystem::path(w.host.dataDir()) / kDriftFileName).string();
  // The file check boxes' tooltips name the drift file.
  w.c("CHfile").setTooltip("Data for min/max drift can be found in file: " + s.driftFilePath);
  w.c("Chfiti").setTooltip("Data for orbit duration can be found in file: " + s.driftFilePath);
  // Side-view switches, each change running its handler.
  w.c("ChZAxis").setValue(1);
  w.c("ChZAxis").setValue(0);
  w.c("ChZX").setValue(0);
  w.c("ChZX").setValue(1);
  // Orbit ratios for the pair selection.
  for (int k = 0; k < 9; ++k) w.pair.orbitRatio[size_t(k)] = kOrbitRatio[k];
  // The precession average frame and its options.
  w.c("FraaaA").setLeft(0);
  w.c("ChAvg").setValue(1);
  w.c("ChLR").setValue(0);
  // Constants.
  s.twoPi = kTwoPi15;
  s.piValue = kPi15;
  s.solarMass = kSolarMass;
  s.siderealYearSecs = kSiderealYearSeconds;
  s.lightSpeed = kSpeedOfLightKmPerS;
  s.prevTimeFactor = 1.0;
  // The detailed turbo mode, which writes the time-rate captions.
  w.c("OptimT", 4).setValue(1);
  // Place the ZX side view and show it.
  Control& sideView = w.c("PiZX");
  sideView.setLeft(2160);
  sideView.setTop(9360);
  w.c("ChZX").setValue(1);
  // Orbit detection and distance extremes options.
  w.c("ChNY").setValue(0);
  w.c("ChEach").setValue(1);
  w.c("ChEach").setValue(0);
  w.c("ChAPE").setValue(1);
  // The gravitational constant, ending on the 2018 ephemeris value.
  w.c("opGee", 1).setValue(1);
  w.c("opGee", 4).setValue(1);
  // Positions that differ from the designed layout.
  for (const Place& p : kPlaces) {
    Control& c = w.c(p.name);
    if (p.left >= 0) c.setLeft(p.left);
    if (p.top >= 0) c.setTop(p.top);
  }
  // Body colours.
  for (int k = 0; k < kMaxBodies; ++k) {
    s.bodyRed[k] = kBodies[k].red;
    s.bodyGreen[k] = kBodies[k].green;
    s.bodyBlue[k] = kBodies[k].blue;
  }
  // The number of presets, and their buttons in the normal colour.
  s.lastPresetIndex = 83;
  const Color normal = w.c("Command2").backColor();
  for (int i = 1; i <= 83; ++i) w.c("CDp", i).setBackColor(normal);
  // Hide the presets never offered.
  for (int i : kHiddenPresets) w.c("CDp", i).setVisible(false);
  // Body names.
  for (int k = 0; k < kMaxBodies; ++k) s.bodyName[k] = kBodies[k].name;
  // Show the body colours on the panel.
  ColPlan(w);
}

}  // namespace orbits
