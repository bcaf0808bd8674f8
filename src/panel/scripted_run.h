#pragma once
// A run driven from the command line rather than by a user: changes made at its first cycle,
// and a limit at which it stops as the user's Stop stops it (the loop finishes that cycle, its
// save included). The runner's host and the window's measuring host call `cycle` at every
// yield of the run loop, so both programs act and stop at the same cycle.
#include <functional>
#include <vector>

#include "engine/sim_state.h"
#include "panel/control_settings.h"

namespace orbits {

class MainWindow;

// Where a scripted run stops: when the orbit count reaches a number, or after a number of
// cycles of this run. A count of 0 sets no limit.
struct RunLimit {
  enum class By { Orbits, Cycles } by = By::Cycles;
  double count = 0;
};

class ScriptedRun {
 public:
  // Starts counting the cycles of a run of `w`; `then` is applied at its first cycle.
  // `refused` hears of a setting the control takes no change for at that moment.
  void begin(MainWindow& w, RunLimit limit, std::vector<Setting> then,
             std::function<void(const Setting&)> refused = {});
  // Drops the settings not yet applied.
  void end() { then_.clear(); }

  // One cycle of the run (one yield of its loop).
  void cycle() {
    if (++cycles_ == 1 && !then_.empty()) applyThen();
    if (!stopped_ && limitHit() && *runState_ == RunState::Bat) stop();
  }

  long cycles() const { return cycles_; }
  // The run was stopped here because it reached its limit.
  bool limitReached() const { return stopped_; }
  const RunLimit& limit() const { return limit_; }
  double orbitsAtStart() const { return orbitsAtStart_; }

 private:
  bool limitHit() const {
    if (limit_.count <= 0) return false;
    return limit_.by == RunLimit::By::Cycles ? double(cycles_) >= limit_.count
                                             : *orbitCount_ >= limit_.count;
  }
  void applyThen();
  void stop();

  MainWindow* w_ = nullptr;
  const double* orbitCount_ = nullptr;
  const RunState* runState_ = nullptr;
  RunLimit limit_;
  std::vector<Setting> then_;
  std::function<void(const Setting&)> refused_;
  long cycles_ = 0;
  double orbitsAtStart_ = 0;
  bool stopped_ = false;
};

}  // namespace orbits
