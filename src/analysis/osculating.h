#pragma once
// The osculating orbit of the watched pair: the Kepler orbit that their relative position and
// velocity at one moment would follow if nothing else pulled, and its longitude of perihelion
// in the J2000 ecliptic, the angle the literature quotes the precession of.
#include "sky/frame.h"

namespace orbits {

struct OsculatingOrbit {
  double semiMajorAxis = 0;  // km; negative for an open orbit
  double eccentricity = 0;
  sky::Vec3 eccentricityVector{};  // towards the perihelion, of length e, in the axes of r and v
  sky::Vec3 angularMomentum{};     // r x v, km^2 per unit of time
};

// `r` the position of the orbiting body from the central one (km), `v` its velocity relative to
// it, `mu` = G (m1 + m2) in km^3 per unit of time squared (the unit of time of `v`).
OsculatingOrbit osculatingOrbit(const sky::Vec3& r, const sky::Vec3& v, double mu);

// The longitude of perihelion, varpi = Omega + omega, in radians within [0, 2 pi): the node's
// longitude in the x-y plane of the axes the orbit is given in, plus the perihelion's angle from
// the node along the orbit. Where the node is undefined (no inclination) it is the perihelion's
// polar angle; for a retrograde orbit omega is counted back (varpi = Omega - omega). NaN for a
// circular orbit, which has no perihelion.
double perihelionLongitude(const OsculatingOrbit& orbit);

// The longitude of perihelion in the J2000 ecliptic of a relative state given in the
// simulation's axes.
double eclipticPerihelionLongitude(const sky::Vec3& rSim, const sky::Vec3& vSim, double mu);

}  // namespace orbits
