#pragma once
// Number texts, the conventions every text box, label and data file of the system uses.
// All of them are independent of the C locale: the decimal point is always a full stop.
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace orbits::text {

// General form with up to 15 significant digits, no trailing zeros, "0.5" keeps its zero;
// exponent form below 1E-4 and from 1E15 up, written like "1.5E+15" and "1E-05".
// Negative zero is written "0"; values that are not finite as "NaN", "Infinity", "-Infinity".
std::string plain(double v);

// As plain(), but a leading space for zero and positive values, "-" for negative ones and
// no zero before the decimal point: 0.5 gives " .5", -0.5 gives "-.5", 0 gives " 0".
std::string signedText(double v);

// The value written by a digit pattern such as "0.000000000", "0000", "00h" or
// "  00000000000000.00000000000000": every '0' is a digit place, the first '.' the decimal
// point, other characters are copied. The value is taken at 15 significant digits (the
// digits its plain text shows) and rounded to the pattern's decimals, halves to even.
// Integer digits beyond the pattern's places are all written; a negative value puts its
// "-" before the whole text, and a value that rounds to zero has no sign. Values that are
// not finite give their plain text.
std::string patterned(double v, std::string_view pattern);

// The leading number of a text: optional sign, digits, decimal point, exponent "E" or "e"
// with optional sign; blanks (space, tab, line ends) are skipped wherever they stand, so
// "-  001.5" gives -1.5 and "1 000" gives 1000. 0 when the text starts with no number.
// Always finite: a number beyond the range of a double reads as the largest double of its
// sign, one too small to hold reads as 0.
double val(std::string_view s);
// As val(), but nothing for a number beyond the range of a double, which val() would read as
// the largest one.
std::optional<double> valInRange(std::string_view s);

// Largest whole number not greater than v.
inline double intFloor(double v) { return std::floor(v); }

// Nearest whole number, halves to even (2.5 gives 2, 3.5 gives 4).
inline double roundHalfEven(double v) {
  if (!std::isfinite(v)) return v;
  const double f = std::floor(v);
  const double diff = v - f;  // exact: both lie within one unit
  if (diff < 0.5) return f;
  if (diff > 0.5) return f + 1.0;
  return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}
// The same as a 64-bit integer; saturates at the integer's limits, 0 for NaN.
inline int64_t toWhole(double v) {
  if (std::isnan(v)) return 0;
  const double r = roundHalfEven(v);
  // 2^63 is exactly representable; every double below it converts without overflow.
  if (r >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (r < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return int64_t(r);
}

// The shortest text that reads back to the same double (save files): the layout of
// plain() (fixed below 1E15 and from 1E-4 up, otherwise "1.2345678901234567E+300"), with
// as many digits as needed, up to 17.
std::string shortest(double v);

// Reads a whole text written by shortest() or plain() back: the text must be exactly one
// finite number with nothing before or after it; nullopt otherwise.
std::optional<double> readNumber(std::string_view s);

}  // namespace orbits::text
