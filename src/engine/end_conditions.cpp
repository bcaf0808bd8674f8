#include "engine/end_conditions.h"

#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

constexpr const char* kFastestRateText =
    "Computation at fastest rate, so graphic data such as orbit line supressed. Info will "
    "accumulate in 'data-drift.txt' file and 'orb.txt' file.";

// The report's own margins, on the drawing position (screenX - 500, screenY + 500).
bool offScreen(double x, double y) {
  return x - 500 < 2880 || x - 500 > 12600 || y + 500 < 500 || y + 500 > 9240;
}

}  // namespace

void ApplyEndMessage(MainWindow& w) {
  SimState& s = w.sim;
  if (s.endCode == EndCode::BeyondRange) {
    w.c("LaChirp", 1).setText("Bodies have departed the simulator range. Scenario Ends.");
    s.runState = RunState::Ended67;
  } else if (s.endCode == EndCode::ErrorLimit) {
    w.c("LaChirp", 1)
        .setText("Bodies have generated an error margin higher than limit.\rScenario Ends.");
    s.runState = RunState::Ended67;
  }
}

void TimTalk_Timer(MainWindow& w) {
  SimState& s = w.sim;
  Control& chirp1 = w.c("LaChirp", 1);
  Control& chirp2 = w.c("LaChirp", 2);
  if (s.orbitCount >= 10000) {
    chirp1.setText("10 000 orbit limit for angles. Distances still ok.");
    w.c("LaChirp", 0).setText("Perihelion Precession only valid for 10 000 orbits.");
  } else if (!w.c("CHquick").checked()) {
    chirp1.setText(kFastestRateText);
    chirp2.setText("");
    return;
  } else if (chirp1.text() == kFastestRateText) {
    chirp1.setText("Orbit lines reactivated.");
  }

  if (s.runState != RunState::Bat || s.endCode != EndCode::None || w.c("Chend").checked()) return;
  s.offScreenText.clear();
  chirp2.setText("");
  for (int i = s.lastBody; i >= 0; --i) {
    if (s.bodyOff[i] != 0) continue;
    if (offScreen(s.screenX[i], s.screenY[i])) s.offScreenText += s.bodyName[i] + " off-screen.  ";
  }
  chirp2.setText(s.offScreenText);
}

void TXproximity_LostFocus(MainWindow& w) {
  Control& box = w.c("TXproximity");
  if (text::val(box.text()) < kProximityMinKm) box.setText("100000");
  if (text::val(box.text()) > kProximityMaxKm) box.setText("10000000");
  w.sim.proximityKm = text::val(box.text());
}

void wireEndConditions(MainWindow& w) {
  w.panel.onTick("TimTalk", [&w](int) { TimTalk_Timer(w); });
  w.panel.onLostFocus("TXproximity", [&w](int) { TXproximity_LostFocus(w); });
}

}  // namespace orbits
