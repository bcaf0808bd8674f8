#pragma once
// The axes of the simulation against those of the planetary theory, and the fit that finds the
// rotation between two sets of directions.
#include <array>
#include <optional>
#include <span>

namespace orbits::sky {

using Vec3 = std::array<double, 3>;
using Matrix3 = std::array<Vec3, 3>;  // rows

// The simulation's axes are those of the J2000 ecliptic, turned half a turn about the line
// x = -y: x = -Y, y = -X, z = -Z. The best rotation between the three epoch tables and the
// planetary theory's positions at each epoch's start (bestRotation over the eight directions)
// is this one within 2e-5 rad for 1773 and 1900. The planets then lie within 0.012 degrees of
// their rows (0.0005 for Mercury, 0.01 for Jupiter and Uranus) and their distances within
// 0.011 percent. In the 1940 table the same holds for seven planets (within 0.033 degrees), but
// Venus lies 0.73 degrees off, where the real Venus was about 11 hours earlier; a fit over all
// eight directions leans 0.1 degrees towards it, one without Venus does not.
constexpr Matrix3 kEclipticToSim{{{0, -1, 0}, {-1, 0, 0}, {0, 0, -1}}};

Vec3 operator*(const Matrix3& m, const Vec3& v);
double norm(const Vec3& v);
// The angle between two directions, in degrees; NaN if either is zero.
double angleDeg(const Vec3& a, const Vec3& b);

// The rotation R that brings the directions of `from` closest to those of `to` (least squares
// over unit vectors, so that near and far planets weigh alike: Kabsch's problem, solved as the
// orthogonal factor of the covariance). nullopt when the directions do not fix a proper
// rotation.
std::optional<Matrix3> bestRotation(std::span<const Vec3> from, std::span<const Vec3> to);

}  // namespace orbits::sky
