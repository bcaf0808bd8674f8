#pragma once
// Number texts, the conventions every text box, label and data file of the system uses.
#include <cstdint>
#include <string>
#include <string_view>

namespace orbits::text {

// General form with up to 15 significant digits, no trailing zeros, "0.5" keeps its zero;
// exponent form below 1E-4 and from 1E15 up, written like "1.5E+15" and "1E-05".
std::string plain(double v);

// As plain(), but a leading space for zero and positive values, "-" for negative ones and
// no zero before the decimal point: 0.5 gives " .5", -0.5 gives "-.5", 0 gives " 0".
std::string signedText(double v);

// The value written by a digit pattern such as "0.000000000", "0000", "00h" or
// "  00000000000000.00000000000000": every '0' is a digit place, '.' the decimal point,
// other characters are copied. Rounded (halves to even) to the pattern's decimals.
std::string patterned(double v, std::string_view pattern);

// The leading number of a text (spaces skipped, optional sign, digits, decimal point,
// exponent); 0 when the text starts with no number.
double val(std::string_view s);

// Largest whole number not greater than v.
double intFloor(double v);

// Nearest whole number, halves to even (2.5 gives 2, 3.5 gives 4).
double roundHalfEven(double v);
int64_t toWhole(double v);

// The shortest text that reads back to the same double (save files).
std::string shortest(double v);

}  // namespace orbits::text
