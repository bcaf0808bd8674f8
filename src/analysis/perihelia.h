#pragma once
// Exact perihelia of the watched pair, found between cycles, and the precession fitted to them;
// the per-orbit records the charts and the series file show.
#include "physics/constants.h"
#include "physics/gravity.h"
#include "window/lab_state.h"

namespace orbits {

class MainWindow;

constexpr double kArcsecPerTurn = 1296000;

// The perihelion between three samples around a minimum of the distance (b the smallest): a
// parabola through the three distances gives the moment, and the separation, interpolated the
// same way, the direction. `middleCycle` is b's cycle count. The angle is the markers' angle
// (pi minus the direction's polar angle in the x-y plane) in arc-seconds, 0..1296000. With `mu`
// (G (m1 + m2), km^3 per calculation squared) the longitude of perihelion of the osculating
// orbit at each sample, interpolated the same way, gives `varpi` (0..1296000 near b's).
ExactPerihelion interpolatePerihelion(const PairSample& a, const PairSample& b, const PairSample& c,
                                      double middleCycle, double mu = 0);

// The longitude of perihelion in the J2000 ecliptic, arc-seconds, of the osculating orbit of a
// sample (the second pair body about the first).
double sampleVarpi(const PairSample& p, double mu);

// The angle `raw` (arc-seconds, 0..1296000) continued from `previous` by whole turns.
double unwrapArcsec(double raw, double previous);

// Takes a perihelion into both fits, the orbit under way and the latest one, its angle and
// longitude continued from the last one's. (A reload replays the records of the lab's file through
// it.)
void addPerihelion(LabState& lab, ExactPerihelion p, double siderealYearSecs);
// Takes an orbit's record into the charts' series and the latest one, markers' angle included.
void addOrbitRecord(LabState& lab, const OrbitRecord& r);

// The lab's part of a cycle, at its end: after the velocities (updated with `accel`) and the
// clock have moved on, so that the sample's positions, velocity and moment belong together.
void labCycle(MainWindow& w, const Accelerations& accel);

// The lab's record of the orbit that just ended; called at the orbit's completion before the
// drift record starts the next orbit's extremes.
void labOrbitEnded(MainWindow& w, double periodDays);
// That orbit's markers' angle (radians; NaN when the markers recorded none for it): the record
// is complete, goes to the lab's file with the next save and to the window's record sink.
void labOrbitRecorded(MainWindow& w, double markerTheta);

// "Charts" opens the lab's charts window.
void wireLab(MainWindow& w);

// A new scenario: every series starts afresh.
void resetLab(MainWindow& w);

}  // namespace orbits
