#pragma once
// The precession budget, run: one window of the core per cause, each on a thread of its own,
// none of them the window on screen. Every run presses the same preset as a user would, with
// saving off, in a data directory of its own that is removed afterwards; when its run starts,
// the bodies the cause leaves out are switched off and the run goes in minimal detail until
// the span has passed.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "budget/budget_plan.h"
#include "physics/constants.h"

namespace orbits::budget {

// The longest span. A run's memory does not grow with it: the lab keeps running sums and a
// bounded series (the whole budget stays near 37 MB at 10 years and at 100). What grows is the
// time (at 150 s per calculation, 2.1 billion cycles a run at the limit: hours on two cores) and
// the data-drift.txt of the run's scratch directory, about 1 kB an orbit (some 40 MB for Mercury
// at the limit), removed as the run ends.
constexpr double kMaxYears = 10000;

struct BudgetRequest {
  int preset = 51;
  double years = 100;  // Julian years from the preset's start
  // Controls changed before the preset in every run, as the runner's --set does.
  std::vector<std::string> settings;
  int threads = 0;  // 0: one for every core
};

// Shared by the threads of a running budget and whoever watches it: progress, how many runs
// may go on at once, and cancelling.
class BudgetControl {
 public:
  // Every run stops within a thousand cycles or so; no run starts after.
  void cancel();
  bool cancelled() const { return cancelled_.load(std::memory_order_relaxed); }
  // How many runs may go on at once (at least 1); those beyond wait where they are, until fewer
  // go on (a thread that has no more runs to do leaves) or more are allowed.
  void allowRuns(int n);
  int allowedRuns() const { return allowed_.load(std::memory_order_relaxed); }
  // The share of the budget's cycles done, 0 to 1.
  double progress() const;

  // For the runs: count cycles done. A thread takes part from `enter` to `leave`; `proceed`
  // holds it back while more threads take part than may run, whichever of them asks first, and
  // lets it go on as soon as one leaves or more may run. False when cancelled.
  void addCycles(double n) { done_.fetch_add(n, std::memory_order_relaxed); }
  void setTotal(double cycles) { total_.store(cycles, std::memory_order_relaxed); }
  void enter();
  void leave();
  bool proceed() {
    if (cancelled()) return false;
    if (running_.load(std::memory_order_relaxed) <= allowedRuns()) return true;
    return waitForTurn();
  }

 private:
  bool waitForTurn();

  std::atomic<bool> cancelled_{false};
  std::atomic<int> allowed_{1 << 20};
  std::atomic<int> running_{0};  // threads taking part and not held back; changed under mutex_
  std::atomic<double> done_{0}, total_{0};
  std::mutex mutex_;
  std::condition_variable turn_;
};

struct BudgetResult {
  Scenario scenario;
  double years = 0;
  Table table;
  int runs = 0, threads = 0;
  double wallSeconds = 0;
  bool cancelled = false;
  std::string error;  // the budget could not be run at all; empty when it ran
};

// The scenario a preset starts, as a budget would take it; `error` says why it cannot be one
// (no such preset, a watched body that is not a planet, a setting that does not apply).
Scenario probeScenario(const BudgetRequest& request, std::string& error);

// What is wrong with a request before anything runs; empty when nothing is.
std::string checkRequest(const BudgetRequest& request);

// Runs the budget to its end, or until cancelled; blocks.
BudgetResult runBudget(const BudgetRequest& request, BudgetControl& control);

// The table as CSV: a header row, then one row per cause and the step's row; rates in
// arc-seconds per Julian century, empty cells where a figure does not exist.
void writeBudgetCsv(std::ostream& out, const BudgetResult& r);

}  // namespace orbits::budget
