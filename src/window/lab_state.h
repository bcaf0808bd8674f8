#pragma once
// The lab's measurements of the watched pair: the exact perihelia found between cycles, the
// precession fitted to them, and one record per orbit for the charts and the series file.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orbits {

// One cycle's view of the pair: distance, separation in the x-y plane and the moment (days),
// the separation across it, and the relative velocity at that moment (km per calculation), the
// same way round as the separation (the first pair body's less the second's).
struct PairSample {
  double dist = 0, dx = 0, dy = 0, days = 0;
  double dz = 0, dvx = 0, dvy = 0, dvz = 0;
};

// The last three samples, kept so that a minimum of the distance is seen one cycle after it.
// They stay where they were written, in a ring: a cycle fills the next place in and copies
// nothing (a sample copied just after it was written costs more than the rest of the lab's
// part of the cycle).
struct PerihelionWatch {
  int count = 0;              // samples taken since the last reset, up to 3
  int alpha = -1, beta = -1;  // the pair the samples are of

  // The place of the next sample, to be filled in at once; it becomes the newest.
  PairSample& take() {
    newest_ = newest_ == 2 ? 0 : newest_ + 1;
    if (count < 3) ++count;
    return ring_[size_t(newest_)];
  }
  // The sample `back` cycles before the newest (0 the newest, up to 2).
  const PairSample& back(int n) const { return ring_[size_t((newest_ + 3 - n) % 3)]; }
  // Whether the sample before the newest is a minimum: strictly below the one before it, and
  // not above the newest. A few comparisons per cycle.
  bool minimumBehind() const {
    if (count < 3) return false;
    const double mid = back(1).dist;
    return mid < back(2).dist && mid <= back(0).dist;
  }

 private:
  std::array<PairSample, 3> ring_{};
  int newest_ = 0;
};

// A perihelion found between cycles.
struct ExactPerihelion {
  int32_t orbit = 0;  // the orbit count when it happened
  double cycle = 0;   // the cycle count, with the fraction between cycles
  double days = 0;    // the moment, days since the start
  double distKm = 0;  // the interpolated closest distance
  double angle = 0;   // direction in arc-seconds, unwrapped (the markers' angle, continued)
  // The longitude of perihelion of the osculating orbit in the J2000 ecliptic, arc-seconds,
  // unwrapped; NaN where unknown (records written before it was measured).
  double varpi = NAN;
};

// The least-squares line through (time, arc-seconds), kept as running centred sums so that
// each perihelion costs the same.
struct PrecessionFit {
  int64_t n = 0;
  double meanX = 0, meanY = 0, sxx = 0, sxy = 0, syy = 0;

  void add(double x, double y);
  bool ready() const { return n >= 3 && sxx > 0; }
  double slope() const { return sxx > 0 ? sxy / sxx : 0; }
  double intercept() const { return meanY - slope() * meanX; }
  // The standard error of the slope (needs three points).
  double slopeError() const;
};

// One completed orbit of the watched pair.
struct OrbitRecord {
  int32_t orbit = 0;      // the orbit that ended
  double cycle = 0;       // the cycle count at its end
  double days = 0;        // elapsed days at its end
  double periodDays = 0;  // its length
  double minKm = 0, maxKm = 0;
  double periDays = 0;     // the moment of its exact perihelion, 0 when none was found
  double periAngle = 0;    // that perihelion's direction, arc-seconds
  double markerAngle = 0;  // the markers' angle of the orbit, arc-seconds (0 when none)
  double maxErrPct = 0;    // the largest movement error of either pair body during the orbit
  // Each planet's angle against the real sky at the orbit's end, degrees, by body number (1..8);
  // NaN for planets not in play, and for all outside the years the planetary theory covers.
  std::array<double, 9> skyAngleDeg{NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN, NAN};
  int32_t skyBody = 0;     // the watched body (body 2 of the pair) when it is a planet, else 0
  double periVarpi = NAN;  // that perihelion's longitude in the J2000 ecliptic, arc-seconds

  // Whether an exact perihelion was found in the orbit: its moment is then after the start.
  bool hasPerihelion() const { return periDays > 0; }

  // The watched body's angle against the real sky; NaN when there is none.
  double watchedSkyAngle() const {
    return skyBody >= 1 && skyBody <= 8 ? skyAngleDeg[size_t(skyBody)] : NAN;
  }
};

// The smallest and largest value of one quantity over some records, each with where it lies on
// its chart's horizontal axis (the orbit number, or days since the start).
struct Extent {
  double loX = NAN, lo = NAN, hiX = NAN, hi = NAN;

  bool empty() const { return !(lo <= hi); }
  // Takes one value; a value that does not exist (NaN) changes nothing.
  void take(double x, double y);
  // Takes the extremes of later records.
  void merge(const Extent& later);
};

// The quantities the charts draw, one value (or none) per orbit.
enum LabChannel : size_t {
  kChClosest,     // closest distance of the orbit, km, at its orbit number
  kChFarthest,    // farthest distance of the orbit, km, at its orbit number
  kChPeriod,      // the orbit's period, days, at its orbit number
  kChMoveError,   // largest movement error of the orbit, %, at its orbit number
  kChPerihelion,  // exact perihelia's direction, arc-seconds (continued), at their moment (days)
  kChMarker,      // the markers' angle, arc-seconds (continued), at the orbit's end (days)
  kChSky,         // planet k's angle against the real sky, degrees, at the orbit's end (days):
                  // channel kChSky + k - 1 for the planets 1..8 (in the sky's own series)
  // The exact perihelia's longitude of perihelion in the J2000 ecliptic, arc-seconds
  // (continued), at their moment (days). After the sky's, so that files written before it read.
  kChVarpi = kChSky + 8,
  kLabChannels
};

// Consecutive orbits of the charts' series: which, when they ended, and each quantity's
// extremes over them.
struct SeriesBucket {
  int32_t firstOrbit = 0, lastOrbit = 0;
  int64_t records = 0;
  double firstDays = 0, lastDays = 0;  // elapsed days at the end of the first and last orbit
  std::array<Extent, kLabChannels> channels;

  // Takes the later bucket `b` in.
  void merge(const SeriesBucket& b);
};

// The per-orbit series the charts draw, of a fixed size however long the run: every orbit has
// a bucket of its own until kMaxBuckets are full; then neighbours merge in pairs and each bucket
// takes twice as many orbits from then on. Each keeps its quantities' extremes, so a chart keeps
// both the envelope and, at a bucket per pixel or less, the wobble.
struct ThinnedSeries {
  static constexpr size_t kMaxBuckets = 1024;
  std::vector<SeriesBucket> buckets;  // oldest first
  int64_t perBucket = 1;              // orbits a bucket takes before the next starts

  // Adds one orbit's bucket.
  void add(const SeriesBucket& orbit);

 private:
  void halve();
};

// What of the lab is not yet in its file "orbit-lab.txt", and when the file is next written
// whole instead of appended to.
struct LabFileState {
  // Records made since the last save, appended with the next one (at most kMaxUnsaved; beyond
  // that the file is written whole instead).
  std::vector<ExactPerihelion> perihelia;
  std::vector<OrbitRecord> orbits;
  static constexpr size_t kMaxUnsaved = 4096;
  bool wholeDue = true;      // a new run, a reload, records dropped, or the file grown
  size_t appendedBytes = 0;  // appended since it was last written whole
  size_t wholeBytes = 0;     // the size of that whole file
};

struct LabState {
  PerihelionWatch watch;
  PrecessionFit fit;  // over every exact perihelion of the run; fit.n counts them
  // The longitude of perihelion against time, beside it: arc-seconds over Julian centuries
  // (36525 days), over every exact perihelion whose longitude was measured.
  PrecessionFit varpiFit;
  // The first exact perihelion (the charts' zero) and the latest (the next one is continued
  // from it); valid once fit.n > 0.
  ExactPerihelion firstPerihelion, lastPerihelion;
  // The latest orbit's record; valid once orbitsRecorded > 0.
  OrbitRecord lastOrbit;
  int64_t orbitsRecorded = 0;
  double lastMarker = NAN;  // the latest markers' angle, arc-seconds, continued
  Extent orbitPerihelia;    // the exact perihelia of the orbit under way (kChPerihelion)
  Extent orbitVarpi;        // and their longitudes of perihelion (kChVarpi)
  double orbitErrMax = 0;   // the movement error's maximum in the orbit under way
  ThinnedSeries series;     // every orbit, all quantities but the sky's
  // The orbits that ended within the years of the planetary theory, with the sky's quantities:
  // some hundreds or thousands however long the run, so the sky's chart keeps them one by one
  // where the orbits' series has long merged them.
  ThinnedSeries sky;
  LabFileState file;
  // Bumped whenever a record is added or the records are replaced, so a view redraws only then.
  uint64_t revision = 0;
  // What the last reload restored of the lab: the orbits' records of the saved run, how many of
  // them were restored, and why not the rest (empty when all were).
  int64_t restoreExpected = 0, restoredOrbits = 0;
  std::string restoreProblem;
};

}  // namespace orbits
