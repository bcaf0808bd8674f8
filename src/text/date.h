#pragma once
// Calendar days (proleptic Gregorian, years 1 to 9999) and their texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orbits::text {

constexpr int kFirstYear = 1, kLastYear = 9999;  // the years the date texts are made for

// A whole calendar day, kept as days since 1 Jan 1970 (negative before).
// Arithmetic goes on beyond the years 1 to 9999 (saturating at the limits of the day count),
// so that callers can see a date has left the calendar's range and act on it.
struct Date {
  int32_t days = 0;
  // A month outside 1..12 carries into the years, a day outside the month into the months:
  // (1940, 13, 1) is 1 Jan 1941, (1940, 3, 0) is 29 Feb 1940.
  static Date fromYmd(int year, int month, int day);
  int year() const;
  int month() const;  // 1..12
  int day() const;    // 1..31
  Date plusDays(int64_t n) const;
  friend int64_t daysBetween(Date a, Date b) { return int64_t(b.days) - a.days; }
  friend bool operator==(Date, Date) = default;
  friend auto operator<=>(Date, Date) = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);  // month 1..12

// "Jan/24/1940": month abbreviation, two-digit day, four-digit year.
std::string dateText(Date d);
// Reads a date text back; the month in any letter case ("jan/02/1900" too), the day in one
// or two digits, the year in four. nullopt for anything else or a day the month lacks.
std::optional<Date> parseDateText(std::string_view s);

// The current local date and time as the host reports it.
struct DateTime {
  Date date;
  int hour = 0, minute = 0, second = 0;
};

// Short date "1/24/1940" and time "1:05:09 PM", and the two joined by a space: the forms
// of the computer's date and time in file headers.
std::string shortDateText(Date d);
std::string timeText(const DateTime& t);
std::string dateTimeText(const DateTime& t);

// Save-file form of a date: "#1940-01-24#"; parse accepts the same, and also a time of day
// after the date ("#1940-01-24 00:08:00#"), which it checks and drops.
std::string saveDateText(Date d);
std::optional<Date> parseSaveDate(std::string_view s);

}  // namespace orbits::text
