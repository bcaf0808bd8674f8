#pragma once
// A run driven from the command line rather than by a user: changes made at its first cycle,
// a pause there when the caller edits bodies, and a limit at which it stops as the user's Stop
// stops it (the loop finishes that cycle, its save included). The runner's host and the window's
// measuring host call `cycle` at every yield of the run loop, so both programs act and stop at the
// same cycle.
#include <functional>
#include <string>
#include <vector>

#include "panel/control_settings.h"
#include "physics/sim_state.h"

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
  // `refused` hears of a setting the control takes no change for at that moment. With
  // `pauseAtStart` the run is stopped there as Stop stops it, after those settings: the caller
  // edits the paused run and continues it, unless it reached its limit there too.
  void begin(MainWindow& w, RunLimit limit, std::vector<Setting> then,
             std::function<void(const Setting&)> refused = {}, bool pauseAtStart = false);
  // Drops the settings not yet applied.
  void end() { then_.clear(); }

  // One cycle of the run (one yield of its loop).
  void cycle() {
    if (++cycles_ == 1) firstCycle();
    if (!stopped_ && limitHit() && *runState_ == RunState::Bat) stop();
  }

  long cycles() const { return cycles_; }
  // The run was stopped here because it reached its limit.
  bool limitReached() const { return stopped_; }
  // The run was paused at its first cycle, as begin was asked.
  bool pausedAtStart() const { return pausedAtStart_; }
  const RunLimit& limit() const { return limit_; }
  double orbitsAtStart() const { return orbitsAtStart_; }

 private:
  bool limitHit() const {
    if (limit_.count <= 0) return false;
    return limit_.by == RunLimit::By::Cycles ? double(cycles_) >= limit_.count
                                             : *orbitCount_ >= limit_.count;
  }
  void firstCycle();
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
  bool pauseAtStart_ = false, pausedAtStart_ = false;
};

// Gives body `body` the mass typed as `mass` in the body editor of a paused run, as a user does:
// the body chosen with Qui, the text typed into its mass box TXTp(4), the box left. "" when the
// body took it, else why not.
std::string EditBodyMass(MainWindow& w, int body, const std::string& mass);

}  // namespace orbits
