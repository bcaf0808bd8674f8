#pragma once
// Calendar days (proleptic Gregorian, years 1 to 9999) and their texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orbits::text {

// A whole calendar day, kept as days since 1 Jan 1970 (negative before).
struct Date {
  int32_t days = 0;
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

// "Jan/24/1940"
std::string dateText(Date d);

// The current local date and time as the host reports it.
struct DateTime {
  Date date;
  int hour = 0, minute = 0, second = 0;
};

// "1/24/1940 1:05:09 PM"-style general date-time text used in file headers.
std::string dateTimeText(const DateTime& t);

// Save-file form of a date: "#1940-01-24#"; parse accepts the same.
std::string saveDateText(Date d);
std::optional<Date> parseSaveDate(std::string_view s);

}  // namespace orbits::text
