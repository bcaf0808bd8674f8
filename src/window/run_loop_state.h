#pragma once
namespace orbits {

// What the run loop keeps between its executions.
struct RunLoopState {
  // The "too many zumas" warning was shown for the current selection of the finest 30-series
  // scale; selecting a scale again re-arms it.
  bool zumasWarned = false;
  // Cycles that ended in a numeric failure (each stopped the run).
  int numericFailures = 0;
  // The watched pair's orbit count last seen by the trail colouring, and whether it is even.
  double parityCount = 0;
  bool parityEven = true;  // fmod(0, 2) == 0
};

}  // namespace orbits
