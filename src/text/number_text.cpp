#include "text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace orbits::text {

namespace {

// A finite number as decimal digits: value = d0.d1d2... x 10^exp10, with the sign apart.
// Digits carry no trailing zeros unless the number is 0 (digits "0", exponent 0).
struct Decimal {
  bool negative = false;
  std::string digits;
  int exp10 = 0;
};

// Splits the scientific text of std::to_chars ("-1.2345e+15") into a Decimal.
Decimal fromScientific(const char* first, const char* last) {
  Decimal d;
  const char* p = first;
  if (p != last && *p == '-') {
    d.negative = true;
    ++p;
  }
  for (; p != last && *p != 'e'; ++p)
    if (*p != '.') d.digits.push_back(*p);
  if (p != last) std::from_chars(p + (p[1] == '+' ? 2 : 1), last, d.exp10);
  while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits == "0") {
    d.negative = false;  // no negative zero in texts
    d.exp10 = 0;
  }
  return d;
}

// The value at 15 significant digits, rounded from the exact binary value, halves to even.
Decimal decimal15(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
  return fromScientific(buf, r.ptr);
}

// The fewest digits that read back to v.
Decimal decimalShortest(double v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
  return fromScientific(buf, r.ptr);
}

std::string nonFinite(double v) {
  if (std::isnan(v)) return "NaN";
  return v < 0 ? "-Infinity" : "Infinity";
}

// The general layout: fixed for exponents -4 to 14, otherwise mantissa and "E+dd".
std::string general(const Decimal& d, bool zeroBeforePoint) {
  std::string s;
  if (d.negative) s.push_back('-');
  const std::string& g = d.digits;
  const int x = d.exp10;
  if (x < -4 || x >= 15) {
    s.push_back(g[0]);
    if (g.size() > 1) {
      s.push_back('.');
      s.append(g, 1);
    }
    s.push_back('E');
    s.push_back(x < 0 ? '-' : '+');
    std::string e = std::to_string(std::abs(x));
    if (e.size() < 2) s.push_back('0');
    s += e;
  } else if (x >= 0) {
    const size_t intLen = size_t(x) + 1;
    if (g.size() <= intLen) {
      s += g;
      s.append(intLen - g.size(), '0');
    } else {
      s.append(g, 0, intLen);
      s.push_back('.');
      s.append(g, intLen);
    }
  } else {
    if (zeroBeforePoint) s.push_back('0');
    s.push_back('.');
    s.append(size_t(-x - 1), '0');
    s += g;
  }
  return s;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string plain(double v) {
  if (!std::isfinite(v)) return nonFinite(v);
  return general(decimal15(v), true);
}

std::string signedText(double v) {
  if (!std::isfinite(v)) {
    std::string s = nonFinite(v);
    return s[0] == '-' ? s : " " + s;
  }
  Decimal d = decimal15(v);
  std::string s = general(d, false);
  return d.negative ? s : " " + s;
}

std::string patterned(double v, std::string_view pattern) {
  if (!std::isfinite(v)) return plain(v);

  // The pattern: integer part before the first '.', decimal part after it.
  const size_t point = pattern.find('.');
  const std::string_view intPat = pattern.substr(0, point);
  const std::string_view fracPat =
      point == std::string_view::npos ? std::string_view() : pattern.substr(point + 1);
  const size_t decimals = size_t(std::count(fracPat.begin(), fracPat.end(), '0'));

  // The value's digits split at the decimal point.
  const Decimal d = decimal15(v);
  std::string whole, frac;
  if (d.exp10 >= 0) {
    const size_t intLen = size_t(d.exp10) + 1;
    whole = d.digits.substr(0, std::min(intLen, d.digits.size()));
    whole.append(intLen - whole.size(), '0');
    if (d.digits.size() > intLen) frac = d.digits.substr(intLen);
  } else {
    frac.assign(size_t(-d.exp10 - 1), '0');
    frac += d.digits;
  }

  // Rounding to the pattern's decimals, halves to even.
  if (frac.size() > decimals) {
    const char first = frac[decimals];
    const bool restNonZero = frac.find_first_not_of('0', decimals + 1) != std::string::npos;
    const char kept = decimals > 0 ? frac[decimals - 1] : (whole.empty() ? '0' : whole.back());
    const bool up = first > '5' || (first == '5' && (restNonZero || (kept - '0') % 2 == 1));
    frac.resize(decimals);
    if (up) {
      std::string all = whole + frac;
      int i = int(all.size()) - 1;
      while (i >= 0 && all[size_t(i)] == '9') all[size_t(i--)] = '0';
      if (i >= 0)
        ++all[size_t(i)];
      else
        all.insert(all.begin(), '1');
      whole = all.substr(0, all.size() - decimals);
      frac = all.substr(all.size() - decimals);
    }
  }
  frac.append(decimals - frac.size(), '0');
  const size_t lead = whole.find_first_not_of('0');
  whole = lead == std::string::npos ? std::string() : whole.substr(lead);

  // Integer places are filled from the right; the leftmost one takes every digit left over.
  const size_t intPlaces = size_t(std::count(intPat.begin(), intPat.end(), '0'));
  std::string left;
  size_t placesSeen = 0;
  size_t next = whole.size();  // digits of `whole` not yet placed are [0, next)
  for (size_t i = intPat.size(); i-- > 0;) {
    if (intPat[i] != '0') {
      left.push_back(intPat[i]);
      continue;
    }
    ++placesSeen;
    if (placesSeen == intPlaces) {
      left.append(std::string(whole.rbegin() + std::ptrdiff_t(whole.size() - next), whole.rend()));
      if (next == 0) left.push_back('0');
      next = 0;
    } else {
      left.push_back(next > 0 ? whole[--next] : '0');
    }
  }
  std::reverse(left.begin(), left.end());
  if (intPlaces == 0) left += whole;  // no places: the digits stand before the point

  std::string out = left;
  if (point != std::string_view::npos) {
    out.push_back('.');
    size_t k = 0;
    for (char c : fracPat) out.push_back(c == '0' ? frac[k++] : c);
  }
  const bool anyNonZero = !whole.empty() || frac.find_first_not_of('0') != std::string::npos;
  if (d.negative && anyNonZero) out.insert(out.begin(), '-');
  return out;
}

namespace {

// The leading number of a text, as val() reads it; `beyond` tells when it was beyond the range
// of a double.
double leadingNumber(std::string_view s, bool& beyond) {
  beyond = false;
  // Blanks are skipped wherever they stand, so that "-  001.5" and "1 000" read whole.
  std::string t;
  t.reserve(s.size());
  for (char c : s)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') t.push_back(c);

  size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';

  // Mantissa: digits, an optional point, digits; at least one digit in all.
  std::string clean;
  bool seenSignificant = false, seenPoint = false;
  int intDigits = 0, leadingFracZeros = 0;
  for (; i < t.size(); ++i) {
    const char c = t[i];
    if (isDigit(c)) {
      clean.push_back(c);
      if (c != '0') seenSignificant = true;
      if (!seenPoint && seenSignificant) ++intDigits;
      if (seenPoint && !seenSignificant) ++leadingFracZeros;
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
      clean.push_back('.');
    } else {
      break;
    }
  }
  if (!seenSignificant) return 0.0;  // no digits, or only zeros
  // Decimal exponent of the first significant digit, to tell overflow from underflow.
  const long magnitude = intDigits > 0 ? intDigits - 1 : -(leadingFracZeros + 1);

  // Exponent: only when at least one digit follows the letter and its sign.
  long exponent = 0;
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e')) {
    size_t j = i + 1;
    bool expNegative = false;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) expNegative = t[j++] == '-';
    if (j < t.size() && isDigit(t[j])) {
      for (; j < t.size() && isDigit(t[j]); ++j)
        if (exponent < 100000) exponent = exponent * 10 + (t[j] - '0');
      if (expNegative) exponent = -exponent;
      clean += 'e' + std::to_string(exponent);
    }
  }

  double v = 0.0;
  auto r = std::from_chars(clean.data(), clean.data() + clean.size(), v);
  if (r.ec == std::errc::result_out_of_range || !std::isfinite(v)) {
    beyond = magnitude + exponent > 0;
    v = beyond ? std::numeric_limits<double>::max() : 0.0;
  }
  return negative && v != 0.0 ? -v : v;
}

}  // namespace

double val(std::string_view s) {
  bool beyond = false;
  return leadingNumber(s, beyond);
}

std::optional<double> valInRange(std::string_view s) {
  bool beyond = false;
  const double v = leadingNumber(s, beyond);
  if (beyond) return std::nullopt;
  return v;
}

std::string shortest(double v) {
  if (!std::isfinite(v)) return nonFinite(v);
  return general(decimalShortest(v), true);
}

std::optional<double> readNumber(std::string_view s) {
  if (s.empty()) return std::nullopt;
  const char c = s[0];
  if (!(isDigit(c) || c == '-' || c == '.')) return std::nullopt;
  double v = 0.0;
  auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace orbits::text
