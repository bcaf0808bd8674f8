#include "engine/gravity.h"

#include <algorithm>
#include <cmath>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ORBITS_X86_KERNELS 1
#include <immintrin.h>
#else
#define ORBITS_X86_KERNELS 0
#endif

namespace orbits {

namespace {

// Number of bodies taking part in the loops: 0..lastBody, kept inside the arrays.
int bodyCount(const SimState& s) { return std::clamp<int>(s.lastBody, 0, kMaxBodies - 1) + 1; }

bool inPlay(const SimState& s, int k) { return s.bodyOff[k] == 0; }

void addClosePair(ProximityReport& close, int i, int j) {
  if (close.count < ProximityReport::kMax) {
    close.pairs[close.count++] = ClosePair{static_cast<int16_t>(i), static_cast<int16_t>(j)};
  }
}

// The distance of one pair as the loops compute it; r**2 is computed as r * r for the exponent 2.
double distancePower(double r, double exponent) {
  return exponent == 2.0 ? r * r : std::pow(r, exponent);
}

}  // namespace

void moveBodies(SimState& s) {
  for (int k = bodyCount(s) - 1; k >= 0; --k) {
    if (inPlay(s, k)) {
      s.posX[k] += s.velX[k];
      s.posY[k] += s.velY[k];
      s.posZ[k] += s.velZ[k];
    }
  }
}

void accelerationsReference(SimState& s, Accelerations& a, ProximityReport& close) {
  close.count = 0;
  const int n = bodyCount(s);
  for (int i = n - 1; i >= 0; --i) {
    double sumX = 0, sumY = 0, sumZ = 0;
    for (int j = n - 1; j >= 0; --j) {
      if (j == i || !inPlay(s, i) || !inPlay(s, j)) continue;
      const double dx = s.posX[j] - s.posX[i];
      const double dy = s.posY[j] - s.posY[i];
      const double dz = s.posZ[j] - s.posZ[i];
      const double r = std::sqrt(dx * dx + dy * dy + dz * dz);
      if (r == 0) continue;  // coincident bodies pull on nothing and raise nothing
      if (r > s.proximityKm) {
        s.gravFactor = s.timeFactorSq * s.gravConstant;
        const double acc = s.gravFactor * s.bodyMass[j] / distancePower(r, s.gravExponent);
        sumX += dx / r * acc;
        sumY += dy / r * acc;
        sumZ += dz / r * acc;
      } else if (r > 0 && r <= s.proximityKm) {
        addClosePair(close, i, j);
      }
      // A non-finite distance neither pulls nor counts as close; the run loop stops on it.
    }
    if (inPlay(s, i)) {
      a.accelX[i] = sumX;
      a.accelY[i] = sumY;
      a.accelZ[i] = sumZ;
    }
  }
}

// The fast kernel. The bodies in play are packed into dense arrays (ascending body number) and
// every unordered pair (i, j < i) is evaluated once, in flat arrays indexed by
// p = i * (i - 1) / 2 + j. Each pair yields two directed terms, the pull of j on i and of i on j;
// the reverse direction reuses dx / r with an exact negation, since (-dx) / r == -(dx / r) and
// (-u) * a == -(u * a) in IEEE arithmetic. Each body then sums its terms from the highest body
// down, the reference's order of additions. Pairs that contribute nothing add +0.0 or -0.0, which
// leaves every partial sum unchanged: the sums start at +0.0 and round-to-nearest addition never
// yields -0.0 from them, so x + 0.0 == x and x + -0.0 == x bitwise.
namespace {

constexpr int kPairs = kMaxBodies * (kMaxBodies - 1) / 2;
constexpr int kPairSlots = (kPairs + 7) / 8 * 8;  // whole vectors of up to eight

constexpr int pairIndex(int i, int j) { return i * (i - 1) / 2 + j; }  // j < i

struct PairData {
  // Inputs: the separation (j minus i), its square, and gravFactor times each mass.
  alignas(64) double dx[kPairSlots], dy[kPairSlots], dz[kPairSlots], d2[kPairSlots];
  alignas(64) double gmI[kPairSlots], gmJ[kPairSlots];
  // Outputs: the distance, and the terms on i from j (onI*) and on j from i (onJ*).
  alignas(64) double dist[kPairSlots];
  alignas(64) double onIx[kPairSlots], onIy[kPairSlots], onIz[kPairSlots];
  alignas(64) double onJx[kPairSlots], onJy[kPairSlots], onJz[kPairSlots];
};

constexpr int kSomePull = 1, kSomeClose = 2;

// The pair terms over whole vectors of `width`, inputs padded with coincident pairs. A pair that
// pulls on nothing (coincident, close, or not a number) gets zero inputs instead of its own, so
// its terms are exactly +-0.0 and none of its divisions can overflow or trap. Returns
// kSomePull | kSomeClose as found. The plain version, and the reference for the vector ones.
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

#if ORBITS_X86_KERNELS
// The pair terms over vectors of W doubles (GCC vector types), each lane the very operations of
// termsPortable: division stays division, the selections are exact, and the negation is a sign
// flip. This file is built with -fno-math-errno (see CMakeLists.txt), so that the square root of
// each lane becomes one vector square root; no result changes, only errno, which nothing reads.
// Compiled for each width inside a function that enables its instructions.
template <int W>
struct Vector {
  typedef double D __attribute__((vector_size(W * 8)));   // W doubles
  typedef int64_t M __attribute__((vector_size(W * 8)));  // a test on W doubles: -1 true, 0 false
};

template <int W>
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
    const D zero{}, rs = pulls ? r : zero + 1.0;
    const D r2 = rs * rs;
    // Inputs kept where a pair pulls, +0.0 where it does not.
    const D ux = (pulls ? dx : zero) / rs, uy = (pulls ? dy : zero) / rs;
    const D uz = (pulls ? dz : zero) / rs;
    const D accI = (pulls ? gmJ : zero) / r2;  // pull of j on i
    const D accJ = (pulls ? gmI : zero) / r2;  // pull of i on j
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

int termsSse2(PairData& d, int pairs, double prox) { return termsOf<2>(d, pairs, prox); }
[[gnu::target("avx")]] int termsAvx(PairData& d, int pairs, double prox) {
  return termsOf<4>(d, pairs, prox);
}
// At 512 bits the compiler (GCC 12) turns the masks of vector types into work lane by lane,
// twice as slow as AVX: this width stays written out in intrinsics, with the same operations.
__attribute__((target("avx512f"))) inline __m512d negate(__m512d v) {
  return _mm512_castsi512_pd(
      _mm512_xor_si512(_mm512_castpd_si512(v), _mm512_set1_epi64(INT64_MIN)));
}

__attribute__((target("avx512f"))) int termsAvx512(PairData& d, int pairs, double prox) {
  const __m512d vProx = _mm512_set1_pd(prox), vZero = _mm512_setzero_pd();
  const __m512d vOne = _mm512_set1_pd(1.0);
  __mmask8 pullBits = 0, closeBits = 0;
  for (int p = 0; p < pairs; p += 8) {
    const __m512d r = _mm512_mask_sqrt_pd(vZero, 0xff, _mm512_load_pd(d.d2 + p));
    const __mmask8 pulls =
        _mm512_cmp_pd_mask(r, vProx, _CMP_GT_OQ) & _mm512_cmp_pd_mask(r, vZero, _CMP_NEQ_UQ);
    pullBits |= pulls;
    closeBits |=
        _mm512_cmp_pd_mask(r, vZero, _CMP_GT_OQ) & _mm512_cmp_pd_mask(r, vProx, _CMP_LE_OQ);
    _mm512_store_pd(d.dist + p, r);
    const __m512d rs = _mm512_mask_blend_pd(pulls, vOne, r);
    const __m512d r2 = _mm512_mul_pd(rs, rs);
    const __m512d ux = _mm512_div_pd(_mm512_maskz_mov_pd(pulls, _mm512_load_pd(d.dx + p)), rs);
    const __m512d uy = _mm512_div_pd(_mm512_maskz_mov_pd(pulls, _mm512_load_pd(d.dy + p)), rs);
    const __m512d uz = _mm512_div_pd(_mm512_maskz_mov_pd(pulls, _mm512_load_pd(d.dz + p)), rs);
    const __m512d accI = _mm512_div_pd(_mm512_maskz_mov_pd(pulls, _mm512_load_pd(d.gmJ + p)), r2);
    const __m512d accJ = _mm512_div_pd(_mm512_maskz_mov_pd(pulls, _mm512_load_pd(d.gmI + p)), r2);
    _mm512_store_pd(d.onIx + p, _mm512_mul_pd(ux, accI));
    _mm512_store_pd(d.onIy + p, _mm512_mul_pd(uy, accI));
    _mm512_store_pd(d.onIz + p, _mm512_mul_pd(uz, accI));
    _mm512_store_pd(d.onJx + p, negate(_mm512_mul_pd(ux, accJ)));
    _mm512_store_pd(d.onJy + p, negate(_mm512_mul_pd(uy, accJ)));
    _mm512_store_pd(d.onJz + p, negate(_mm512_mul_pd(uz, accJ)));
  }
  return (pullBits ? kSomePull : 0) | (closeBits ? kSomeClose : 0);
}
#endif

using TermsFn = int (*)(PairData&, int, double);

TermsFn termsFor(KernelWidth w) {
  switch (w) {
#if ORBITS_X86_KERNELS
    case KernelWidth::kSse2:
      return termsSse2;
    case KernelWidth::kAvx:
      return termsAvx;
    case KernelWidth::kAvx512:
      return termsAvx512;
#endif
    default:
      return termsPortable;
  }
}

KernelWidth bestWidth() {
  for (KernelWidth w : {KernelWidth::kAvx512, KernelWidth::kAvx, KernelWidth::kSse2}) {
    if (kernelWidthSupported(w)) return w;
  }
  return KernelWidth::kPortable;
}

// The width in force and its pair terms: the widest the processor supports, unless a test or a
// benchmark chose another.
struct Dispatch {
  KernelWidth width;
  TermsFn terms;
};
Dispatch& dispatch() {
  static Dispatch d{bestWidth(), termsFor(bestWidth())};
  return d;
}

}  // namespace

bool kernelWidthSupported(KernelWidth w) {
  switch (w) {
    case KernelWidth::kPortable:
      return true;
#if ORBITS_X86_KERNELS
    case KernelWidth::kSse2:
      return true;
    case KernelWidth::kAvx:
      return __builtin_cpu_supports("avx");
    case KernelWidth::kAvx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:
      return false;
  }
}

bool setKernelWidth(KernelWidth w) {
  if (!kernelWidthSupported(w)) return false;
  dispatch() = {w, termsFor(w)};
  return true;
}

KernelWidth kernelWidth() { return dispatch().width; }

void computeAccelerations(SimState& s, Accelerations& a, ProximityReport& close) {
  if (s.gravExponent != 2.0) {
    accelerationsReference(s, a, close);
    return;
  }
  close.count = 0;

  const double gf = s.timeFactorSq * s.gravConstant;
  const double prox = s.proximityKm;

  const int n = bodyCount(s);
  int live[kMaxBodies];
  double px[kMaxBodies], py[kMaxBodies], pz[kMaxBodies], gm[kMaxBodies];
  int m = 0;
  for (int k = 0; k < n; ++k) {
    if (inPlay(s, k)) {
      live[m] = k;
      px[m] = s.posX[k];
      py[m] = s.posY[k];
      pz[m] = s.posZ[k];
      gm[m] = gf * s.bodyMass[k];  // the a = gravFactor * m / r^2 of the loop, first product
      ++m;
    }
  }
  const int pairs = m * (m - 1) / 2;

  PairData d;
  // Pad to whole vectors with coincident pairs, which pull on nothing: the last vector is
  // cleared whole (a fixed count, so no library call) before the pairs are written over it.
  static_assert(kPairs / 8 * 8 + 8 <= kPairSlots);
  for (int p = pairs / 8 * 8, end = p + 8; p < end; ++p) {
    d.dx[p] = d.dy[p] = d.dz[p] = d.d2[p] = d.gmI[p] = d.gmJ[p] = 0;
  }
  for (int i = 1; i < m; ++i) {
    const int base = pairIndex(i, 0);
    for (int j = 0; j < i; ++j) {
      const double ddx = px[j] - px[i];
      const double ddy = py[j] - py[i];
      const double ddz = pz[j] - pz[i];
      d.dx[base + j] = ddx;
      d.dy[base + j] = ddy;
      d.dz[base + j] = ddz;
      d.d2[base + j] = ddx * ddx + ddy * ddy + ddz * ddz;
      d.gmI[base + j] = gm[i];
      d.gmJ[base + j] = gm[j];
    }
  }
  const int found = dispatch().terms(d, pairs, prox);

  for (int t = 0; t < m; ++t) {
    double sumX = 0, sumY = 0, sumZ = 0;
    for (int src = m - 1; src > t; --src) {
      const int p = pairIndex(src, t);
      sumX += d.onJx[p];
      sumY += d.onJy[p];
      sumZ += d.onJz[p];
    }
    for (int src = t - 1; src >= 0; --src) {
      const int p = pairIndex(t, src);
      sumX += d.onIx[p];
      sumY += d.onIy[p];
      sumZ += d.onIz[p];
    }
    const int k = live[t];
    a.accelX[k] = sumX;
    a.accelY[k] = sumY;
    a.accelZ[k] = sumZ;
  }

  if (found & kSomePull) s.gravFactor = gf;
  if (found & kSomeClose) {
    // Rare: list the close pairs in the order of the loops, both directions.
    for (int i = m - 1; i >= 0; --i) {
      for (int j = m - 1; j >= 0; --j) {
        if (j == i) continue;
        const double r = d.dist[i > j ? pairIndex(i, j) : pairIndex(j, i)];
        if (r > 0 && r <= prox) addClosePair(close, live[i], live[j]);
      }
    }
  }
}

void addRelativity(const SimState& s, Accelerations& a) {
  if (s.bodyOff[0] != 0) return;
  const double gm = s.timeFactorSq * s.gravConstant * s.bodyMass[0];
  const double c = s.lightSpeed * s.stepSeconds;  // km per calculation
  const double k = -6 * (gm * gm) / (c * c);
  const int n = bodyCount(s);
  for (int i = 1; i < n; ++i) {
    if (!inPlay(s, i)) continue;
    const double dx = s.posX[i] - s.posX[0], dy = s.posY[i] - s.posY[0], dz = s.posZ[i] - s.posZ[0];
    const double r2 = dx * dx + dy * dy + dz * dz;
    if (!(r2 > 0)) continue;
    const double f = k / (r2 * r2);
    a.accelX[i] += f * dx;
    a.accelY[i] += f * dy;
    a.accelZ[i] += f * dz;
  }
}

}  // namespace orbits
