// Built with -fno-trapping-math (see CMakeLists.txt): the bounds tests and selections below
// then become vector blends instead of branches. It does not change a single result: no
// rounding, order or precision of any operation differs; only the floating-point exception
// flags, which nothing reads, may.
#include "physics/dot_lanes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
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

// Whether the colours were worked out from what the bodies and the trail shade hold now, bit
// for bit (a NaN or a -0 edited in counts as a change too).
bool sameColourInputs(const DotLanes::ColourInputs& was, const SimState& s, bool alternate) {
  uint32_t differ = 0;
  for (int i = 0; i < kMaxBodies; ++i) {
    differ |= std::bit_cast<uint32_t>(was.red[i]) ^ std::bit_cast<uint32_t>(s.bodyRed[i]);
    differ |= std::bit_cast<uint32_t>(was.green[i]) ^ std::bit_cast<uint32_t>(s.bodyGreen[i]);
    differ |= std::bit_cast<uint32_t>(was.blue[i]) ^ std::bit_cast<uint32_t>(s.bodyBlue[i]);
  }
  return differ == 0 && std::bit_cast<uint64_t>(was.shade) == std::bit_cast<uint64_t>(s.altShade) &&
         was.alternate == alternate;
}

// The colours, worked out again only when what they come from has changed since the last time.
void refreshColours(const DotInput& in, DotLanes& p) {
  const SimState& s = *in.s;
  p.coloursKept = p.coloursKnown && sameColourInputs(p.colourInputs, s, in.alternate);
  if (p.coloursKept) return;
  colours(in, p);
  p.colourInputs = {s.bodyRed, s.bodyGreen, s.bodyBlue, s.altShade, in.alternate};
  p.coloursKnown = true;
}

// The pixel boxes. Every test and pixel index of a slot's dots depends on one drawing
// coordinate at a time, through a chain of rounded operations each of which never decreases
// as its input grows: x - 500, then / 15, then the test against 0 or a size. So each is a
// monotone function of x (or y, or z), and one that has the same value at both ends of an
// interval has it all the way between. A box is made from the pixel edges and borders nearest
// the coordinate, drawn in a little, and kept only where the signature below - every test and
// pixel index, in the very expressions of the projection - is the same at its ends as at the
// coordinate; otherwise that end is the coordinate itself.

// A pixel index as the dots see it: -1 left of the surface, the size right of it.
double pixelClass(double units, double sizePx) {
  const double px = units / kUnitsPerPixel;
  return px < 0 ? -1 : px >= sizePx ? sizePx : std::trunc(px);
}

using Signature = std::array<double, 8>;

// Across (x) or down (y): the main surface (`toMain` away, as x - 500 and y + 500 are), the
// side view that shares the direction (from `sideStart` on), and the Sun's glow 30 units either
// way.
struct Along {
  double toMain, mainSize, mainPx, sideStart, sideSize, sidePx;
};
Along alongX(const DotArea& m, const DotArea& zx) {
  return {-500, m.width, m.widthPx, zx.left, zx.width, zx.widthPx};
}
Along alongY(const DotArea& m, const DotArea& zy) {
  return {500, m.height, m.heightPx, zy.top, zy.height, zy.heightPx};
}

Signature signatureAlong(double v, const Along& a) {
  const double onMain = v + a.toMain, onSide = onMain - a.sideStart;
  return {double(0 < v),
          double(v < a.mainSize),
          pixelClass(onMain, a.mainPx),
          double(0 < onSide),
          double(onSide < a.sideSize),
          pixelClass(onSide, a.sidePx),
          pixelClass(onMain + 30, a.mainPx),
          pixelClass(onMain - 30, a.mainPx)};
}
Signature signatureZ(double z, const DotArea& zy, const DotArea& zx) {
  const double u = zy.width / 2 + z, v = zx.height / 2 + z;
  return {double(-kDrawDepth < z), double(z < kDrawDepth),    double(0 < u),
          double(u < zy.width),    pixelClass(u, zy.widthPx), double(0 < v),
          double(v < zx.height),   pixelClass(v, zx.heightPx)};
}

// The nearest edges below and above a coordinate, from borders and from rows of pixel edges.
struct Edges {
  double v, lo = -INFINITY, hi = INFINITY;
  void border(double at) { v < at ? hi = std::min(hi, at) : lo = std::max(lo, at); }
  // Pixel edges every kUnitsPerPixel units from `first`, `count` pixels of them.
  void pixels(double first, double count) {
    const double r = std::floor((v - first) / kUnitsPerPixel);
    if (r < 0) return border(first);
    if (r >= count) return border(first + kUnitsPerPixel * count);
    lo = std::max(lo, first + kUnitsPerPixel * r);
    hi = std::min(hi, first + kUnitsPerPixel * (r + 1));
  }
};

// The box [lo, hi] of coordinate v, from its nearest edges and checked at both ends.
template <typename Sign>
void makeBox(const Edges& e, Sign sign, double& lo, double& hi) {
  const double v = e.v;
  if (!std::isfinite(v)) {
    lo = INFINITY, hi = -INFINITY;  // holds nothing: such a slot is worked out every time
    return;
  }
  auto inward = [](double edge) { return std::abs(edge) * 0x1p-30 + 0x1p-30; };
  lo = std::isfinite(e.lo) ? std::min(v, e.lo + inward(e.lo)) : e.lo;
  hi = std::isfinite(e.hi) ? std::max(v, e.hi - inward(e.hi)) : e.hi;
  const Signature here = sign(v);
  if (sign(lo) != here) lo = v;
  if (sign(hi) != here) hi = v;
}

// The edges of signatureAlong, as coordinates of `e.v`'s direction.
void edgesAlong(Edges& e, const Along& a) {
  const double main = -a.toMain, side = main + a.sideStart;
  e.border(0), e.border(a.mainSize), e.pixels(main, a.mainPx);
  e.border(side), e.border(side + a.sideSize), e.pixels(side, a.sidePx);
  e.pixels(main - 30, a.mainPx), e.pixels(main + 30, a.mainPx);
}

void makeBoxes(const DotInput& in, DotLanes& p, int i) {
  DotLanes::PixelBoxes& b = p.boxes;
  const DotArea &m = in.main, &zy = in.zyArea, &zx = in.zxArea;
  Edges x{p.x[size_t(i)]}, y{p.y[size_t(i)]}, z{p.z[size_t(i)]};
  const Along across = alongX(m, zx), down = alongY(m, zy);
  edgesAlong(x, across), edgesAlong(y, down);
  z.border(-kDrawDepth), z.border(kDrawDepth);
  z.border(-(zy.width / 2)), z.border(zy.width - zy.width / 2);
  z.pixels(-(zy.width / 2), zy.widthPx);
  z.border(-(zx.height / 2)), z.border(zx.height - zx.height / 2);
  z.pixels(-(zx.height / 2), zx.heightPx);
  makeBox(
      x, [&](double v) { return signatureAlong(v, across); }, b.lo[0][size_t(i)],
      b.hi[0][size_t(i)]);
  makeBox(
      y, [&](double v) { return signatureAlong(v, down); }, b.lo[1][size_t(i)], b.hi[1][size_t(i)]);
  makeBox(
      z, [&](double v) { return signatureZ(v, zy, zx); }, b.lo[2][size_t(i)], b.hi[2][size_t(i)]);
}

// Boxes are made for at most kBoxesPerStretch slots every kBoxStretch projections: where bodies
// cross pixels at nearly every cycle, making them would cost more than it saves, and those
// slots are worked out every time until the next stretch.
constexpr int32_t kBoxStretch = 1024, kBoxesPerStretch = 16;

// After a projection that worked the pixels out: boxes for the slots that left theirs, or for
// all when the surfaces or what is shown changed.
constexpr uint32_t kAllSlots = (1u << kDotLanes) - 1;
void updateBoxes(const DotInput& in, DotLanes& p) {
  DotLanes::PixelBoxes& b = p.boxes;
  if (b.stale == kAllSlots) {
    b.main = in.main, b.zy = in.zyArea, b.zx = in.zxArea;
    b.zyShown = in.zy, b.zxShown = in.zx, b.glow = in.glow, b.known = true;
  }
  for (int i = 0; i < kDotLanes; ++i) {
    if (!(b.stale >> i & 1)) continue;
    if (b.made < kBoxesPerStretch) {
      makeBoxes(in, p, i);
      ++b.made;
    } else {
      for (int a = 0; a < 3; ++a) b.lo[a][size_t(i)] = INFINITY, b.hi[a][size_t(i)] = -INFINITY;
    }
  }
  b.stale = 0;
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
  p.inPlay = 0;
  for (int i = 0; i < kMaxBodies; ++i) p.inPlay |= uint32_t((i < n) & (s.bodyOff[i] == 0)) << i;
  p.pixelsKept = false;
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

// Whether two surfaces' places and sizes are the same.
[[gnu::always_inline, gnu::target("avx2")]] inline bool sameArea(const DotArea& a,
                                                                 const DotArea& b) {
  static_assert(offsetof(DotArea, top) == 8 && offsetof(DotArea, height) == 24 &&
                offsetof(DotArea, heightPx) == 40);
  const M place = load(&a.left) == load(&b.left);
  const __m128d size = _mm_cmpeq_pd(_mm_loadu_pd(&a.widthPx), _mm_loadu_pd(&b.widthPx));
  return (_mm256_movemask_pd(__m256d(place)) == 0xf) & (_mm_movemask_pd(size) == 3) &
         (a.stride == b.stride);
}

// The slots that left their pixel boxes, a bit each, all of them when the surfaces or what is
// shown changed; they are marked stale, for their boxes to be made again. The pixel offsets
// (and the glow's) of the others stand from the projection before.
[[gnu::target("avx2")]] uint32_t slotsLeft(const DotInput& in, DotLanes& __restrict p) {
  DotLanes::PixelBoxes& b = p.boxes;
  if (++b.cycles == kBoxStretch) b.cycles = 0, b.made = 0;
  const bool fit = b.known & (b.zyShown == in.zy) & (b.zxShown == in.zx) & (b.glow == in.glow) &
                   sameArea(b.main, in.main) & sameArea(b.zy, in.zyArea) &
                   sameArea(b.zx, in.zxArea);
  if (!fit) return b.stale = kAllSlots;
  const double* coord[3] = {p.x.data(), p.y.data(), p.z.data()};
  uint32_t left = 0;
  for (int g = 0; g < kDotLanes; g += 4) {
    M inside = M{} - 1;
    for (int a = 0; a < 3; ++a) {
      const D v = load(coord[a] + g);
      inside &= (v >= load(b.lo[a].data() + g)) & (v <= load(b.hi[a].data() + g));
    }
    left |= uint32_t(~_mm256_movemask_pd(__m256d(inside)) & 0xf) << g;
  }
  return b.stale = left;
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
  p.inPlay = 0;
#pragma GCC unroll 3
  for (int g = 0; g < kDotLanes; g += 4) {
    const D slot = D{0, 1, 2, 3} + g;
    const M inPlay = (slot < bodies) & switchedOn(s.bodyOff, g);
    p.inPlay |= uint32_t(_mm256_movemask_pd(__m256d(inPlay))) << g;
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
  p.pixelsKept = false;
  if (!in.pixels) return;
  const uint32_t left = slotsLeft(in, p);
  p.pixelsKept = left == 0;

  const D unit = splat(kUnitsPerPixel);
  const DotArea m = in.main, zy = in.zyArea, zx = in.zxArea;
  for (int g = 0; g < kDotLanes; g += 4) {
    const D x = load(p.x.data() + g), y = load(p.y.data() + g), z = load(p.z.data() + g);
    const D mainX = x - 500, mainY = y + 500;
    store(p.mainX.data() + g, mainX);
    store(p.mainY.data() + g, mainY);
    if ((left >> g & 0xf) == 0) continue;  // every slot of the group in its box
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
  if ((left & 1) == 0) return;  // the Sun in its box, glow and all
  p.glowAt.fill(-1);
  if (in.glow) {
    const bool shown = onMain(p.x[0], p.y[0], p.z[0], m);
    const double sunX = p.mainX[0], sunY = p.mainY[0];
    const D gx = {sunX + 30, sunX - 30, sunX, sunX}, gy = {sunY, sunY, sunY + 30, sunY - 30};
    const I at = dotsAt(M{} - (shown ? 1 : 0), gx / unit, gy / unit, m);
    std::memcpy(p.glowAt.data(), &at, sizeof at);
  }
}

}  // namespace avx2
#endif

}  // namespace

// The colours are worked out here, after the vector code has returned, not at its end: there
// the compiler made the call a jump that left the upper halves of the vector registers in use,
// and every instruction of the plain code after it, to the end of the cycle, paid for that
// (a run-loop cycle took a fifth longer).
void projectDots(const DotInput& in, DotLanes& out) {
#if defined(__x86_64__) && defined(__GNUC__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2) {
    avx2::lanes(in, out);
    if (in.pixels) {
      if (out.boxes.stale != 0) updateBoxes(in, out);
      refreshColours(in, out);
    }
    return;
  }
#endif
  projectDotsPortable(in, out);
}

void projectDotsPortable(const DotInput& in, DotLanes& out) {
  lanes(in, out);
  if (in.pixels) refreshColours(in, out);
}

}  // namespace orbits
