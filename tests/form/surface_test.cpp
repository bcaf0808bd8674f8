#include "form/surface.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace orbits {
namespace {

constexpr int kW = 97, kH = 61;

// The stepping the surface always did for ends on it: Bresenham over the whole segment in
// pixels, each point kept only when it falls on the buffer.
std::vector<uint32_t> steppedWhole(int ax, int ay, int bx, int by, Color c) {
  std::vector<uint32_t> px(size_t(kW) * kH, kBlack);
  int dx = std::abs(bx - ax), sx = ax < bx ? 1 : -1;
  int dy = -std::abs(by - ay), sy = ay < by ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (ax >= 0 && ay >= 0 && ax < kW && ay < kH) px[size_t(ay) * kW + ax] = c;
    if (ax == bx && ay == by) break;
    int e2 = 2 * err;
    if (e2 >= dy) err += dy, ax += sx;
    if (e2 <= dx) err += dx, ay += sy;
  }
  return px;
}

std::vector<uint32_t> drawn(double x1, double y1, double x2, double y2, Color c) {
  Surface s(kW, kH);
  s.line(x1, y1, x2, y2, c);
  return {s.pixels(), s.pixels() + size_t(kW) * kH};
}

// Cutting long segments must not move a single pixel of the ones that were always drawn whole:
// random segments with both ends on the surface, and with ends up to a surface beyond it,
// anywhere inside their end pixels.
TEST(Surface, LinePixelsUnchangedForSegmentsOnAndNearTheSurface) {
  std::mt19937 rng(16);
  for (int near = 0; near < 2; ++near) {
    std::uniform_int_distribution<int> px(near ? -kW : 0, near ? 2 * kW - 1 : kW - 1);
    std::uniform_int_distribution<int> py(near ? -kH : 0, near ? 2 * kH - 1 : kH - 1);
    std::uniform_real_distribution<double> within(0, 14.999);
    for (int i = 0; i < 20000; ++i) {
      const int ax = px(rng), ay = py(rng), bx = px(rng), by = py(rng);
      const auto units = [&](int p) { return p * 15.0 + within(rng); };
      ASSERT_EQ(drawn(units(ax), units(ay), units(bx), units(by), kWhite),
                steppedWhole(ax, ay, bx, by, kWhite))
          << ax << "," << ay << " to " << bx << "," << by;
    }
  }
}

// Ends at the limits of double and of int: nothing overflows, a segment crossing the surface
// draws what lies on it, one passing beside it draws nothing, non-finite ends draw nothing.
TEST(Surface, LineWithEndsAtTheLimitsIsCutToTheSurface) {
  const double far[] = {DBL_MAX, 1e308, 1e300, 1e20, double(INT_MAX) * 15, 1e9 * 15 + 7};
  for (double f : far) {
    // A row across the whole surface, from far left to far right.
    auto row = drawn(-f, 30 * 15 + 3, f, 30 * 15 + 3, kWhite);
    for (int x = 0; x < kW; ++x) ASSERT_EQ(row[size_t(30) * kW + x], kWhite) << f << " " << x;
    int lit = 0;
    for (uint32_t p : row) lit += p == kWhite;
    EXPECT_EQ(lit, kW) << f;
    // The diagonal through the surface's corner pixels, from ends where a double still
    // resolves a pixel.
    if (f < 1e15) {
      auto diag = drawn(-f, -f, f, f, kWhite);
      for (int k = 0; k < kH; ++k) ASSERT_EQ(diag[size_t(k) * kW + k], kWhite) << f << " " << k;
    }
    // Beside the surface.
    EXPECT_EQ(drawn(-f, -15 * 5, f, -15 * 5, kWhite), drawn(0, 0, 0, 0, kBlack)) << f;
  }
  const double bad[] = {INFINITY, -INFINITY, NAN};
  for (double b : bad) EXPECT_EQ(drawn(b, 0, 15 * 10, 15 * 10, kWhite), drawn(0, 0, 0, 0, kBlack));
}

}  // namespace
}  // namespace orbits
