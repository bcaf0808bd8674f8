#include "persist/save_reload.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "analysis/calendar.h"
#include "analysis/data_file.h"
#include "analysis/lab_file.h"
#include "analysis/precession.h"
#include "display/colours.h"
#include "display/projection.h"
#include "engine/run_control.h"
#include "engine/time_rate.h"
#include "persist/save_files.h"
#include "persist/save_format.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

using persist::FormatError;

namespace {

constexpr int kMassRows = 9;

// Why the values read would make the running state non-finite, or empty when they would not.
// Every figure of a run is far from the ends of the range of doubles; one near them (or one so
// small that dividing by it overflows) would turn into an infinity at the first step.
std::string unsoundValue(const Loaded& L) {
  constexpr double kLargest = 1e300, kSmallest = 1e-300, kAngleLimit = 100;
  auto tame = [&](double v) {
    return std::abs(v) <= kLargest && (v == 0 || std::abs(v) >= kSmallest);
  };
  auto refuse = [](const std::string& what, double v) {
    return std::string(kSaveFileName) + ": " + what + " " + text::plain(v) +
           " would overflow the calculation";
  };
  const SimState& s = L.sim;
  const PairStats& p = L.pair;
  const std::pair<const char*, double> figures[] = {
      {"the time factor", s.timeFactor},
      {"the average period", L.periods.avgOrbitYears},
      {"the sum of periods in years", L.periods.sumOrbitYears},
      {"the sum of periods in days", L.periods.sumOrbitDays},
      {"the years at the last orbit", L.periods.yearsAtLastOrbit},
      {"the days at the last orbit", L.periods.daysAtLastOrbit},
      {"the cycles at the last orbit", L.periods.cyclesAtLastOrbit},
      {"the elapsed seconds", L.clock.elapsedSecs},
      {"the elapsed second fraction", L.clock.elapsedSecFrac},
      {"the start year", L.scenario.startYear},
      {"the cycle count", s.cycleCount},
      {"the calculations since orbit 1", s.calcsSinceOrbit1},
      {"the gravitational constant", s.gravConstant},
      {"the gravity text", L.gravityText},
      {"the proximity distance", s.proximityKm},
      {"the largest distance", p.totalMaxDist},
      {"the smallest distance", p.totalMinDist},
      {"the sum of orbit maxima", p.sumOrbitMaxDist},
      {"the sum of orbit minima", p.sumOrbitMinDist},
      {"the orbit minimum", p.orbitMinDist},
      {"the orbit maximum", p.orbitMaxDist},
      {"the previous orbit minimum", L.prevMin},
      {"the previous orbit maximum", L.prevMax},
  };
  for (const auto& [what, v] : figures)
    if (!tame(v)) return refuse(what, v);
  if (!(s.timeFactor > 0)) return refuse("the time factor", s.timeFactor);
  for (int k = 0; k < kMaxBodies; ++k) {
    const std::string body = " of body " + std::to_string(k);
    for (double v : {s.posX[k], s.posY[k], s.posZ[k]})
      if (!positionInRange(v)) return refuse("a position" + body, v);
    for (double v : {s.velX[k], s.velY[k], s.velZ[k]})
      if (!tame(v)) return refuse("a velocity" + body, v);
    if (!tame(s.bodyMass[k])) return refuse("the mass" + body, s.bodyMass[k]);
  }
  const Markers& m = L.markers;
  for (size_t k = 0; k < m.markerTheta.size(); ++k) {
    const std::string slot = " of perihelion marker " + std::to_string(k);
    if (!(std::abs(m.markerTheta[k]) <= kAngleLimit))
      return refuse("the angle" + slot, m.markerTheta[k]);
    for (double v : {m.markerPair1X[k], m.markerPair1Y[k], m.markerPair2X[k], m.markerPair2Y[k]})
      if (!positionInRange(v)) return refuse("a position" + slot, v);
  }
  return {};
}

// Selects an option and runs its click handler even when it was selected already, so that what
// the handler derives (the scale, the time factor) is in force.
template <typename Fn>
void choose(Control& option, Fn handler) {
  if (option.selected())
    handler();
  else
    option.setValue(1);
}

void applyReload(MainWindow& w, Loaded& L) {
  // The state read from the files. Run flags and the run loop's own state stay the window's.
  const RunState runState = w.sim.runState;
  w.sim = L.sim;
  w.sim.runState = runState;
  w.scenario = L.scenario;
  w.pair = L.pair;
  w.clock = L.clock;
  w.periods = L.periods;
  w.markers = L.markers;
  SimState& s = w.sim;
  const double savedGravConstant = s.gravConstant;

  // 1.
  Control& newYear = w.c("TXnewyear");
  newYear.setText(text::dateText(w.clock.newYearDate));
  newYear.setTooltip(w.clock.newYearTimeText);
  // 2.
  w.c("Chend").setValue(L.chEnd);
  w.c("ChZX").setValue(L.chZX);
  w.c("ChZAxis").setValue(L.chZAxis);
  w.c("Chalt").setValue(L.chAlt);
  w.c("ChEach").setValue(L.chEach);
  // 3.
  w.c("TXperihelis").setText(text::plain(double(L.periMarkers) - 1));
  w.markers.periMarkerCount = L.periMarkers;
  w.c("TXaphMove").setText(text::plain(double(L.aphMarkers) - 1));
  w.markers.aphMarkerCount = L.aphMarkers;
  w.c("TXpersephone").setText(text::plain(double(w.markers.periMoveCount) - 1));
  // 4.
  Control& start = w.c("TXstartdate");
  start.setText(L.startText);
  start.setTooltip(L.startTip);
  Control& current = w.c("TXcurrent");
  current.setText(L.currentText);
  current.setTooltip(L.currentTip);
  // 5.
  Control& gravity = w.c("TXTgravity");
  gravity.setText(text::plain(L.gravityText));
  // 6.
  w.c("HSalpha").setValue(s.pairBody[1]);
  w.c("HSbeta").setValue(s.pairBody[2]);
  // 7.
  w.c("ChAvg").setValue(L.chAvg);
  w.c("ChSnap").setValue(L.chSnap);
  w.c("CHquick").setValue(0);
  w.c("CHquick").setValue(L.chQuick);
  w.c("ChAPE").setValue(L.chAPE);
  w.c("ChDraw").setValue(L.chDraw);
  w.c("ChRelativity").setValue(L.relativity);
  w.sim.relativity = L.relativity == 1;
  // 8. The velocities were divided by the saved time factor; the rescale of the time-rate
  // option multiplies them by the factor over the previous one, which is that of a window
  // that has not chosen a rate yet, whatever was chosen before the reload.
  w.c("OpAnnual", w.periods.periodOption).setValue(1);
  const int scale = int(text::toWhole(s.distScaleIndex));
  choose(w.c("OpDist", scale), [&] { OpDist_Click(w, scale); });
  const int rate = int(text::toWhole(s.timeRateIndex));
  const double savedTimeFactor = s.timeFactor;
  s.prevTimeFactor = 1.0;
  choose(w.c("Optime", rate), [&] { Optime_Click(w, rate); });
  // The rescale brings back the velocities that were saved, but for the rounding of a division
  // and a multiplication: with the same time factor in force, they are taken as saved, so that
  // the run goes on exactly as it would have.
  if (s.timeFactor == savedTimeFactor)
    for (size_t k = 0; k < size_t(kMaxBodies); ++k)
      s.velX[k] = L.savedVelX[k], s.velY[k] = L.savedVelY[k], s.velZ[k] = L.savedVelZ[k];
  // Selecting the saved rate again is no change of rate for the drift file to log.
  s.timeRateLog.clear();
  w.c("OptimT", s.turboMode).setValue(1);
  // 9.
  w.c("TXlaps").setText(text::plain(s.orbitCount));
  w.c("TXiterations").setText(text::plain(s.cycleCount));
  // 10.
  w.c("HStheta").setValue(L.markerNo);
  // 11. The constant in force when the run was saved stays in force.
  w.c("opGee", s.gravityOption).setValue(1);
  gravity.setText(text::plain(L.gravityText));
  s.gravConstant = savedGravConstant;
  // 12.
  w.pair.prevOrbitMaxDist = L.prevMax;
  w.pair.prevOrbitMinDist = L.prevMin;

  // The window of a reloaded run.
  const Color normal = w.c("Command2").backColor();
  for (Control* p : w.panel.members("CDp"))
    if (p->index() >= 1 && p->index() <= kLastPresetButton) p->setBackColor(normal);
  const Color pale = rgb(255, 255, 127);
  w.c("CDp", int(text::toWhole(w.scenario.presetIndex))).setBackColor(pale);
  Control& cont = w.c("CDcont");
  cont.setBackColor(pale);
  cont.setVisible(true);
  w.c("LaChirp", 0)
      .setText("Reload of Scenario [" + text::signedText(w.scenario.presetIndex) + " ]");
  s.quadrant = s.prevQuadrant = 1;
  ColPlan(w);
  for (int k = 0; k <= std::min(int(s.lastBody), kMassRows - 1); ++k) {
    Control& mass = w.c("TXmass", k);
    mass.setText(text::patterned(s.bodyMass[k], "0.00000000000000"));
    mass.setTooltip(text::signedText(1e30 * s.solarMass * s.bodyMass[k]) + " kg");
  }
  w.c("CDcon").setVisible(false);
  RestoreClock(w);
  s.runState = RunState::Stop;
  PawsOn(w);
  w.c("CDdot").press();
  w.c("LaChirp", 1)
      .setText(
          "Previous scenario data has been loaded. Select 'Continue' for evolution to proceed.");
  if (L.laterRecords > 0)
    w.c("LaChirp", 2)
        .setText(std::to_string(L.laterRecords) +
                 " perihelion records of orbits after the save were left out.");
  ResetDataFiles(w);
  // The run goes on adding to the records it was reloaded with.
  w.scenario.recordsStarted = true;
  reloadLabRecords(w);
}

}  // namespace

ReloadResult CDcon_Click(MainWindow& w) {
  settleSaves(w);
  ReloadResult result;
  auto L = std::make_unique<Loaded>();
  L->sim = w.sim;
  L->scenario = w.scenario;
  L->pair = w.pair;
  L->clock = w.clock;
  L->periods = w.periods;
  L->markers = w.markers;
  L->laterRecords = 0;

  try {
    readSave(readBounded(dataFilePath(w, kSaveFileName), kSaveFileName, kMaxSaveBytes), *L);
  } catch (const FormatError& e) {
    result = {"error", e.what()};
  }
  if (result.loadStatus.empty()) {
    try {
      readRecordsOfTheSave(w, *L);
    } catch (const FormatError& e) {
      result = {"errorer", e.what()};
    }
  }
  if (result.loadStatus.empty())
    if (std::string why = unsoundValue(*L); !why.empty()) result = {"error", why};
  if (!result.loadStatus.empty()) {
    // Nothing was restored, so the button stays for another attempt once the files are put right.
    w.host.messageBox(std::string(kNoReloadText) + ": " + result.problem + ".", MainWindow::kTitle);
    return result;
  }
  w.c("ImMoon").setVisible(false);
  applyReload(w, *L);
  return result;
}

void wirePersist(MainWindow& w) {
  w.panel.onClick("CDcon", [&w](int) { CDcon_Click(w); });
}

}  // namespace orbits
