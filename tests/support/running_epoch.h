#pragma once
// The nine bodies of the 1940 epoch at time-rate index 5 (timeFactor 1e5), with the
// velocities scaled as Go scales them: a realistic running state for the physics alone.
#include "physics/sim_state.h"
#include "scenarios/epochs.h"

namespace orbits::testing {

inline SimState runningEpoch1940() {
  SimState s;
  s.timeRateIndex = 5;
  loadEpoch(s, kEpoch1940, 1);
  s.lastBody = 8;
  s.timeFactor = 1e5;
  s.timeFactorSq = s.timeFactor * s.timeFactor;
  s.gravConstant = 6.67259 * 1.988544 * 225;
  s.gravExponent = 2;
  s.proximityKm = 100000;
  for (int k = 0; k <= s.lastBody; ++k) {
    s.velX[k] *= s.timeFactor;
    s.velY[k] *= s.timeFactor;
    s.velZ[k] *= s.timeFactor;
  }
  return s;
}

}  // namespace orbits::testing
