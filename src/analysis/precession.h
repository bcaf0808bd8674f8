#pragma once
// Perihelion and aphelion markers and the precession of the perihelion: the angle of each
// orbit's closest approach, its shift from orbit to orbit and its average in arc-seconds per
// Earth year, the marker read-outs, and the perihelion lines drawn through the central body.
#include <string>

namespace orbits {

class MainWindow;
struct SimState;

// Arc cosine as 1.5707963267949 - arctan(x / sqrt(1 - x^2)), exact ends at x = -1 and 1.
double ArcCos(double x);

// The angle 0..2pi of the direction (dx, dy) of the first pair body from the second, seen in
// the x-y plane.
double perihelionAngle(const SimState& s, double dx, double dy);

// An angle difference brought into -pi..pi.
double wrapAngle(const SimState& s, double d);

// The marker recording of orbit n inside Drifter; marker lines are appended to `out`.
void RecordMarkers(MainWindow& w, double n, std::string& out);

// Refreshes the marker read-outs and, from orbit 2 on, the resolution and the precession
// figures up to orbit n.
void TheAngle(MainWindow& w, double n);

void TXmarker_Change(MainWindow& w);
void HStheta_Change(MainWindow& w);
void ChEach_Click(MainWindow& w);
void ChAvg_Click(MainWindow& w);
void CDdot_Click(MainWindow& w);

// The message shown when the marker limit is reached.
extern const char* const kAngleLimitText;

void wirePrecession(MainWindow& w);

}  // namespace orbits
