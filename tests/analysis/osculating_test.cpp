#include "analysis/osculating.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace orbits {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMu = 1.32712e11;  // km^3/s^2

// The state at true anomaly nu of the Kepler orbit (a, e) with node Omega, inclination i and
// perihelion argument omega, in the axes the elements refer to.
void keplerState(double a, double e, double inc, double node, double peri, double nu, sky::Vec3& r,
                 sky::Vec3& v) {
  const double p = a * (1 - e * e), rn = p / (1 + e * std::cos(nu)), k = std::sqrt(kMu / p);
  const double x = rn * std::cos(nu), y = rn * std::sin(nu);  // in the orbit's plane
  const double vx = -k * std::sin(nu), vy = k * (e + std::cos(nu));
  const double cO = std::cos(node), sO = std::sin(node), cw = std::cos(peri), sw = std::sin(peri);
  const double ci = std::cos(inc), si = std::sin(inc);
  const double m[3][2] = {{cO * cw - sO * sw * ci, -cO * sw - sO * cw * ci},
                          {sO * cw + cO * sw * ci, -sO * sw + cO * cw * ci},
                          {sw * si, cw * si}};
  for (int c = 0; c < 3; ++c) {
    r[c] = m[c][0] * x + m[c][1] * y;
    v[c] = m[c][0] * vx + m[c][1] * vy;
  }
}

// Anywhere along the orbit, the osculating elements are the orbit's own and the longitude of
// perihelion is node plus argument: inclined like Mercury's, and in the reference plane itself.
// In the simulation's axes (x = -Y, y = -X, z = -Z of the ecliptic) it is the same longitude.
TEST(Osculating, ElementsAndLongitudeOfKnownOrbits) {
  struct Case {
    double inc, node, peri;
  };
  for (const Case& c : {Case{7.0, 48.3, 29.1}, Case{0.0, 0.0, 77.5}, Case{3.4, 76.7, 54.9}}) {
    for (double nu : {0.0, 1.0, 2.5, -2.0}) {
      sky::Vec3 r, v;
      keplerState(5.79e7, 0.2056, c.inc * kPi / 180, c.node * kPi / 180, c.peri * kPi / 180, nu, r,
                  v);
      const OsculatingOrbit o = osculatingOrbit(r, v, kMu);
      EXPECT_NEAR(o.semiMajorAxis, 5.79e7, 1e-3);
      EXPECT_NEAR(o.eccentricity, 0.2056, 1e-12);
      const double want = std::fmod(c.node + c.peri, 360.0) * kPi / 180;
      EXPECT_NEAR(perihelionLongitude(o), want, 1e-12) << c.inc << " " << nu;
      const sky::Vec3 rSim{-r[1], -r[0], -r[2]}, vSim{-v[1], -v[0], -v[2]};
      EXPECT_NEAR(eclipticPerihelionLongitude(rSim, vSim, kMu), want, 1e-12);
    }
  }
  EXPECT_TRUE(std::isnan(
      perihelionLongitude(osculatingOrbit({1e8, 0, 0}, {0, std::sqrt(kMu / 1e8), 0}, kMu))));
}

}  // namespace
}  // namespace orbits
