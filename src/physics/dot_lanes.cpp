// Built with -fno-trapping-math (see CMakeLists.txt): the bounds tests and selections below
// then become vector blends instead of branches. It does not change a single result: no
// rounding, order or precision of any operation differs; only the floating-point exception
// flags, which nothing reads, may.
#include "physics/dot_lanes.h"

#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

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
  return (0 < x) & (x < m.width) & (0 < y) & (y < m.height) & (-kDrawDepth < z) & (z < kDrawDepth);
}

// The dot colours. The Sun keeps its full colour when the others alternate. (A product with 1
// is exact.)
[[gnu::always_inline]] inline void colours(const DotInput& in, DotLanes& __restrict p) {
  const SimState& s = *in.s;
  const double dark = in.alternate ? s.altShade : 1.0;
  for (int i = 0; i < kMaxBodies; ++i) {
    const double f = i != 0 ? dark : 1.0;
    p.colour[i] = rgb(shade(s.bodyRed[i] * f), shade(s.bodyGreen[i] * f), shade(s.bodyBlue[i] * f));
  }
}

// The colours, worked out again only when what they come from has changed since the last
// time (the inputs compared bit for bit).
void refreshColours(const DotInput& in, DotLanes& p) {
  const SimState& s = *in.s;
  DotLanes::ColourInputs now;
  std::memset(&now, 0, sizeof now);  // padding included, for the comparison
  now.red = s.bodyRed, now.green = s.bodyGreen, now.blue = s.bodyBlue;
  now.shade = s.altShade, now.alternate = in.alternate;
  if (p.coloursKnown && std::memcmp(&now, &p.colourInputs, sizeof now) == 0) return;
  colours(in, p);
  std::memcpy(&p.colourInputs, &now, sizeof now);
  p.coloursKnown = true;
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
    out += on & outsideDrawing(x, y, z);
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
  refreshColours(in, p);
}

#if defined(__x86_64__) && defined(__GNUC__)
// The same, written out in vectors of four for AVX2: left to itself, the compiler turns the
// loops above into long runs of conversions between the masks of bools, doubles and integers.
// Every arithmetic operation is the one above, lane by lane, so the results are the same to the
// bit.
namespace avx2 {

using D = double __attribute__((vector_size(32)));   // four doubles
using M = int64_t __attribute__((vector_size(32)));  // a test on four doubles: -1 true, 0 false
using I = int32_t __attribute__((vector_size(16)));  // four pixel offsets

[[gnu::always_inline, gnu::target("avx2")]] inline D load(const double* a) {
  D v;
  std::memcpy(&v, a, sizeof v);
  return v;
}
[[gnu::always_inline, gnu::target("avx2")]] inline void store(double* a, D v) {
  std::memcpy(a, &v, sizeof v);
}
[[gnu::always_inline, gnu::target("avx2")]] inline void store(int32_t* a, I v) {
  std::memcpy(a, &v, sizeof v);
}
[[gnu::always_inline, gnu::target("avx2")]] inline D splat(double v) { return D{} + v; }
// v where m is true, 0 where it is false.
[[gnu::always_inline, gnu::target("avx2")]] inline D keep(M m, D v) { return D(M(v) & m); }

// dotAt, four at a time. The offset is worked out in doubles, exact for whole numbers of this
// size, and converted once: -1 where no dot is drawn.
[[gnu::always_inline, gnu::target("avx2")]] inline I dotsAt(M shown, D px, D py, const DotArea& a) {
  shown &= (px >= 0) & (py >= 0) & (px < a.widthPx) & (py < a.heightPx);
  constexpr int kTruncate = _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC;
  const D at = D(_mm256_round_pd(__m256d(py), kTruncate)) * double(a.stride) +
               D(_mm256_round_pd(__m256d(px), kTruncate));
  return __builtin_convertvector(shown ? at : splat(-1), I);
}

// The slots g..g+3 of a body array; in the last group, the slots past the last body read 0
// and are not written.
[[gnu::always_inline, gnu::target("avx2")]] inline D slots(const BodyArray<double>& a, int g) {
  if (g + 4 <= kMaxBodies) return load(a.data() + g);
  D v{};
  for (int i = 0; i < kMaxBodies % 4; ++i) v[i] = a[size_t(g + i)];
  return v;
}
// Whether the bodies of slots g..g+3 are switched on; slots past the last body are not.
[[gnu::always_inline, gnu::target("avx2")]] inline M switchedOn(const BodyArray<int16_t>& off,
                                                                int g) {
  using Four = int16_t __attribute__((vector_size(8)));
  Four v = {1, 1, 1, 1};
  if (g + 4 <= kMaxBodies)
    std::memcpy(&v, off.data() + g, sizeof v);
  else
    for (int i = 0; i < kMaxBodies % 4; ++i) v[i] = off[size_t(g + i)];
  return __builtin_convertvector(v == 0, M);
}
[[gnu::always_inline, gnu::target("avx2")]] inline void setSlots(BodyArray<double>& a, int g, D v) {
  if (g + 4 <= kMaxBodies) return store(a.data() + g, v);
  for (int i = 0; i < kMaxBodies % 4; ++i) a[size_t(g + i)] = v[i];
}

[[gnu::target("avx2")]] void lanes(const DotInput& in, DotLanes& __restrict p) {
  SimState& s = *in.s;
  const D bodies = splat(s.lastBody + 1);
  const D scale = splat(s.distScale);
  const D off[3] = {splat(s.viewOffsetX), splat(s.viewOffsetY), splat(s.viewOffsetZ)};
  BodyArray<double>* pos[3] = {&s.posX, &s.posY, &s.posZ};
  BodyArray<double>* screen[3] = {&s.screenX, &s.screenY, &s.screenZ};
  double* coord[3] = {p.x.data(), p.y.data(), p.z.data()};
  M out{};
#pragma GCC unroll 3
  for (int g = 0; g < kDotLanes; g += 4) {
    const D slot = D{0, 1, 2, 3} + g;
    const M inPlay = (slot < bodies) & switchedOn(s.bodyOff, g);
    D c[3];
#pragma GCC unroll 3
    for (int a = 0; a < 3; ++a) {
      // Past the last body, 0 / scale + offset is replaced by the 0 the padding holds.
      c[a] = keep(slot < kMaxBodies, slots(*pos[a], g) / scale + off[a]);
      store(coord[a] + g, c[a]);
      // The drawing coordinates of the bodies in play; switched-off bodies keep theirs.
      setSlots(*screen[a], g, inPlay ? c[a] : slots(*screen[a], g));
    }
    out |= inPlay & ((c[0] < kDrawLeft) | (c[0] > kDrawRight) | (c[1] < kDrawTop) |
                     (c[1] > kDrawBottom) | (c[2] < -kDrawDepth) | (c[2] > kDrawDepth));
  }
  p.inBounds = (out[0] | out[1] | out[2] | out[3]) == 0;
  if (!in.pixels) return;

  const D unit = splat(kUnitsPerPixel);
  const DotArea m = in.main, zy = in.zyArea, zx = in.zxArea;
  for (int g = 0; g < kDotLanes; g += 4) {
    const D x = load(p.x.data() + g), y = load(p.y.data() + g), z = load(p.z.data() + g);
    const D mainX = x - 500, mainY = y + 500;
    store(p.mainX.data() + g, mainX);
    store(p.mainY.data() + g, mainY);
    const M onMain =
        (0 < x) & (x < m.width) & (0 < y) & (y < m.height) & (-kDrawDepth < z) & (z < kDrawDepth);
    store(p.mainAt.data() + g, dotsAt(onMain, mainX / unit, mainY / unit, m));
    // A side view hidden takes no dots.
    I zyAt = I{} - 1, zxAt = I{} - 1;
    if (in.zy) {
      const D u = zy.width / 2 + z, v = mainY - zy.top;
      zyAt = dotsAt((0 < u) & (u < zy.width) & (0 < v) & (v < zy.height), u / unit, v / unit, zy);
    }
    if (in.zx) {
      const D u = mainX - zx.left, v = zx.height / 2 + z;
      zxAt = dotsAt((0 < u) & (u < zx.width) & (0 < v) & (v < zx.height), u / unit, v / unit, zx);
    }
    store(p.zyAt.data() + g, zyAt);
    store(p.zxAt.data() + g, zxAt);
  }
  p.glowAt.fill(-1);
  if (in.glow) {
    const bool shown = onMain(p.x[0], p.y[0], p.z[0], m);
    const double sunX = p.mainX[0], sunY = p.mainY[0];
    const D gx = {sunX + 30, sunX - 30, sunX, sunX}, gy = {sunY, sunY, sunY + 30, sunY - 30};
    const I at = dotsAt(M{} - (shown ? 1 : 0), gx / unit, gy / unit, m);
    std::memcpy(p.glowAt.data(), &at, sizeof at);
  }
  refreshColours(in, p);
}

}  // namespace avx2
#endif

}  // namespace

void projectDots(const DotInput& in, DotLanes& out) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) return avx2::lanes(in, out);
#endif
  projectDotsPortable(in, out);
}

void projectDotsPortable(const DotInput& in, DotLanes& out) { lanes(in, out); }

}  // namespace orbits
