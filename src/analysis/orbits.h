#pragma once
// Orbit detection and periods of the watched pair: the actions of an orbit completion, the
// quarter indicator and the period options.
namespace orbits {

class MainWindow;

// The passage from the fourth quarter into the first: periods, dates, the drift record, the
// orbit count.
void OrbitCompletion(MainWindow& w);
// The quarter changed: the indicator beside the orbit count.
void QuarterIndicator(MainWindow& w);

// Click of OpAnnual(i): last period (0) or average (1).
void OpAnnual_Click(MainWindow& w, int i);

void wireOrbits(MainWindow& w);

// The quarter of the orbit pairBody(1) stands in around pairBody(2), from their drawing
// coordinates; `current` when they are level on either axis.
inline float quarterOf(double x1, double y1, double x2, double y2, bool newYear, float current) {
  if (x1 < x2 && y1 < y2) return newYear ? 4 : 1;
  if (x1 < x2 && y1 > y2) return newYear ? 1 : 2;
  if (x1 > x2 && y1 > y2) return newYear ? 2 : 3;
  if (x1 > x2 && y1 < y2) return newYear ? 3 : 4;
  return current;
}

}  // namespace orbits
