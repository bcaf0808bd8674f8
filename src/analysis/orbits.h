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

}  // namespace orbits
