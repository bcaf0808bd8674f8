#pragma once
// The projection and trail dots of every body at once: drawing coordinates, dot colours and
// the pixels each body's dot falls on, for the main surface and both side views.
#include <array>
#include <cstdint>

#include "form/color.h"
#include "form/surface.h"
#include "physics/sim_state.h"

namespace orbits {

// Whole vectors of four: the slots past the last body are worked out and ignored.
constexpr int kDotLanes = (kMaxBodies + 3) / 4 * 4;
template <typename T>
using Lanes = std::array<T, kDotLanes>;

// A surface's place in drawing units and its size in pixels.
struct DotArea {
  double left = 0, top = 0, width = 0, height = 0;
  double widthPx = 0, heightPx = 0;
  int32_t stride = 0;
};
inline DotArea dotArea(const Surface& sf, double left, double top, double width, double height) {
  return {left, top, width, height, double(sf.widthPx()), double(sf.heightPx()), sf.widthPx()};
}

struct DotLanes {
  alignas(64) Lanes<double> x, y, z;       // drawing units
  alignas(64) Lanes<double> mainX, mainY;  // the main surface, drawing units
  // Offset of each body's dot in the pixels of a surface, or -1 where no dot is drawn.
  alignas(64) Lanes<int32_t> mainAt, zyAt, zxAt;
  alignas(64) Lanes<Color> colour;
  // The Sun's glow: the pixels 30 units right, left, below and above its dot, or -1.
  alignas(32) std::array<int32_t, 4> glowAt;
  // Every body in play lies inside the drawing bounds (kDrawLeft and the others).
  bool inBounds;
  uint32_t inPlay;  // a bit for every body in play
  // The pixel offsets, and the colours, are those of the projection before (see PixelBoxes).
  bool pixelsKept = false, coloursKept = false;
  // What the colours were worked out from. They change rarely (an orbit's alternation, an
  // edit), so a DotLanes kept from cycle to cycle works them out again only when these do.
  struct ColourInputs {
    std::array<float, kMaxBodies> red, green, blue;
    double shade;
    bool alternate;
  };
  ColourInputs colourInputs;
  bool coloursKnown = false;
  // Boxes around each slot's drawing coordinates within which its dots and the Sun's glow fall
  // on the same pixels (see dot_lanes.cpp). At the slower time rates bodies cross a pixel once
  // in hundreds of cycles, and a DotLanes kept from cycle to cycle keeps most pixel offsets
  // instead of working them out.
  struct PixelBoxes {
    alignas(64) Lanes<double> lo[3], hi[3];  // x, y, z; closed intervals
    DotArea main, zy, zx;                    // the surfaces they were made for
    bool zyShown = false, zxShown = false, glow = false, known = false;
    uint32_t stale = 0;            // the slots whose boxes are to be made again, a bit each
    int32_t cycles = 0, made = 0;  // projections and boxes made in the current stretch
  };
  PixelBoxes boxes;
};

struct DotInput {
  SimState* s = nullptr;
  bool pixels = false;          // dots wanted: otherwise only x, y and z are worked out
  bool zy = false, zx = false;  // the side views shown
  bool alternate = false;       // the dark trail of alternate orbits
  bool glow = false;            // the Sun's glow
  DotArea main, zyArea, zxArea;
};

// Fills x, y and z for every body slot, and with `pixels` the rest; entries of bodies out of
// play are worked out too, and ignored by the caller. Stores the drawing coordinates
// (screenX, screenY, screenZ) of the bodies in play.
void projectDots(const DotInput& in, DotLanes& out);
// The same in plain C++, what projectDots does on a processor without AVX2.
void projectDotsPortable(const DotInput& in, DotLanes& out);

// A colour component rounded to the nearest whole number, halves to even.
inline int shade(double component) {
  // Adding and taking away 1.5 x 2^52 leaves the value rounded in the current (nearest-even)
  // rounding mode.
  constexpr double kRound = 6755399441055744.0;
  return int((component + kRound) - kRound);
}

}  // namespace orbits
