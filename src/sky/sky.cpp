#include "sky/sky.h"

#include <erfa.h>

#include <algorithm>
#include <cmath>

#include "physics/constants.h"
#include "window/main_window.h"

namespace orbits::sky {

namespace {

constexpr double kJ2000 = 2451545.0;

// From the J2000 equator to the J2000 ecliptic: a turn about x by the mean obliquity.
Matrix3 equatorToEcliptic() {
  double r[3][3];
  eraIr(r);
  eraRx(eraObl06(kJ2000, 0), r);
  Matrix3 m;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) m[i][j] = r[i][j];
  return m;
}

Matrix3 product(const Matrix3& a, const Matrix3& b) {
  Matrix3 r{};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      for (int k = 0; k < 3; ++k) r[i][j] += a[i][k] * b[k][j];
  return r;
}

}  // namespace

JulianDate julianDate(text::Date date, double dayFraction) {
  double mjd0 = 0, mjd = 0;
  eraCal2jd(date.year(), date.month(), date.day(), &mjd0, &mjd);
  return {mjd0 + mjd, dayFraction};
}

std::optional<CalendarInstant> calendarInstant(JulianDate jd) {
  int y = 0, m = 0, d = 0;
  double fraction = 0;
  if (eraJd2cal(jd.day, jd.fraction, &y, &m, &d, &fraction) != 0) return std::nullopt;
  return CalendarInstant{text::Date::fromYmd(y, m, d), fraction};
}

JulianDate simulatedDate(const ScenarioState& scenario, const Clock& clock) {
  return julianDate(scenario.startDate, scenario.beginTimeDays + clock.elapsedDays);
}

std::optional<std::array<Vec3, 9>> realPositions(JulianDate jd) {
  static const Matrix3 toSim = product(kEclipticToSim, equatorToEcliptic());
  if (!std::isfinite(jd.value())) return std::nullopt;
  std::array<Vec3, 9> out{};
  for (int body = 1; body <= 8; ++body) {
    double pv[2][3];
    // Status 1: outside 1000-3000, the theory's years; 2: no convergence.
    if (eraPlan94(jd.day, jd.fraction, body, pv) != 0) return std::nullopt;
    const Vec3 p = toSim * Vec3{pv[0][0], pv[0][1], pv[0][2]};
    for (int i = 0; i < 3; ++i) out[size_t(body)][size_t(i)] = p[size_t(i)] * kKmPerAu;
  }
  return out;
}

std::optional<std::vector<PlanetSky>> compareWithSky(const SimState& s, JulianDate jd) {
  const auto real = realPositions(jd);
  if (!real) return std::nullopt;
  std::vector<PlanetSky> out;
  for (int k = 1; k <= std::min<int>(8, s.lastBody); ++k) {
    if (s.bodyOff[size_t(k)] == 1) continue;
    const Vec3 sim{s.posX[k] - s.posX[0], s.posY[k] - s.posY[0], s.posZ[k] - s.posZ[0]};
    const Vec3& r = (*real)[size_t(k)];
    out.push_back({k, s.bodyName[size_t(k)], angleDeg(sim, r), (norm(sim) / norm(r) - 1) * 100});
  }
  return out;
}

std::optional<std::vector<PlanetSky>> skyComparison(const MainWindow& w) {
  return compareWithSky(w.sim, simulatedDate(w.scenario, w.clock));
}

}  // namespace orbits::sky
