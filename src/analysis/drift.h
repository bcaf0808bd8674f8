#pragma once
// Pair distance and drift: the per-cycle minimum and maximum records of the watched pair, the
// scenario extremes shown by Monkey, the zero blanking of the file's number texts, and Drifter,
// the per-orbit record in "data-drift.txt".
#include <string>

namespace orbits {

class MainWindow;

// Per orbit completion, after Quartz and before orbitCount is increased.
void Drifter(MainWindow& w);

}  // namespace orbits
