#include "budget/budget_run.h"

#include <cmath>
#include <numbers>

#include "analysis/osculating.h"
#include "analysis/perihelia.h"
#include "engine/run_control.h"
#include "panel/control_settings.h"
#include "panel/wired_window.h"
#include "physics/constants.h"
#include "text/date.h"
#include "window/main_window.h"

namespace orbits::budget {

namespace {

// The relativistic advance of the pair's starting orbit in arc-seconds per Julian century, from
// the state the preset loaded (velocities per base step, before Go scales them).
double relativityTheory(const SimState& s) {
  const int c = s.pairBody[1], p = s.pairBody[2];
  const double mu = s.gravConstant * (s.bodyMass[c] + s.bodyMass[p]);
  const OsculatingOrbit o =
      osculatingOrbit({s.posX[p] - s.posX[c], s.posY[p] - s.posY[c], s.posZ[p] - s.posZ[c]},
                      {s.velX[p] - s.velX[c], s.velY[p] - s.velY[c], s.velZ[p] - s.velZ[c]}, mu);
  const double a = o.semiMajorAxis, e = o.eccentricity;
  if (!(a > 0 && e < 1 && s.timeFactor > 0)) return NAN;
  const double baseStep = s.stepSeconds / s.timeFactor;  // seconds
  const double gm = s.gravConstant * s.bodyMass[0], light = s.lightSpeed * baseStep;
  const double perOrbit = 6 * std::numbers::pi * gm * gm / (light * light * mu * a * (1 - e * e));
  const double periodSeconds = 2 * std::numbers::pi * std::sqrt(a * a * a / mu) * baseStep;
  return perOrbit * kArcsecPerRadian * (kDaysPerJulianCentury * kSecondsPerDay / periodSeconds);
}

}  // namespace

void BudgetHost::begin(MainWindow& w, double cycles) {
  w_ = &w;
  script_.begin(w, RunLimit{RunLimit::By::Cycles, cycles}, {});
  counted_ = 0;
}

void BudgetHost::flush() {
  if (control_) control_->addCycles(double(script_.cycles() - counted_));
  counted_ = script_.cycles();
}

void BudgetHost::yield() {
  if (!w_) return;  // no run begun
  script_.cycle();
  if (!control_ || script_.cycles() - counted_ < kCyclesPerCheck) return;
  flush();
  if (!control_->proceed() && w_ && w_->sim.runState == RunState::Bat) w_->c("CDstop").press();
}

void BudgetHost::messageBox(const std::string& text, const std::string&, MessageIcon) {
  messages_.push_back(text);
}

void pressPreset(MainWindow& w, int n, const std::function<void()>& go) {
  Control& goButton = w.c("Command2");
  const Handler own = goButton.onClick;
  goButton.onClick = [&go](int) { go(); };
  w.c("CDp", n).press();
  goButton.onClick = own;
}

std::string prepareWindow(MainWindow& w, const std::vector<std::string>& settings,
                          bool relativity) {
  // Nothing of a budget's run is kept but its rate: no saves, no orbit file, no trails drawn.
  w.c("ChorbSave").setValue(0);
  w.c("ChThor").setValue(0);
  w.c("CHquick").setValue(0);
  for (const std::string& arg : settings) {
    Setting s;
    std::string error;
    if (!resolveSetting(w.panel, arg, s, error)) return error;
    if (!applySetting(s)) return s.control->ref() + ": the control is disabled and takes no change";
  }
  w.c("ChRelativity").setValue(relativity ? 1 : 0);
  return {};
}

Scenario scenarioOf(MainWindow& w, int preset) {
  const SimState& s = w.sim;
  Scenario sc;
  sc.preset = preset;
  sc.planet = s.pairBody[2];
  sc.planetName = s.bodyName[size_t(sc.planet)];
  sc.epoch = w.scenario.epochCode;
  sc.startDate = text::dateText(w.scenario.startDate);
  sc.stepSeconds = s.stepSeconds;
  for (int k = 0; k < kBodies; ++k) {
    sc.inPlay[size_t(k)] = k <= s.lastBody && s.bodyOff[size_t(k)] == 0;
    sc.names[size_t(k)] = s.bodyName[size_t(k)];
  }
  sc.relativityTheory = relativityTheory(s);
  return sc;
}

RunResult runCause(const BudgetRequest& request, const CauseRun& run, const std::string& dir,
                   BudgetControl& control, double cycles) {
  RunResult result;
  BudgetHost host(dir, &control);
  WiredWindow w(host);
  if (std::string error = prepareWindow(w, request.settings, run.relativity); !error.empty()) {
    result.failure = error;
    return result;
  }
  pressPreset(w, request.preset, [&] {
    // The causes left out leave the run before its first cycle; minimal detail, no lines.
    for (int k = 1; k < kBodies; ++k)
      if (!run.inPlay[size_t(k)]) w.sim.bodyOff[size_t(k)] = 1;
    w.c("OptimT", 5).setValue(1);
    w.c("ChDraw").setValue(0);
    host.begin(w, cycles);
    Command2_Click(w);
  });
  host.flush();

  const PrecessionFit& fit = w.lab.varpiFit;
  result.perihelia = long(fit.n);
  if (control.cancelled() && !host.limitReached()) {
    result.failure = "cancelled";
  } else if (!host.limitReached()) {
    result.failure = "the run ended early: " +
                     (host.messages().empty() ? w.c("LaChirp", 1).text() : host.messages().back());
  } else if (!fit.ready()) {
    result.failure = "fewer than three perihelia in the span";
  } else {
    result.rate = fit.slope();
    result.stderr = fit.slopeError();
  }
  return result;
}

}  // namespace orbits::budget
