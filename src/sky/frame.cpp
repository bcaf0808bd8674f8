#include "sky/frame.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orbits::sky {

namespace {

double det(const Matrix3& m) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The transpose of the inverse: the cofactors over the determinant.
Matrix3 inverseTransposed(const Matrix3& m, double d) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
      r[i][j] = (m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1]) / d;
    }
  return r;
}

}  // namespace

Vec3 operator*(const Matrix3& m, const Vec3& v) {
  Vec3 r{};
  for (int i = 0; i < 3; ++i) r[i] = m[i][0] * v[0] + m[i][1] * v[1] + m[i][2] * v[2];
  return r;
}

double norm(const Vec3& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

double angleDeg(const Vec3& a, const Vec3& b) {
  // atan2 of the cross and dot products stays accurate for small angles, where acos does not.
  const Vec3 c{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  const double dot = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
  if (norm(a) == 0 || norm(b) == 0) return NAN;
  return std::atan2(norm(c), dot) * 180 / std::numbers::pi;
}

std::optional<Matrix3> bestRotation(std::span<const Vec3> from, std::span<const Vec3> to) {
  if (from.size() != to.size()) return std::nullopt;
  Matrix3 h{};  // sum of to_k from_k^T over the unit vectors
  for (size_t k = 0; k < from.size(); ++k) {
    const double a = norm(from[k]), b = norm(to[k]);
    if (!(a > 0 && b > 0)) return std::nullopt;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) h[i][j] += to[k][i] / b * from[k][j] / a;
  }
  // The orthogonal polar factor of h, by Newton's iteration X <- (X + X^-T) / 2, which
  // converges quadratically and keeps the sign of the determinant.
  if (!(det(h) > 0)) return std::nullopt;
  for (int iteration = 0; iteration < 60; ++iteration) {
    const double d = det(h);
    if (!(std::abs(d) > 1e-300)) return std::nullopt;
    const Matrix3 t = inverseTransposed(h, d);
    double change = 0;
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) {
        const double next = (h[i][j] + t[i][j]) / 2;
        change = std::max(change, std::abs(next - h[i][j]));
        h[i][j] = next;
      }
    if (change < 1e-15) break;
  }
  return h;
}

}  // namespace orbits::sky
