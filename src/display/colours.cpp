#include "display/colours.h"

#include <cmath>
#include <string>

#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

int component(double v) {
  double r = text::roundHalfEven(v);
  if (!(r >= 0)) return 0;  // also NaN
  return r > 255 ? 255 : int(r);
}

}  // namespace

Color scaledColour(const SimState& s, int i, double f) {
  return rgb(component(double(s.bodyRed[i]) * f), component(double(s.bodyGreen[i]) * f),
             component(double(s.bodyBlue[i]) * f));
}

Color dotColour(const SimState& s, int i, bool alternate) {
  if (i != 0 && alternate && std::fmod(s.orbitCount, 2.0) == 0) return alternateColour(s, i);
  return bodyColour(s, i);
}

void ColPlan(MainWindow& w) {
  const SimState& s = w.sim;
  for (int i = 0; i < kBodyTableRows; ++i) {
    const Color full = bodyColour(s, i), half = halfColour(s, i), eighth = eighthColour(s, i);
    const std::string number = std::to_string(i);
    Control& speed = w.c("TXvolight", i);
    speed.setForeColor(full);
    speed.setBackColor(eighth);
    Control& speedLabel = w.c("LabWH", i);
    speedLabel.setForeColor(half);
    speedLabel.setText(number);
    Control& mass = w.c("TXmass", i);
    mass.setForeColor(full);
    mass.setBackColor(eighth);
    Control& massLabel = w.c("LabMA", i);
    massLabel.setForeColor(half);
    massLabel.setText(number);
    speedLabel.setTooltip(s.bodyName[i]);
    massLabel.setTooltip(s.bodyName[i]);
  }
}

}  // namespace orbits
