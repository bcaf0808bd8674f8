#include "engine/time_rate.h"

#include <gtest/gtest.h>

#include "../support/run_fixture.h"
#include "text/number_text.h"

namespace orbits {
namespace {

using testing::RunFixture;

struct TimeRateTest : RunFixture, ::testing::Test {
  TimeRateTest() { w.c("OptimT", 4).setValue(1); }
  void rate(int i) { w.c("Optime", i).setValue(1); }
};

TEST_F(TimeRateTest, OneStepUpScalesVelocitiesByTenAndTheForceByAHundred) {
  rate(4);
  placeBodies();
  s.velX[0] = 0.25;
  const double vy = s.velY[1], sq = s.timeFactorSq;
  rate(5);
  EXPECT_EQ(s.velY[1], vy * 10);
  EXPECT_EQ(s.velX[0], 2.5);
  EXPECT_EQ(s.timeFactorSq, sq * 100);
  EXPECT_EQ(s.timeFactor, 1e5);
  EXPECT_EQ(s.timeRateIndex, 5);
  EXPECT_EQ(s.stepSeconds, 15);
  EXPECT_EQ(s.calcsPerSecond, 100000 / 1.5e6);
  EXPECT_EQ(s.prevTimeFactor, 1e5);
  EXPECT_EQ(w.c("Laadd").text(), "15.00000");
}

// A rate at which a motion would overflow could not be undone by any slower one: it is refused.
TEST_F(TimeRateTest, ARateAtWhichAMotionWouldOverflowIsRefused) {
  rate(4);
  s.velX[1] = 1e305;
  s.timeRateLog.clear();
  const SimState before = s;
  rate(9);
  EXPECT_TRUE(w.c("Optime", 4).selected());
  EXPECT_FALSE(w.c("Optime", 9).selected());
  EXPECT_EQ(s.timeFactor, before.timeFactor);
  EXPECT_EQ(s.velX, before.velX);
  EXPECT_EQ(s.velY, before.velY);
  EXPECT_EQ(s.timeRateLog, "");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, kRateRefusedText);
  rate(3);  // slower is fine
  EXPECT_DOUBLE_EQ(s.velX[1], 1e304);
}

TEST_F(TimeRateTest, ProximityLimitPerIndex) {
  for (int i = 0; i < 18; ++i) {
    rate(i);
    double expected = i <= 6 ? 100000 : i == 7 ? 150000 : i == 8 ? 1500000 : 10000000;
    EXPECT_EQ(s.proximityKm, expected) << i;
    EXPECT_EQ(w.c("TXproximity").text(), text::plain(expected)) << i;
  }
}

TEST_F(TimeRateTest, TheInertOptionChangesNothingNotEvenTheLog) {
  rate(4);
  const SimState before = s;
  w.c("Optime", 18).setValue(1);
  Optime_Click(w, 18);
  EXPECT_EQ(s.timeRateLog, before.timeRateLog);
  EXPECT_EQ(s.timeFactor, before.timeFactor);
  EXPECT_EQ(s.velY, before.velY);
  EXPECT_EQ(s.proximityKm, before.proximityKm);
}

TEST_F(TimeRateTest, TheSameRateAgainKeepsVelocitiesButLogsTheChange) {
  w.c("ChReset").setValue(0);
  s.timeRateLog.clear();
  rate(4);
  placeBodies();
  s.maxErrPct = {0, 3, 4};
  const double vy = s.velY[1];
  Optime_Click(w, 4);
  EXPECT_EQ(s.velY[1], vy);
  EXPECT_EQ(s.timeRateLog,
            "Time Rate:  { 4 }= 1.5secs per calc;  Time Rate:  { 4 }= 1.5secs per calc;  ");
  EXPECT_EQ(s.maxErrPct[1], 3) << "kept while Reset max is unticked";
  w.c("ChReset").setValue(1);
  rate(5);
  EXPECT_EQ(s.maxErrPct[1], 0);
  EXPECT_EQ(s.maxErrPct[2], 0);
}

TEST_F(TimeRateTest, TurboRewritesTheRateCaptionsAndSwapsTheDistanceBox) {
  w.c("OptimT", 5).setValue(1);
  EXPECT_EQ(s.turboMode, kTurboMinimalDetail);
  EXPECT_EQ(w.c("Optime", 0).text(), "0.00015");
  EXPECT_EQ(w.c("Optime", 4).text(), "1.5");
  EXPECT_EQ(w.c("Optime", 9).text(), "150000");
  EXPECT_EQ(w.c("Optime", 9).tooltip(), "150000 virtual seconds per calculation");
  EXPECT_EQ(w.c("Optime", 10).text(), "1.5x10 ^ 6");
  EXPECT_EQ(w.c("Optime", 17).tooltip(), "1.5x10 ^ 13 vsec/calc (causes large error-margin)");
  EXPECT_EQ(w.c("Optime", 18).text(), "18");
  EXPECT_FALSE(w.c("TXapart").visible());
  EXPECT_TRUE(w.c("FrameDark").visible());
  w.c("OptimT", 4).setValue(1);
  EXPECT_EQ(s.turboMode, kTurboWithDetail);
  EXPECT_TRUE(w.c("TXapart").visible());
  EXPECT_FALSE(w.c("FrameDark").visible());
}

TEST_F(TimeRateTest, SelectedRateIsHighlightedAndMillionYearsShownFromIndexEleven) {
  rate(11);
  EXPECT_TRUE(w.c("FraMil").visible());
  EXPECT_EQ(w.c("Optime", 11).foreColor(), w.c("Label3").foreColor());
  EXPECT_EQ(w.c("Optime", 12).foreColor(), rgb(47, 39, 39));
  EXPECT_EQ(w.c("Optime", 3).backColor(), w.c("TXperdif").backColor());
  rate(10);
  EXPECT_FALSE(w.c("FraMil").visible());
}

TEST_F(TimeRateTest, ScenarioTimeCaption) {
  w.c("Chuser").setValue(1);
  EXPECT_EQ(w.c("Chuser").text(), "User Overide (scenario)");
  w.c("Chuser").setValue(0);
  EXPECT_EQ(w.c("Chuser").text(), "Scenario Time (user)");
}

}  // namespace
}  // namespace orbits
