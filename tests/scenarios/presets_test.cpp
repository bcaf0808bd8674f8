#include "scenarios/presets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../support/test_host.h"
#include "engine/run_control.h"
#include "panel/wired_window.h"
#include "scenarios/epochs.h"
#include "text/date.h"
#include "window/main_window.h"

namespace orbits {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMercuryTest =
    "Mercury control test.\r Check precession <>0 with no other planets.";
constexpr const char* kVenusTest =
    "Venus control test.\r Check precession <>0 with no other planets.";
constexpr const char* kNeptuneTest =
    "Neptune control test.\r Check precession <>0 with no other planets.";
constexpr const char* kJupiter20 = "20 orbit = given average for Jupiter";
constexpr const char* kJupiter77 = "77 orbit = given average for Jupiter";
constexpr const char* kMarsRogue = "Mars eccentricity evolution";

struct Expected {
  int n;
  int16_t epoch;
  int pair, scale, rate;
  const char* caption;
};

constexpr int16_t E40 = kEpoch1940, E73 = kEpoch1773, E00 = kEpoch1900;

// The catalogue as the panel offers it.
const Expected kVisible[] = {
    {1, E40, 1, 13, 6, "Mercury"},
    {2, E40, 2, 5, 6, "Venus"},
    {3, E40, 3, 5, 7, "Earth"},
    {4, E40, 4, 5, 7, "Mars "},
    {5, E40, 5, 14, 7, "Jupiter "},
    {6, E40, 6, 6, 8, "Saturn"},
    {7, E40, 7, 6, 8, "Uranus"},
    {8, E40, 8, 15, 8, "Neptune"},
    {11, E40, 1, 13, 5, "Mercury"},
    {12, E40, 2, 5, 5, "Venus"},
    {13, E40, 3, 5, 5, "Earth"},
    {14, E40, 4, 5, 5, "Mars "},
    {15, E40, 5, 14, 6, "Jupiter "},
    {16, E40, 6, 6, 6, "Saturn"},
    {17, E40, 7, 6, 6, "Uranus"},
    {18, E40, 8, 15, 6, "Neptune"},
    {20, E73, 5, 14, 7, kJupiter20},
    {21, E73, 1, 13, 6, "Mercury"},
    {22, E73, 2, 5, 7, "Venus"},
    {23, E73, 3, 5, 7, "Earth 1773"},
    {24, E73, 4, 5, 7, "Mars "},
    {25, E73, 5, 14, 7, "19 orbit = given perihelion date 20 May 1999."},
    {26, E73, 6, 6, 8, "Saturn"},
    {27, E73, 7, 6, 8, "Uranus"},
    {28, E73, 8, 15, 8, "Neptune"},
    {29, E73, 5, 14, 7, kJupiter77},
    {30, E73, 5, 14, 6, kJupiter20},
    {31, E73, 1, 13, 5, "Mercury"},
    {32, E73, 2, 5, 6, "Venus"},
    {33, E73, 3, 5, 6, "Earth 1773"},
    {34, E73, 4, 5, 6, "Mars "},
    {35, E73, 5, 14, 6, "Potentially most accurate for Jupiter."},
    {36, E73, 6, 6, 7, "Saturn"},
    {37, E73, 7, 6, 7, "Uranus"},
    {38, E73, 8, 15, 7, "Neptune"},
    {39, E73, 5, 14, 6, kJupiter77},
    {40, E73, 5, 14, 8, "Jupiter Fastest evolution for 1773 start."},
    {41, E40, 1, 13, 4, "Mercury"},
    {42, E40, 1, 13, 3, "Mercury"},
    {43, E40, 1, 13, 2, "Mercury"},
    {44, E40, 1, 13, 1, "Mercury"},
    {45, E40, 1, 13, 6, "Mercury"},
    {46, E40, 5, 14, 8, "Jupiter Fastest evolution for 1940 start."},
    {49, E00, 3, 5, 7, "Earth 1900"},
    {50, E00, 3, 5, 6, "Earth 1900"},
    {51, E00, 1, 5, 6, "Mercury 1900"},
    {52, E00, 2, 5, 6, "Venus 1900"},
    {53, E00, 3, 5, 5, "Earth 1900"},
    {54, E00, 4, 5, 7, "Mars 1900"},
    {55, E00, 5, 14, 7, "Jupiter 1900"},
    {56, E00, 6, 6, 7, "Saturn 1900"},
    {57, E00, 7, 6, 8, "Uranus 1900"},
    {58, E00, 8, 15, 8, "Neptune 1900"},
    {61, E00, 1, 5, 7, "Mercury 1900"},
    {62, E00, 1, 5, 5, "Mercury 1900"},
    {63, E00, 1, 5, 4, "Mercury 1900"},
    {64, E00, 4, 5, 5, "Mars 1900"},
    {65, E00, 5, 14, 8, "Jupiter 1900"},
    {66, E00, 6, 6, 8, "Saturn 1900"},
    {71, E73, 1, 13, 5, kMercuryTest},
    {72, E73, 2, 5, 6, kVenusTest},
    {78, E00, 8, 15, 8, kNeptuneTest},
    {80, E73, 4, 5, 6, kMarsRogue},
    {81, E73, 4, 5, 7, kMarsRogue},
    {82, E73, 4, 5, 8, kMarsRogue},
    {83, E73, 4, 5, 9, "Mars - fast inaccurate eccentricity evolution"},
};

using testing::readFile;

struct PresetsTest : ::testing::Test {
  testing::TestHost host;
  WiredWindow w{host};
  SimState& s = w.sim;

  // Presets end by pressing Go; these tests look at what they set up, so Go does nothing.
  void withoutGo() { w.c("Command2").onClick = nullptr; }
  fs::path data(const char* name) { return fs::path(host.dataDir()) / name; }
};

TEST(PresetCatalogue, EpochsByIndexCoverEveryPreset) {
  for (int n = 0; n < kPresetCount; ++n) {
    int16_t expected = (n <= 18 || (n >= 41 && n <= 47))                           ? kEpoch1940
                       : ((n >= 19 && n <= 40) || (n >= 70 && n <= 72) || n >= 80) ? kEpoch1773
                                                                                   : kEpoch1900;
    EXPECT_EQ(presetEpoch(n), expected) << n;
  }
  // The presets never offered set nothing of their own.
  for (int n : {0, 9, 10, 19, 47, 48, 59, 60, 67, 68, 69, 70, 73, 74, 75, 76, 77, 79}) {
    const PresetRow& r = presetCatalogue()[size_t(n)];
    EXPECT_EQ(r.caption, nullptr) << n;
    EXPECT_EQ(r.scale, -1) << n;
    EXPECT_EQ(r.rate, -1) << n;
  }
  EXPECT_STREQ(beginTimeTip(kEpoch1773), "12h53 begin time");
}

// Every preset on the panel, pressed one after another in one window: each starts its run from
// a clean slate with the catalogue's epoch, pair, scale and time rate, and stays finite.
TEST_F(PresetsTest, EveryVisiblePresetStartsItsScenario) {
  constexpr double kCycles = 2000;
  host.onYield = [this](long) {
    if (s.cycleCount >= kCycles) w.c("CDstop").press();
  };
  for (const Expected& e : kVisible) {
    SCOPED_TRACE(e.n);
    ASSERT_TRUE(w.c("CDp", e.n).visible());
    w.c("CDp", e.n).press();
    EXPECT_EQ(s.cycleCount, kCycles);
    EXPECT_EQ(s.runState, RunState::Stop);
    EXPECT_EQ(w.scenario.presetIndex, e.n);
    EXPECT_EQ(w.scenario.epochCode, e.epoch);
    EXPECT_EQ(w.c("HSbeta").value(), e.pair);
    EXPECT_EQ(w.c("HSalpha").value(), 0);
    EXPECT_EQ(s.pairBody[1], 0);
    EXPECT_EQ(s.pairBody[2], e.pair);
    EXPECT_EQ(s.distScaleIndex, e.scale);
    EXPECT_TRUE(w.c("OpDist", e.scale).selected());
    EXPECT_EQ(s.timeRateIndex, e.rate);
    EXPECT_TRUE(w.c("Optime", e.rate).selected());
    EXPECT_EQ(w.c("LaChirp", 0).text(), e.caption);
    EXPECT_TRUE(w.c("OptimT", e.n == 1 ? 4 : 5).selected());
    EXPECT_EQ(s.gravConstant, 6.67259 * 1.988544 * 225);
    EXPECT_EQ(w.c("CDp", e.n).backColor(), w.c("Label7").foreColor());
    EXPECT_EQ(s.lastBody, 8);
    for (int k = 0; k <= 8; ++k) {
      EXPECT_TRUE(std::isfinite(s.posX[k]) && std::isfinite(s.posY[k]) && std::isfinite(s.posZ[k]))
          << k;
      EXPECT_TRUE(std::isfinite(s.velX[k]) && std::isfinite(s.velY[k]) && std::isfinite(s.velZ[k]))
          << k;
    }
    const char* date = e.epoch == E40   ? "Jan/24/1940"
                       : e.epoch == E00 ? "Jan/02/1900"
                                        : "Dec/18/1773";
    EXPECT_EQ(w.c("TXstartdate").text(), date);
  }
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(PresetsTest, ScenarioOriginByEpoch) {
  withoutGo();
  w.c("CDp", 55).press();
  const ScenarioState& sc = w.scenario;
  EXPECT_EQ(sc.beginTimeDays, 8.0 / 1440);
  EXPECT_EQ(sc.beginTimeYears, 8.0 / 1440 / 365.242189);
  EXPECT_EQ(sc.startYear, 1900 + sc.beginTimeYears);
  EXPECT_EQ(sc.startDate, text::Date::fromYmd(1900, 1, 2));
  EXPECT_EQ(w.c("TXstartdate").tooltip(), "00:08 begin time");
  w.c("CDp", 5).press();
  EXPECT_EQ(sc.beginTimeDays, 0);
  EXPECT_EQ(sc.startYear, 1940.0617185);
  EXPECT_EQ(w.c("TXstartdate").tooltip(), "00:00 begin time");
  w.c("CDp", 25).press();
  EXPECT_EQ(sc.beginTimeDays, 773.0 / 1440);
  EXPECT_EQ(sc.startYear, 1773.9631145358);
  EXPECT_EQ(sc.startDate, text::Date::fromYmd(1773, 12, 18));
  // The watched pair starts with the extremes at its distance.
  const double d = std::sqrt(s.posX[5] * s.posX[5] + s.posY[5] * s.posY[5] + s.posZ[5] * s.posZ[5]);
  EXPECT_NEAR(w.pair.orbitMinDist, d, d * 1e-12);
  EXPECT_EQ(w.pair.totalMaxDist, w.pair.orbitMinDist);
}

TEST_F(PresetsTest, UserTimeRateIsKeptByEveryPresetButTheNeptuneControlTest) {
  withoutGo();
  w.c("Optime", 3).setValue(1);
  w.c("Chuser").setValue(1);
  struct Case {
    int n;
    const char* caption;
  };
  for (Case c : {Case{20, "Jupiter "},
                 {25, "Jupiter "},
                 {29, "Jupiter "},
                 {35, "Jupiter "},
                 {46, "Jupiter "},
                 {71, "Mercury"},
                 {72, "Venus"},
                 {23, "Earth 1773"},
                 {57, "Uranus 1900"},
                 {83, "Mars - fast inaccurate eccentricity evolution"}}) {
    w.c("CDp", c.n).press();
    EXPECT_EQ(s.timeRateIndex, 3) << c.n;
    EXPECT_TRUE(w.c("Optime", 3).selected()) << c.n;
    EXPECT_EQ(w.c("LaChirp", 0).text(), c.caption) << c.n;
    EXPECT_EQ(s.distScaleIndex, presetCatalogue()[size_t(c.n)].scale) << c.n;
  }
  w.c("CDp", 78).press();
  EXPECT_EQ(s.timeRateIndex, 8);
  EXPECT_EQ(w.c("LaChirp", 0).text(), kNeptuneTest);
}

TEST_F(PresetsTest, MercuryOf1940DependsOnTheTimeRateInForce) {
  withoutGo();
  auto reference = [](float rate, int n) {
    SimState ref;
    ref.timeRateIndex = rate;
    loadEpoch(ref, kEpoch1940, n);
    return ref;
  };
  const SimState slow = reference(5, 11), fast = reference(6, 1);
  ASSERT_NE(slow.velX[1], fast.velX[1]);
  for (int n : {11, 12, 13, 14, 41, 42, 43, 44}) {
    w.c("CDp", n).press();
    EXPECT_EQ(s.velX[1], slow.velX[1]) << n;
    EXPECT_EQ(s.velY[0], slow.velY[0]) << n;
  }
  for (int n : {1, 2, 8, 15, 18, 45, 46}) {
    w.c("CDp", n).press();
    EXPECT_EQ(s.velX[1], fast.velX[1]) << n;
    EXPECT_EQ(s.velY[0], fast.velY[0]) << n;
  }
  // With the user's time rate, the rate in force before the preset decides.
  w.c("Optime", 7).setValue(1);
  w.c("Chuser").setValue(1);
  w.c("CDp", 11).press();
  EXPECT_EQ(s.velX[1], fast.velX[1]);
  w.c("Optime", 5).setValue(1);
  w.c("CDp", 1).press();
  EXPECT_EQ(s.velX[1], slow.velX[1]);
}

TEST_F(PresetsTest, ControlTestsPlayOnlyTheSunAndOnePlanetWithTheSunAtRest) {
  withoutGo();
  for (auto [n, planet] : {std::pair{71, 1}, {72, 2}, {78, 8}}) {
    w.c("CDp", n).press();
    EXPECT_EQ(s.velX[0], 0) << n;
    EXPECT_EQ(s.velY[0], 0) << n;
    EXPECT_EQ(s.velZ[0], 0) << n;
    for (int k = 0; k <= 8; ++k) {
      const bool inPlay = k == 0 || k == planet;
      EXPECT_EQ(s.bodyOff[k], inPlay ? 0 : 1) << n << " " << k;
      if (!inPlay) {
        EXPECT_EQ(w.c("TXmass", k).foreColor(), kBlack) << n << " " << k;
      }
    }
  }
  // Other presets put every planet back in play, with the Sun moving.
  w.c("CDp", 21).press();
  for (int k = 0; k <= 8; ++k) EXPECT_EQ(s.bodyOff[k], 0) << k;
  EXPECT_NE(s.velX[0], 0);
}

TEST_F(PresetsTest, BodyCountAboveEightLeavesTheRogueOutOfPlay) {
  host.onYield = [this](long) {
    if (s.cycleCount >= 50) w.c("CDstop").press();
  };
  s.posX[9] = 1e9, s.velX[9] = 1;
  for (const char* count : {"9", "12", "-40000"}) {
    w.c("TXn").setText(count);
    w.c("CDp", 3).press();
    EXPECT_EQ(s.lastBody, 9) << count;
    EXPECT_EQ(s.bodyOff[9], 1) << count;
    EXPECT_EQ(s.posX[9], 0) << count;
    EXPECT_EQ(s.velX[9], 0) << count;
    EXPECT_EQ(s.cycleCount, 50) << count;
  }
  w.c("TXn").setText("3");
  w.c("CDp", 3).press();
  EXPECT_EQ(s.lastBody, 3);
  EXPECT_EQ(s.cycleCount, 50);
}

TEST_F(PresetsTest, DataFilesAreCreatedAnewAndAFailureIsToldOnce) {
  withoutGo();
  w.c("ChThor").setValue(1);
  w.c("CDp", 71).press();
  EXPECT_EQ(readFile(data("orb.txt")), std::string(kMercuryTest) + "\r\n");

  w.c("ChThor").setValue(0);
  fs::remove(data("orb.txt"));
  w.c("CDp", 5).press();
  EXPECT_FALSE(fs::exists(data("orb.txt")));
  EXPECT_TRUE(host.messages.empty());

  // A directory where the file should be: one message naming the file, and the run goes on.
  w.c("ChThor").setValue(1);
  fs::create_directory(data("orb.txt"));
  bool goPressed = false;
  w.c("Command2").onClick = [&goPressed](int) { goPressed = true; };
  w.c("CDp", 5).press();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(data("orb.txt").string()), std::string::npos);
  EXPECT_TRUE(goPressed);
}

TEST_F(PresetsTest, TypedGravitationalConstantTakesEffectAtThePreset) {
  withoutGo();
  w.c("TXTgravity").typeText("7");
  EXPECT_EQ(s.gravConstant, 6.67259 * 1.98855 * 225);
  w.c("CDp", 3).press();
  EXPECT_EQ(s.gravConstant, 7 * 1.988544 * 225);
}

TEST_F(PresetsTest, APresetWipesEverythingOfThePreviousRun) {
  withoutGo();
  w.c("CDp", 5).press();
  // What a long run leaves behind.
  s.orbitCount = 12, s.cycleCount = 5e6, s.calcsSinceOrbit1 = 4e6, s.endCode = EndCode::ErrorLimit;
  s.maxErrPct[1] = s.maxErrPct[2] = 3;
  s.timeRateLog = "Time Rate: ...";
  w.markers.periPositionX[30000] = 1, w.markers.markerTheta[9999] = 2,
  w.markers.periMarkerCount = 40;
  w.markers.appLine1 = "AVG";
  w.pair.driftTable[3].minDist = 7;
  w.periods.sumOrbitDays = 4000, w.clock.elapsedSecs = 1e9;
  w.c("Chend").setValue(1);
  w.c("TXender").setText("0.5");
  w.c("LaChirp", 2).setText("Earth off-screen.  ");
  w.c("CDp", 3).press();
  EXPECT_EQ(s.orbitCount, 0);
  EXPECT_EQ(s.cycleCount, 0);
  EXPECT_EQ(s.calcsSinceOrbit1, 0);
  EXPECT_EQ(s.endCode, EndCode::None);
  EXPECT_EQ(s.maxErrPct[1] + s.maxErrPct[2], 0);
  EXPECT_EQ(w.markers.periPositionX[30000], 0);
  EXPECT_EQ(w.markers.markerTheta[9999], 0);
  EXPECT_EQ(w.markers.periMarkerCount, 1);
  EXPECT_EQ(w.markers.appLine1, "");
  EXPECT_EQ(w.pair.driftTable[3].minDist, 0);
  EXPECT_EQ(w.periods.sumOrbitDays, 0);
  EXPECT_EQ(w.clock.elapsedSecs, 0);
  EXPECT_EQ(w.c("Chend").value(), 0);
  EXPECT_EQ(w.c("TXender").text(), "5");
  EXPECT_EQ(w.c("LaChirp", 1).text(), "Scenario information may appear here.");
  EXPECT_EQ(w.c("LaChirp", 2).text(), "");
  EXPECT_EQ(s.runState, RunState::Bat);
  // Only the chosen preset stands out.
  EXPECT_EQ(w.c("CDp", 5).backColor(), w.c("Command2").backColor());
  EXPECT_EQ(w.c("CDp", 3).backColor(), w.c("Label7").foreColor());
}

}  // namespace
}  // namespace orbits

namespace orbits {
namespace {

TEST_F(PresetsTest, ANewScenarioTriesAFileThatFailedInTheLastRunAgain) {
  withoutGo();
  w.scenario.unwritableFiles.push_back((fs::path(host.dataDir()) / "data-drift.txt").string());
  w.c("CDp", 3).press();
  EXPECT_TRUE(w.scenario.unwritableFiles.empty());
}

TEST_F(PresetsTest, GoWithTimedClearingKeepsThePeriodWithinWhatTheTimerHolds) {
  withoutGo();
  w.c("CDp", 3).press();
  w.c("Command2").onClick = [this](int) { Command2_Click(w); };
  host.onYield = [this](long) { w.c("CDstop").press(); };
  w.c("OpCl", 2).setValue(1);
  w.c("TXref").setText("-5");
  w.c("CDp", 3).press();
  // The preset selects "Clear here->"; a user picks the timed clearing again and runs.
  w.c("OpCl", 2).setValue(1);
  Command2_Click(w);
  EXPECT_FALSE(w.c("Tiball").enabled()) << "no timed clearing for a period below zero";
  w.c("TXref").setText("999");
  Command2_Click(w);
  EXPECT_TRUE(w.c("Tiball").enabled());
  EXPECT_EQ(w.c("Tiball").interval(), 999000);
}

}  // namespace
}  // namespace orbits
