#include "engine/end_conditions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "../support/run_fixture.h"
#include "display/projection.h"
#include "text/number_text.h"

namespace orbits {
namespace {

using testing::RunFixture;

struct EndConditionsTest : RunFixture, ::testing::Test {
  // Puts the planet at the given drawing X, level with the Sun, at the scale in force.
  void placePlanetAtScreenX(double x) {
    s.posX[1] = (x - s.viewOffsetX) * s.distScale;
    s.posY[1] = 0;
  }
  void leaveProximity(const char* typed) {
    Control& box = w.c("TXproximity");
    box.typeText(typed);
    box.lostFocus();
  }
};

constexpr const char* kRangeEnd = "Bodies have departed the simulator range. Scenario Ends.";
constexpr const char* kErrorEnd =
    "Bodies have generated an error margin higher than limit.\rScenario Ends.";

TEST_F(EndConditionsTest, ProximityBoxKeepsItsLimitWithinItsBounds) {
  leaveProximity("5");
  EXPECT_EQ(w.c("TXproximity").text(), "100000");
  EXPECT_EQ(s.proximityKm, 100000);
  leaveProximity("20000000");
  EXPECT_EQ(w.c("TXproximity").text(), "10000000");
  EXPECT_EQ(s.proximityKm, 10000000);
  leaveProximity("250000");
  EXPECT_EQ(w.c("TXproximity").text(), "250000");
  EXPECT_EQ(s.proximityKm, 250000);
  leaveProximity("far");
  EXPECT_EQ(w.c("TXproximity").text(), "100000");
  EXPECT_EQ(s.proximityKm, 100000);
}

TEST_F(EndConditionsTest, StatusTimerReportsBodiesOffScreenByItsOwnMargins) {
  s.runState = RunState::Bat;
  s.endCode = EndCode::None;
  w.c("Chend").setValue(0);
  w.c("CHquick").setValue(1);
  s.lastBody = 4;
  const char* names[] = {"Sun", "Mercury", "Venus", "Earth", "Mars"};
  for (int k = 0; k <= 4; ++k) {
    s.bodyName[k] = names[k];
    s.bodyOff[k] = 0;
    s.screenX[k] = 7000;
    s.screenY[k] = 4000;
  }
  s.screenX[1] = 3000;   // inside the bounds test, but reported
  s.screenX[2] = 13000;  // outside the bounds test, but not reported
  s.screenY[3] = -600;   // above the window
  s.screenX[4] = 1000;
  s.bodyOff[4] = 1;  // out of play: never reported
  Control& report = w.c("LaChirp", 2);
  w.c("TimTalk").tick();
  EXPECT_EQ(report.text(), "Earth off-screen.  Mercury off-screen.  ");
  EXPECT_EQ(s.offScreenText, report.text());

  s.screenX[1] = s.screenY[3] = 4000;
  w.c("TimTalk").tick();
  EXPECT_EQ(report.text(), "");

  // No report while the view expands by itself, after an end verdict, or when not running.
  s.screenX[1] = 3000;
  w.c("Chend").setValue(1);
  w.c("TimTalk").tick();
  EXPECT_EQ(report.text(), "");
  w.c("Chend").setValue(0);
  s.runState = RunState::Stop;
  w.c("TimTalk").tick();
  EXPECT_EQ(report.text(), "");
  s.runState = RunState::Bat;
  w.c("TimTalk").tick();
  EXPECT_EQ(report.text(), "Mercury off-screen.  ");
}

TEST_F(EndConditionsTest, StatusTimerNoticesFastestRateAndOrbitLimit) {
  Control& chirp0 = w.c("LaChirp", 0);
  Control& chirp1 = w.c("LaChirp", 1);
  Control& chirp2 = w.c("LaChirp", 2);
  s.runState = RunState::Bat;
  chirp2.setText("Earth off-screen.  ");
  w.c("CHquick").setValue(0);
  w.c("TimTalk").tick();
  EXPECT_EQ(chirp1.text(),
            "Computation at fastest rate, so graphic data such as orbit line supressed. Info will "
            "accumulate in "
            "'data-drift.txt' file and 'orb.txt' file.");
  EXPECT_EQ(chirp2.text(), "");
  w.c("CHquick").setValue(1);
  w.c("TimTalk").tick();
  EXPECT_EQ(chirp1.text(), "Orbit lines reactivated.");
  w.c("TimTalk").tick();
  EXPECT_EQ(chirp1.text(), "Orbit lines reactivated.");

  s.orbitCount = 10000;
  w.c("TimTalk").tick();
  EXPECT_EQ(chirp1.text(), "10 000 orbit limit for angles. Distances still ok.");
  EXPECT_EQ(chirp0.text(), "Perihelion Precession only valid for 10 000 orbits.");
}

TEST_F(EndConditionsTest, BodyLeavingTheAreaExpandsTheScaleAndClearsTheDrawing) {
  choose(4, 0, 3);
  w.c("Chender").setValue(0);
  w.c("Chend").setValue(1);
  placePlanetAtScreenX(2639);
  // Dots of an earlier drawing, away from where the bodies are drawn.
  w.surface.setPoint(100 * 15, 700 * 15, kWhite);
  Surface& zz = *w.c("PiZZ").surface();
  zz.setPoint(30, 30, kWhite);
  stopAtCycle(1);
  go();
  EXPECT_EQ(s.distScaleIndex, 4);
  EXPECT_TRUE(w.c("OpDist", 4).selected());
  EXPECT_EQ(s.endCode, EndCode::ScaleExpanded);
  EXPECT_EQ(w.c("LaChirp", 1).text(), "Distance scale has changed to \r" + w.c("OpDist", 4).text());
  EXPECT_EQ(w.surface.point(100 * 15, 700 * 15), w.surface.background());
  EXPECT_EQ(zz.point(30, 30), zz.background());
  EXPECT_TRUE(host.messages.empty());
  // The planet is drawn inside the area at the new scale.
  EXPECT_GT(s.screenX[1], 2640);
}

TEST_F(EndConditionsTest, WithoutExpandTheBodyStaysOutsideAndNothingEnds) {
  choose(4, 0, 3);
  w.c("Chender").setValue(0);
  w.c("Chend").setValue(0);
  placePlanetAtScreenX(2639);
  stopAtCycle(3);
  go();
  EXPECT_EQ(s.cycleCount, 3);
  EXPECT_EQ(s.distScaleIndex, 3);
  EXPECT_EQ(s.endCode, EndCode::None);
  EXPECT_EQ(s.runState, RunState::Stop);
}

TEST_F(EndConditionsTest, BeyondTheLargestScaleTheRunEndsAndEndsAgainAfterContinue) {
  choose(4, 0, kLargestScale);
  w.c("Chender").setValue(0);
  w.c("Chend").setValue(1);
  placePlanetAtScreenX(2639);
  stopAtCycle(10);  // only if the run failed to end
  go();
  EXPECT_EQ(s.cycleCount, 1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Beyond Range");
  EXPECT_EQ(host.messages[0].title, "1");
  EXPECT_EQ(s.endCode, EndCode::BeyondRange);
  EXPECT_EQ(s.runState, RunState::Ended67);
  EXPECT_EQ(w.c("LaChirp", 1).text(), kRangeEnd);
  EXPECT_EQ(s.distScaleIndex, kLargestScale);

  w.c("CDstop").press();
  w.c("CDcont").press();
  EXPECT_EQ(s.cycleCount, 2);
  EXPECT_EQ(s.runState, RunState::Ended67);
  EXPECT_EQ(w.c("LaChirp", 1).text(), kRangeEnd);
}

// The larger movement error of the two pair bodies in the first cycle of the fixture's run.
double firstCycleError() {
  RunFixture probe;
  probe.choose(4, 7, 14);
  probe.w.c("Chender").setValue(0);
  probe.stopAtCycle(1);
  probe.go();
  return std::max(probe.s.moveErrPct[1], probe.s.moveErrPct[2]);
}

TEST_F(EndConditionsTest, ErrorLimitEndsOnlyWhenExceeded) {
  const double e = firstCycleError();
  ASSERT_GT(e, 0);

  {  // An error exactly at the limit does not end the run.
    RunFixture f;
    f.choose(4, 7, 14);
    f.w.c("Chender").setValue(1);
    f.w.c("TXender").setText(text::shortest(e));
    f.stopAtCycle(1);
    f.go();
    EXPECT_EQ(f.s.endCode, EndCode::None);
    EXPECT_EQ(f.s.runState, RunState::Stop);
  }

  choose(4, 7, 14);
  w.c("Chender").setValue(1);
  w.c("TXender").setText(text::shortest(e * (1 - 1e-9)));
  stopAtCycle(10);  // only if the run failed to end
  go();
  EXPECT_EQ(s.cycleCount, 1);
  EXPECT_EQ(s.endCode, EndCode::ErrorLimit);
  EXPECT_EQ(s.runState, RunState::Ended67);
  EXPECT_EQ(w.c("LaChirp", 1).text(), kErrorEnd);

  // The verdict stays: Stop and Continue run one more cycle, which ends the same way, even
  // when the error no longer exceeds the limit.
  w.c("Chender").setValue(0);
  w.c("CDstop").press();
  w.c("CDcont").press();
  EXPECT_EQ(s.cycleCount, 2);
  EXPECT_EQ(s.runState, RunState::Ended67);
  EXPECT_EQ(w.c("LaChirp", 1).text(), kErrorEnd);
}

}  // namespace
}  // namespace orbits
