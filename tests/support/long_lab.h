#pragma once
// The lab of a long run, made in a moment: the records of `orbits` orbits of a Mars-like pair
// (one exact perihelion each, every planet against the real sky), taken in as a run takes them,
// for what must cost the same after a million orbits as after a hundred (charts, the lab's file).
#include <cmath>
#include <cstdint>

#include "analysis/perihelia.h"
#include "window/main_window.h"

namespace orbits::testing {

constexpr double kLongLabCyclesPerOrbit = 1000;

inline void fillLongLab(MainWindow& w, int64_t orbits) {
  const double year = w.sim.siderealYearSecs / 86400;  // days
  for (int64_t k = 0; k < orbits; ++k) {
    const double x = double(k);
    ExactPerihelion p;
    p.orbit = int32_t(k);
    p.cycle = kLongLabCyclesPerOrbit * x + 400;
    p.days = 687 * x + 280;
    p.distKm = 2.066e8 + 1e5 * std::sin(0.01 * x);
    // Turning at -26.75 arc-seconds a year, with a wobble of tens of arc-seconds.
    p.angle = 200000 - 26.75 * p.days / year + 40 * std::sin(0.3 * x);
    // Its longitude, advancing at 1600 arc-seconds a century, wobbling as much.
    p.varpi = 1210000 + 1600 * p.days / 36525 + 40 * std::sin(0.3 * x);
    addPerihelion(w.lab, p, w.sim.siderealYearSecs);
    OrbitRecord r;
    r.orbit = int32_t(k);
    r.cycle = kLongLabCyclesPerOrbit * (x + 1);
    r.days = 687 * (x + 1);
    r.periodDays = 687 + 1.7 * std::sin(0.7 * x);
    r.minKm = p.distKm, r.maxKm = 2.492e8 + 1e5 * std::cos(0.01 * x);
    r.periDays = p.days, r.periAngle = p.angle, r.periVarpi = p.varpi;
    r.markerAngle = std::fmod(p.angle + 20 * std::cos(0.9 * x) + 1296000 * 4, 1296000);
    r.maxErrPct = 0.042 + 0.001 * std::sin(1e-5 * x);
    r.skyBody = 4;
    for (size_t b = 1; b <= 8; ++b)
      r.skyAngleDeg[b] = std::fabs(std::sin(1e-4 * x * double(b))) * 20.0 / double(b);
    addOrbitRecord(w.lab, r);
  }
}

}  // namespace orbits::testing
