#include "persist/save_reload.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
#include "physics/constants.h"
#include "scenarios/gravity_settings.h"
#include "scenarios/presets.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

using persist::FormatError;

namespace {

// What a reload reads: the saved run, and the perihelion records of its orbits.
struct Reload {
  SavedRun run;
  std::vector<PerihelionRecord> records;
  int laterRecords = 0;  // records of orbits after the save, left out
};

// The calendar origin is that of the saved preset's epoch: the time of day of the start is
// not in the 32 lines, and every date adds it.
void restoreOrigin(ScenarioState& sc) {
  sc.epochCode = presetEpoch(int(text::toWhole(sc.presetIndex)));
  sc.beginTimeDays = beginTimeDaysOf(sc.epochCode);
  sc.beginTimeYears = sc.beginTimeDays / kDaysPerTropicalYear;
}

// Why the values read would make the running state non-finite, or empty when they would not.
// Every figure of a run lies in figureInRange (the inputs refuse the rest); one outside it (or
// one so small that dividing by it overflows) would turn into an infinity at the first step.
// What a run accepted is accepted here: a save the program wrote always reloads.
std::string unsoundValue(const Reload& R) {
  constexpr double kAngleLimit = 100;
  auto tame = [](double v) { return figureInRange(v); };
  auto refuse = [](const std::string& what, double v) {
    return std::string(kSaveFileName) + ": " + what + " " + text::plain(v) +
           " would overflow the calculation";
  };
  const SavedRun& r = R.run;
  const std::pair<const char*, double> figures[] = {
      {"the time factor", r.timeFactor},
      {"the average period", r.avgOrbitYears},
      {"the sum of periods in years", r.sumOrbitYears},
      {"the sum of periods in days", r.sumOrbitDays},
      {"the years at the last orbit", r.yearsAtLastOrbit},
      {"the days at the last orbit", r.daysAtLastOrbit},
      {"the cycles at the last orbit", r.cyclesAtLastOrbit},
      {"the elapsed seconds", r.elapsedSecs},
      {"the elapsed second fraction", r.elapsedSecFrac},
      {"the start year", r.startYear},
      {"the cycle count", r.cycleCount},
      {"the calculations since orbit 1", r.calcsSinceOrbit1},
      {"the gravitational constant", r.gravConstant},
      {"the gravity text", r.gravityText},
      {"the proximity distance", r.proximityKm},
      {"the largest distance", r.totalMaxDist},
      {"the smallest distance", r.totalMinDist},
      {"the sum of orbit maxima", r.sumOrbitMaxDist},
      {"the sum of orbit minima", r.sumOrbitMinDist},
      {"the orbit minimum", r.orbitMinDist},
      {"the orbit maximum", r.orbitMaxDist},
      {"the previous orbit minimum", r.prevOrbitMinDist},
      {"the previous orbit maximum", r.prevOrbitMaxDist},
  };
  for (const auto& [what, v] : figures)
    if (!tame(v)) return refuse(what, v);
  if (!(r.timeFactor > 0)) return refuse("the time factor", r.timeFactor);
  // The velocities are divided by the time factor and multiplied by that of the saved rate:
  // with the two the same, every finite velocity (the reader takes no other) comes back as it
  // was, however large, as the run had it.
  const int rate = int(text::toWhole(r.timeRateIndex));
  if (r.timeFactor != timeFactorOf(rate))
    return std::string(kSaveFileName) + ": the time factor " + text::plain(r.timeFactor) +
           " is not that of time rate " + std::to_string(rate);
  for (size_t k = 0; k < size_t(kMaxBodies); ++k) {
    const std::string body = " of body " + std::to_string(k);
    for (double v : {r.posX[k], r.posY[k], r.posZ[k]})
      if (!positionInRange(v)) return refuse("a position" + body, v);
    if (!tame(r.bodyMass[k])) return refuse("the mass" + body, r.bodyMass[k]);
  }
  auto marker = [&](size_t slot, double theta, std::initializer_list<double> positions) {
    const std::string of = " of perihelion marker " + std::to_string(slot);
    if (!(std::abs(theta) <= kAngleLimit)) return refuse("the angle" + of, theta);
    for (double v : positions)
      if (!positionInRange(v)) return refuse("a position" + of, v);
    return std::string();
  };
  for (const PerihelionRecord& m : R.records)
    if (std::string why = marker(size_t(m.slot), m.theta, {m.pair1X, m.pair1Y, m.pair2X, m.pair2Y});
        !why.empty())
      return why;
  return marker(size_t(kLatestMarker), r.latestTheta, {});
}

// The state read from the files; the rest of the state, the run flags and the run loop's own
// state stay the window's.
void restoreState(MainWindow& w, const Reload& R) {
  const SavedRun& r = R.run;
  SimState& s = w.sim;
  ScenarioState& sc = w.scenario;
  Clock& c = w.clock;
  Markers& m = w.markers;
  restorePlainFields(r, w);
  restoreOrigin(sc);
  sc.startDate = *text::parseDateText(r.startText);
  for (size_t k = 0; k < size_t(kMaxBodies); ++k) {
    s.velX[k] = r.velX[k] / r.timeFactor;
    s.velY[k] = r.velY[k] / r.timeFactor;
    s.velZ[k] = r.velZ[k] / r.timeFactor;
  }
  // The current date is kept in the file only as the text it shows.
  if (auto current = text::parseDateText(r.currentText)) c.currentDate = *current;
  if (r.datedOrbit()) {
    const size_t slot = size_t(r.orbitCount - 1);
    c.orbitMinDates[slot] = r.orbitMinDate.value_or(text::Date{});
    c.orbitMaxDates[slot] = r.orbitMaxDate.value_or(text::Date{});
  }
  for (const PerihelionRecord& e : R.records) {
    const size_t i = size_t(e.slot);
    m.markerPair2X[i] = e.pair2X, m.markerPair2Y[i] = e.pair2Y;
    m.markerPair1Y[i] = e.pair1Y, m.markerPair1X[i] = e.pair1X;
    m.markerTheta[i] = e.theta, m.markerOrbit[i] = e.orbit, m.markerBody[i] = e.body;
  }
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

void applyReload(MainWindow& w, const Reload& R) {
  restoreState(w, R);
  const SavedRun& L = R.run;
  SimState& s = w.sim;
  const double savedGravConstant = s.gravConstant;

  // 1. The new year's date and time.
  Control& newYear = w.c("TXnewyear");
  newYear.setText(text::dateText(w.clock.newYearDate));
  newYear.setTooltip(w.clock.newYearTimeText);
  // 2. Scale expansion, side views, alternate colour and each-orbit option.
  w.c("Chend").setValue(L.chEnd);
  w.c("ChZX").setValue(L.chZX);
  w.c("ChZAxis").setValue(L.chZAxis);
  w.c("Chalt").setValue(L.chAlt);
  w.c("ChEach").setValue(L.chEach);
  // 3. The marker counts and their read-outs.
  w.c("TXperihelis").setText(text::plain(double(L.periMarkerCount) - 1));
  w.markers.periMarkerCount = L.periMarkerCount;
  w.c("TXaphMove").setText(text::plain(double(L.aphMarkerCount) - 1));
  w.markers.aphMarkerCount = L.aphMarkerCount;
  w.c("TXpersephone").setText(text::plain(double(w.markers.periMoveCount) - 1));
  // 4. The start and current dates.
  Control& start = w.c("TXstartdate");
  start.setText(L.startText);
  start.setTooltip(L.startTip);
  Control& current = w.c("TXcurrent");
  current.setText(L.currentText);
  current.setTooltip(L.currentTip);
  // 5. The gravitational constant's text.
  setGravityText(w, text::plain(L.gravityText));
  // 6. The watched pair.
  w.c("HSalpha").setValue(s.pairBody[1]);
  w.c("HSbeta").setValue(s.pairBody[2]);
  // 7. Precession, marker, drawing and relativity options, and the force law's exponent.
  w.c("ChAvg").setValue(L.chAvg);
  w.c("ChSnap").setValue(L.chSnap);
  w.c("CHquick").setValue(0);
  w.c("CHquick").setValue(L.chQuick);
  w.c("ChAPE").setValue(L.chAPE);
  w.c("ChDraw").setValue(L.chDraw);
  w.c("ChRelativity").setValue(L.relativity);
  w.sim.relativity = L.relativity == 1;
  // The exponent as the shortest text of the saved number, which the run reads back as it was.
  w.c("TXgexp").setText(text::shortest(L.gravExponent));
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
      s.velX[k] = L.velX[k], s.velY[k] = L.velY[k], s.velZ[k] = L.velZ[k];
  // Selecting the saved rate again is no change of rate for the drift file to log.
  s.timeRateLog.clear();
  w.c("OptimT", s.turboMode).setValue(1);
  // 9. The orbit and cycle counts.
  w.c("TXlaps").setText(text::plain(s.orbitCount));
  w.c("TXiterations").setText(text::plain(s.cycleCount));
  // 10. The chosen marker.
  w.c("HStheta").setValue(L.markerNo);
  // 11. The constant in force when the run was saved stays in force.
  w.c("opGee", s.gravityOption).setValue(1);
  setGravityText(w, text::plain(L.gravityText));
  s.gravConstant = savedGravConstant;
  // 12. The previous orbit's extremes, which selecting the pair reset.
  w.pair.prevOrbitMaxDist = L.prevOrbitMaxDist;
  w.pair.prevOrbitMinDist = L.prevOrbitMinDist;

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
  for (int k = 0; k <= std::min(int(s.lastBody), kBodyTableRows - 1); ++k) {
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
  if (R.laterRecords > 0)
    w.c("LaChirp", 2)
        .setText(std::to_string(R.laterRecords) +
                 " perihelion records of orbits after the save were left out.");
  ResetDataFiles(w);
  // The run goes on adding to the records it was reloaded with.
  w.scenario.recordsStarted = true;
  reloadLabRecords(w);
}

}  // namespace

ReloadResult CDcon_Click(MainWindow& w) {
  settleSaves(w);
  w.c("ImMoon").setVisible(false);
  ReloadResult result;
  Reload R;
  try {
    R.run = readSave(readBounded(dataFilePath(w, kSaveFileName), kSaveFileName, kMaxSaveBytes));
  } catch (const FormatError& e) {
    result = {"error", e.what()};
  }
  // The records are read also when the save could not be: a failure of both ends as one of
  // the records ("errorer"), and the message names both.
  try {
    R.records = readRecordsOfTheSave(w, R.run, R.laterRecords);
  } catch (const FormatError& e) {
    result.problem += (result.problem.empty() ? "" : "; ") + std::string(e.what());
    result.loadStatus = "errorer";
  }
  if (result.loadStatus.empty())
    if (std::string why = unsoundValue(R); !why.empty()) result = {"error", why};
  if (!result.loadStatus.empty()) {
    // Nothing was restored; the button goes, as after any attempt.
    w.c("CDcon").setVisible(false);
    w.host.messageBox(std::string(kNoReloadText) + ": " + result.problem + ".", MainWindow::kTitle);
    return result;
  }
  applyReload(w, R);
  return result;
}

void wirePersist(MainWindow& w) {
  w.panel.onClick("CDcon", [&w](int) { CDcon_Click(w); });
}

}  // namespace orbits
