// Built with -fno-trapping-math (see CMakeLists.txt): the bounds tests and selections below
// then become vector blends instead of branches. It does not change a single result: no
// rounding, order or precision of any operation differs; only the floating-point exception
// flags, which nothing reads, may.
#include "display/dot_lanes.h"

namespace orbits {

namespace {

// Offset of the pixel (px, py) when `shown` and the point lies in the buffer, else -1.
[[gnu::always_inline]] inline int32_t dotAt(bool shown, double px, double py, DotArea a) {
  shown = shown & (px >= 0) & (py >= 0) & (px < a.widthPx) & (py < a.heightPx);
  const int32_t at = int32_t(shown ? py : 0) * a.stride + int32_t(shown ? px : 0);
  return shown ? at : -1;
}

// Whether a point in drawing units lies on the main surface's part of the drawing.
[[gnu::always_inline]] inline bool onMain(double x, double y, double z, const DotArea& m) {
  return (0 < x) & (x < m.width) & (0 < y) & (y < m.height) & (-24000 < z) & (z < 24000);
}

// Each value is the very expression the plotting evaluated body by body, so the results are
// the same to the bit; done for all bodies at once, in loops free of branches, the divisions
// and tests run side by side in vector registers.
[[gnu::always_inline]] inline void lanes(const DotInput& in, DotLanes& __restrict p) {
  SimState& s = *in.s;
  const double* __restrict posX = s.posX.data();
  const double* __restrict posY = s.posY.data();
  const double* __restrict posZ = s.posZ.data();
  const double scale = s.distScale;
  const double offX = s.viewOffsetX, offY = s.viewOffsetY, offZ = s.viewOffsetZ;
  const double unit = kUnitsPerPixel;
  for (int i = 0; i < kMaxBodies; ++i) {
    p.x[i] = posX[i] / scale + offX;
    p.y[i] = posY[i] / scale + offY;
    p.z[i] = posZ[i] / scale + offZ;
  }
  // The drawing coordinates of the bodies in play; switched-off bodies keep theirs.
  const int n = s.lastBody + 1;
  for (int i = 0; i < kMaxBodies; ++i) {
    const bool on = (i < n) & (s.bodyOff[i] == 0);
    s.screenX[i] = on ? p.x[i] : s.screenX[i];
    s.screenY[i] = on ? p.y[i] : s.screenY[i];
    s.screenZ[i] = on ? p.z[i] : s.screenZ[i];
  }
  // Whether they all lie inside the drawing bounds.
  long out = 0;
  for (int i = 0; i < kMaxBodies; ++i) {
    const bool on = (i < n) & (s.bodyOff[i] == 0);
    const double x = p.x[i], y = p.y[i], z = p.z[i];
    out += on & ((x < 2640) | (x > 12600) | (y < 0) | (y > 9000) | (z < -24000) | (z > 24000));
  }
  p.inBounds = out == 0;
  for (int i = kMaxBodies; i < kDotLanes; ++i) p.x[i] = p.y[i] = p.z[i] = 0;
  if (!in.pixels) return;
  const DotArea m = in.main;
  for (int i = 0; i < kDotLanes; ++i) {
    const double x = p.x[i], y = p.y[i], z = p.z[i];
    p.mainX[i] = x - 500;
    p.mainY[i] = y + 500;
    p.mainAt[i] = dotAt(onMain(x, y, z, m), p.mainX[i] / unit, p.mainY[i] / unit, m);
  }
  p.glowAt.fill(-1);
  if (in.glow) {
    const bool shown = onMain(p.x[0], p.y[0], p.z[0], m);
    const double sunX = p.mainX[0], sunY = p.mainY[0];
    const double gx[4] = {sunX + 30, sunX - 30, sunX, sunX};
    const double gy[4] = {sunY, sunY, sunY + 30, sunY - 30};
    for (int g = 0; g < 4; ++g) p.glowAt[g] = dotAt(shown, gx[g] / unit, gy[g] / unit, m);
  }
  // A side view hidden takes no dots.
  p.zyAt.fill(-1);
  p.zxAt.fill(-1);
  const DotArea zy = in.zyArea;
  for (int i = 0; in.zy && i < kDotLanes; ++i) {
    const double u = zy.width / 2 + p.z[i], v = p.mainY[i] - zy.top;
    const bool shown = (0 < u) & (u < zy.width) & (0 < v) & (v < zy.height);
    p.zyAt[i] = dotAt(shown, u / unit, v / unit, zy);
  }
  const DotArea zx = in.zxArea;
  for (int i = 0; in.zx && i < kDotLanes; ++i) {
    const double u = p.mainX[i] - zx.left, v = zx.height / 2 + p.z[i];
    const bool shown = (0 < u) & (u < zx.width) & (0 < v) & (v < zx.height);
    p.zxAt[i] = dotAt(shown, u / unit, v / unit, zx);
  }
  // The Sun keeps its full colour when the others alternate. (A product with 1 is exact.)
  const double dark = in.alternate ? s.altShade : 1.0;
  for (int i = 0; i < kMaxBodies; ++i) {
    const double f = i != 0 ? dark : 1.0;
    p.colour[i] = rgb(shade(s.bodyRed[i] * f), shade(s.bodyGreen[i] * f), shade(s.bodyBlue[i] * f));
  }
}

#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target("avx2"))) void lanesAvx2(const DotInput& in, DotLanes& __restrict p) {
  lanes(in, p);
}
#endif

void lanesPortable(const DotInput& in, DotLanes& __restrict p) { lanes(in, p); }

}  // namespace

void projectDots(const DotInput& in, DotLanes& out) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return lanesAvx2(in, out);
#endif
  lanesPortable(in, out);
}

}  // namespace orbits
