// The fast kernel, in three stages over the bodies in play:
//  1. pairs: every unordered pair (i, j < i) once, in flat arrays indexed by pairIndex, so that
//     row i (the pairs of body i with the bodies below it) is contiguous;
//  2. terms: each pair yields two directed terms, the pull of j on i and of i on j; the reverse
//     direction reuses dx / r with an exact negation, since (-dx) / r == -(dx / r) and
//     (-u) * a == -(u * a) in IEEE arithmetic;
//  3. sums: each body sums its terms from the highest body down, the reference's order of
//     additions. The terms from the bodies above a body t lie in column t of the rows above it,
//     so all bodies take them at once, one row after another, each in its own vector lane; the
//     terms from the bodies below t lie in row t, and are added one by one.
// Pairs and lanes that contribute nothing add +0.0 or -0.0, which leaves every partial sum
// unchanged: the sums start at +0.0 and round-to-nearest addition never yields -0.0 from them,
// so x + 0.0 == x and x + -0.0 == x bitwise.
//
// Built with -fno-math-errno (see CMakeLists.txt), so that the square root of each lane becomes
// one vector square root; no result changes, only errno, which nothing reads. The processor's
// division and the fused one (physics/fused_division.h) give the same quotients.
#include "physics/pair_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "physics/fused_division.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ORBITS_X86_KERNELS 1
#include <immintrin.h>
#else
#define ORBITS_X86_KERNELS 0
#endif

namespace orbits::kernel {

namespace {

// Stage 1, the pairs' separations, the plain way.
void pairsPortable(const LiveBodies& b, PairData& d) {
  for (int i = 1; i < b.m; ++i) {
    const int base = pairIndex(i, 0);
    for (int j = 0; j < i; ++j) {
      const double ddx = b.px[j] - b.px[i];
      const double ddy = b.py[j] - b.py[i];
      const double ddz = b.pz[j] - b.pz[i];
      d.dx[base + j] = ddx;
      d.dy[base + j] = ddy;
      d.dz[base + j] = ddz;
      d.d2[base + j] = ddx * ddx + ddy * ddy + ddz * ddz;
      d.gmI[base + j] = b.gm[i];
      d.gmJ[base + j] = b.gm[j];
    }
  }
}

// Stage 2, the directed terms. A pair that pulls on nothing (coincident, close, or not a number)
// gets zero inputs instead of its own, so its terms are exactly +-0.0 and none of its divisions can
// overflow or trap. The plain version, and the reference for the vector ones.
int termsPortable(PairData& d, int pairs, double prox) {
  bool anyPulls = false, anyClose = false;
  for (int p = 0; p < pairs; ++p) {
    const double r = std::sqrt(d.d2[p]);
    const bool pulls = r > prox && r != 0;
    anyPulls |= pulls;
    anyClose |= r > 0 && r <= prox;
    d.dist[p] = r;
    const double rs = pulls ? r : 1.0;
    const double r2 = rs * rs;
    const double ux = (pulls ? d.dx[p] : 0.0) / rs;
    const double uy = (pulls ? d.dy[p] : 0.0) / rs;
    const double uz = (pulls ? d.dz[p] : 0.0) / rs;
    const double accI = (pulls ? d.gmJ[p] : 0.0) / r2;  // pull of j on i
    const double accJ = (pulls ? d.gmI[p] : 0.0) / r2;  // pull of i on j
    d.onIx[p] = ux * accI;
    d.onIy[p] = uy * accI;
    d.onIz[p] = uz * accI;
    d.onJx[p] = -(ux * accJ);
    d.onJy[p] = -(uy * accJ);
    d.onJz[p] = -(uz * accJ);
  }
  return (anyPulls ? kSomePull : 0) | (anyClose ? kSomeClose : 0);
}

// Stage 3, the sums, the part every width does one by one: the terms on each body from the bodies
// below it, row t, added after those from above.
[[gnu::always_inline]] inline void sumsFromBelow(const PairData& d, int m, Sums& out) {
  for (int t = 1; t < m; ++t) {
    const int row = pairIndex(t, 0);
    const double *rx = d.onIx + row, *ry = d.onIy + row, *rz = d.onIz + row;
    double x = out.x[t], y = out.y[t], z = out.z[t];
    for (int src = t - 1; src >= 0; --src) x += rx[src], y += ry[src], z += rz[src];
    out.x[t] = x, out.y[t] = y, out.z[t] = z;
  }
}

// Stage 3, the sums, the plain way: the terms from the bodies above, then from those below.
void sumsPortable(const PairData& d, int m, Sums& out) {
  for (int t = 0; t < m; ++t) {
    double x = 0, y = 0, z = 0;
    for (int src = m - 1; src > t; --src) {
      const int p = pairIndex(src, t);
      x += d.onJx[p], y += d.onJy[p], z += d.onJz[p];
    }
    out.x[t] = x, out.y[t] = y, out.z[t] = z;
  }
  sumsFromBelow(d, m, out);
}

int kernelPortable(const LiveBodies& b, PairData& d, Sums& out, double prox) {
  pairsPortable(b, d);
  const int found = termsPortable(d, pairIndex(b.m, 0), prox);
  sumsPortable(d, b.m, out);
  return found;
}

#if ORBITS_X86_KERNELS
// The stages over vectors of W doubles (GCC vector types), each lane the very operations of the
// plain versions: division stays division (or becomes the fused one, equal to it), the
// selections are exact, and the negation is a sign flip. Compiled for each width inside a
// function that enables its instructions.
template <int W>
struct Vector {
  typedef double D __attribute__((vector_size(W * 8)));   // W doubles
  typedef int64_t M __attribute__((vector_size(W * 8)));  // a test on W doubles: -1 true, 0 false
};

// Loads and stores at any address of a double. By reference: the helpers are compiled outside
// the functions that enable the instructions of their vectors, and inlined into them.
template <typename V>
[[gnu::always_inline]] inline void loadAt(V& v, const void* a) {
  std::memcpy(&v, a, sizeof v);
}
template <typename V>
[[gnu::always_inline]] inline void storeAt(void* a, const V& v) {
  std::memcpy(a, &v, sizeof v);
}

// Stage 1, the pairs' separations: each row in whole vectors, written past its end into the next
// row, which is written after it; the last row's overrun lies past the pairs, in the padding.
template <int W>
[[gnu::always_inline]] inline void pairsOf(const LiveBodies& b, PairData& d) {
  using D = typename Vector<W>::D;
  for (int i = 1; i < b.m; ++i) {
    const int base = pairIndex(i, 0);
    const D xi = D{} + b.px[i], yi = D{} + b.py[i], zi = D{} + b.pz[i], gi = D{} + b.gm[i];
    for (int j = 0; j < i; j += W) {
      D xj, yj, zj, gj;
      loadAt(xj, b.px + j), loadAt(yj, b.py + j), loadAt(zj, b.pz + j), loadAt(gj, b.gm + j);
      const D dx = xj - xi, dy = yj - yi, dz = zj - zi, d2 = dx * dx + dy * dy + dz * dz;
      storeAt(d.dx + base + j, dx);
      storeAt(d.dy + base + j, dy);
      storeAt(d.dz + base + j, dz);
      storeAt(d.d2 + base + j, d2);
      storeAt(d.gmI + base + j, gi);
      storeAt(d.gmJ + base + j, gj);
    }
  }
  // Padding to a whole vector: coincident pairs, which pull on nothing.
  storeAt(d.d2 + pairIndex(b.m, 0), D{});
}

// Whether this cycle's pairs lie within the fused division's range: every coordinate 0 or of
// magnitude in [2^-200, 2^90] km, so that a separation is 0 or in [2^-252, 2^91] and a distance
// at most 2^92; every gm 0 or in [2^-300, 2^300]; and the proximity limit at least 2^-100 km, the
// least distance of a pair that pulls, so that r^2 lies in [2^-200, 2^184]. Every value is
// checked, the bodies W at a time, the tests taken bitwise.
template <int W>
[[gnu::always_inline]] inline bool fusedRangeHolds(const LiveBodies& b, double prox) {
  using D = typename Vector<W>::D;
  using M = typename Vector<W>::M;
  M bad{}, lane;
  for (int l = 0; l < W; ++l) lane[l] = l;
  for (int k = 0; k < b.m; k += W) {
    const double* values[4] = {b.px + k, b.py + k, b.pz + k, b.gm + k};
    M outside{};
    for (int q = 0; q < 4; ++q) {
      const double least = q < 3 ? 0x1p-200 : kFusedDividendMin;
      const double most = q < 3 ? 0x1p90 : kFusedDividendMax;
      D v;
      loadAt(v, values[q]);
      const D a = D(M(v) & INT64_MAX);
      outside |= ~(a <= most) | ((a < least) & (v != 0));
    }
    bad |= (lane + k < b.m) & outside;
  }
  int64_t any = 0;
  for (int l = 0; l < W; ++l) any |= bad[l];
  return prox >= 0x1p-100 && any == 0;
}

// a / b from y = RN(1/b) the fused way (fusedQuotient), for the four lanes of an AVX vector:
// written with the compiler's builtins, which take effect where the function is inlined into
// one that enables FMA, as intrinsics, which check their caller first, cannot.
// (The compiler warns of the builtins' vector results in a function without AVX, which this
// one never is once inlined.)
using D4 = Vector<4>::D;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
[[gnu::always_inline]] inline void fusedOf(D4& q, const D4& a, const D4& b, const D4& y) {
  q = a * y;
  D4 e = __builtin_ia32_vfmsubpd256(q, b, a);
  q = __builtin_ia32_vfnmaddpd256(e, y, q);
  e = __builtin_ia32_vfmsubpd256(q, b, a);
  q = __builtin_ia32_vfnmaddpd256(e, y, q);
}
#pragma GCC diagnostic pop

template <int W, bool Fused>
[[gnu::always_inline]] inline int termsOf(PairData& d, int pairs, double prox) {
  using D = typename Vector<W>::D;
  using M = typename Vector<W>::M;
  M anyPulls{}, anyClose{};
  for (int p = 0; p < pairs; p += W) {
    // The arrays are aligned to 64 bytes and p is a multiple of W.
    auto at = [&](double* a) { return reinterpret_cast<D*>(a + p); };
    const D d2 = *at(d.d2), dx = *at(d.dx), dy = *at(d.dy), dz = *at(d.dz);
    const D gmI = *at(d.gmI), gmJ = *at(d.gmJ);
    D r;
    for (int i = 0; i < W; ++i) r[i] = __builtin_sqrt(d2[i]);
    const M pulls = (r > prox) & (r != 0);
    // The flags of the lanes, gathered bitwise: left to itself the compiler gathers them with a
    // conditional move per lane.
    M seen = pulls, near = (r > 0) & (r <= prox);
    asm("" : "+x"(seen), "+x"(near));
    anyPulls |= seen;
    anyClose |= near;
    *at(d.dist) = r;
    const D zero{}, one = zero + 1.0, rs = pulls ? r : one;
    const D r2 = rs * rs;
    // Inputs kept where a pair pulls, +0.0 where it does not.
    const D nx = pulls ? dx : zero, ny = pulls ? dy : zero, nz = pulls ? dz : zero;
    const D nI = pulls ? gmJ : zero, nJ = pulls ? gmI : zero;  // pulls of j on i, of i on j
    D ux, uy, uz, accI, accJ;
    if constexpr (Fused) {
      static_assert(W == 4);
      const D y = one / rs, y2 = one / r2;
      fusedOf(ux, nx, rs, y), fusedOf(uy, ny, rs, y), fusedOf(uz, nz, rs, y);
      fusedOf(accI, nI, r2, y2), fusedOf(accJ, nJ, r2, y2);
    } else {
      ux = nx / rs, uy = ny / rs, uz = nz / rs;
      accI = nI / r2, accJ = nJ / r2;
    }
    const D onIx = ux * accI, onIy = uy * accI, onIz = uz * accI;
    const D onJx = -(ux * accJ), onJy = -(uy * accJ), onJz = -(uz * accJ);
    *at(d.onIx) = onIx;
    *at(d.onIy) = onIy;
    *at(d.onIz) = onIz;
    *at(d.onJx) = onJx;
    *at(d.onJy) = onJy;
    *at(d.onJz) = onJz;
  }
  bool pulled = false, close = false;
  for (int i = 0; i < W; ++i) pulled |= anyPulls[i] != 0, close |= anyClose[i] != 0;
  return (pulled ? kSomePull : 0) | (close ? kSomeClose : 0);
}

// Stage 3, the sums. The terms from the bodies above: row s holds, in lane t, the term on body t
// from body s, for t < s; the lanes from s on are masked to +0.0. Then the terms from below.
template <int W>
[[gnu::always_inline]] inline void sumsOf(const PairData& d, int m, Sums& out) {
  using D = typename Vector<W>::D;
  using M = typename Vector<W>::M;
  constexpr int kGroups = (kMaxBodies - 1 + W - 1) / W;  // bodies 0..8 take terms from above
  D sx[kGroups] = {}, sy[kGroups] = {}, sz[kGroups] = {};
  // The lane numbers, made in registers: a constant loaded from memory right after the terms'
  // stores may be held up by one of them whose address agrees in its low twelve bits.
  D lane;
  for (int l = 0; l < W; ++l) lane[l] = l;
  for (int s = m - 1; s >= 1; --s) {
    const int base = pairIndex(s, 0);
#pragma GCC unroll 8
    for (int g = 0; g < kGroups; ++g) {
      if (g * W >= s) break;
      M x, y, z;
      const M keep = lane < double(s - g * W);
      loadAt(x, d.onJx + base + g * W), loadAt(y, d.onJy + base + g * W);
      loadAt(z, d.onJz + base + g * W);
      sx[g] += D(x & keep);
      sy[g] += D(y & keep);
      sz[g] += D(z & keep);
    }
  }
#pragma GCC unroll 8
  for (int g = 0; g < kGroups; ++g) {
    storeAt(out.x + g * W, sx[g]);
    storeAt(out.y + g * W, sy[g]);
    storeAt(out.z + g * W, sz[g]);
  }
  sumsFromBelow(d, m, out);
}

template <int W, bool Fused>
[[gnu::always_inline]] inline int kernelOf(const LiveBodies& b, PairData& d, Sums& out,
                                           double prox) {
  pairsOf<W>(b, d);
  const int found = termsOf<W, Fused>(d, pairIndex(b.m, 0), prox);
  sumsOf<W>(d, b.m, out);
  return found;
}

int kernelSse2(const LiveBodies& b, PairData& d, Sums& out, double prox) {
  return kernelOf<2, false>(b, d, out, prox);
}
[[gnu::target("avx")]] int kernelAvx(const LiveBodies& b, PairData& d, Sums& out, double prox) {
  return kernelOf<4, false>(b, d, out, prox);
}
[[gnu::target("avx,fma")]] int kernelAvxFused(const LiveBodies& b, PairData& d, Sums& out,
                                              double prox) {
  if (!fusedRangeHolds<4>(b, prox)) return kernelAvx(b, d, out, prox);
  return kernelOf<4, true>(b, d, out, prox);
}

// At 512 bits the compiler (GCC 12) turns the masks of vector types into work lane by lane,
// twice as slow as AVX: this width is written out in intrinsics, with the same operations. Its
// pair inputs are picked from the bodies in registers instead of going through memory: the
// bodies in play fit in two vectors of eight, and kSlotBodies names the two bodies of each slot.
struct SlotBodies {
  alignas(64) int64_t i[kPairSlots], j[kPairSlots];
};
constexpr SlotBodies kSlotBodies = [] {
  SlotBodies t{};
  for (int i = 1; i < kMaxBodies; ++i)
    for (int j = 0; j < i; ++j) t.i[pairIndex(i, j)] = i, t.j[pairIndex(i, j)] = j;
  return t;
}();

[[gnu::target("avx512f")]] inline __m512d negate(__m512d v) {
  return _mm512_castsi512_pd(
      _mm512_xor_si512(_mm512_castpd_si512(v), _mm512_set1_epi64(INT64_MIN)));
}

// The lanes 0..k-1 of eight, for k >= 0.
inline __mmask8 firstLanes(int k) { return k >= 8 ? 0xff : __mmask8((1u << k) - 1); }

// One quantity of every body slot, in two vectors of eight.
struct Slots16 {
  __m512d lo, hi;
};
[[gnu::target("avx512f")]] inline Slots16 slots16(const double* a) {
  return {_mm512_load_pd(a), _mm512_load_pd(a + 8)};
}
// The quantity of the body each lane of `body` names.
[[gnu::target("avx512f")]] inline __m512d pick(const Slots16& v, __m512i body) {
  return _mm512_permutex2var_pd(v.lo, body, v.hi);
}

template <bool Fused>
[[gnu::always_inline, gnu::target("avx512f")]] inline int kernelAvx512Of(const LiveBodies& b,
                                                                         PairData& d, Sums& out,
                                                                         double prox) {
  const Slots16 px = slots16(b.px), py = slots16(b.py), pz = slots16(b.pz), gm = slots16(b.gm);
  const __m512d vProx = _mm512_set1_pd(prox), vZero = _mm512_setzero_pd();
  const __m512d vOne = _mm512_set1_pd(1.0);
  const int pairs = pairIndex(b.m, 0);
  __mmask8 pullBits = 0, closeBits = 0;
  for (int p = 0; p < pairs; p += 8) {
    // Stage 1, the separations of eight pairs. Slots past the last pair are coincident: they pull
    // on nothing.
    const __m512i bi = _mm512_load_si512(kSlotBodies.i + p);
    const __m512i bj = _mm512_load_si512(kSlotBodies.j + p);
    const __m512d dx = _mm512_sub_pd(pick(px, bj), pick(px, bi));
    const __m512d dy = _mm512_sub_pd(pick(py, bj), pick(py, bi));
    const __m512d dz = _mm512_sub_pd(pick(pz, bj), pick(pz, bi));
    const __m512d sq = _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(dx, dx), _mm512_mul_pd(dy, dy)),
                                     _mm512_mul_pd(dz, dz));
    const __m512d d2 = _mm512_maskz_mov_pd(firstLanes(pairs - p), sq);
    // Stage 2, the distances, the close pairs and the directed terms.
    // (GCC 12's _mm512_sqrt_pd reads an undefined vector; the masked form does not.)
    const __m512d r = _mm512_mask_sqrt_pd(vZero, 0xff, d2);
    const __mmask8 pulls =
        _mm512_cmp_pd_mask(r, vProx, _CMP_GT_OQ) & _mm512_cmp_pd_mask(r, vZero, _CMP_NEQ_UQ);
    pullBits |= pulls;
    closeBits |=
        _mm512_cmp_pd_mask(r, vZero, _CMP_GT_OQ) & _mm512_cmp_pd_mask(r, vProx, _CMP_LE_OQ);
    _mm512_store_pd(d.dist + p, r);
    const __m512d rs = _mm512_mask_blend_pd(pulls, vOne, r);
    const __m512d r2 = _mm512_mul_pd(rs, rs);
    const __m512d nx = _mm512_maskz_mov_pd(pulls, dx), ny = _mm512_maskz_mov_pd(pulls, dy);
    const __m512d nz = _mm512_maskz_mov_pd(pulls, dz);
    const __m512d nI = _mm512_maskz_mov_pd(pulls, pick(gm, bj));  // pull of j on i
    const __m512d nJ = _mm512_maskz_mov_pd(pulls, pick(gm, bi));  // pull of i on j
    __m512d ux, uy, uz, accI, accJ;
    if constexpr (Fused) {
      const __m512d y = _mm512_div_pd(vOne, rs), y2 = _mm512_div_pd(vOne, r2);
      ux = fusedQuotient(nx, rs, y), uy = fusedQuotient(ny, rs, y), uz = fusedQuotient(nz, rs, y);
      accI = fusedQuotient(nI, r2, y2), accJ = fusedQuotient(nJ, r2, y2);
    } else {
      ux = _mm512_div_pd(nx, rs), uy = _mm512_div_pd(ny, rs), uz = _mm512_div_pd(nz, rs);
      accI = _mm512_div_pd(nI, r2), accJ = _mm512_div_pd(nJ, r2);
    }
    _mm512_store_pd(d.onIx + p, _mm512_mul_pd(ux, accI));
    _mm512_store_pd(d.onIy + p, _mm512_mul_pd(uy, accI));
    _mm512_store_pd(d.onIz + p, _mm512_mul_pd(uz, accI));
    _mm512_store_pd(d.onJx + p, negate(_mm512_mul_pd(ux, accJ)));
    _mm512_store_pd(d.onJy + p, negate(_mm512_mul_pd(uy, accJ)));
    _mm512_store_pd(d.onJz + p, negate(_mm512_mul_pd(uz, accJ)));
  }
  // Stage 3, the sums: the terms from above, row by row into the lanes of bodies 0..7 and 8, masked
  // loads leaving +0.0 in the lanes from the row's own body on; then those from below.
  __m512d sx[2] = {vZero, vZero}, sy[2] = {vZero, vZero}, sz[2] = {vZero, vZero};
  for (int s = b.m - 1; s >= 1; --s) {
    const int base = pairIndex(s, 0);
    for (int g = 0; g < 2 && g * 8 < s; ++g) {
      const __mmask8 k = firstLanes(s - g * 8);
      sx[g] = _mm512_add_pd(sx[g], _mm512_maskz_loadu_pd(k, d.onJx + base + g * 8));
      sy[g] = _mm512_add_pd(sy[g], _mm512_maskz_loadu_pd(k, d.onJy + base + g * 8));
      sz[g] = _mm512_add_pd(sz[g], _mm512_maskz_loadu_pd(k, d.onJz + base + g * 8));
    }
  }
  for (int g = 0; g < 2; ++g) {
    _mm512_store_pd(out.x + g * 8, sx[g]);
    _mm512_store_pd(out.y + g * 8, sy[g]);
    _mm512_store_pd(out.z + g * 8, sz[g]);
  }
  sumsFromBelow(d, b.m, out);
  return (pullBits ? kSomePull : 0) | (closeBits ? kSomeClose : 0);
}

[[gnu::target("avx512f")]] int kernelAvx512(const LiveBodies& b, PairData& d, Sums& out,
                                            double prox) {
  return kernelAvx512Of<false>(b, d, out, prox);
}
// fusedRangeHolds at this width, with its masks.
[[gnu::target("avx512f")]] inline bool fusedRangeHolds512(const LiveBodies& b, double prox) {
  __mmask8 bad = 0;
  for (int k = 0; k < b.m; k += 8) {
    const __mmask8 live = firstLanes(b.m - k);
    const double* values[4] = {b.px + k, b.py + k, b.pz + k, b.gm + k};
    for (int q = 0; q < 4; ++q) {
      const __m512d least = _mm512_set1_pd(q < 3 ? 0x1p-200 : kFusedDividendMin);
      const __m512d most = _mm512_set1_pd(q < 3 ? 0x1p90 : kFusedDividendMax);
      const __m512d v = _mm512_maskz_loadu_pd(live, values[q]), a = _mm512_abs_pd(v);
      bad |= _mm512_mask_cmp_pd_mask(live, a, most, _CMP_NLE_UQ) |
             (_mm512_mask_cmp_pd_mask(live, a, least, _CMP_LT_OQ) &
              _mm512_cmp_pd_mask(v, _mm512_setzero_pd(), _CMP_NEQ_UQ));
    }
  }
  return prox >= 0x1p-100 && bad == 0;
}

[[gnu::target("avx512f")]] int kernelAvx512Fused(const LiveBodies& b, PairData& d, Sums& out,
                                                 double prox) {
  if (!fusedRangeHolds512(b, prox)) return kernelAvx512Of<false>(b, d, out, prox);
  return kernelAvx512Of<true>(b, d, out, prox);
}
#endif

}  // namespace

PairKernel pairKernel(KernelVariant v) {
#if ORBITS_X86_KERNELS
  const bool fused = v.division == KernelDivision::kFused;
  switch (v.width) {
    case KernelWidth::kSse2:
      return fused ? kernelPortable : kernelSse2;
    case KernelWidth::kAvx:
      return fused ? kernelAvxFused : kernelAvx;
    case KernelWidth::kAvx512:
      return fused ? kernelAvx512Fused : kernelAvx512;
    case KernelWidth::kPortable:
      break;
  }
#else
  (void)v;
#endif
  return kernelPortable;
}

}  // namespace orbits::kernel
