#include "analysis/calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "../support/test_host.h"
#include "panel/wired_window.h"
#include "text/date.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {
namespace {

using testing::TestHost;
using text::Date;

struct Calendar : ::testing::Test {
  TestHost host;
  WiredWindow w{host};
  SimState& s = w.sim;
  Clock& c = w.clock;

  Calendar() { s.detailMode = DetailMode::Ok; }

  void startAt(Date d, double beginTimeDays = 0) {
    w.scenario.startDate = d;
    w.scenario.beginTimeDays = beginTimeDays;
  }
  std::string timeOfDay(double f) {
    std::string t;
    FracTime(w, f, t);
    return t;
  }
};

TEST_F(Calendar, StepsOfASecondOrMoreGoStraightToTheSeconds) {
  s.timeUnitsPerCalc = 100000;
  for (int k = 0; k < 3; ++k) TikTok(w);
  EXPECT_EQ(c.elapsedSecs, 3);
  EXPECT_EQ(c.elapsedSecFrac, 0);
  s.timeUnitsPerCalc = 150000;  // 1.5 s
  TikTok(w);
  EXPECT_EQ(c.elapsedSecs, 4.5);
  EXPECT_EQ(c.elapsedDays, 4.5 / 86400);
  EXPECT_EQ(c.elapsedSiderealYears, 4.5 / 31558149.54);
}

TEST_F(Calendar, ShorterStepsCarryOneSecondWhenTheCountPasses99999) {
  s.timeUnitsPerCalc = 99999;
  TikTok(w);
  EXPECT_EQ(c.elapsedSecFrac, 99999);
  EXPECT_EQ(c.elapsedSecs, 0);
  TikTok(w);
  EXPECT_EQ(c.elapsedSecFrac, 99998);
  EXPECT_EQ(c.elapsedSecs, 1);
  EXPECT_DOUBLE_EQ(c.elapsedDays, 1.99998 / 86400);
  EXPECT_EQ(w.c("LaTime").text(), "99998");
  EXPECT_EQ(w.c("LaTT").text(), " 1.");
  EXPECT_EQ(w.c("Laday").text(), "0.000023148");
  EXPECT_EQ(w.c("LaYears").text(), "0.000000063");
  EXPECT_EQ(w.c("Laday").tooltip(), text::plain(c.elapsedDays));

  // The fastest sub-second step: 15 units, a carry every 6667 cycles, the counts exact.
  c.elapsedSecFrac = 0, c.elapsedSecs = 0;
  s.timeUnitsPerCalc = 15;
  for (int k = 0; k < 6666; ++k) TikTok(w);
  EXPECT_EQ(c.elapsedSecFrac, 99990);
  TikTok(w);
  EXPECT_EQ(c.elapsedSecFrac, 5);
  EXPECT_EQ(c.elapsedSecs, 1);
}

TEST_F(Calendar, ElapsedTextsOnlyInFullDetail) {
  s.timeUnitsPerCalc = 100000;
  s.detailMode = DetailMode::Trim;
  TikTok(w);
  EXPECT_NE(w.c("LaTT").text(), " 1.");
  s.detailMode = DetailMode::Ok;
  TikTok(w);
  EXPECT_EQ(w.c("LaTT").text(), " 2.");
}

TEST_F(Calendar, TikTokEndsTheRunOnAPendingEndVerdict) {
  s.runState = RunState::Bat;
  s.endCode = EndCode::BeyondRange;
  TikTok(w);
  EXPECT_EQ(s.runState, RunState::Ended67);
  EXPECT_EQ(w.c("LaChirp", 1).text(), "Bodies have departed the simulator range. Scenario Ends.");
}

TEST_F(Calendar, ThousandsAndMillionsOfYearsAtTheFastestRates) {
  s.timeRateIndex = 11;
  c.elapsedSiderealYears = 12345;
  UpTimes(w);
  EXPECT_EQ(w.c("Lamil").text(), "12");
  EXPECT_EQ(w.c("Lamil").tooltip(), "Thousand Years");
  EXPECT_EQ(w.c("LaYonks").text(), "Thousand Years:");
  EXPECT_EQ(w.c("LaYonks").foreColor(), w.c("Chuser").foreColor());
  c.elapsedSiderealYears = 12345678;
  UpTimes(w);
  EXPECT_EQ(w.c("Lamil").text(), "12");
  EXPECT_EQ(w.c("Lamil").tooltip(), "Million Years");
  EXPECT_EQ(w.c("LaYonks").text(), "Million Years:");
  EXPECT_EQ(w.c("LaYonks").foreColor(), w.c("Label7").foreColor());
  // Up to index 10 the frame is not shown and nothing is written into it.
  s.timeRateIndex = 10;
  c.elapsedSiderealYears = 5000;
  UpTimes(w);
  EXPECT_EQ(w.c("Lamil").text(), "12");
}

TEST_F(Calendar, TimeOfDayFromADayFraction) {
  EXPECT_EQ(timeOfDay(0), "00h00:00");
  EXPECT_EQ(timeOfDay(0.5), "12h00:00");
  EXPECT_EQ(timeOfDay((7 * 3600 + 34 * 60 + 5.5) / 86400.0), "07h34:05");
  EXPECT_EQ(timeOfDay(86399.9 / 86400), "23h59:59");
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(Calendar, FractionOutOfRangeIsReportedAndTheTextBuiltAnyway) {
  EXPECT_EQ(timeOfDay(1.25), "30h00:00");
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "time fraction error");
  EXPECT_EQ(host.messages[0].title, "1.25");
  timeOfDay(-0.5);
  EXPECT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(timeOfDay(std::numeric_limits<double>::quiet_NaN()), "00h00:00");
  EXPECT_EQ(host.messages.size(), 3u);
}

TEST_F(Calendar, TheCurrentMomentFromTheStartDateAndTime) {
  startAt(Date::fromYmd(1940, 1, 24));
  c.elapsedDays = 1.5;
  w.c("LaWatch").press();
  EXPECT_EQ(w.c("TXcurrent").text(), "Jan/25/1940");
  EXPECT_EQ(w.c("TXcurrent").tooltip(), "12h00:00");
  EXPECT_EQ(c.currentDayInt, 1);
  // A moment a hair before midnight already counts as the next day (0.0864 s).
  c.elapsedDays = 2 - 0.0000005;
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Jan/26/1940");
  EXPECT_EQ(w.c("TXcurrent").tooltip(), "00h00:00");
  // Written again when something else wrote the box in between, and a second later.
  w.c("TXcurrent").setText("0000/00/00");
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Jan/26/1940");
  c.elapsedDays += 1.0 / 86400;
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").tooltip(), "00h00:01");
}

TEST_F(Calendar, TheDateTextFollowsTheDateNotTheDayCount) {
  startAt(Date::fromYmd(1940, 1, 24));
  c.elapsedDays = 3.25;
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Jan/27/1940");
  // The same day count from another start date, a second later: another date.
  startAt(Date::fromYmd(1773, 12, 18));
  c.elapsedDays += 1.0 / 86400;
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Dec/21/1773");
  EXPECT_EQ(w.c("TXcurrent").tooltip(), "06h00:01");
  // Someone else writes the box; the next second within the same date writes it back.
  w.c("TXcurrent").setText("elsewhere");
  c.elapsedDays += 1.0 / 86400;
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Dec/21/1773");
  EXPECT_EQ(w.c("TXcurrent").tooltip(), "06h00:02");
  // Only the tooltip of a new second changes.
  const uint64_t before = w.c("TXcurrent").revision();
  c.elapsedDays += 1.0 / 86400;
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Dec/21/1773");
  EXPECT_EQ(w.c("TXcurrent").tooltip(), "06h00:03");
  EXPECT_GT(w.c("TXcurrent").revision(), before);
}

TEST_F(Calendar, TimeOfDayInTwoDigitsEachAndOutOfRangeHours) {
  EXPECT_EQ(timeOfDay(0), "00h00:00");
  EXPECT_EQ(timeOfDay((9 * 3600 + 8 * 60 + 7.5) / 86400), "09h08:07");
  EXPECT_EQ(timeOfDay((23 * 3600 + 59 * 60 + 59.5) / 86400), "23h59:59");
  EXPECT_TRUE(host.messages.empty());
  // Beyond a day: reported, and the hours written as they come.
  EXPECT_EQ(timeOfDay(5), "120h00:00");
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(Calendar, GregorianLeapYearsFrom1773On) {
  // The 1773 scenario starts on Dec/18/1773 at 12:53.
  startAt(Date::fromYmd(1773, 12, 18), 773 / 1440.0);
  struct Case {
    double days;
    const char* date;
  };
  for (Case k : {Case{0, "Dec/18/1773"},
                 {802, "Feb/28/1776"},
                 {803, "Feb/29/1776"},
                 {804, "Mar/01/1776"},
                 {9568, "Feb/28/1800"},
                 {9569, "Mar/01/1800"},
                 {46092, "Feb/28/1900"},
                 {46093, "Mar/01/1900"},
                 {82616, "Feb/28/2000"},
                 {82617, "Feb/29/2000"},
                 {82618, "Mar/01/2000"}}) {
    c.elapsedDays = k.days;
    Crystal(w);
    EXPECT_EQ(w.c("TXcurrent").text(), k.date) << k.days;
    EXPECT_EQ(w.c("TXcurrent").tooltip(), "12h53:00") << k.days;
  }
  // Eleven hours later it is past midnight.
  c.elapsedDays = 803 + 11.5 / 24;
  Crystal(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Mar/01/1776");
  EXPECT_EQ(w.c("TXcurrent").tooltip(), "00h23:00");
}

TEST_F(Calendar, FirstCompletionShowsNotAvailable) {
  startAt(Date::fromYmd(1940, 1, 24));
  s.pairBody = {0, 0, 3};
  s.orbitCount = 0;
  Quartz(w);
  EXPECT_EQ(w.c("TXnewyear").text(), "n/a");
  EXPECT_EQ(w.c("TXdateAPHE").text(), "n/a");
  EXPECT_EQ(w.c("TXdatePERI").text(), "n/a");
  EXPECT_EQ(w.c("TXcurrent").text(), "Jan/24/1940");
  EXPECT_EQ(w.c("LaNY").text(), "Earth\r New Year");
  const Control& earth = w.c("TXvolight", 3);
  EXPECT_EQ(w.c("LaNY").foreColor(), earth.foreColor());
  EXPECT_EQ(w.c("TXnewyear").backColor(), earth.backColor());
  EXPECT_EQ(w.c("TXcurrent").foreColor(), earth.foreColor());
}

TEST_F(Calendar, LaterCompletionsShowTheYearJustEndedAndTheExtremes) {
  startAt(Date::fromYmd(1940, 1, 24));
  s.pairBody = {0, 0, 3};
  s.orbitCount = 2;
  c.elapsedDays = 400;
  c.newYearDate = Date::fromYmd(1941, 1, 1);
  c.newYearTimeText = "01h02:03";
  c.orbitMaxDate = Date::fromYmd(1941, 7, 4);
  c.orbitMaxDayFrac = 0.75;
  c.orbitMinDate = Date::fromYmd(1941, 1, 3);
  c.orbitMinDayFrac = 0.25;
  w.pair.orbitMaxDist = 152098232.5;
  w.pair.orbitMinDist = 147098290.25;
  Quartz(w);
  EXPECT_EQ(w.c("TXnewyear").text(), "Jan/01/1941");
  EXPECT_EQ(w.c("TXnewyear").tooltip(), "01h02:03");
  EXPECT_EQ(w.c("TXdateAPHE").text(), "Jul/04/1941");
  EXPECT_EQ(w.c("TXdateAPHE").tooltip(), "18h00:00");
  EXPECT_EQ(w.c("TXdatePERI").text(), "Jan/03/1941");
  EXPECT_EQ(w.c("TXdatePERI").tooltip(), "06h00:00");
  EXPECT_EQ(w.c("TXmax").text(), "152098232");
  EXPECT_EQ(w.c("TXmax").tooltip(), " 152098232.5 km");
  EXPECT_EQ(w.c("TXmin").text(), "147098290");
  EXPECT_EQ(w.c("TXcurrent").text(), "Feb/27/1941");
  EXPECT_EQ(c.orbitMaxDates[2], c.orbitMaxDate);
  EXPECT_EQ(c.orbitMinDates[2], c.orbitMinDate);
  EXPECT_EQ(c.newYearDates[2], c.newYearDate);
}

TEST_F(Calendar, DatesFreezeAfterTheYear9799) {
  startAt(Date::fromYmd(9799, 12, 25));
  w.scenario.startYear = 9799.98;
  s.orbitCount = 5;
  c.elapsedDays = 3;
  Quartz(w);
  EXPECT_EQ(c.dateMode, 0);
  EXPECT_TRUE(w.c("Chdate").visible());

  c.elapsedDays = 10;
  Quartz(w);
  EXPECT_EQ(c.dateMode, 9);
  // The current date shows the first date past the year 9799, the last one the save keeps.
  EXPECT_EQ(w.c("TXcurrent").text(), "Jan/04/9800");
  EXPECT_EQ(w.c("Chdate").value(), 0);
  EXPECT_FALSE(w.c("Chdate").visible());
  EXPECT_FALSE(w.c("FraDate").visible());
  EXPECT_TRUE(w.c("TXyearLeap").visible());
  EXPECT_EQ(w.c("LaChirp", 1).text(),
            "Y10K! The date details are not available after year 9799 A.D.");

  // From now on the dates stay as they were and the year is shown instead.
  const std::string aphelion = w.c("TXdateAPHE").text();
  c.elapsedDays = 400;
  c.elapsedSiderealYears = 400 * 86400 / 31558149.54;
  Crystal(w);
  Quartz(w);
  EXPECT_EQ(w.c("TXcurrent").text(), "Jan/04/9800");
  EXPECT_EQ(w.c("TXdateAPHE").text(), aphelion);
  UpTimes(w);
  EXPECT_EQ(w.c("TXyearLeap").text(), " 9801 AD");
}

TEST_F(Calendar, AFastRateCarriesThePastTheYear9999WithoutHarm) {
  startAt(Date::fromYmd(9000, 1, 1));
  s.orbitCount = 1;
  for (double days : {5e6, 1e18, std::numeric_limits<double>::max()}) {
    c.dateMode = 0;
    c.elapsedDays = days;
    Crystal(w);
    Quartz(w);
    EXPECT_EQ(c.dateMode, 9) << days;
  }
  // A five-digit year read by its last four characters would be 2689, well before 9799.
  startAt(Date::fromYmd(9000, 1, 1));
  c.dateMode = 0;
  c.elapsedDays = 12689.0 * 365.2425 - 9000 * 365.2425 + 10;
  Quartz(w);
  EXPECT_EQ(c.dateMode, 9);
}

TEST_F(Calendar, DatesCheckBoxNewYearCheckBox) {
  w.c("ChZX").setValue(1);
  w.c("Chdate").setValue(0);
  EXPECT_EQ(w.c("ChZX").value(), 0);
  EXPECT_FALSE(w.c("FraDate").visible());
  EXPECT_EQ(w.c("Chdate").text(), "ERRS (or date)");
  w.c("Chdate").setValue(1);
  EXPECT_TRUE(w.c("FraDate").visible());
  EXPECT_EQ(w.c("Chdate").text(), "DATE (or errs)");

  w.c("ChNY").setValue(1);
  EXPECT_TRUE(w.c("Picoc").visible());
  EXPECT_FALSE(w.c("Pico2").visible());
  w.c("ChNY").setValue(0);
  EXPECT_FALSE(w.c("Picoc").visible());
  EXPECT_TRUE(w.c("Pico2").visible());
}

}  // namespace
}  // namespace orbits
