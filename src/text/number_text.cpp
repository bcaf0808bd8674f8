#include "text/number_text.h"

#include <cmath>
#include <cstdio>

namespace orbits::text {

// Provisional forms; replaced by the complete conventions.
std::string plain(double v) {
  char b[64];
  std::snprintf(b, sizeof b, "%.15G", v);
  return b;
}
std::string signedText(double v) { return (v >= 0 ? " " : "") + plain(v); }
std::string patterned(double v, std::string_view) { return plain(v); }
double val(std::string_view s) { return std::atof(std::string(s).c_str()); }
double intFloor(double v) { return std::floor(v); }
double roundHalfEven(double v) { return std::nearbyint(v); }
int64_t toWhole(double v) { return int64_t(std::nearbyint(v)); }
std::string shortest(double v) { return plain(v); }

}  // namespace orbits::text
