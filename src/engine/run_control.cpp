#include "engine/run_control.h"

#include <algorithm>

#include "analysis/calendar.h"
#include "analysis/drift.h"
#include "display/clearing.h"
#include "engine/run_loop.h"
#include "persist/save_reload.h"
#include "scenarios/body_editor.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

void enablePresets(MainWindow& w, int from, bool enabled) {
  const int last = int(text::intFloor(w.sim.lastPresetIndex));
  for (Control* p : w.panel.members("CDp"))
    if (p->index() >= from && p->index() <= last) p->setEnabled(enabled);
}

void showEditorFields(MainWindow& w, bool visible) {
  for (int i = 0; i < kBodyEditorFields; ++i) {
    w.c("TXTp", i).setVisible(visible);
    w.c("Label6", i).setVisible(visible);
  }
}

}  // namespace

void Command2_Click(MainWindow& w) {
  SimState& s = w.sim;
  // Scenario velocities are given for a time factor of 1.
  for (int k = 0; k <= s.lastBody; ++k) {
    s.velX[k] *= s.timeFactor;
    s.velY[k] *= s.timeFactor;
    s.velZ[k] *= s.timeFactor;
  }
  w.c("Command4").setVisible(true);
  w.c("Command2").setVisible(false);
  if (w.c("OpCl", 2).selected()) {
    // The same interval rule as choosing the option: held to what the box can show, and no
    // timed clearing at all for a period of 0 or less.
    Control& timer = w.c("Tiball");
    const int interval = clearingInterval(w);
    timer.setInterval(interval);
    timer.setEnabled(interval > 0);
  }
  enablePresets(w, 0, false);
  w.c("CDstop").setVisible(true);
  for (int k = 0; k <= std::min(int(s.lastBody), kBodyTableRows - 1); ++k) {
    Control& mass = w.c("TXmass", k);
    mass.setText(text::patterned(s.bodyMass[k], "0.00000000000000"));
    mass.setTooltip(text::signedText(1e30 * (s.solarMass * s.bodyMass[k])) + " kg");
  }
  RunLoop(w);
}

void CDstop_Click(MainWindow& w) {
  SimState& s = w.sim;
  s.runState = RunState::Stop;
  enablePresets(w, 0, true);
  PawsOn(w);
  Crystal(w);
  w.c("CDstop").setVisible(false);
  w.c("CDcont").setVisible(true);
  s.detailMode = DetailMode::Ok;
  UpTimes(w);
  Monkey(w);
  Control& apart = w.c("TXapart");
  ShowPairDistance(w, apart);
  apart.setVisible(true);
}

void CDcont_Click(MainWindow& w) {
  w.c("TXapart").setVisible(w.c("OptimT", 4).selected());
  PawsOff(w);
  w.c("CDcont").setVisible(false);
  w.c("CDstop").setVisible(true);
  w.sim.runState = RunState::Bat;
  enablePresets(w, 1, false);  // CDp(0) is never shown and stays as it is
  w.c("Command4").setVisible(true);
  w.c("CDcont").setBackColor(w.c("Command3").backColor());
  w.c("LaChirp", 1).setText("Scenario information may appear here.");
  RunLoop(w);
}

void PawsOn(MainWindow& w) {
  w.c("TXiterations").setText(text::plain(w.sim.cycleCount));
  showEditorFields(w, true);
  w.c("TXTOden").setVisible(true);
  w.c("La", 0).setVisible(true);
  Control& pick = w.c("Qui");
  pick.setMax(int(std::clamp<int64_t>(text::toWhole(text::val(w.c("TXn").text())), -32768, 32767)));
  pick.setValue(0);
  Ocean(w,
        int(std::clamp<int64_t>(text::toWhole(text::val(w.c("TXTOden").text())), -1, kMaxBodies)));
  w.c("TiF").setEnabled(true);
  Asgard(w);
  pick.setVisible(true);
  w.c("Frame2").setVisible(true);
  w.c("Opadd", 0).setValue(1);
  w.c("Hsp", 0).setMax(w.width());
  w.c("Hsp", 1).setMax(w.height());
  w.c("Chon").setVisible(true);
  w.c("LabTab").setVisible(true);
}

void PawsOff(MainWindow& w) {
  w.c("LabTab").setVisible(false);
  w.c("Chon").setVisible(false);
  w.c("La", 0).setVisible(false);
  showEditorFields(w, false);
  w.c("TXTOden").setVisible(false);
  w.c("Shark").setVisible(false);
  w.c("TiF").setEnabled(false);
  w.c("Qui").setVisible(false);
  w.c("Frame2").setVisible(false);
  for (int i = 0; i < 2; ++i) {
    w.c("Hsp", i).setVisible(false);
    w.c("Opadd", i).setValue(0);
  }
}

void wireRunControl(MainWindow& w) {
  w.panel.onClick("Command2", [&w](int) { Command2_Click(w); });
  w.panel.onClick("CDstop", [&w](int) { CDstop_Click(w); });
  w.panel.onClick("CDcont", [&w](int) { CDcont_Click(w); });
}

}  // namespace orbits
