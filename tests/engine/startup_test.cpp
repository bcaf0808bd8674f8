#include "engine/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "../support/test_host.h"
#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

struct StartupTest : ::testing::Test {
  testing::TestHost host;
  WiredWindow w{host};
  SimState& s = w.sim;
};

TEST_F(StartupTest, TimeRateCaptionsAndGravityAreInForceBeforeAnyScenario) {
  EXPECT_EQ(w.c("Optime", 4).text(), "1.5");
  EXPECT_TRUE(w.c("OptimT", 4).selected());
  EXPECT_EQ(s.turboMode, kTurboWithDetail);
  EXPECT_EQ(w.c("TXTgravity").text(), "6.67259");
  EXPECT_TRUE(w.c("opGee", 4).selected());
  EXPECT_FALSE(w.c("opGee", 1).selected());
  EXPECT_EQ(s.gravityOption, 4);
  EXPECT_DOUBLE_EQ(s.gravConstant, 6.67259 * 1.98855 * 225);
  // No scenario, no run.
  EXPECT_EQ(s.lastBody, 0);
  EXPECT_EQ(s.runState, RunState::None);
  EXPECT_EQ(s.timeFactor, 0);
  EXPECT_EQ(s.prevTimeFactor, 1.0);
  EXPECT_EQ(s.proximityKm, 0);
  EXPECT_EQ(host.messages.size(), 0u);
}

TEST_F(StartupTest, BodiesHaveTheirNamesAndColours) {
  struct Look {
    const char* name;
    float r, g, b;
  };
  const Look looks[kMaxBodies] = {{"Sun", 255, 207, 159},    {"Mercury", 255, 127, 0},
                                  {"Venus", 255, 0, 255},    {"Earth", 0, 159, 255},
                                  {"Mars", 255, 0, 0},       {"Jupiter", 255, 255, 0},
                                  {"Saturn", 159, 127, 255}, {"Uranus", 0, 255, 0},
                                  {"Neptune", 0, 255, 255},  {"Rogue", 127, 191, 0}};
  for (int k = 0; k < kMaxBodies; ++k) {
    EXPECT_EQ(s.bodyName[k], looks[k].name) << k;
    EXPECT_EQ(s.bodyRed[k], looks[k].r) << k;
    EXPECT_EQ(s.bodyGreen[k], looks[k].g) << k;
    EXPECT_EQ(s.bodyBlue[k], looks[k].b) << k;
  }
  const double ratio[9] = {0, 984, 385, 237, 126, 77, 31, 23, 8};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(w.pair.orbitRatio[size_t(k)], ratio[k]) << k;
}

TEST_F(StartupTest, OnlyTheCataloguePresetsAreOfferedAllInOneColour) {
  const std::set<int> never = {0,  9,  10, 19, 47, 48, 59, 60, 67,
                               68, 69, 70, 73, 74, 75, 76, 77, 79};
  const Color normal = w.c("Command2").backColor();
  for (int n = 0; n <= 83; ++n) {
    EXPECT_EQ(w.c("CDp", n).visible(), never.count(n) == 0) << n;
    if (n > 0) {
      EXPECT_EQ(w.c("CDp", n).backColor(), normal) << n;
    }
  }
  EXPECT_EQ(s.lastPresetIndex, 83);
}

TEST_F(StartupTest, ConstantsPathsOptionsAndPlaces) {
  EXPECT_EQ(s.altShade, 0.4);
  EXPECT_EQ(s.solarMass, 1.988544);
  EXPECT_EQ(s.lightSpeed, 299792.458);
  EXPECT_EQ(s.twoPi, 6.28318530717958);
  EXPECT_EQ(s.piValue, 3.14159265358979);
  EXPECT_EQ(s.siderealYearSecs, 31558149.54);

  const auto drift = std::filesystem::path(host.dataDir()) / "data-drift.txt";
  EXPECT_EQ(s.driftFilePath, drift.string());
  EXPECT_EQ(w.c("CHfile").tooltip(),
            "Data for min/max drift can be found in file: " + drift.string());
  EXPECT_EQ(w.c("Chfiti").tooltip(),
            "Data for orbit duration can be found in file: " + drift.string());
  EXPECT_FALSE(std::filesystem::exists(drift));  // only the path is computed

  EXPECT_EQ(w.c("ChZX").value(), 1);
  EXPECT_EQ(w.c("ChZAxis").value(), 0);
  // Ticked in step 6, then unticked again by ticking ChEach (markers of the extremes only).
  EXPECT_EQ(w.c("ChAvg").value(), 0);
  EXPECT_EQ(w.c("ChLR").value(), 0);
  EXPECT_EQ(w.c("ChNY").value(), 0);
  EXPECT_EQ(w.c("ChEach").value(), 0);
  EXPECT_EQ(w.c("ChAPE").value(), 1);
  EXPECT_EQ(w.c("PiZX").left(), 2160);
  EXPECT_EQ(w.c("PiZX").top(), 9360);
  EXPECT_EQ(w.c("FraaaA").left(), 0);
  EXPECT_EQ(w.c("ImZod").left(), 2205);
  EXPECT_EQ(w.c("ImZod").top(), 1485);
  EXPECT_EQ(w.c("CDstop").left(), 1080);
  EXPECT_EQ(w.c("Picoc").top(), 4890);
  // The run-time buttons stay hidden until a run starts.
  EXPECT_FALSE(w.c("CDstop").visible());
  EXPECT_FALSE(w.c("CDcont").visible());
}

}  // namespace
}  // namespace orbits
