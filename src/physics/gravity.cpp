#include "physics/gravity.h"

#include <algorithm>
#include <cfloat>
#include <chrono>
#include <cmath>

#include "physics/constants.h"
#include "physics/fused_division.h"
#include "physics/pair_kernels.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
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

// The new velocities are summed exactly as stage 3 adds them, so an infinity or NaN in a
// velocity or acceleration carries into the sum. The bodies are tested two at a time, every
// test taken, so that nothing waits on a branch.
bool motionFinite(const SimState& s, const Accelerations& a) {
  const int n = bodyCount(s);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  static_assert(kMaxBodies % 2 == 0);
  const __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(INT64_MAX));
  const __m128d far = _mm_set1_pd(kPositionLimit), huge = _mm_set1_pd(DBL_MAX);
  auto within = [&](const BodyArray<double>& x, int k, __m128d limit) {
    return _mm_cmple_pd(_mm_and_pd(_mm_loadu_pd(x.data() + k), magnitude), limit);
  };
  auto sumWithin = [&](const BodyArray<double>& v, const BodyArray<double>& acc, int k) {
    const __m128d sum = _mm_add_pd(_mm_loadu_pd(v.data() + k), _mm_loadu_pd(acc.data() + k));
    return _mm_cmple_pd(_mm_and_pd(sum, magnitude), huge);
  };
  __m128d bad = _mm_setzero_pd();
  for (int k = 0; k < n; k += 2) {
    const __m128d ok =
        _mm_and_pd(_mm_and_pd(_mm_and_pd(within(s.posX, k, far), within(s.posY, k, far)),
                              _mm_and_pd(within(s.posZ, k, far), sumWithin(s.velX, a.accelX, k))),
                   _mm_and_pd(sumWithin(s.velY, a.accelY, k), sumWithin(s.velZ, a.accelZ, k)));
    const __m128d live = _mm_castsi128_pd(_mm_set_epi64x(k + 1 < n ? -1 : 0, -1));
    bad = _mm_or_pd(bad, _mm_andnot_pd(ok, live));
  }
  return _mm_movemask_pd(bad) == 0;
#else
  bool ok = true;
  for (int k = 0; k < n; ++k) {
    auto within = [](double x, double limit) { return std::abs(x) <= limit; };
    ok &= within(s.posX[k], kPositionLimit) & within(s.posY[k], kPositionLimit) &
          within(s.posZ[k], kPositionLimit) & within(s.velX[k] + a.accelX[k], DBL_MAX) &
          within(s.velY[k] + a.accelY[k], DBL_MAX) & within(s.velZ[k] + a.accelZ[k], DBL_MAX);
  }
  return ok;
#endif
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

namespace {

// The bodies in play packed for the kernel. Usually every body is in play, each in its own
// slot; otherwise each body is written to the next slot, which moves on only for a body in play.
void packBodies(const SimState& s, double gf, kernel::LiveBodies& b) {
  const int n = bodyCount(s);
  bool allInPlay = true;
  for (int k = 0; k < kMaxBodies; ++k) allInPlay &= k >= n || inPlay(s, k);
  for (int k = 0; k < kMaxBodies; ++k) {
    b.body[k] = k;
    b.px[k] = s.posX[k];
    b.py[k] = s.posY[k];
    b.pz[k] = s.posZ[k];
    b.gm[k] = gf * s.bodyMass[k];  // the a = gravFactor * m / r^2 of the loop, first product
  }
  for (int k = kMaxBodies; k < kernel::kBodySlots; ++k) b.px[k] = b.py[k] = b.pz[k] = b.gm[k] = 0;
  b.m = n;
  if (allInPlay) return;
  int m = 0;
  for (int k = 0; k < n; ++k) {
    b.body[m] = k;
    b.px[m] = s.posX[k];
    b.py[m] = s.posY[k];
    b.pz[m] = s.posZ[k];
    b.gm[m] = gf * s.bodyMass[k];
    m += inPlay(s, k);
  }
  b.m = m;
}

void accelerationsWith(kernel::PairKernel pairKernel, SimState& s, Accelerations& a,
                       ProximityReport& close) {
  if (s.gravExponent != 2.0) {
    accelerationsReference(s, a, close);
    return;
  }
  close.count = 0;
  const double gf = s.timeFactorSq * s.gravConstant;
  const double prox = s.proximityKm;
  kernel::LiveBodies b;
  packBodies(s, gf, b);
  kernel::PairData d;
  kernel::Sums sums;
  const int found = pairKernel(b, d, sums, prox);
  const int m = b.m;
  for (int t = 0; t < m; ++t) {
    const int k = b.body[t];
    a.accelX[k] = sums.x[t];
    a.accelY[k] = sums.y[t];
    a.accelZ[k] = sums.z[t];
  }

  if (found & kernel::kSomePull) s.gravFactor = gf;
  if (found & kernel::kSomeClose) {
    // Rare: list the close pairs in the order of the loops, both directions.
    for (int i = m - 1; i >= 0; --i) {
      for (int j = m - 1; j >= 0; --j) {
        if (j == i) continue;
        const double r = d.dist[i > j ? kernel::pairIndex(i, j) : kernel::pairIndex(j, i)];
        if (r > 0 && r <= prox) addClosePair(close, b.body[i], b.body[j]);
      }
    }
  }
}

int variantIndex(KernelVariant v) {
  for (int i = 0; i < kKernelVariantCount; ++i)
    if (kKernelVariants[i] == v) return i;
  return -1;
}

// Nine bodies spread like the Sun and its planets, for timing the kernel; velocities zero, and
// pulls too weak to move them noticeably over the cycles timed.
SimState timingBodies() {
  SimState s;
  s.lastBody = 8;
  s.timeFactorSq = 1;
  s.gravConstant = 6.6743 * kSolarMass * kGravityToKmPerCalc;
  s.gravExponent = 2;
  s.proximityKm = 100000;
  for (int k = 0; k <= 8; ++k) {
    const double r = k == 0 ? 0 : 5.8e7 * std::pow(1.85, k - 1), angle = 2.4 * k;
    s.posX[k] = r * std::cos(angle);
    s.posY[k] = r * std::sin(angle);
    s.posZ[k] = r * 0.02 * std::sin(3.1 * k);
    s.bodyMass[k] = k == 0 ? 1.0 : 3e-6 * k;
  }
  return s;
}

// The fastest of the variants the processor runs: each timed on a few thousand cycles of nine
// bodies, in rounds that take every variant in turn, so that a slow spell of the machine falls
// on all alike; a variant's time is its best round. Its results are the same bits whatever is
// chosen, so the choice needs no clock but the monotonic one, and nothing depends on it but
// speed.
KernelChoice chooseKernel() {
  using Clock = std::chrono::steady_clock;
  constexpr int kRounds = 12, kCycles = 200;
  const Clock::time_point start = Clock::now();
  KernelChoice c;
  std::array<double, kKernelVariantCount> best;
  best.fill(INFINITY);
  const SimState bodies = timingBodies();
  for (int round = -1; round < kRounds; ++round) {  // round -1 warms the caches up
    for (int i = 0; i < kKernelVariantCount; ++i) {
      if (!kernelSupported(kKernelVariants[i])) continue;
      const kernel::PairKernel k = kernel::pairKernel(kKernelVariants[i]);
      SimState s = bodies;
      Accelerations a;
      ProximityReport close;
      const Clock::time_point t0 = Clock::now();
      for (int cycle = 0; cycle < kCycles; ++cycle) {
        moveBodies(s);
        accelerationsWith(k, s, a, close);
        for (int b = 0; b <= s.lastBody; ++b) updateVelocity(s, a, b);
      }
      const double ns = std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
      if (round >= 0) best[size_t(i)] = std::min(best[size_t(i)], ns / kCycles);
    }
  }
  int fastest = 0;
  for (int i = 0; i < kKernelVariantCount; ++i) {
    c.nsPerCycle[size_t(i)] = std::isfinite(best[size_t(i)]) ? best[size_t(i)] : 0;
    if (best[size_t(i)] < best[size_t(fastest)]) fastest = i;
  }
  c.chosen = kKernelVariants[fastest];
  c.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return c;
}

// The variant in force and its kernel: the one chosen at start-up, unless a test or a benchmark
// set another.
struct Dispatch {
  KernelVariant variant;
  kernel::PairKernel pairKernel;
};
const KernelChoice& choice() {
  static const KernelChoice c = chooseKernel();
  return c;
}
Dispatch& dispatch() {
  static Dispatch d{choice().chosen, kernel::pairKernel(choice().chosen)};
  return d;
}

}  // namespace

bool kernelSupported(KernelVariant v) {
  if (variantIndex(v) < 0) return false;
  const bool fused = v.division == KernelDivision::kFused;
  switch (v.width) {
    case KernelWidth::kPortable:
      return true;
#if defined(__x86_64__)
    case KernelWidth::kSse2:
      return true;
    case KernelWidth::kAvx:
      return fused ? fusedDivisionSupported(256) : __builtin_cpu_supports("avx");
    case KernelWidth::kAvx512:
      return __builtin_cpu_supports("avx512f");
#endif
    default:
      return false;
  }
}

bool setKernel(KernelVariant v) {
  if (!kernelSupported(v)) return false;
  dispatch() = {v, kernel::pairKernel(v)};
  return true;
}

KernelVariant kernelVariant() { return dispatch().variant; }

const KernelChoice& kernelChoice() { return choice(); }

const char* kernelName(KernelVariant v) {
  static const char* const names[] = {"portable", "sse2", "avx", "avx+fma", "avx512", "avx512+fma"};
  const int i = variantIndex(v);
  return i < 0 ? "none" : names[i];
}

void computeAccelerations(SimState& s, Accelerations& a, ProximityReport& close) {
  accelerationsWith(dispatch().pairKernel, s, a, close);
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
