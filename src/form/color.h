#pragma once
#include <cstdint>

namespace orbits {

// An RGB colour as 0x00RRGGBB, the layout of a 32-bit RGB pixel.
using Color = uint32_t;

constexpr Color rgb(int r, int g, int b) {
  return (Color(r & 255) << 16) | (Color(g & 255) << 8) | Color(b & 255);
}
constexpr int redOf(Color c) { return int((c >> 16) & 255); }
constexpr int greenOf(Color c) { return int((c >> 8) & 255); }
constexpr int blueOf(Color c) { return int(c & 255); }

constexpr Color kBlack = rgb(0, 0, 0);
constexpr Color kWhite = rgb(255, 255, 255);

}  // namespace orbits
