#include "analysis/osculating.h"

#include <cmath>
#include <numbers>

namespace orbits {

namespace {

using sky::Vec3;
using sky::operator*;

double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Vec3 cross(const Vec3& a, const Vec3& b) {
  return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double turn(double rad) {
  const double t = std::fmod(rad, 2 * std::numbers::pi);
  return t < 0 ? t + 2 * std::numbers::pi : t;
}

sky::Matrix3 transposed(const sky::Matrix3& m) {
  sky::Matrix3 t{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) t[i][j] = m[j][i];
  return t;
}

}  // namespace

OsculatingOrbit osculatingOrbit(const Vec3& r, const Vec3& v, double mu) {
  OsculatingOrbit o;
  const double rn = sky::norm(r), v2 = dot(v, v), rv = dot(r, v);
  // e = ((v^2 - mu / r) r - (r . v) v) / mu; 1 / a = 2 / r - v^2 / mu.
  for (int i = 0; i < 3; ++i) o.eccentricityVector[i] = ((v2 - mu / rn) * r[i] - rv * v[i]) / mu;
  o.eccentricity = sky::norm(o.eccentricityVector);
  o.semiMajorAxis = 1 / (2 / rn - v2 / mu);
  o.angularMomentum = cross(r, v);
  return o;
}

double perihelionLongitude(const OsculatingOrbit& o) {
  const Vec3& e = o.eccentricityVector;
  const Vec3& h = o.angularMomentum;
  if (!(o.eccentricity > 0)) return NAN;
  const double hn = sky::norm(h), nodeLen = std::hypot(h[0], h[1]);
  const bool prograde = h[2] >= 0;
  // In the plane itself the node is undefined and varpi is the perihelion's own direction.
  if (!(nodeLen > 1e-15 * hn))
    return turn(prograde ? std::atan2(e[1], e[0]) : -std::atan2(e[1], e[0]));
  const Vec3 node{-h[1] / nodeLen, h[0] / nodeLen, 0};  // ascending node: z x h, unit
  const double omegaNode = std::atan2(node[1], node[0]);
  const Vec3 hUnit{h[0] / hn, h[1] / hn, h[2] / hn};
  // The perihelion's angle from the node, in the sense of the motion.
  const double omega = std::atan2(dot(hUnit, cross(node, e)), dot(node, e));
  return turn(prograde ? omegaNode + omega : omegaNode - omega);
}

double eclipticPerihelionLongitude(const Vec3& rSim, const Vec3& vSim, double mu) {
  // Simulation = kEclipticToSim x ecliptic; the rotation's transpose turns it back.
  static const sky::Matrix3 toEcliptic = transposed(sky::kEclipticToSim);
  return perihelionLongitude(osculatingOrbit(toEcliptic * rSim, toEcliptic * vSim, mu));
}

}  // namespace orbits
