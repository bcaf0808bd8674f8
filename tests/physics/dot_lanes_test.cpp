#include "physics/dot_lanes.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>

namespace orbits {
namespace {

// The dots of one body worked out the plain way, one expression after another.
struct PlainDot {
  double x, y, z;
  int32_t mainAt, zyAt, zxAt;
  Color colour;
};

int32_t plainPixel(double px, double py, const DotArea& a) {
  if (!(px >= 0 && py >= 0 && px < a.widthPx && py < a.heightPx)) return -1;
  return int32_t(py) * a.stride + int32_t(px);
}

PlainDot plainDot(const DotInput& in, int i) {
  const SimState& s = *in.s;
  PlainDot d{};
  d.x = s.posX[i] / s.distScale + s.viewOffsetX;
  d.y = s.posY[i] / s.distScale + s.viewOffsetY;
  d.z = s.posZ[i] / s.distScale + s.viewOffsetZ;
  const double mainX = d.x - 500, mainY = d.y + 500, unit = kUnitsPerPixel;
  const DotArea &m = in.main, &zy = in.zyArea, &zx = in.zxArea;
  d.mainAt = -1, d.zyAt = -1, d.zxAt = -1;
  if (0 < d.x && d.x < m.width && 0 < d.y && d.y < m.height && -24000 < d.z && d.z < 24000)
    d.mainAt = plainPixel(mainX / unit, mainY / unit, m);
  double u = zy.width / 2 + d.z, v = mainY - zy.top;
  if (in.zy && 0 < u && u < zy.width && 0 < v && v < zy.height)
    d.zyAt = plainPixel(u / unit, v / unit, zy);
  u = mainX - zx.left, v = zx.height / 2 + d.z;
  if (in.zx && 0 < u && u < zx.width && 0 < v && v < zx.height)
    d.zxAt = plainPixel(u / unit, v / unit, zx);
  const double f = in.alternate && i != 0 ? s.altShade : 1.0;
  d.colour = rgb(shade(s.bodyRed[i] * f), shade(s.bodyGreen[i] * f), shade(s.bodyBlue[i] * f));
  return d;
}

// The lanes against the plain dots, body by body, and the Sun's glow: 30 units right, left,
// below and above, where the Sun itself is shown.
void expectPlainDots(const DotInput& in, const DotLanes& lanes, int round) {
  for (int i = 0; i < kMaxBodies; ++i) {
    SCOPED_TRACE(::testing::Message() << "round " << round << ", body " << i);
    const PlainDot d = plainDot(in, i);
    EXPECT_EQ(lanes.mainAt[i], d.mainAt);
    EXPECT_EQ(lanes.zyAt[i], d.zyAt);
    EXPECT_EQ(lanes.zxAt[i], d.zxAt);
    EXPECT_EQ(lanes.colour[i], d.colour);
  }
  const double x = lanes.x[0], y = lanes.y[0], z = lanes.z[0], sunX = x - 500, sunY = y + 500;
  const bool sunShown = 0 < x && x < in.main.width && 0 < y && y < in.main.height && -24000 < z &&
                        z < 24000 && in.glow;
  const double gx[] = {sunX + 30, sunX - 30, sunX, sunX}, gy[] = {sunY, sunY, sunY + 30, sunY - 30};
  for (int g = 0; g < 4; ++g)
    EXPECT_EQ(lanes.glowAt[size_t(g)], sunShown ? plainPixel(gx[g] / 15, gy[g] / 15, in.main) : -1)
        << "round " << round << ", glow " << g;
}

// Random scenes whose bodies fall inside, outside and right on the edges of every surface:
// the vector lanes must give the plain answers to the bit.
TEST(DotLanes, EveryBodyGetsThePlainProjectionPixelsAndColour) {
  std::mt19937_64 rng(20261209);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution(lo, hi)(rng); };
  auto pick = [&](int n) { return int(rng() % uint64_t(n)); };
  // Kept from round to round, as the run loop keeps them, with the colours now the same as
  // the round before, now new.
  DotLanes kept[2];
  std::array<float, kMaxBodies> red{}, green{}, blue{};
  for (int round = 0; round < 4000; ++round) {
    SimState s;
    s.lastBody = int16_t(pick(kMaxBodies));
    s.distScale = std::array{1.0, 15.0, 2.22e5, uniform(0.5, 1e7)}[size_t(pick(4))];
    s.viewOffsetX = uniform(-8000, 8000), s.viewOffsetY = uniform(-8000, 8000);
    s.viewOffsetZ = uniform(-100, 100);
    s.altShade = 0.4;
    Surface main(1024, 768), zy(40, 768), zx(1024, 60);
    DotInput in;
    in.s = &s;
    in.pixels = true;
    in.zy = pick(2), in.zx = pick(2), in.alternate = pick(2), in.glow = pick(2);
    in.main = dotArea(main, 0, 0, 15360, 11520);
    in.zyArea = dotArea(zy, 15360, 0, 600, 11520);
    in.zxArea = dotArea(zx, 0, 11520, 15360, 900);
    for (int i = 0; i < kMaxBodies; ++i) {
      // Some drawing coordinates exactly on a pixel's edge or a surface's border.
      const double edges[] = {0, 15, 500, 15360, 15860, 11520 - 500, 24000, uniform(-2e4, 2e4)};
      auto place = [&](double offset) {
        const double units = pick(3) ? uniform(-2000, 17000) : edges[pick(8)];
        return (units - offset) * s.distScale;
      };
      s.posX[i] = place(s.viewOffsetX), s.posY[i] = place(s.viewOffsetY);
      s.posZ[i] = place(s.viewOffsetZ);
      s.bodyOff[i] = int16_t(pick(5) == 0);
      if (round % 3 == 0)
        red[i] = float(pick(256)), green[i] = float(pick(256)) + 0.5f, blue[i] = float(pick(256));
      s.bodyRed[i] = red[i], s.bodyGreen[i] = green[i], s.bodyBlue[i] = blue[i];
      s.screenX[i] = s.screenY[i] = s.screenZ[i] = -1;
    }
    // The processor's own vector code, and the plain C++ of processors without it.
    const SimState scene = s;
    for (int way = 0; way < 2; ++way) {
      SCOPED_TRACE(way == 0 ? "vector code" : "plain C++");
      s = scene;
      DotLanes& lanes = kept[way];
      (way == 0 ? projectDots : projectDotsPortable)(in, lanes);
      bool inside = true;
      for (int i = 0; i < kMaxBodies; ++i) {
        SCOPED_TRACE(::testing::Message() << "round " << round << ", body " << i);
        const PlainDot d = plainDot(in, i);
        EXPECT_EQ(std::bit_cast<uint64_t>(lanes.x[i]), std::bit_cast<uint64_t>(d.x));
        EXPECT_EQ(std::bit_cast<uint64_t>(lanes.y[i]), std::bit_cast<uint64_t>(d.y));
        EXPECT_EQ(std::bit_cast<uint64_t>(lanes.z[i]), std::bit_cast<uint64_t>(d.z));
        const bool inPlay = i <= s.lastBody && s.bodyOff[i] == 0;
        EXPECT_EQ(s.screenX[i], inPlay ? d.x : -1) << "switched-off bodies keep their places";
        if (inPlay &&
            (d.x < 2640 || d.x > 12600 || d.y < 0 || d.y > 9000 || d.z < -24000 || d.z > 24000))
          inside = false;
      }
      EXPECT_EQ(lanes.inBounds, inside) << "round " << round;
      expectPlainDots(in, lanes, round);
    }
    if (::testing::Test::HasFailure()) return;
  }
}

// Bodies creeping a fraction of a pixel at a time, onto and just off pixel edges, while the
// surfaces now and then change: the pixels kept from the cycle before must be the plain ones.
TEST(DotLanes, CreepingBodiesKeepOnlyThePlainPixels) {
  std::mt19937_64 rng(20261211);
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution(lo, hi)(rng); };
  auto pick = [&](int n) { return int(rng() % uint64_t(n)); };
  SimState s;
  s.lastBody = kMaxBodies - 1;
  s.distScale = 1;  // drawing units = positions, so that edges can be hit exactly
  Surface main(1024, 768), zy(40, 768), zx(1024, 60);
  DotInput in;
  in.s = &s;
  in.pixels = in.zy = in.zx = in.glow = true;
  in.main = dotArea(main, 0, 0, 15360, 11520);
  in.zyArea = dotArea(zy, 15360, 0, 600, 11520);
  in.zxArea = dotArea(zx, 0, 11520, 15360, 900);
  for (int i = 0; i < kMaxBodies; ++i) {
    s.posX[i] = uniform(-100, 15500), s.posY[i] = uniform(-600, 11500);
    s.posZ[i] = uniform(-400, 400);
  }
  DotLanes lanes;
  int kept = 0;
  constexpr int kSteps = 30000;
  for (int step = 0; step < kSteps; ++step) {
    BodyArray<double>* axis[] = {&s.posX, &s.posY, &s.posZ};
    double& v = (*axis[pick(3)])[size_t(pick(kMaxBodies))];
    switch (pick(256)) {
      case 0:  // onto an edge of the main surface's pixels, or one unit of rounding off it
        v = 500 + 15 * std::round((v - 500) / 15);
        if (pick(2)) v = std::nextafter(v, pick(2) ? 1e9 : -1e9);
        break;
      case 1:
        v = pick(2) ? 0.0 : -0.0;
        break;
      default:
        v += uniform(-0.5, 0.5);
    }
    if (step % 997 == 0) in.main = dotArea(main, 0, 0, 15360 - 15 * pick(3), 11520);
    if (step % 1499 == 0) in.glow = pick(2), in.zy = pick(4) != 0;
    projectDots(in, lanes);
    kept += lanes.pixelsKept;
    expectPlainDots(in, lanes, step);
    if (::testing::Test::HasFailure()) return;
  }
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx2")) {
    EXPECT_GT(kept, kSteps / 10) << "the kept pixels were tried";
  }
#endif
}

}  // namespace
}  // namespace orbits
