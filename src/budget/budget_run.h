#pragma once
// One run of a budget: a window of the core of its own, driven by a host of its own.
#include <functional>
#include <string>
#include <vector>

#include "budget/budget.h"
#include "form/host.h"
#include "panel/scripted_run.h"

namespace orbits::budget {

// The host of a budget's window: no screen, message boxes kept and answered, files in the run's
// own directory; every yield counts a cycle, stops the run at its limit or when the budget is
// cancelled, and waits while the budget holds its thread back.
class BudgetHost : public Host {
 public:
  BudgetHost(std::string dataDir, BudgetControl* control)
      : dataDir_(std::move(dataDir)), control_(control) {}

  // Counts the run's cycles from here, up to `cycles`.
  void begin(MainWindow& w, double cycles);
  // Hands the cycles not yet counted to the budget's progress.
  void flush();
  long cycles() const { return script_.cycles(); }
  bool limitReached() const { return script_.limitReached(); }
  const std::vector<std::string>& messages() const { return messages_; }

  void yield() override;
  void messageBox(const std::string& text, const std::string& title, MessageIcon) override;
  bool openAddress(const std::string&) override { return false; }
  text::DateTime now() override { return {text::Date::fromYmd(2000, 1, 1), 12, 0, 0}; }
  void quit() override {}
  std::string dataDir() override { return dataDir_; }

  // The budget is looked at once every so many cycles: a wait or a stop comes within them.
  static constexpr long kCyclesPerCheck = 1024;

 private:
  std::string dataDir_;
  BudgetControl* control_;
  MainWindow* w_ = nullptr;
  ScriptedRun script_;
  long counted_ = 0;
  std::vector<std::string> messages_;
};

// Presses preset `n` on `w`, with `go` in place of the preset's own start of the run ("Go"),
// after everything else the preset does.
void pressPreset(MainWindow& w, int n, const std::function<void()>& go);

// Sets the controls of a budget's run before its preset: no saves, no orbit file, no trails,
// the user's settings, relativity as the cause asks. Empty, or what is wrong with a setting.
std::string prepareWindow(MainWindow& w, const std::vector<std::string>& settings, bool relativity);

// The scenario as the preset starts it in `w` (whose run has not begun).
Scenario scenarioOf(MainWindow& w, int preset);

// One run of the budget in the directory `dir`, for `cycles` cycles.
RunResult runCause(const BudgetRequest& request, const CauseRun& run, const std::string& dir,
                   BudgetControl& control, double cycles);

}  // namespace orbits::budget
