#include "text/date.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>

namespace orbits::text {
namespace {

namespace chr = std::chrono;

TEST(Date, AgreesWithTheStandardCalendarOverEveryDayOfYearsOneTo9999) {
  const Date first = Date::fromYmd(1, 1, 1), last = Date::fromYmd(9999, 12, 31);
  ASSERT_EQ(first.days, chr::sys_days(chr::year(1) / 1 / 1).time_since_epoch().count());
  ASSERT_EQ(last.days, chr::sys_days(chr::year(9999) / 12 / 31).time_since_epoch().count());
  for (int32_t n = first.days; n <= last.days; ++n) {
    const chr::year_month_day ymd{chr::sys_days(chr::days(n))};
    const Date d{n};
    ASSERT_EQ(d.year(), int(ymd.year())) << n;
    ASSERT_EQ(d.month(), int(unsigned(ymd.month()))) << n;
    ASSERT_EQ(d.day(), int(unsigned(ymd.day()))) << n;
    ASSERT_EQ(Date::fromYmd(d.year(), d.month(), d.day()), d) << n;
    if (n % 11 != 0) continue;  // the texts on a sample that still meets every day of month
    ASSERT_EQ(parseDateText(dateText(d)), d) << dateText(d);
    ASSERT_EQ(parseSaveDate(saveDateText(d)), d) << saveDateText(d);
  }
}

TEST(Date, EpochsAndLeapYears) {
  EXPECT_EQ(Date::fromYmd(1970, 1, 1).days, 0);
  EXPECT_EQ(dateText(Date::fromYmd(1940, 1, 24)), "Jan/24/1940");
  EXPECT_EQ(dateText(Date::fromYmd(1900, 1, 2)), "Jan/02/1900");
  EXPECT_EQ(dateText(Date::fromYmd(1773, 12, 18)), "Dec/18/1773");
  EXPECT_EQ(dateText(Date::fromYmd(1, 1, 1)), "Jan/01/0001");
  EXPECT_FALSE(isLeapYear(1900));
  EXPECT_TRUE(isLeapYear(2000));
  EXPECT_TRUE(isLeapYear(1940));
  EXPECT_FALSE(isLeapYear(1941));
  EXPECT_EQ(daysInMonth(1940, 2), 29);
  EXPECT_EQ(daysInMonth(1900, 2), 28);
  EXPECT_EQ(daysBetween(Date::fromYmd(1940, 1, 24), Date::fromYmd(1941, 1, 24)), 366);
  EXPECT_EQ(daysBetween(Date::fromYmd(1900, 1, 2), Date::fromYmd(1901, 1, 2)), 365);
  EXPECT_EQ(Date::fromYmd(1940, 1, 24).plusDays(36), Date::fromYmd(1940, 2, 29));
  EXPECT_EQ(Date::fromYmd(1940, 3, 1).plusDays(-1), Date::fromYmd(1940, 2, 29));
}

TEST(Date, OutOfRangeMonthsAndDaysCarry) {
  EXPECT_EQ(Date::fromYmd(1940, 13, 1), Date::fromYmd(1941, 1, 1));
  EXPECT_EQ(Date::fromYmd(1940, 0, 1), Date::fromYmd(1939, 12, 1));
  EXPECT_EQ(Date::fromYmd(1940, -11, 1), Date::fromYmd(1939, 1, 1));
  EXPECT_EQ(Date::fromYmd(1940, 3, 0), Date::fromYmd(1940, 2, 29));
  EXPECT_EQ(Date::fromYmd(1941, 2, 29), Date::fromYmd(1941, 3, 1));
}

TEST(Date, ArithmeticBeyondTheCalendarSaturatesInsteadOfOverflowing) {
  const Date top{std::numeric_limits<int32_t>::max()};
  EXPECT_EQ(top.plusDays(1), top);
  EXPECT_EQ(Date{}.plusDays(std::numeric_limits<int64_t>::max()), top);
  EXPECT_EQ(Date{}.plusDays(std::numeric_limits<int64_t>::min()).days,
            std::numeric_limits<int32_t>::min());
  // Past the year 9999 the text keeps every digit of the year.
  EXPECT_EQ(dateText(Date::fromYmd(9999, 12, 31).plusDays(1)), "Jan/01/10000");
  EXPECT_GT(top.year(), 5000000);
}

TEST(DateText, ParsingIsStrict) {
  EXPECT_EQ(parseDateText("jan/02/1900"), Date::fromYmd(1900, 1, 2));
  EXPECT_EQ(parseDateText("DEC/18/1773"), Date::fromYmd(1773, 12, 18));
  EXPECT_EQ(parseDateText("Jan/2/1900"), Date::fromYmd(1900, 1, 2));
  for (const char* s :
       {"", "Feb/30/1940", "Feb/29/1941", "Foo/01/1940", "Jan-24-1940", "Jan/24/40", "Jan/24/19401",
        "Jan/24/0000", "Jan/00/1940", "Jan/24/1940 ", "Jan/x4/1940", "0000/00/00"})
    EXPECT_FALSE(parseDateText(s).has_value()) << '"' << s << '"';
}

TEST(SaveDate, UniversalFormBetweenNumberSigns) {
  EXPECT_EQ(saveDateText(Date::fromYmd(1940, 1, 24)), "#1940-01-24#");
  EXPECT_EQ(parseSaveDate("#1900-01-02 00:08:00#"), Date::fromYmd(1900, 1, 2));
  for (const char* s :
       {"", "0", "1940-01-24", "#1940-1-24#", "#1940-02-30#", "#0000-01-01#", "#1940-13-01#",
        "#1940-01-24 24:00:00#", "#1940-01-24T00:08:00#", "#1940-01-24", "#19a0-01-24#"})
    EXPECT_FALSE(parseSaveDate(s).has_value()) << '"' << s << '"';
}

TEST(DateTimeText, ShortDateAndTwelveHourClock) {
  const Date d = Date::fromYmd(1940, 1, 24);
  EXPECT_EQ(dateTimeText({d, 13, 5, 9}), "1/24/1940 1:05:09 PM");
  EXPECT_EQ(shortDateText(Date::fromYmd(2024, 11, 3)), "11/3/2024");
  EXPECT_EQ(timeText({d, 0, 0, 0}), "12:00:00 AM");
  EXPECT_EQ(timeText({d, 12, 30, 0}), "12:30:00 PM");
  EXPECT_EQ(timeText({d, 23, 59, 59}), "11:59:59 PM");
}

}  // namespace
}  // namespace orbits::text
