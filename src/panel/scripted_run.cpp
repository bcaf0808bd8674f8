#include "panel/scripted_run.h"

#include "window/main_window.h"

namespace orbits {

void ScriptedRun::begin(MainWindow& w, RunLimit limit, std::vector<Setting> then,
                        std::function<void(const Setting&)> refused) {
  w_ = &w;
  orbitCount_ = &w.sim.orbitCount;
  runState_ = &w.sim.runState;
  limit_ = limit;
  then_ = std::move(then);
  refused_ = std::move(refused);
  cycles_ = 0;
  orbitsAtStart_ = w.sim.orbitCount;
  stopped_ = false;
}

void ScriptedRun::applyThen() {
  const std::vector<Setting> due = std::move(then_);
  then_.clear();
  for (const Setting& s : due)
    if (!applySetting(s) && refused_) refused_(s);
}

void ScriptedRun::stop() {
  stopped_ = true;
  w_->c("CDstop").press();
}

}  // namespace orbits
