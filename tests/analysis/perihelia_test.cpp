#include "analysis/perihelia.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "../support/run_fixture.h"
#include "physics/gravity.h"

namespace orbits {
namespace {

constexpr double kPi = std::numbers::pi;

// A Kepler orbit about a fixed centre: separation at time t (s), periapsis at t = 0 in direction
// `omega` (polar angle, radians).
struct Kepler {
  double gm, a, e, omega;
  double meanMotion() const { return std::sqrt(gm / (a * a * a)); }
  PairSample at(double t, double days) const {
    const double m = meanMotion() * t;
    double E = m;
    for (int i = 0; i < 50; ++i) E -= (E - e * std::sin(E) - m) / (1 - e * std::cos(E));
    const double x = a * (std::cos(E) - e), y = a * std::sqrt(1 - e * e) * std::sin(E);
    const double dx = x * std::cos(omega) - y * std::sin(omega);
    const double dy = x * std::sin(omega) + y * std::cos(omega);
    return {std::hypot(dx, dy), dx, dy, days};
  }
};

TEST(ExactPerihelion, MomentAndDirectionOfAKeplerOrbitBetweenCycles) {
  // Mercury's orbit sampled every 150 s (about 40 arc-seconds of its motion at perihelion), the
  // perihelion falling at an arbitrary fraction of a cycle.
  const Kepler k{1.32712e11, 5.79e7, 0.2056, 1.3};
  const double step = 150, offset = 0.37;
  PerihelionWatch watch;
  ExactPerihelion found;
  bool seen = false;
  for (int i = -20; i <= 20 && !seen; ++i) {
    const double t = (i - offset) * step;
    watch.take() = k.at(t, t / 86400);
    if (watch.minimumBehind()) {
      found = interpolatePerihelion(watch.back(2), watch.back(1), watch.back(0), i - 1);
      seen = true;
    }
  }
  ASSERT_TRUE(seen);
  EXPECT_NEAR(found.cycle, offset, 1e-3);  // within a thousandth of a cycle
  EXPECT_NEAR(found.days * 86400, 0, 1e-3 * step);
  EXPECT_NEAR(found.distKm, k.a * (1 - k.e), 1e-3);
  const double expected = (kPi - k.omega) / (2 * kPi) * kArcsecPerTurn;
  EXPECT_NEAR(found.angle, expected, 0.01);  // arc-seconds
}

TEST(PrecessionFit, SlopeAndStandardErrorOfAKnownLine) {
  // y = 5 + 0.7 x with residuals +-1 alternating: the slope and its error by the textbook sums.
  PrecessionFit fit;
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  const int n = 10;
  for (int i = 0; i < n; ++i) {
    const double x = 1000 + i, y = 5 + 0.7 * x + (i % 2 ? 1 : -1);
    fit.add(x, y);
    sx += x, sy += y, sxx += x * x, sxy += x * y;
    EXPECT_EQ(fit.ready(), i >= 2);
  }
  const double dxx = sxx - sx * sx / n, slope = (sxy - sx * sy / n) / dxx;
  double ssr = 0;
  for (int i = 0; i < n; ++i) {
    const double x = 1000 + i, y = 5 + 0.7 * x + (i % 2 ? 1 : -1);
    const double r = y - (sy / n + slope * (x - sx / n));
    ssr += r * r;
  }
  EXPECT_NEAR(fit.slope(), slope, 1e-9);
  EXPECT_NEAR(fit.slopeError(), std::sqrt(ssr / (n - 2) / dxx), 1e-9);
  EXPECT_NEAR(fit.intercept(), sy / n - slope * sx / n, 1e-6);
}

TEST(ExactPerihelion, AnglesAreContinuedAcrossTheTurn) {
  EXPECT_DOUBLE_EQ(unwrapArcsec(10, kArcsecPerTurn - 5), kArcsecPerTurn + 10);
  EXPECT_DOUBLE_EQ(unwrapArcsec(kArcsecPerTurn - 5, 10), -5);
}

// The perihelion shift per orbit of a test body about the Sun, run with the physics of the cycle
// and the perihelia found as the run finds them.
double shiftPerOrbit(bool relativity, double lightSpeed, int orbits, double a, double e) {
  SimState s;
  s.lastBody = 1;
  s.bodyMass[0] = 1;
  s.timeFactor = 1e5;
  s.timeFactorSq = 1e10;
  s.stepSeconds = 15;
  s.gravConstant = 6.67259 * 1.988544 * 225;
  s.gravExponent = 2;
  s.proximityKm = 100000;
  s.lightSpeed = lightSpeed;
  s.relativity = relativity;
  const double gm = s.gravConstant * s.timeFactorSq;  // km^3 per calculation^2
  s.posX[1] = a * (1 - e);
  s.velY[1] = std::sqrt(gm * (1 + e) / (a * (1 - e)));
  Accelerations acc;
  ProximityReport close;
  PerihelionWatch watch;
  std::vector<double> angles;
  const double cycles = (orbits + 0.5) * 2 * kPi / std::sqrt(gm / (a * a * a));
  for (double c = 1; c <= cycles; ++c) {
    moveBodies(s);
    computeAccelerations(s, acc, close);
    if (s.relativity) addRelativity(s, acc);
    watch.take() = {std::hypot(s.posX[1], s.posY[1]), s.posX[1], s.posY[1], c};
    if (watch.minimumBehind()) {
      const double raw =
          interpolatePerihelion(watch.back(2), watch.back(1), watch.back(0), c - 1).angle;
      angles.push_back(angles.empty() ? raw : unwrapArcsec(raw, angles.back()));
    }
    updateVelocity(s, acc, 1);
  }
  EXPECT_GE(int(angles.size()), orbits);
  return (angles.back() - angles.front()) / double(angles.size() - 1);
}

TEST(Relativity, PerihelionAdvancePerOrbitIsTheTextbookFigure) {
  // Mercury's orbit with light 30 times slower, so that the advance stands far above the
  // integration's own drift: 6 pi G M / (c^2 a (1 - e^2)) per orbit.
  const double a = 5.79e7, e = 0.2056, c = 299792.458 / 30;
  const double off = shiftPerOrbit(false, c, 3, a, e);
  const double on = shiftPerOrbit(true, c, 3, a, e);
  const double gm = 6.67259 * 1.988544e10;  // km^3/s^2, as the constant above folds it
  const double expected = 6 * kPi * gm / (c * c * a * (1 - e * e)) / (2 * kPi) * kArcsecPerTurn;
  // The markers' angle turns against the polar angle: an advance makes it smaller.
  EXPECT_NEAR(off - on, expected, expected * 0.01);
}

// A run's first exact perihelion, one period after a start at perihelion on +x: its moment is
// that of the cycle it falls in (the clock after the cycle's step, not before), and the
// longitude of its osculating orbit in the ecliptic is where the orbit was started (+x of the
// simulation is -Y of the ecliptic: 270 degrees).
TEST(ExactPerihelion, ARunsPerihelionHasTheMomentAndLongitudeOfItsOrbit) {
  testing::RunFixture f;
  f.choose(5, 7, 14);                                             // 1500 s per calculation
  f.s.pairBody = {0, 0, 1};                                       // the planet about the Sun
  const double gm = testing::RunFixture::kGravConstant, e = 0.2;  // km^3 per base step^2
  const double a = testing::RunFixture::kAu, rp = a * (1 - e), tf = f.s.timeFactor;
  f.s.posX[1] = rp;
  f.s.velY[1] = -std::sqrt(gm * (1 + e) / rp);
  // The step moves with the velocity of half a step later: that half step's pull is taken off
  // in advance, so that the orbit is at its perihelion at the start.
  f.s.velX[1] = -gm * tf / (2 * rp * rp);
  f.host.onYield = [&](long) {
    if (f.w.lab.fit.n > 0) f.w.c("CDstop").press();
  };
  f.go();
  ASSERT_EQ(f.w.lab.fit.n, 1);
  const ExactPerihelion& p = f.w.lab.firstPerihelion;
  const double step = f.s.stepSeconds;
  const double period = 2 * kPi * std::sqrt(a * a * a / gm) * step / tf;  // s
  EXPECT_NEAR(p.days * 86400, p.cycle * step, 1e-6 * step);
  EXPECT_NEAR(p.days * 86400, period, 0.05 * step);
  EXPECT_NEAR(p.varpi, 0.75 * kArcsecPerTurn, 1.0);
}

}  // namespace
}  // namespace orbits
