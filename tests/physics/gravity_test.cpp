#include "physics/gravity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>

#include "../support/running_epoch.h"

namespace orbits {
namespace {

using AccelFn = void (*)(SimState&, Accelerations&, ProximityReport&);

void cycle(SimState& s, Accelerations& a, ProximityReport& close, AccelFn accel) {
  moveBodies(s);
  accel(s, a, close);
  for (int k = 0; k <= s.lastBody; ++k) updateVelocity(s, a, k);
}

bool sameBits(const BodyArray<double>& x, const BodyArray<double>& y) {
  return std::memcmp(x.data(), y.data(), sizeof(double) * x.size()) == 0;
}

// Accelerations, close pairs and gravFactor of the kernel and the reference agree bit for bit.
void expectSameStep(const SimState& start) {
  SimState s1 = start, s2 = start;
  Accelerations a1, a2;
  // Entries the loops must not write (switched-off bodies) keep a marker value.
  a1.accelX.fill(7.5);
  a2.accelX.fill(7.5);
  ProximityReport c1, c2;
  computeAccelerations(s1, a1, c1);
  accelerationsReference(s2, a2, c2);
  EXPECT_TRUE(sameBits(a1.accelX, a2.accelX));
  EXPECT_TRUE(sameBits(a1.accelY, a2.accelY));
  EXPECT_TRUE(sameBits(a1.accelZ, a2.accelZ));
  EXPECT_EQ(std::bit_cast<uint64_t>(s1.gravFactor), std::bit_cast<uint64_t>(s2.gravFactor));
  ASSERT_EQ(c1.count, c2.count);
  for (int p = 0; p < c1.count; ++p) {
    EXPECT_EQ(c1.pairs[p].i, c2.pairs[p].i);
    EXPECT_EQ(c1.pairs[p].j, c2.pairs[p].j);
  }
}

uint64_t stateHash(const SimState& s) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a over the bit patterns
  for (const auto* arr : {&s.posX, &s.posY, &s.posZ, &s.velX, &s.velY, &s.velZ}) {
    for (int k = 0; k <= s.lastBody; ++k) {
      uint64_t bits = std::bit_cast<uint64_t>((*arr)[k]);
      for (int b = 0; b < 8; ++b) {
        h ^= bits & 0xff;
        h *= 1099511628211ull;
        bits >>= 8;
      }
    }
  }
  return h;
}

TEST(GravityKernel, MatchesReferenceBitForBitOverAMillionCycles) {
  SimState s1 = testing::runningEpoch1940(), s2 = s1;
  Accelerations a1, a2;
  ProximityReport c1, c2;
  int mismatchAt = -1;
  for (int n = 0; n < 1'000'000 && mismatchAt < 0; ++n) {
    cycle(s1, a1, c1, computeAccelerations);
    cycle(s2, a2, c2, accelerationsReference);
    if (!sameBits(a1.accelX, a2.accelX) || !sameBits(a1.accelY, a2.accelY) ||
        !sameBits(a1.accelZ, a2.accelZ) || c1.count != c2.count) {
      mismatchAt = n;
    }
  }
  EXPECT_EQ(mismatchAt, -1);
  EXPECT_EQ(stateHash(s1), stateHash(s2));
}

void unusualConfigurations();

// Runs `body` once with every variant of the kernel this processor supports, restoring the
// one chosen.
template <typename F>
void atEveryVariant(F body) {
  const KernelVariant before = kernelVariant();
  for (KernelVariant v : kKernelVariants) {
    if (!setKernel(v)) continue;
    SCOPED_TRACE(kernelName(v));
    body();
  }
  setKernel(before);
}

TEST(GravityKernel, EveryVariantMatchesReferenceOverAHundredThousandCycles) {
  atEveryVariant([] {
    SimState s1 = testing::runningEpoch1940(), s2 = s1;
    Accelerations a1, a2;
    ProximityReport c1, c2;
    for (int n = 0; n < 100'000; ++n) {
      cycle(s1, a1, c1, computeAccelerations);
      cycle(s2, a2, c2, accelerationsReference);
    }
    EXPECT_EQ(stateHash(s1), stateHash(s2));
  });
}

TEST(GravityKernel, MatchesReferenceInUnusualConfigurations) {
  atEveryVariant([] { unusualConfigurations(); });
}

void unusualConfigurations() {
  std::mt19937_64 rng(1940);
  std::uniform_real_distribution<double> coord(-2e8, 2e8), mass(0.0, 1e-3);
  for (int trial = 0; trial < 2000; ++trial) {
    SimState s;
    s.lastBody = static_cast<int16_t>(trial % kMaxBodies);  // 0..9, single bodies included
    s.timeFactorSq = 1e10;
    s.gravConstant = 6.67259 * 1.988544 * 225;
    s.gravExponent = 2;
    s.proximityKm = (trial % 3 == 0) ? 5e7 : 100000;  // many close pairs at the wide limit
    for (int k = 0; k < kMaxBodies; ++k) {
      s.posX[k] = coord(rng);
      s.posY[k] = coord(rng);
      s.posZ[k] = coord(rng) / 50;
      s.bodyMass[k] = mass(rng);
      s.bodyOff[k] = (rng() % 5 == 0) ? 1 : 0;
    }
    s.bodyMass[0] = (trial % 7 == 0) ? 0.0 : 1.0;
    if (trial % 4 == 1 && s.lastBody >= 2) {  // coincident bodies
      s.posX[1] = s.posX[2];
      s.posY[1] = s.posY[2];
      s.posZ[1] = s.posZ[2];
    }
    // Outside the fused division's range, where its variants fall back on the divider.
    if (trial % 11 == 3) s.posZ[1] = 1e-70;
    if (trial % 13 == 4) s.proximityKm = 0;
    if (trial % 17 == 5) s.posX[2] = 3e28;
    if (trial % 5 == 2 && s.lastBody >= 3) {  // within the limit
      s.posX[3] = s.posX[0] + 1.0;
      s.posY[3] = s.posY[0];
      s.posZ[3] = s.posZ[0];
    }
    SCOPED_TRACE(trial);
    expectSameStep(s);
  }
}

// The choice at start-up falls on a variant the processor runs, the fastest it timed.
TEST(GravityKernel, ChoosesTheFastestVariantItTimed) {
  const KernelChoice& c = kernelChoice();
  EXPECT_TRUE(kernelSupported(c.chosen));
  for (int i = 0; i < kKernelVariantCount; ++i) {
    EXPECT_EQ(c.nsPerCycle[size_t(i)] > 0, kernelSupported(kKernelVariants[i])) << i;
    if (c.nsPerCycle[size_t(i)] > 0) {
      const auto chosen =
          std::find(std::begin(kKernelVariants), std::end(kKernelVariants), c.chosen);
      EXPECT_LE(c.nsPerCycle[size_t(chosen - std::begin(kKernelVariants))],
                c.nsPerCycle[size_t(i)]);
    }
  }
  const KernelVariant before = kernelVariant();
  EXPECT_TRUE(kernelSupported({KernelWidth::kPortable, KernelDivision::kDivider}));
  EXPECT_FALSE(setKernel({KernelWidth::kSse2, KernelDivision::kFused}));  // not built
  EXPECT_FALSE(setKernel({static_cast<KernelWidth>(99), KernelDivision::kDivider}));
  EXPECT_EQ(kernelVariant(), before);
}

TEST(GravityKernel, FallsBackToTheLoopForOtherExponents) {
  SimState s = testing::runningEpoch1940();
  s.gravExponent = 2.5;
  expectSameStep(s);

  // g = m / r^3: the pull of a unit mass at 1000 km, with gravFactor 1.
  SimState t;
  t.lastBody = 1;
  t.timeFactorSq = 1;
  t.gravConstant = 1;
  t.gravExponent = 3;
  t.bodyMass = {1.0, 0.0};
  t.posX[0] = 1000;
  Accelerations a;
  ProximityReport close;
  computeAccelerations(t, a, close);
  EXPECT_DOUBLE_EQ(a.accelX[1], 1e-9);
}

TEST(GravityKernel, StateAfterAMillionCyclesOf1940IsUnchanged) {
  SimState s = testing::runningEpoch1940();
  Accelerations a;
  ProximityReport close;
  for (int n = 0; n < 1'000'000; ++n) cycle(s, a, close, computeAccelerations);
  EXPECT_EQ(stateHash(s), 0xdbc813ca41ba09c6ull) << std::hex << stateHash(s);
}

TEST(GravityStep, SingleBodyMovesInAStraightLine) {
  SimState s;
  s.lastBody = 0;
  s.bodyMass[0] = 1;
  s.gravConstant = 1;
  s.timeFactorSq = 1;
  s.gravExponent = 2;
  s.posX[0] = 10;
  s.velX[0] = 0.5;
  s.velY[0] = -0.25;
  Accelerations a;
  ProximityReport close;
  for (int n = 0; n < 1000; ++n) cycle(s, a, close, computeAccelerations);
  EXPECT_EQ(s.posX[0], 510);
  EXPECT_EQ(s.posY[0], -250);
  EXPECT_EQ(s.posZ[0], 0);
  EXPECT_EQ(s.velX[0], 0.5);
  EXPECT_EQ(s.gravFactor, 0);  // no pair, so the loop never stored it
}

TEST(GravityStep, MasslessSecondBodyFallsAndTheFirstStaysPut) {
  for (AccelFn accel : {computeAccelerations, accelerationsReference}) {
    SimState s;
    s.lastBody = 1;
    s.bodyMass = {1.0, 0.0};
    s.gravConstant = 2;
    s.timeFactorSq = 3;
    s.gravExponent = 2;
    s.proximityKm = 100000;
    s.posX[1] = 3e6;
    s.posY[1] = 4e6;  // r = 5e6
    Accelerations a;
    ProximityReport close;
    accel(s, a, close);
    EXPECT_EQ(a.accelX[0], 0);
    EXPECT_EQ(a.accelY[0], 0);
    const double g = 6.0 / (5e6 * 5e6);
    EXPECT_DOUBLE_EQ(a.accelX[1], -0.6 * g);
    EXPECT_DOUBLE_EQ(a.accelY[1], -0.8 * g);
    EXPECT_EQ(s.gravFactor, 6);
    EXPECT_EQ(close.count, 0);
  }
}

TEST(GravityStep, SwitchedOffBodyKeepsPositionAndVelocityAndExertsNothing) {
  SimState s = testing::runningEpoch1940();
  s.bodyOff[5] = 1;  // Jupiter
  const double x = s.posX[5], vx = s.velX[5];
  SimState without = s;  // the same run as if Jupiter were not there at all
  without.bodyMass[5] = 0;
  Accelerations a, b;  // zeroed, as the run loop starts
  ProximityReport close;
  for (int n = 0; n < 1000; ++n) {
    cycle(s, a, close, computeAccelerations);
    without.bodyOff[5] = 0;
    moveBodies(without);
    without.posX[5] = x;
    without.posY[5] = s.posY[5];
    without.posZ[5] = s.posZ[5];
    computeAccelerations(without, b, close);
    for (int k = 0; k <= 8; ++k) {
      if (k != 5) updateVelocity(without, b, k);
    }
  }
  EXPECT_EQ(s.posX[5], x);
  EXPECT_EQ(s.velX[5], vx);
  EXPECT_EQ(a.accelX[5], 0);
  EXPECT_EQ(s.posX[3], without.posX[3]);  // Earth felt no Jupiter
  EXPECT_EQ(s.posY[0], without.posY[0]);
}

TEST(GravityStep, CoincidentBodiesNeitherPullNorWarn) {
  for (AccelFn accel : {computeAccelerations, accelerationsReference}) {
    SimState s;
    s.lastBody = 1;
    s.bodyMass = {1.0, 1.0};
    s.gravConstant = 1;
    s.timeFactorSq = 1;
    s.gravExponent = 2;
    s.proximityKm = 100000;
    s.posX = {5e7, 5e7};
    Accelerations a;
    ProximityReport close;
    accel(s, a, close);
    EXPECT_EQ(a.accelX[0], 0);
    EXPECT_EQ(a.accelX[1], 0);
    EXPECT_EQ(close.count, 0);
  }
}

TEST(GravityStep, ClosePairsAreReportedInLoopOrderAndPullNothing) {
  for (AccelFn accel : {computeAccelerations, accelerationsReference}) {
    SimState s;
    s.lastBody = 4;
    s.bodyMass = {1.0, 1e-3, 1e-3, 1e-3, 1e-3};
    s.gravConstant = 1;
    s.timeFactorSq = 1;
    s.gravExponent = 2;
    s.proximityKm = 100000;
    s.posX = {0, 1e9, 2e9, 1e9 + 50000, 3e9};  // 1 and 3 are close
    s.posX[4] = s.posX[0] + 100000;            // 0 and 4 exactly at the limit: close
    Accelerations a;
    ProximityReport close;
    accel(s, a, close);
    ASSERT_EQ(close.count, 4);
    const int16_t expected[4][2] = {{4, 0}, {3, 1}, {1, 3}, {0, 4}};
    for (int p = 0; p < 4; ++p) {
      EXPECT_EQ(close.pairs[p].i, expected[p][0]);
      EXPECT_EQ(close.pairs[p].j, expected[p][1]);
    }
    // Body 3 feels bodies 4, 2 and 0 (4 and 2 cancel exactly) but not body 1, whose pull at
    // 50000 km would outweigh them all.
    EXPECT_DOUBLE_EQ(a.accelX[3], -1.0 / ((1e9 + 50000) * (1e9 + 50000)));
  }
}

TEST(MovementError, TenfoldTimeRateRaisesTheErrorAboutAHundredfold) {
  double pct[2];
  for (int rate = 0; rate < 2; ++rate) {
    SimState s = testing::runningEpoch1940();
    s.timeFactorSq = rate == 0 ? 1e8 : 1e10;
    s.pairBody = {0, 0, 5};  // Sun and Jupiter
    Accelerations a;
    ProximityReport close;
    computeAccelerations(s, a, close);
    const double dx = s.posX[0] - s.posX[5], dy = s.posY[0] - s.posY[5], dz = s.posZ[0] - s.posZ[5];
    s.errPairDist = std::sqrt(dx * dx + dy * dy + dz * dz);
    ASSERT_TRUE(movementError(s, a, 1));
    ASSERT_TRUE(movementError(s, a, 2));
    EXPECT_GT(s.moveErrPct[1], 0);
    pct[rate] = s.moveErrPct[2];
    EXPECT_DOUBLE_EQ(s.moveErrPct[2], s.accelMag[2] * 125.68 / s.errPairDist);
  }
  EXPECT_NEAR(pct[1] / pct[0], 100.0, 1e-9);
}

TEST(MovementError, NothingComputedForCoincidentPairAndZeroForSwitchedOffBody) {
  SimState s;
  s.pairBody = {0, 1, 2};
  s.moveErrPct = {0, 3.5, 4.5};
  s.accelMag = {0, 1, 2};
  Accelerations a;
  a.accelX[1] = 1;
  s.errPairDist = 0;
  EXPECT_FALSE(movementError(s, a, 1));
  EXPECT_EQ(s.moveErrPct[1], 3.5);
  EXPECT_EQ(s.accelMag[1], 1);

  s.errPairDist = 1e6;  // body 2 switched off: its entry stayed zero
  EXPECT_TRUE(movementError(s, a, 2));
  EXPECT_EQ(s.accelMag[2], 0);
  EXPECT_EQ(s.moveErrPct[2], 0);
}

TEST(MovementError, LimitIsStrictlyAbove) {
  EXPECT_TRUE(errorAboveLimit(5.0000001, 5));
  EXPECT_FALSE(errorAboveLimit(5, 5));
  EXPECT_FALSE(errorAboveLimit(0, 5));
}

}  // namespace
}  // namespace orbits

namespace orbits {
namespace {

// Every body slot in play, every array and every kind of bad value is caught, whichever
// vector width tests that slot; slots past the last body are not looked at.
TEST(MotionFinite, CatchesEveryBadValueInEverySlot) {
  const double bad[] = {std::nan(""), INFINITY, -INFINITY};
  for (int last = 0; last < kMaxBodies; ++last) {
    SimState s;
    s.lastBody = int16_t(last);
    Accelerations a;
    ASSERT_TRUE(motionFinite(s, a));
    for (int k = 0; k < kMaxBodies; ++k) {
      for (int field = 0; field < 6; ++field) {
        for (double v : bad) {
          SimState t = s;
          Accelerations b = a;
          BodyArray<double>* arrays[] = {&t.posX,   &t.posY,   &t.posZ,
                                         &b.accelX, &b.accelY, &b.accelZ};
          (*arrays[field])[size_t(k)] = field < 3 && v == INFINITY ? 2 * kPositionLimit : v;
          EXPECT_EQ(motionFinite(t, b), k > last) << "last " << last << " body " << k;
        }
      }
    }
  }
}

}  // namespace
}  // namespace orbits
