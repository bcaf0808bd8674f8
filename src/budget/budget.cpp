#include "budget/budget.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <numeric>
#include <system_error>
#include <thread>

#include "budget/budget_run.h"
#include "panel/wired_window.h"
#include "physics/constants.h"
#include "scenarios/presets.h"
#include "window/main_window.h"

namespace orbits::budget {

namespace {

// A directory of the budget's own, removed with everything in it when the budget ends; each
// run's own directory in it is removed as the run ends.
class ScratchDir {
 public:
  ScratchDir() {
    std::error_code ec;
    const auto base = std::filesystem::temp_directory_path(ec);
    std::string pattern = ((ec ? std::filesystem::path("/tmp") : base) / "orbits-budget-XXXXXX");
    if (const char* made = ::mkdtemp(pattern.data())) path_ = made;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::string& path() const { return path_; }
  // A directory of its own for run `i`.
  std::string run(size_t i) const {
    const std::string dir = path_ + "/run-" + std::to_string(i);
    std::error_code ec;
    std::filesystem::create_directory(dir, ec);
    return dir;
  }
  void removeRun(size_t i) const {
    std::error_code ec;
    std::filesystem::remove_all(path_ + "/run-" + std::to_string(i), ec);
  }

 private:
  std::string path_;
};

int threadsFor(const BudgetRequest& r, size_t runs) {
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  const int wanted = r.threads > 0 ? r.threads : cores;
  return std::clamp(wanted, 1, int(std::max<size_t>(runs, 1)));
}

// The runs in the order they are taken up: the ones with the most bodies, the longest, first,
// so that the last to finish are short.
std::vector<size_t> longestFirst(const std::vector<CauseRun>& runs) {
  std::vector<size_t> order(runs.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return runs[a].bodiesInPlay() + runs[a].relativity >
           runs[b].bodiesInPlay() + runs[b].relativity;
  });
  return order;
}

}  // namespace

void BudgetControl::cancel() {
  {
    std::lock_guard lock(mutex_);
    cancelled_.store(true, std::memory_order_relaxed);
  }
  turn_.notify_all();
}

void BudgetControl::allowRuns(int n) {
  {
    std::lock_guard lock(mutex_);
    allowed_.store(std::max(1, n), std::memory_order_relaxed);
  }
  turn_.notify_all();
}

double BudgetControl::progress() const {
  const double total = total_.load(std::memory_order_relaxed);
  return total > 0 ? std::min(1.0, done_.load(std::memory_order_relaxed) / total) : 0;
}

void BudgetControl::enter() {
  std::lock_guard lock(mutex_);
  running_.fetch_add(1, std::memory_order_relaxed);
}

void BudgetControl::leave() {
  {
    std::lock_guard lock(mutex_);
    running_.fetch_sub(1, std::memory_order_relaxed);
  }
  turn_.notify_all();
}

bool BudgetControl::waitForTurn() {
  std::unique_lock lock(mutex_);
  if (running_.load(std::memory_order_relaxed) > allowedRuns() && !cancelled()) {
    // This thread stands aside, its run where it is, until another leaves or more may run.
    running_.fetch_sub(1, std::memory_order_relaxed);
    turn_.wait(lock, [&] {
      return running_.load(std::memory_order_relaxed) < allowedRuns() || cancelled();
    });
    running_.fetch_add(1, std::memory_order_relaxed);
  }
  return !cancelled();
}

std::string checkRequest(const BudgetRequest& r) {
  if (!(r.years > 0 && r.years <= kMaxYears))
    return "the span is a number of years above 0 and at most " + std::to_string(int(kMaxYears));
  return {};
}

Scenario probeScenario(const BudgetRequest& request, std::string& error) {
  error = checkRequest(request);
  if (!error.empty()) return {};
  ScratchDir scratch;
  BudgetHost host(scratch.path(), nullptr);
  WiredWindow w(host);
  Control* button = w.panel.find("CDp", request.preset);
  if (!button || !button->visible()) {
    error = "there is no preset " + std::to_string(request.preset);
    return {};
  }
  if (error = prepareWindow(w, request.settings, false); !error.empty()) return {};
  Scenario sc;
  // The scenario is read where its run would begin, and the run is not begun.
  pressPreset(w, request.preset, [&] { sc = scenarioOf(w, request.preset); });
  if (sc.planet < 1 || sc.planet >= kBodies || w.sim.pairBody[1] != 0)
    error = "the preset does not watch a planet about the Sun";
  else if (!(sc.stepSeconds > 0))
    error = "the preset has no time step";
  return sc;
}

BudgetResult runBudget(const BudgetRequest& request, BudgetControl& control) {
  const auto start = std::chrono::steady_clock::now();
  BudgetResult result;
  result.years = request.years;
  result.scenario = probeScenario(request, result.error);
  if (!result.error.empty()) return result;
  const Scenario& sc = result.scenario;
  const std::vector<CauseRun> runs = planRuns(sc);
  const double cycles =
      std::ceil(request.years * kDaysPerJulianYear * kSecondsPerDay / sc.stepSeconds);
  control.setTotal(cycles * double(runs.size()));
  result.runs = int(runs.size());
  result.threads = threadsFor(request, runs.size());

  // Each thread takes the next run of the list until none is left; every run is a window of
  // its own, so the threads share nothing but the list and the budget's control.
  ScratchDir scratch;
  const std::vector<size_t> order = longestFirst(runs);
  std::vector<RunResult> results(runs.size());
  std::atomic<size_t> next{0};
  // A thread held back takes no run from the list before its turn, so that the others take
  // them; one that finds the list done leaves, and so lets a thread held back in its run go on.
  struct TakingPart {
    BudgetControl& c;
    explicit TakingPart(BudgetControl& control) : c(control) { c.enter(); }
    ~TakingPart() { c.leave(); }
  };
  auto work = [&] {
    const TakingPart part(control);
    for (;;) {
      const bool go = control.proceed();
      const size_t i = next.fetch_add(1);
      if (i >= order.size()) return;
      const size_t run = order[i];
      if (!go) {
        results[run].failure = "cancelled";
        continue;
      }
      try {
        results[run] = runCause(request, runs[run], scratch.run(run), control, cycles);
      } catch (const std::exception& e) {
        results[run].failure = std::string("the run broke off: ") + e.what();
      }
      scratch.removeRun(run);
    }
  };
  std::vector<std::thread> threads;
  try {
    for (int t = 1; t < result.threads; ++t) threads.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer threads than asked: those there are take every run.
  }
  result.threads = int(threads.size()) + 1;
  work();
  for (std::thread& t : threads) t.join();

  result.cancelled = control.cancelled();
  result.table = makeTable(sc, runs, results);
  result.wallSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return result;
}

namespace {

std::string csvCell(double v) {
  if (!std::isfinite(v)) return "";
  char buf[32];
  return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

void csvRow(std::ostream& out, const Row& row) {
  out << '"' << row.name << '"' << "," << csvCell(row.rate) << "," << csvCell(row.stderr) << ","
      << csvCell(row.classical) << "," << csvCell(row.difference()) << "," << csvCell(row.raw)
      << "," << row.perihelia << "\n";
}

}  // namespace

void writeBudgetCsv(std::ostream& out, const BudgetResult& r) {
  out << "cause,arcsec_per_century,stderr,classical,difference,run_arcsec_per_century,perihelia\n";
  for (const Row& row : r.table.rows) csvRow(out, row);
  csvRow(out, r.table.step);
}

}  // namespace orbits::budget
