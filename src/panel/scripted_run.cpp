#include "panel/scripted_run.h"

#include "scenarios/body_editor.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

void ScriptedRun::begin(MainWindow& w, RunLimit limit, std::vector<Setting> then,
                        std::function<void(const Setting&)> refused, bool pauseAtStart) {
  w_ = &w;
  orbitCount_ = &w.sim.orbitCount;
  runState_ = &w.sim.runState;
  limit_ = limit;
  then_ = std::move(then);
  refused_ = std::move(refused);
  cycles_ = 0;
  orbitsAtStart_ = w.sim.orbitCount;
  stopped_ = false;
  pauseAtStart_ = pauseAtStart;
  pausedAtStart_ = false;
}

void ScriptedRun::firstCycle() {
  const std::vector<Setting> due = std::move(then_);
  then_.clear();
  for (const Setting& s : due)
    if (!applySetting(s) && refused_) refused_(s);
  if (pauseAtStart_ && *runState_ == RunState::Bat) {
    // A limit reached here as well leaves the run stopped once it is edited.
    pausedAtStart_ = true;
    stopped_ = limitHit();
    w_->c("CDstop").press();
  }
}

void ScriptedRun::stop() {
  stopped_ = true;
  w_->c("CDstop").press();
}

std::string EditBodyMass(MainWindow& w, int body, const std::string& mass) {
  const std::string of = "body " + std::to_string(body);
  Control& pick = w.c("Qui");
  Control& field = w.c("TXTp", 4);
  if (w.sim.runState == RunState::Bat || !field.visible()) return "the run is not paused";
  if (body < pick.min() || body > pick.max())
    return of + " is not in this run (the body editor offers bodies " + std::to_string(pick.min()) +
           " to " + std::to_string(pick.max()) + ")";
  pick.setValue(body);
  if (editedBody(w) != body) return "the body editor did not choose " + of;
  // A text left as the box showed it keeps the mass exactly as it was.
  const double before = w.sim.bodyMass[body];
  const std::optional<double> wanted =
      mass == text::plain(before) ? std::optional(before) : acceptedMass(mass);
  const std::string x = w.c("TXTp", 0).text(), y = w.c("TXTp", 1).text();
  field.typeText(mass);
  field.lostFocus();
  if (wanted && w.sim.bodyMass[body] == *wanted) return {};
  if (w.c("TXTp", 0).text() != x || w.c("TXTp", 1).text() != y)
    return of +
           " lies outside the drawing: leaving the box, the body editor first moves its position "
           "field back inside and takes no mass; choose a distance scale that shows the body "
           "(--then 'OpDist(N)=1')";
  return "the body editor refused the mass " + mass + " of " + of;
}

}  // namespace orbits
