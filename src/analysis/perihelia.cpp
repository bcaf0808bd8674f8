#include "analysis/perihelia.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "analysis/osculating.h"
#include "physics/constants.h"
#include "sky/sky.h"
#include "window/main_window.h"

namespace orbits {

namespace {

// The value at u (-1, 0, 1 at the three samples) of the parabola through a, b, c.
double parabola(double a, double b, double c, double u) {
  return b + u * (c - a) / 2 + u * u * (a - 2 * b + c) / 2;
}

double markerArcsec(double dx, double dy) {
  // The markers' angle: pi - atan2(dy, dx), in 0..2pi.
  const double rad = std::numbers::pi - std::atan2(dy, dx);
  return rad / (2 * std::numbers::pi) * kArcsecPerTurn;
}

// The planets against the real sky at the orbit's end: a few evaluations of the planetary theory
// once per orbit, kept for the charts and the series.
void recordSky(const MainWindow& w, OrbitRecord& r) {
  const int watched = w.sim.pairBody[2];
  r.skyBody = watched >= 1 && watched <= 8 ? watched : 0;
  if (const auto planets = sky::skyComparison(w))
    for (const sky::PlanetSky& p : *planets) r.skyAngleDeg[size_t(p.body)] = p.angleDeg;
}

}  // namespace

void PrecessionFit::add(double x, double y) {
  ++n;
  const double dx = x - meanX;
  meanX += dx / double(n);
  const double dy = y - meanY;
  meanY += dy / double(n);
  sxx += dx * (x - meanX);
  sxy += dx * (y - meanY);
  syy += dy * (y - meanY);
}

double PrecessionFit::slopeError() const {
  if (!ready()) return 0;
  const double residual = std::max(0.0, syy - sxy * sxy / sxx);
  return std::sqrt(residual / double(n - 2) / sxx);
}

double sampleVarpi(const PairSample& p, double mu) {
  // The samples hold the first body less the second; the orbit is the second's about the first.
  const double rad =
      eclipticPerihelionLongitude({-p.dx, -p.dy, -p.dz}, {-p.dvx, -p.dvy, -p.dvz}, mu);
  return rad / (2 * std::numbers::pi) * kArcsecPerTurn;
}

ExactPerihelion interpolatePerihelion(const PairSample& a, const PairSample& b, const PairSample& c,
                                      double middleCycle, double mu) {
  const double curve = a.dist - 2 * b.dist + c.dist;
  const double u = curve > 0 ? std::clamp((a.dist - c.dist) / (2 * curve), -1.0, 1.0) : 0.0;
  ExactPerihelion p;
  p.cycle = middleCycle + u;
  p.days = b.days + u * (u > 0 ? c.days - b.days : b.days - a.days);
  p.distKm = parabola(a.dist, b.dist, c.dist, u);
  p.angle = markerArcsec(parabola(a.dx, b.dx, c.dx, u), parabola(a.dy, b.dy, c.dy, u));
  if (mu > 0) {
    // Each sample's own osculating orbit, so that no interpolated state mixes two moments; the
    // longitude changes by far less than a turn between them.
    const double vb = sampleVarpi(b, mu);
    p.varpi =
        parabola(unwrapArcsec(sampleVarpi(a, mu), vb), vb, unwrapArcsec(sampleVarpi(c, mu), vb), u);
  }
  return p;
}

double unwrapArcsec(double raw, double previous) {
  const double turns = std::round((previous - raw) / kArcsecPerTurn);
  return raw + turns * kArcsecPerTurn;
}

void addPerihelion(LabState& lab, ExactPerihelion p, double siderealYearSecs) {
  if (lab.fit.n > 0) {
    const ExactPerihelion& last = lab.lastPerihelion;
    p.angle = unwrapArcsec(p.angle, last.angle);
    if (std::isfinite(last.varpi) && std::isfinite(p.varpi))
      p.varpi = unwrapArcsec(p.varpi, last.varpi);
  }
  if (lab.fit.n == 0) lab.firstPerihelion = p;
  lab.lastPerihelion = p;
  lab.fit.add(p.days * kSecondsPerDay / siderealYearSecs, p.angle);
  if (std::isfinite(p.varpi)) lab.varpiFit.add(p.days / kDaysPerJulianCentury, p.varpi);
  lab.orbitPerihelia.take(p.days, p.angle);
  lab.orbitVarpi.take(p.days, p.varpi);
  ++lab.revision;
}

namespace {

// The record without its markers' angle, which comes a moment later in a run.
void addOrbitFigures(LabState& lab, const OrbitRecord& r) {
  SeriesBucket b;
  b.firstOrbit = b.lastOrbit = r.orbit;
  b.records = 1;
  b.firstDays = b.lastDays = r.days;
  // The first orbit, begun before the start, has no figures of a whole orbit.
  if (r.orbit >= 1) {
    const double x = r.orbit;
    b.channels[kChClosest].take(x, r.minKm);
    b.channels[kChFarthest].take(x, r.maxKm);
    b.channels[kChPeriod].take(x, r.periodDays);
    b.channels[kChMoveError].take(x, r.maxErrPct);
  }
  b.channels[kChPerihelion] = std::exchange(lab.orbitPerihelia, Extent{});
  b.channels[kChVarpi] = std::exchange(lab.orbitVarpi, Extent{});
  lab.series.add(b);
  SeriesBucket sky = b;
  sky.channels = {};
  bool seen = false;
  for (size_t k = 1; k <= 8; ++k) {
    sky.channels[kChSky + k - 1].take(r.days, r.skyAngleDeg[k]);
    seen = seen || std::isfinite(r.skyAngleDeg[k]);
  }
  if (seen) lab.sky.add(sky);
  lab.lastOrbit = r;
  lab.lastOrbit.markerAngle = 0;
  ++lab.orbitsRecorded;
  ++lab.revision;
}

// The markers' angle of the latest orbit (arc-seconds, 0..1296000; 0 when none), continued from
// the previous one, or from the latest perihelion for the first.
void addMarker(LabState& lab, double arcsec) {
  if (arcsec == 0 || lab.orbitsRecorded == 0) return;
  lab.lastOrbit.markerAngle = arcsec;
  const double from = std::isfinite(lab.lastMarker) ? lab.lastMarker
                      : lab.fit.n > 0               ? lab.lastPerihelion.angle
                                                    : arcsec;
  lab.lastMarker = unwrapArcsec(arcsec, from);
  lab.series.buckets.back().channels[kChMarker].take(lab.lastOrbit.days, lab.lastMarker);
}

// Kept for the lab's file until the next save; when too many wait (saving is off), the file is
// written whole at the next save instead.
template <typename T>
void keepUnsaved(LabFileState& f, std::vector<T>& records, const T& r) {
  if (records.size() >= LabFileState::kMaxUnsaved) {
    f.wholeDue = true;
    f.perihelia.clear();
    f.orbits.clear();
  }
  if (!f.wholeDue) records.push_back(r);
}

}  // namespace

void addOrbitRecord(LabState& lab, const OrbitRecord& r) {
  addOrbitFigures(lab, r);
  addMarker(lab, r.markerAngle);
}

void labCycle(MainWindow& w, const Accelerations& accel) {
  LabState& lab = w.lab;
  const SimState& s = w.sim;
  const PairStats& pair = w.pair;
  const int a1 = s.pairBody[1], a2 = s.pairBody[2];
  // The step moved the bodies with the velocity before its update; the velocity at the moved
  // positions is the mean of that and the updated one (the leapfrog's synchronised velocity).
  auto relative = [&](const BodyArray<double>& v, const BodyArray<double>& acc) {
    return (v[a1] - v[a2]) - (acc[a1] - acc[a2]) / 2;
  };
  if (lab.watch.alpha != a1 || lab.watch.beta != a2) {
    // Another pair: its minima are searched from here on.
    lab.watch = PerihelionWatch{};
    lab.watch.alpha = a1, lab.watch.beta = a2;
  }
  PairSample& now = lab.watch.take();
  now.dist = pair.pairDist, now.dx = pair.pairDx, now.dy = pair.pairDy, now.dz = pair.pairDz;
  now.days = w.clock.elapsedDays;
  now.dvx = relative(s.velX, accel.accelX);
  now.dvy = relative(s.velY, accel.accelY);
  now.dvz = relative(s.velZ, accel.accelZ);
  if (lab.watch.minimumBehind()) {
    const double mu = s.timeFactorSq * s.gravConstant * (s.bodyMass[a1] + s.bodyMass[a2]);
    const PerihelionWatch& seen = lab.watch;
    ExactPerihelion p =
        interpolatePerihelion(seen.back(2), seen.back(1), seen.back(0), s.cycleCount - 1, mu);
    p.orbit = int32_t(s.orbitCount);
    addPerihelion(lab, p, s.siderealYearSecs);
    keepUnsaved(lab.file, lab.file.perihelia, lab.lastPerihelion);
  }
  lab.orbitErrMax = std::max({lab.orbitErrMax, s.moveErrPct[1], s.moveErrPct[2]});
}

void labOrbitEnded(MainWindow& w, double periodDays) {
  LabState& lab = w.lab;
  const SimState& s = w.sim;
  OrbitRecord r;
  r.orbit = int32_t(s.orbitCount);
  r.cycle = s.cycleCount;
  r.days = w.clock.elapsedDays;
  r.periodDays = periodDays;
  r.minKm = w.pair.orbitMinDist;
  r.maxKm = w.pair.orbitMaxDist;
  r.maxErrPct = lab.orbitErrMax;
  // The last perihelion of the orbit that ended, if one was found since the previous record.
  const double since = lab.orbitsRecorded > 0 ? lab.lastOrbit.cycle : -1;
  if (lab.fit.n > 0 && lab.lastPerihelion.cycle > since) {
    r.periDays = lab.lastPerihelion.days;
    r.periAngle = lab.lastPerihelion.angle;
    r.periVarpi = lab.lastPerihelion.varpi;
  }
  recordSky(w, r);
  addOrbitFigures(lab, r);
  lab.orbitErrMax = 0;
}

void labOrbitRecorded(MainWindow& w, double markerTheta) {
  LabState& lab = w.lab;
  if (std::isfinite(markerTheta))
    addMarker(lab, markerTheta / (2 * std::numbers::pi) * kArcsecPerTurn);
  keepUnsaved(lab.file, lab.file.orbits, lab.lastOrbit);
  if (w.labRecordSink) w.labRecordSink(lab.lastOrbit);
}

void wireLab(MainWindow& w) {
  w.panel.onClick("CDcharts", [&w](int) { w.host.showCharts(); });
}

void resetLab(MainWindow& w) {
  const uint64_t revision = w.lab.revision;
  w.lab = LabState{};
  w.lab.revision = revision + 1;
}

}  // namespace orbits
