#include "text/date.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <limits>

namespace orbits::text {

namespace {

constexpr const char* kMonthAbbrev[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1 Jan 1970 of a valid year, month and day; eras of 400 years (146097 days)
// make the Gregorian cycle exact for any year.
int64_t daysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = floorDiv(y, 400);
  const int64_t yoe = y - era * 400;                                   // 0..399
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;  // 0..365
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;           // 0..146096
  return era * 146097 + doe - 719468;
}

struct Ymd {
  int64_t y;
  int m, d;
};

Ymd civilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = floorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = int(doy - (153 * mp + 2) / 5 + 1);
  const int m = int(mp < 10 ? mp + 3 : mp - 9);
  return {yoe + era * 400 + (m <= 2), m, d};
}

Date clampedDate(int64_t days) {
  days = std::clamp<int64_t>(days, std::numeric_limits<int32_t>::min(),
                             std::numeric_limits<int32_t>::max());
  return Date{int32_t(days)};
}

// Reads exactly `count` digits at s[pos]; -1 if any is not a digit.
int digitsAt(std::string_view s, size_t pos, size_t count) {
  if (pos + count > s.size()) return -1;
  int v = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return -1;
    v = v * 10 + (s[i] - '0');
  }
  return v;
}

std::optional<Date> checkedDate(int y, int m, int d) {
  if (y < kFirstYear || y > kLastYear || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m))
    return std::nullopt;
  return Date::fromYmd(y, m, d);
}

std::string yearText(int64_t y) {
  char buf[32];
  std::snprintf(buf, sizeof buf, y < 0 ? "-%04lld" : "%04lld",
                static_cast<long long>(y < 0 ? -y : y));
  return buf;
}

}  // namespace

Date Date::fromYmd(int year, int month, int day) {
  const int64_t m0 = int64_t(month) - 1;
  const int64_t y = int64_t(year) + floorDiv(m0, 12);
  const int m = int(m0 - floorDiv(m0, 12) * 12) + 1;
  return clampedDate(daysFromCivil(y, m, 1) + int64_t(day) - 1);
}

int Date::year() const { return int(civilFromDays(days).y); }
int Date::month() const { return civilFromDays(days).m; }
int Date::day() const { return civilFromDays(days).d; }

Date Date::plusDays(int64_t n) const {
  // Saturate before adding so that no sum can overflow.
  n = std::clamp<int64_t>(n, -(int64_t(1) << 40), int64_t(1) << 40);
  return clampedDate(int64_t(days) + n);
}

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

std::string dateText(Date d) {
  const Ymd c = civilFromDays(d.days);
  char day[4];
  std::snprintf(day, sizeof day, "%02d", c.d);
  return std::string(kMonthAbbrev[c.m - 1]) + "/" + day + "/" + yearText(c.y);
}

std::optional<Date> parseDateText(std::string_view s) {
  if (s.size() < 10 || s[3] != '/') return std::nullopt;
  int month = 0;
  for (int m = 0; m < 12; ++m) {
    bool same = true;
    for (int k = 0; k < 3; ++k)
      same = same && std::tolower(static_cast<unsigned char>(s[size_t(k)])) ==
                         std::tolower(static_cast<unsigned char>(kMonthAbbrev[m][k]));
    if (same) month = m + 1;
  }
  if (month == 0) return std::nullopt;
  const size_t dayLen = s[5] == '/' ? 1 : 2;
  const int day = digitsAt(s, 4, dayLen);
  if (day < 0 || s.size() != 4 + dayLen + 1 + 4 || s[4 + dayLen] != '/') return std::nullopt;
  const int year = digitsAt(s, 5 + dayLen, 4);
  if (year < 0) return std::nullopt;
  return checkedDate(year, month, day);
}

std::string shortDateText(Date d) {
  const Ymd c = civilFromDays(d.days);
  return std::to_string(c.m) + "/" + std::to_string(c.d) + "/" + yearText(c.y);
}

std::string timeText(const DateTime& t) {
  const int h12 = t.hour % 12 == 0 ? 12 : t.hour % 12;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h12, t.minute, t.second,
                t.hour < 12 ? "AM" : "PM");
  return buf;
}

std::string dateTimeText(const DateTime& t) { return shortDateText(t.date) + " " + timeText(t); }

std::string saveDateText(Date d) {
  const Ymd c = civilFromDays(d.days);
  char md[16];
  std::snprintf(md, sizeof md, "-%02d-%02d#", c.m, c.d);
  std::string s(1, '#');
  s += yearText(c.y);
  s += md;
  return s;
}

std::optional<Date> parseSaveDate(std::string_view s) {
  // "#yyyy-mm-dd#" or "#yyyy-mm-dd hh:mm:ss#"
  if (s.size() != 12 && s.size() != 21) return std::nullopt;
  if (s.front() != '#' || s.back() != '#' || s[5] != '-' || s[8] != '-') return std::nullopt;
  const int y = digitsAt(s, 1, 4), m = digitsAt(s, 6, 2), d = digitsAt(s, 9, 2);
  if (y < 0 || m < 0 || d < 0) return std::nullopt;
  if (s.size() == 21) {
    if (s[11] != ' ' || s[14] != ':' || s[17] != ':') return std::nullopt;
    const int hh = digitsAt(s, 12, 2), mm = digitsAt(s, 15, 2), ss = digitsAt(s, 18, 2);
    if (hh < 0 || hh > 23 || mm < 0 || mm > 59 || ss < 0 || ss > 59) return std::nullopt;
  }
  return checkedDate(y, m, d);
}

}  // namespace orbits::text
