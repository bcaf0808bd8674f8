#include "analysis/orbits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "../support/run_fixture.h"
#include "text/number_text.h"

namespace orbits {
namespace {

using testing::RunFixture;

constexpr int kRate = 7;    // 1500 s per calculation
constexpr int kScale = 14;  // "1 px = 3mkm"

// The circular orbit of the fixture: the Earth-like planet (first body of the pair) around the
// Sun (second body), moving through the quarters 4, 1, 2, 3 in that order.
struct OrbitRun : RunFixture, ::testing::Test {
  std::vector<double> completionDays;  // elapsed days at each completion (before its step)
  std::vector<float> quarters;         // every quarter the pair entered

  double period() const {
    const double mu = kGravConstant / (0.00015 * 0.00015);  // km^3/s^2
    return 2 * std::acos(-1.0) * std::sqrt(kAu * kAu * kAu / mu) / 86400;
  }
  void runOrbits(double orbits, long maxCycles = 200000) {
    choose(5, kRate, kScale);
    host.onYield = [this, orbits, maxCycles](long n) {
      if (completionDays.size() < size_t(s.orbitCount))
        completionDays.push_back(w.periods.daysAtLastOrbit);
      if (quarters.empty() || quarters.back() != s.quadrant) quarters.push_back(s.quadrant);
      if (s.orbitCount >= orbits || n >= maxCycles) w.c("CDstop").press();
    };
    go();
  }
};

TEST_F(OrbitRun, CompletionsPeriodsAndTheAverageWithoutTheFirstPartialOrbit) {
  runOrbits(3);
  ASSERT_EQ(s.orbitCount, 3);
  ASSERT_EQ(completionDays.size(), 3u);
  const double T = period();
  // The planet starts on the +X axis and meets the year boundary after a quarter orbit.
  EXPECT_NEAR(completionDays[0], T / 4, 0.05);
  EXPECT_NEAR(completionDays[1] - completionDays[0], T, 0.05);
  EXPECT_NEAR(completionDays[2] - completionDays[1], T, 0.05);
  // The average leaves orbit 0 out and divides by the two complete orbits.
  const Periods& p = w.periods;
  EXPECT_NEAR(p.sumOrbitDays, completionDays[2] - completionDays[0], 1e-9);
  EXPECT_EQ(p.avgPeriodDays, p.sumOrbitDays / 2);
  EXPECT_EQ(p.avgPeriodYears, p.sumOrbitYears / 2);
  EXPECT_EQ(p.avgPeriodDaysText, text::patterned(*p.avgPeriodDays, "0.00000000"));
  EXPECT_EQ(p.avgPeriodYearsText, text::patterned(*p.avgPeriodYears, "0.000000000"));
  EXPECT_EQ(p.lastPeriodDaysText,
            text::patterned(completionDays[2] - completionDays[1], "0.000000000"));
  EXPECT_EQ(p.daysAtLastOrbit, completionDays[2]);
  EXPECT_EQ(w.c("TXlaps").text(), "3");
  EXPECT_FALSE(w.c("FraNo").visible());
  EXPECT_EQ(s.orbitSaveDue, 0) << "the save ran after the last completion";
  EXPECT_GT(p.cyclesAtLastOrbit, 0);
  EXPECT_EQ(p.cyclesAtLastOrbit, std::floor(p.cyclesAtLastOrbit));
  // The quarters went round in the order 4, 1, 2, 3.
  ASSERT_GE(quarters.size(), 6u);
  EXPECT_EQ(quarters[1], 4);
  EXPECT_EQ(quarters[2], 1);
  EXPECT_EQ(quarters[3], 2);
  EXPECT_EQ(quarters[4], 3);
  EXPECT_EQ(w.c("LaQuart").height(), int(50 * s.quadrant));
  EXPECT_EQ(w.c("LaQuart").backColor(), w.c("TXname", 2).backColor());
}

TEST_F(OrbitRun, NewYearOptionMovesTheBoundaryByAQuarterOrbit) {
  runOrbits(2);
  const std::vector<double> plainDays = completionDays;

  RunFixture other;
  other.w.c("ChNY").setValue(1);
  std::vector<double> shifted;
  other.choose(5, kRate, kScale);
  other.host.onYield = [&](long) {
    if (shifted.size() < size_t(other.s.orbitCount))
      shifted.push_back(other.w.periods.daysAtLastOrbit);
    if (other.s.orbitCount >= 2) other.w.c("CDstop").press();
  };
  other.go();
  ASSERT_EQ(shifted.size(), 2u);
  const double T = period();
  EXPECT_NEAR(shifted[0] - plainDays[0], T / 4, 0.05);
  EXPECT_NEAR(shifted[1] - plainDays[1], T / 4, 0.05);
}

TEST_F(OrbitRun, ABodyGoingTheOtherWayCompletesNoOrbits) {
  choose(5, kRate, kScale);
  s.velY[1] = -s.velY[1];
  host.onYield = [this](long n) {
    if (n >= 30000) w.c("CDstop").press();  // more than a whole orbit
  };
  go();
  EXPECT_EQ(s.cycleCount, 30000);
  EXPECT_EQ(s.orbitCount, 0);
  EXPECT_EQ(w.c("TXcalorb").text(), "n/a");
}

TEST(QuarterRule, StrictTestsAndTheNewYearShift) {
  EXPECT_EQ(quarterOf(0, 0, 1, 1, false, 3), 1);
  EXPECT_EQ(quarterOf(0, 2, 1, 1, false, 3), 2);
  EXPECT_EQ(quarterOf(2, 2, 1, 1, false, 3), 3);
  EXPECT_EQ(quarterOf(2, 0, 1, 1, false, 3), 4);
  EXPECT_EQ(quarterOf(0, 0, 1, 1, true, 3), 4);
  EXPECT_EQ(quarterOf(0, 2, 1, 1, true, 3), 1);
  EXPECT_EQ(quarterOf(2, 2, 1, 1, true, 3), 2);
  EXPECT_EQ(quarterOf(2, 0, 1, 1, true, 3), 3);
  // Level on either axis: the quarter stays, so the completion comes a cycle later.
  EXPECT_EQ(quarterOf(1, 0, 1, 1, false, 4), 4);
  EXPECT_EQ(quarterOf(0, 1, 1, 1, false, 4), 4);
}

struct Completion : RunFixture, ::testing::Test {
  int dots = 0;
  Completion() {
    w.c("CDdot").onClick = [this](int) { ++dots; };
    w.c("ChDraw").setValue(1);
  }
  void completeAt(double days) {
    w.clock.elapsedDays = days;
    w.clock.elapsedSiderealYears = days * 86400 / s.siderealYearSecs;
    s.detailMode = DetailMode::Trim;
    OrbitCompletion(w);
  }
};

TEST_F(Completion, FirstCompletionKeepsTheAverageOfThePreviousScenario) {
  w.periods.avgOrbitYears = 11.86;  // left by an earlier scenario
  w.c("OpAnnual", 1).setValue(1);
  completeAt(91.25);
  EXPECT_EQ(s.detailMode, DetailMode::Ok);
  EXPECT_EQ(w.periods.lastPeriodDaysText, "91.250000000");
  EXPECT_EQ(w.c("TXdayFreq").text(), "0.00000000");
  EXPECT_EQ(w.c("TXyearFreq").text(), "11.860000000");
  EXPECT_EQ(w.c("TXdayFreq").tooltip(), "0");
  EXPECT_EQ(w.periods.sumOrbitDays, 0);
  EXPECT_EQ(s.orbitCount, 1);
  EXPECT_EQ(dots, 1);
  EXPECT_TRUE(w.c("FraNo").visible());
  EXPECT_EQ(w.c("TXlaps").text(), "1");
  EXPECT_EQ(s.orbitSaveDue, 1);

  completeAt(91.25 + 365.25);
  EXPECT_EQ(w.c("TXdayFreq").text(), "365.25000000");
  EXPECT_EQ(w.c("TXdayFreq").tooltip(), "365.25");
  EXPECT_EQ(w.periods.avgOrbitYears, w.periods.sumOrbitYears);
  EXPECT_FALSE(w.c("FraNo").visible());
  EXPECT_EQ(dots, 2);

  // The last period instead of the average.
  w.c("OpAnnual", 0).setValue(1);
  EXPECT_EQ(w.c("LaQd").text(), "Orbit days (last)");
  EXPECT_EQ(w.c("LaQy").text(), "Orbit years (last)");
  EXPECT_EQ(w.c("TXdayFreq").text(), "365.250000000");
  completeAt(91.25 + 365.25 + 365.5);
  EXPECT_EQ(w.c("TXdayFreq").text(), "365.500000000");
  EXPECT_EQ(w.periods.avgPeriodDaysText, "365.37500000");
  w.c("OpAnnual", 1).setValue(1);
  EXPECT_EQ(w.c("LaQd").text(), "Orbit days (avg)");
  EXPECT_EQ(w.c("TXdayFreq").text(), "365.37500000");
  EXPECT_EQ(w.periods.periodOption, 1);
}

TEST_F(Completion, NewYearDateTakenAtTheCompletion) {
  w.scenario.startDate = text::Date::fromYmd(1940, 1, 24);
  completeAt(55.75);
  EXPECT_EQ(text::dateText(w.clock.newYearDate), "Mar/19/1940");
  EXPECT_EQ(w.clock.newYearTimeText, "18h00:00");
  completeAt(55.75 + 365.25);
  EXPECT_EQ(w.c("TXnewyear").text(), "Mar/19/1940");
  EXPECT_EQ(w.c("TXnewyear").tooltip(), "18h00:00");
}

TEST_F(Completion, NoPerihelionLinesFromTheTenThousandthOrbitOn) {
  s.orbitCount = 9998;
  completeAt(1);
  EXPECT_EQ(dots, 1);
  completeAt(2);
  EXPECT_EQ(s.orbitCount, 10000);
  EXPECT_EQ(dots, 1);
  w.c("ChDraw").setValue(0);
  s.orbitCount = 5;
  completeAt(3);
  EXPECT_EQ(dots, 1);
}

TEST_F(Completion, WithOrbitZeroCountedTheDivisorCountsIt) {
  w.c("CheckZero").setValue(0);
  completeAt(100);
  EXPECT_EQ(w.periods.avgPeriodDaysText, "100.00000000");
  completeAt(300);
  EXPECT_EQ(w.periods.avgPeriodDaysText, "150.00000000");
}

}  // namespace
}  // namespace orbits
