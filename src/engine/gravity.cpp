#include "engine/gravity.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
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
constexpr int kPairSlots = (kPairs + 1) / 2 * 2;  // whole vectors of two

constexpr int pairIndex(int i, int j) { return i * (i - 1) / 2 + j; }  // j < i

}  // namespace

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

  alignas(64) double dx[kPairSlots], dy[kPairSlots], dz[kPairSlots], d2[kPairSlots];
  alignas(64) double gmI[kPairSlots], gmJ[kPairSlots], dist[kPairSlots];
  for (int i = 1; i < m; ++i) {
    const int base = pairIndex(i, 0);
    for (int j = 0; j < i; ++j) {
      const double ddx = px[j] - px[i];
      const double ddy = py[j] - py[i];
      const double ddz = pz[j] - pz[i];
      dx[base + j] = ddx;
      dy[base + j] = ddy;
      dz[base + j] = ddz;
      d2[base + j] = ddx * ddx + ddy * ddy + ddz * ddz;
      gmI[base + j] = gm[i];
      gmJ[base + j] = gm[j];
    }
  }
  // Pad to a whole vector with a coincident pair, which pulls on nothing.
  for (int p = pairs; p < (pairs + 1) / 2 * 2; ++p)
    dx[p] = dy[p] = dz[p] = d2[p] = gmI[p] = gmJ[p] = 0;

  // Directed terms: on i from j (onI*) and on j from i (onJ*). A pair that pulls on nothing
  // (coincident, close, or not a number) gets zero inputs instead of its own, so its terms are
  // exactly +-0.0 and none of its divisions can overflow or trap.
  alignas(64) double onIx[kPairSlots], onIy[kPairSlots], onIz[kPairSlots];
  alignas(64) double onJx[kPairSlots], onJy[kPairSlots], onJz[kPairSlots];
  bool anyPulls = false, anyClose = false;
#if defined(__SSE2__)
  // Two pairs at a time. The library square root has an errno path that keeps the compiler
  // from vectorising this loop, so it is written out; every operation is the IEEE one the
  // reference performs (division stays division, negation is a sign flip).
  const __m128d vProx = _mm_set1_pd(prox), vZero = _mm_setzero_pd(), vOne = _mm_set1_pd(1.0);
  const __m128d vSign = _mm_set1_pd(-0.0);
  int pullsBits = 0, closeBits = 0;
  for (int p = 0; p < pairs; p += 2) {
    const __m128d r = _mm_sqrt_pd(_mm_load_pd(d2 + p));
    const __m128d pulls = _mm_and_pd(_mm_cmpgt_pd(r, vProx), _mm_cmpneq_pd(r, vZero));
    const __m128d isClose = _mm_and_pd(_mm_cmpgt_pd(r, vZero), _mm_cmple_pd(r, vProx));
    pullsBits |= _mm_movemask_pd(pulls);
    closeBits |= _mm_movemask_pd(isClose);
    _mm_store_pd(dist + p, r);
    const __m128d rs = _mm_or_pd(_mm_and_pd(pulls, r), _mm_andnot_pd(pulls, vOne));
    const __m128d r2 = _mm_mul_pd(rs, rs);
    const __m128d ux = _mm_div_pd(_mm_and_pd(pulls, _mm_load_pd(dx + p)), rs);
    const __m128d uy = _mm_div_pd(_mm_and_pd(pulls, _mm_load_pd(dy + p)), rs);
    const __m128d uz = _mm_div_pd(_mm_and_pd(pulls, _mm_load_pd(dz + p)), rs);
    const __m128d accI = _mm_div_pd(_mm_and_pd(pulls, _mm_load_pd(gmJ + p)), r2);
    const __m128d accJ = _mm_div_pd(_mm_and_pd(pulls, _mm_load_pd(gmI + p)), r2);
    _mm_store_pd(onIx + p, _mm_mul_pd(ux, accI));
    _mm_store_pd(onIy + p, _mm_mul_pd(uy, accI));
    _mm_store_pd(onIz + p, _mm_mul_pd(uz, accI));
    _mm_store_pd(onJx + p, _mm_xor_pd(_mm_mul_pd(ux, accJ), vSign));
    _mm_store_pd(onJy + p, _mm_xor_pd(_mm_mul_pd(uy, accJ), vSign));
    _mm_store_pd(onJz + p, _mm_xor_pd(_mm_mul_pd(uz, accJ), vSign));
  }
  anyPulls = pullsBits != 0;
  anyClose = closeBits != 0;
#else
  for (int p = 0; p < pairs; ++p) {
    const double r = std::sqrt(d2[p]);
    const bool pulls = r > prox && r != 0;
    anyPulls |= pulls;
    anyClose |= r > 0 && r <= prox;
    dist[p] = r;
    const double rs = pulls ? r : 1.0;
    const double r2 = rs * rs;
    const double ux = (pulls ? dx[p] : 0.0) / rs;
    const double uy = (pulls ? dy[p] : 0.0) / rs;
    const double uz = (pulls ? dz[p] : 0.0) / rs;
    const double accI = (pulls ? gmJ[p] : 0.0) / r2;
    const double accJ = (pulls ? gmI[p] : 0.0) / r2;
    onIx[p] = ux * accI;
    onIy[p] = uy * accI;
    onIz[p] = uz * accI;
    onJx[p] = -(ux * accJ);
    onJy[p] = -(uy * accJ);
    onJz[p] = -(uz * accJ);
  }
#endif

  for (int t = 0; t < m; ++t) {
    double sumX = 0, sumY = 0, sumZ = 0;
    for (int src = m - 1; src > t; --src) {
      const int p = pairIndex(src, t);
      sumX += onJx[p];
      sumY += onJy[p];
      sumZ += onJz[p];
    }
    for (int src = t - 1; src >= 0; --src) {
      const int p = pairIndex(t, src);
      sumX += onIx[p];
      sumY += onIy[p];
      sumZ += onIz[p];
    }
    const int k = live[t];
    a.accelX[k] = sumX;
    a.accelY[k] = sumY;
    a.accelZ[k] = sumZ;
  }

  if (anyPulls) s.gravFactor = gf;
  if (anyClose) {
    // Rare: list the close pairs in the order of the loops, both directions.
    for (int i = m - 1; i >= 0; --i) {
      for (int j = m - 1; j >= 0; --j) {
        if (j == i) continue;
        const double rp = dist[i > j ? pairIndex(i, j) : pairIndex(j, i)];
        if (rp > 0 && rp <= prox) addClosePair(close, live[i], live[j]);
      }
    }
  }
}

bool movementError(SimState& s, const Accelerations& a, int b) {
  if (s.errPairDist == 0) return false;
  const int k = s.pairBody[b];
  if (k < 0 || k >= kMaxBodies) return false;
  s.accelMag[b] =
      std::sqrt(a.accelX[k] * a.accelX[k] + a.accelY[k] * a.accelY[k] + a.accelZ[k] * a.accelZ[k]);
  s.moveErrPct[b] = s.accelMag[b] * 125.68 / s.errPairDist;
  return true;
}

}  // namespace orbits
