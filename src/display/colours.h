#pragma once
// Body colours, their shades, and the colouring of the body table.
#include "form/color.h"
#include "physics/sim_state.h"

namespace orbits {

class MainWindow;

// Body i's colour with every component multiplied by f and rounded to the nearest whole
// number, halves to even.
Color scaledColour(const SimState& s, int i, double f);

inline Color bodyColour(const SimState& s, int i) { return scaledColour(s, i, 1.0); }
inline Color halfColour(const SimState& s, int i) { return scaledColour(s, i, 0.5); }
inline Color quarterColour(const SimState& s, int i) { return scaledColour(s, i, 0.25); }
inline Color eighthColour(const SimState& s, int i) { return scaledColour(s, i, 0.125); }
// The dark trail of alternate orbits.
inline Color alternateColour(const SimState& s, int i) { return scaledColour(s, i, s.altShade); }

// The colour of body i's trail dot while orbitCount is the watched pair's orbit count: the
// central body always full, others dark on even counts when alternating is ticked.
Color dotColour(const SimState& s, int i, bool alternate);

// Colours the body table rows 0..8 with the body colours and names.
void ColPlan(MainWindow& w);

}  // namespace orbits
