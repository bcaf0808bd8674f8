#include "scenarios/gravity_settings.h"

#include <string>

#include "form/color.h"
#include "physics/constants.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

// G in units of 1e-11 (SI) by option.
constexpr const char* kOptionText[kGravityOptions] = {nullptr, "6.67408", "6.67348", "6.67312",
                                                      "6.67259"};

// The solar mass (1e30 kg) the options fold into the constant; the scenarios use
// SimState::solarMass instead when they recompute it at their start.

// Whether a G (in 1e-11 SI) gives a constant the run can compute with, save and reload, with
// either solar mass it is folded with.
bool usableGravity(const MainWindow& w, double g) {
  return figureInRange(g) && figureInRange(g * kGravityOptionSolarMass * kGravityToKmPerCalc) &&
         figureInRange(g * w.sim.solarMass * kGravityToKmPerCalc);
}

}  // namespace

void setGravityText(MainWindow& w, const std::string& text) {
  w.c("TXTgravity").setText(text);
  w.scenario.gravityText = text;
}

void TXTgravity_LostFocus(MainWindow& w) {
  Control& g = w.c("TXTgravity");
  const std::string typed = g.text();
  if (const auto v = text::valInRange(typed); v && usableGravity(w, *v)) {
    w.scenario.gravityText = typed;
    return;
  }
  g.setText(w.scenario.gravityText);
  w.host.messageBox("G = " + typed +
                        " is beyond the range the simulator can compute with, save and reload "
                        "(0, or between 1E-300 and 2.2E+297 in units of 1E-11 SI). G stays " +
                        w.scenario.gravityText + ".",
                    MainWindow::kTitle);
}

const char* gravityOptionText(int k) {
  return k >= 0 && k < kGravityOptions ? kOptionText[k] : nullptr;
}

void opGee_Click(MainWindow& w, int k) {
  if (k < 0 || k >= kGravityOptions) return;
  Control& g = w.c("TXTgravity");
  if (const char* t = gravityOptionText(k)) setGravityText(w, t);
  if (k != 0) {
    g.setForeColor(w.c("TXTp", 4).foreColor());
    g.setBackColor(w.c("TXTp", 4).backColor());
  } else {
    // Ready for the user's own value: white, on a dark ground so that it can be read.
    g.setForeColor(kWhite);
    g.setBackColor(rgb(32, 32, 48));
    w.host.focus(g);
  }
  w.sim.gravConstant = text::val(g.text()) * kGravityOptionSolarMass * kGravityToKmPerCalc;
  w.sim.gravityOption = int16_t(k);
}

void ChRelativity_Click(MainWindow& w) { w.sim.relativity = w.c("ChRelativity").checked(); }

void wireGravitySettings(MainWindow& w) {
  w.panel.onClick("ChRelativity", [&w](int) { ChRelativity_Click(w); });
  // Command5 "X" ends the program; the shell wires it with the other ways out.
  w.panel.onClick("opGee", [&w](int k) { opGee_Click(w, k); });
  w.panel.onLostFocus("TXTgravity", [&w](int) { TXTgravity_LostFocus(w); });
}

}  // namespace orbits
