#include "engine/run_loop.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../support/run_fixture.h"
#include "analysis/orbits.h"
#include "display/projection.h"
#include "text/number_text.h"

namespace orbits {
namespace {

using testing::RunFixture;

struct RunLoopTest : RunFixture, ::testing::Test {};

constexpr int kRate = 7;    // 150 s per calculation
constexpr int kScale = 14;  // "1 px = 3mkm": 1 AU lies well inside the drawing area

TEST_F(RunLoopTest, StopAndContinueGiveTheTrajectoryOfAnUninterruptedRun) {
  RunFixture plain;
  plain.choose(4, kRate, kScale);
  plain.stopAtCycle(300);
  plain.go();
  ASSERT_EQ(plain.s.cycleCount, 300);

  choose(4, kRate, kScale);
  stopAtCycle(120);
  go();
  EXPECT_EQ(s.runState, RunState::Stop);
  EXPECT_EQ(s.cycleCount, 120);
  stopAtCycle(300);
  w.c("CDcont").press();
  ASSERT_EQ(s.cycleCount, 300);
  for (int k = 0; k <= 1; ++k) {
    EXPECT_EQ(s.posX[k], plain.s.posX[k]) << k;
    EXPECT_EQ(s.posY[k], plain.s.posY[k]) << k;
    EXPECT_EQ(s.velX[k], plain.s.velX[k]) << k;
    EXPECT_EQ(s.velY[k], plain.s.velY[k]) << k;
  }
  // The planet really moved along its circle.
  EXPECT_NEAR(std::hypot(s.posX[1], s.posY[1]), kAu, kAu * 1e-4);
  EXPECT_LT(s.posY[1], -1e6);
}

TEST_F(RunLoopTest, TrailDotsGoWhereTheProjectionSaysInTheBodyColourAndOnlyOnce) {
  choose(4, kRate, kScale);
  w.c("Chsunny").setValue(0);
  w.c("Chalt").setValue(0);
  w.c("PiZZ").setVisible(false);
  stopAtCycle(1);
  go();
  const Color planet = rgb(0, 191, 255);
  double x = s.screenX[1] - 500, y = s.screenY[1] + 500;
  EXPECT_EQ(s.screenX[1], s.posX[1] / s.distScale + s.viewOffsetX);
  EXPECT_EQ(w.surface.point(x, y), planet);
  EXPECT_EQ(w.surface.point(s.screenX[0] - 500, s.screenY[0] + 500), rgb(255, 207, 159));

  // With the Sun switched off the planet alone is drawn. The next cycle leaves it in the same
  // pixel, which already has its colour: nothing is set, the surface is unchanged.
  s.bodyOff[0] = 1;
  uint64_t before = w.surface.revision();
  stopAtCycle(2);
  w.c("CDcont").press();
  ASSERT_EQ(Surface::toPixel(s.screenX[1] - 500), Surface::toPixel(x));
  ASSERT_EQ(Surface::toPixel(s.screenY[1] + 500), Surface::toPixel(y));
  EXPECT_EQ(w.surface.revision(), before);

  // A pixel of another colour is painted over.
  w.surface.setPoint(x, y, kWhite);
  before = w.surface.revision();
  stopAtCycle(3);
  w.c("CDcont").press();
  EXPECT_EQ(w.surface.point(x, y), planet);
  EXPECT_GT(w.surface.revision(), before);
}

TEST_F(RunLoopTest, ColourRulesAlternateShadeSunGlowAndSideViews) {
  choose(4, kRate, kScale);
  s.bodyRed[1] = 255, s.bodyGreen[1] = 127, s.bodyBlue[1] = 0;  // Mercury's colour
  s.bodyRed[0] = 10, s.bodyGreen[0] = 14, s.bodyBlue[0] = 255;  // quarters 2.5, 3.5, 63.75
  w.c("PiZZ").setVisible(true);
  w.c("PiZX").setVisible(false);
  stopAtCycle(1);
  go();
  // Orbit count 0 is even: the alternate shade, each component rounded.
  const double px = s.screenX[1] - 500, py = s.screenY[1] + 500;
  EXPECT_EQ(w.surface.point(px, py), rgb(102, 51, 0));
  const double sx = s.screenX[0] - 500, sy = s.screenY[0] + 500;
  EXPECT_EQ(w.surface.point(sx, sy), rgb(10, 14, 255)) << "the Sun never alternates";
  for (auto [dx, dy] : {std::pair{30, 0}, {-30, 0}, {0, 30}, {0, -30}})
    EXPECT_EQ(w.surface.point(sx + dx, sy + dy), rgb(2, 4, 64)) << "glow, halves to even";

  // The ZY strip (visible) shows the planet on its centre line at the same screen row.
  Control& zy = w.c("PiZZ");
  EXPECT_EQ(zy.surface()->point(zy.width() / 2.0 + s.screenZ[1], py - zy.top()), rgb(102, 51, 0));
  // The hidden ZX strip got nothing.
  const Surface& zx = *w.c("PiZX").surface();
  for (int i = 0; i < zx.widthPx() * zx.heightPx(); ++i) ASSERT_EQ(zx.pixels()[i], zx.background());
}

TEST_F(RunLoopTest, ZxStripAndSwitchedOffBodiesKeepTheirPlaces) {
  choose(4, kRate, kScale);
  w.c("Chsunny").setValue(0);
  w.c("Chalt").setValue(0);
  w.c("PiZZ").setVisible(false);
  w.c("PiZX").setVisible(true);
  stopAtCycle(1);
  go();
  // The ZX strip shows the planet at its screen column and on the strip's centre line.
  Control& zx = w.c("PiZX");
  const double u = s.screenX[1] - 500 - zx.left(), v = zx.height() / 2.0 + s.screenZ[1];
  EXPECT_EQ(zx.surface()->point(u, v), rgb(0, 191, 255));
  EXPECT_EQ(s.screenY[1], s.posY[1] / s.distScale + s.viewOffsetY);
  EXPECT_EQ(s.screenZ[1], s.posZ[1] / s.distScale + s.viewOffsetZ);

  // A switched-off body keeps its drawing coordinates; bodies beyond the last are untouched.
  s.bodyOff[1] = 1;
  s.screenX[1] = 1234.5, s.screenY[1] = 678.25, s.screenZ[1] = -9.5;
  s.screenX[2] = 42;
  stopAtCycle(2);
  w.c("CDcont").press();
  EXPECT_EQ(s.screenX[1], 1234.5);
  EXPECT_EQ(s.screenY[1], 678.25);
  EXPECT_EQ(s.screenZ[1], -9.5);
  EXPECT_EQ(s.screenX[2], 42);
  EXPECT_EQ(s.screenX[0], s.posX[0] / s.distScale + s.viewOffsetX);
}

TEST_F(RunLoopTest, NothingIsDrawnWithoutOrbitLinesButBodiesAreStillProjected) {
  choose(5, kRate, kScale);
  w.c("CHquick").setValue(0);
  uint64_t before = w.surface.revision();
  stopAtCycle(5);
  go();
  EXPECT_EQ(w.surface.revision(), before);
  EXPECT_EQ(s.screenX[1], s.posX[1] / s.distScale + s.viewOffsetX);
}

TEST_F(RunLoopTest, MinimalDetailLeavesTheCycleCountTextAlone) {
  choose(5, kRate, kScale);
  w.c("TXiterations").setText("x");
  stopAtCycle(50);
  go();
  EXPECT_EQ(s.detailMode, DetailMode::Ok) << "Stop returns to full detail";
  EXPECT_EQ(w.c("TXiterations").text(), "50") << "Stop's editor shows the count";
  RunFixture full;
  full.choose(5, kRate, kScale);
  full.w.c("TXiterations").setText("x");
  full.host.onYield = [&](long n) {
    if (n == 50) full.s.runState = RunState::None;  // end without Stop, to see the loop's own text
  };
  full.go();
  // The pair starts level (no quarter), finds its quarter in cycle 2 and keeps it.
  EXPECT_EQ(full.w.c("TXiterations").text(), "2") << "written only at the quarter change";
}

TEST_F(RunLoopTest, DetailedTurboShowsDistanceSpeedAndMass) {
  choose(4, kRate, kScale);
  stopAtCycle(3);
  w.c("ChNum").setValue(1);
  go();
  EXPECT_EQ(w.c("TXapart").text(), " 149 mkm");
  w.c("ChNum").setValue(0);
  ShowPairDistance(w, w.c("TXapart"));
  EXPECT_EQ(w.c("TXapart").text(), text::patterned(std::floor(w.pair.pairDist), "0000"));
  EXPECT_EQ(w.c("TXapart").text().size(), 9u);
  EXPECT_EQ(w.c("TXmass", 0).text(), "1.00000000000000");
  EXPECT_EQ(w.c("TXmass", 0).tooltip(), " 1.988544E+30 kg");
  // The speed as a fraction of the speed of light (29.78 km/s for the Earth).
  EXPECT_NEAR(text::val(w.c("TXvolight", 1).tooltip()), 29.78 / 299792.458, 1e-7);
  EXPECT_EQ(w.c("TXvolight", 1).text().substr(0, 6), "0.0000");
}

TEST_F(RunLoopTest, ProximityWarnsNamingBothBodiesAndPausesTheRun) {
  choose(4, kRate, kScale);
  s.posX[1] = 50000;  // within the 150000 km limit of rate 7
  s.velY[1] = 0;
  go();
  EXPECT_EQ(s.runState, RunState::Stop);
  EXPECT_EQ(s.cycleCount, 1) << "the loop finishes the cycle and returns";
  EXPECT_EQ(w.c("LaChirp", 1).text(),
            "Proximity warning. Earth and Sun within 150000 km. "
            "Quantum gravity becomes radically innaccurate in this simulation.");
  EXPECT_EQ(s.velX[1], 0) << "no force between the close pair";
}

TEST_F(RunLoopTest, ErrorLimitEndsTheRunAndAgainAfterStopAndContinue) {
  choose(4, kRate, kScale);
  w.c("TXender").setText("0");
  go();
  EXPECT_EQ(s.endCode, EndCode::ErrorLimit);
  EXPECT_EQ(s.runState, RunState::Ended67);
  EXPECT_EQ(w.c("LaChirp", 1).text(),
            "Bodies have generated an error margin higher than limit.\rScenario Ends.");
  EXPECT_EQ(s.cycleCount, 1);
  EXPECT_TRUE(w.c("CDstop").visible()) << "the buttons of a run stay";
  w.c("CDstop").press();
  w.c("CDcont").press();
  EXPECT_EQ(s.cycleCount, 2);
  EXPECT_EQ(s.runState, RunState::Ended67);
}

TEST_F(RunLoopTest, MovementErrorShownInFullDetailNotInTrim) {
  choose(4, kRate, kScale);
  stopAtCycle(2);
  go();
  ASSERT_GT(s.moveErrPct[1], 0);
  EXPECT_EQ(w.c("TXtimErr", 1).text(), text::patterned(s.moveErrPct[1], "000.000000000"));
  EXPECT_GE(s.maxErrPct[1], s.moveErrPct[1]);
  EXPECT_EQ(w.c("TxMerr", 1).text(), text::patterned(s.maxErrPct[1], "000.000000000"));

  RunFixture trim;
  trim.choose(5, kRate, kScale);
  trim.stopAtCycle(2);
  trim.go();
  EXPECT_GT(trim.s.moveErrPct[1], 0);
  EXPECT_EQ(trim.s.maxErrPct[1], 0) << "no maximum in trim mode";
  EXPECT_EQ(trim.w.c("TXtimErr", 1).text(), "0");
}

struct NumericFailure : RunLoopTest {
  void expectFinite() {
    for (int k = 0; k <= s.lastBody; ++k)
      for (double v : {s.posX[k], s.posY[k], s.posZ[k], s.velX[k], s.velY[k], s.velZ[k],
                       s.screenX[k], s.screenY[k], s.screenZ[k]})
        EXPECT_TRUE(std::isfinite(v)) << "body " << k;
  }
};

TEST_F(NumericFailure, OverflowingPositionStopsAtTheLastGoodCycleWithOneMessage) {
  choose(4, 0, kScale);
  w.c("Chend").setValue(0);
  s.velX[1] = 1e153;  // three cycles stay in range, the fourth would not
  host.onYield = [&](long n) {
    if (n > 5) w.c("CDstop").press();
  };
  go();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, kNumericFailureText);
  EXPECT_NE(host.messages[0].text.find("slower time rate"), std::string::npos);
  EXPECT_EQ(s.runState, RunState::Stop);
  EXPECT_TRUE(w.c("CDcont").visible());
  EXPECT_EQ(s.cycleCount, 3) << "the failed cycle does not count";
  EXPECT_LE(s.posX[1], kPositionLimit);
  expectFinite();
}

// A speed whose square overflows: every distance to the body is infinite, which pulls with no
// force, yet the run must stop as on any overflow, and no read-out may show an infinity.
TEST_F(NumericFailure, AnInfiniteDistanceStopsTheRunAndNoReadOutShowsIt) {
  choose(4, kRate, kScale);
  s.velX[0] = 1e155;
  go();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, kNumericFailureText);
  EXPECT_EQ(s.runState, RunState::Stop);
  EXPECT_EQ(s.cycleCount, 0);
  expectFinite();
  for (const Control& c : w.panel.all())
    for (const std::string& t : {c.text(), c.tooltip()})
      EXPECT_TRUE(t.find("Infinity") == std::string::npos && t.find("NaN") == std::string::npos)
          << c.name() << " " << t;
}

TEST_F(NumericFailure, HugeMassStopsBeforeAnythingIsDrawn) {
  choose(4, kRate, kScale);
  s.bodyMass[0] = 1e308;
  const double x = s.posX[1];
  uint64_t drawn = w.surface.revision();
  go();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, kNumericFailureText);
  EXPECT_EQ(w.surface.revision(), drawn);
  EXPECT_EQ(s.posX[1], x);
  EXPECT_EQ(s.cycleCount, 0);
  EXPECT_EQ(w.run.numericFailures, 1);
  expectFinite();
}

TEST(Quarter, StrictTestsAndTheNewYearTurn) {
  EXPECT_EQ(quarterOf(0, 0, 1, 1, false, 3), 1);
  EXPECT_EQ(quarterOf(0, 2, 1, 1, false, 3), 2);
  EXPECT_EQ(quarterOf(2, 2, 1, 1, false, 1), 3);
  EXPECT_EQ(quarterOf(2, 0, 1, 1, false, 1), 4);
  EXPECT_EQ(quarterOf(0, 0, 1, 1, true, 3), 4);
  EXPECT_EQ(quarterOf(0, 2, 1, 1, true, 3), 1);
  EXPECT_EQ(quarterOf(1, 0, 1, 1, false, 3), 3) << "level on an axis keeps the quarter";
}

}  // namespace
}  // namespace orbits
