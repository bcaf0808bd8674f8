#pragma once
// The runner's host: no window. Message boxes go to standard error and are answered at once,
// the core's timers tick on a monotonic clock as the window's would, and every yield of the
// run loop counts a cycle, applies the settings due at the start of the run, stops the run
// at its limit and redraws the progress line.
#include <chrono>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "form/host.h"
#include "panel/scripted_run.h"

namespace orbits {

class MainWindow;

namespace batch {

// The clocks the runner reads; tests give fixed ones.
struct Clocks {
  std::function<std::chrono::nanoseconds()> monotonic;
  std::function<text::DateTime()> now;  // the computer's date and time
  static Clocks system();
};

class BatchHost : public Host {
 public:
  BatchHost(std::string dataDir, std::ostream& err, Clocks clocks);

  void attach(MainWindow& w) { w_ = &w; }

  // Prepares a run: its limit, the settings applied at its first yield, whether the progress
  // line is drawn, and whether the run pauses at its first yield to be edited.
  void beginRun(RunLimit limit, std::vector<Setting> then, bool progress,
                bool pauseAtStart = false);
  // Clears the progress line.
  void endRun();

  long cycles() const { return script_.cycles(); }
  // The run was stopped here because it reached its limit.
  bool limitReached() const { return script_.limitReached(); }
  bool pausedAtStart() const { return script_.pausedAtStart(); }
  const std::vector<std::string>& messages() const { return messages_; }
  std::chrono::nanoseconds clock() const { return clocks_.monotonic(); }

  void yield() override;
  void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override;
  bool openAddress(const std::string& address) override;
  text::DateTime now() override { return clocks_.now(); }
  // The runner ends when its run does.
  void quit() override {}
  std::string dataDir() override { return dataDir_; }

  // The clock is read once every so many cycles (timers, progress): reading it costs a good
  // share of a cycle in the fastest modes.
  static constexpr int kCyclesPerClockRead = 32;
  static constexpr std::chrono::milliseconds kProgressEvery{100};

 private:
  struct TimerState {
    Control* timer;
    bool armed = false;
    std::chrono::nanoseconds due{0};
  };

  void tickTimers(std::chrono::nanoseconds t);
  void drawProgress(std::chrono::nanoseconds t);
  void clearProgress();

  std::string dataDir_;
  std::ostream& err_;
  Clocks clocks_;
  MainWindow* w_ = nullptr;
  std::vector<TimerState> timers_;

  ScriptedRun script_;
  bool progress_ = false;
  bool progressShown_ = false;
  int untilClock_ = 0;
  std::chrono::nanoseconds start_{0}, nextDraw_{0};
  std::vector<std::string> messages_;
};

}  // namespace batch
}  // namespace orbits
