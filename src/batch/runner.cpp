#include "batch/runner.h"

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <system_error>

#include "analysis/lab_file.h"
#include "batch/batch_report.h"
#include "batch/budget_report.h"
#include "budget/budget.h"
#include "panel/scripted_run.h"
#include "panel/wired_window.h"
#include "persist/data_dir.h"
#include "window/main_window.h"

namespace orbits::batch {

namespace {

int usage(std::ostream& err, const std::string& message) {
  err << kProgram << ": " << message << "\nTry '" << kProgram << " --help' for more.\n";
  return kExitUsage;
}

// The presets a user can press, for the usage message.
std::string offeredPresets(MainWindow& w) {
  std::string list;
  int from = -1, prev = -1;
  auto flush = [&] {
    if (from < 0) return;
    if (!list.empty()) list += ", ";
    list += std::to_string(from);
    if (prev > from) list += (prev == from + 1 ? ", " : "-") + std::to_string(prev);
  };
  for (Control* p : w.panel.members("CDp")) {
    if (p->index() < 1 || !p->visible()) continue;
    if (p->index() != prev + 1) {
      flush();
      from = p->index();
    }
    prev = p->index();
  }
  flush();
  return list;
}

// The controls the command line names, found in the window's panel.
struct Script {
  std::vector<Setting> sets, thens;
  std::vector<std::pair<std::string, Control*>> shown;
};

// "" when every control named exists and the preset can be pressed, else what is wrong.
std::string resolveScript(MainWindow& w, const BatchOptions& o, Script& script) {
  std::string error;
  for (const auto& [list, into, option] :
       {std::tuple{&o.set, &script.sets, "--set"}, {&o.then, &script.thens, "--then"}}) {
    for (const std::string& a : *list) {
      Setting s;
      if (!resolveSetting(w.panel, a, s, error)) return std::string(option) + " " + error;
      into->push_back(s);
    }
  }
  for (const std::string& a : o.show) {
    Control* c = resolveShown(w.panel, a, error);
    if (!c) return "--show " + error;
    script.shown.emplace_back(a, c);
  }
  if (!o.reload) {
    Control* button = w.panel.find("CDp", o.preset);
    if (!button || !button->visible())
      return "there is no preset " + std::to_string(o.presetGiven) + "; the presets are " +
             offeredPresets(w);
  }
  return {};
}

// The series file (--series): its header now, then a row as each orbit ends; no row is held.
class SeriesFile {
 public:
  SeriesFile(MainWindow& w, const std::string& path) : w_(w), path_(path) {
    if (path.empty()) return;
    errno = 0;
    out_.open(path, std::ios::binary | std::ios::trunc);
    if (!out_) why_ = errno ? std::strerror(errno) : "it could not be opened";
    writeSeriesHeader(out_);
    w.labRecordSink = [this](const OrbitRecord& r) {
      if (out_) writeSeriesRow(r, out_);
    };
  }
  ~SeriesFile() { w_.labRecordSink = nullptr; }
  // Why the file asked for could not be made, empty when it was (or none was asked for): said
  // before the run, so that a long run does not end in a missing file.
  const std::string& unmade() const { return why_; }
  // False when it could not be written completely (said on `err`).
  bool finish(std::ostream& err) {
    if (path_.empty()) return true;
    w_.labRecordSink = nullptr;
    out_.close();
    if (out_) return true;
    err << kProgram << ": cannot write " << path_ << "\n";
    return false;
  }

 private:
  MainWindow& w_;
  std::string path_;
  std::ofstream out_;
  std::string why_;
};

// The lab's charts, when asked for: false when they could not be drawn.
bool writePlot(const MainWindow& w, const BatchOptions& o, const BatchEnv& env, std::ostream& err) {
  if (o.plotFile.empty()) return true;
  const std::string why = env.plotWriter(w, o.plotFile);
  if (why.empty()) return true;
  err << kProgram << ": cannot write " << o.plotFile << ": " << why << "\n";
  return false;
}

// The masses of --mass, given in the body editor of the paused run: "" when every body took
// its mass, else why one did not.
std::string editMasses(MainWindow& w, const BatchOptions& o) {
  for (const MassEdit& e : o.masses)
    if (std::string why = EditBodyMass(w, e.body, e.mass); !why.empty())
      return "--mass " + std::to_string(e.body) + "=" + e.mass + ": " + why;
  return {};
}

// --budget: the precession budget's runs in the background, a progress line while they go.
int runBudgetCommand(const BatchOptions& o, std::ostream& out, std::ostream& err,
                     const BatchEnv& env) {
  budget::BudgetRequest request;
  request.preset = o.preset;
  request.years = o.years;
  request.settings = o.set;
  request.threads = o.threads;
  std::string error;
  budget::probeScenario(request, error);
  if (!error.empty()) return usage(err, "--budget: " + error);

  budget::BudgetControl control;
  auto running =
      std::async(std::launch::async, [&] { return budget::runBudget(request, control); });
  bool drawn = false;
  while (running.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready) {
    if (!o.progress) continue;
    char line[96];
    std::snprintf(line, sizeof line, "\rbudget: %5.1f%% of the runs' cycles",
                  100 * control.progress());
    err << line << std::flush;
    drawn = true;
  }
  if (drawn) err << "\r\033[K" << std::flush;
  const budget::BudgetResult result = running.get();
  if (!result.error.empty()) {
    err << kProgram << ": --budget: " << result.error << "\n";
    return kExitFailed;
  }
  bool failed = !result.table.step.failure.empty();
  for (const budget::Row& row : result.table.rows) failed |= !row.failure.empty();
  if (!o.plotFile.empty()) {
    if (const std::string why = env.budgetPlotWriter(result, o.plotFile); !why.empty()) {
      err << kProgram << ": cannot write " << o.plotFile << ": " << why << "\n";
      failed = true;
    }
  }
  if (o.json)
    writeBudgetJson(out, result);
  else
    writeBudgetText(out, result);
  return failed ? kExitFailed : kExitOk;
}

}  // namespace

std::string scriptError(MainWindow& w, const BatchOptions& o) {
  Script script;
  return resolveScript(w, o, script);
}

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchEnv& env) {
  const BatchOptions o = parseBatchOptions(args, env);
  switch (o.asked) {
    case BatchOptions::Asked::Usage:
      return usage(err, o.text);
    case BatchOptions::Asked::Help:
    case BatchOptions::Asked::Version:
      out << o.text;
      return kExitOk;
    case BatchOptions::Asked::Run:
      break;
  }
  if (o.budget) return runBudgetCommand(o, out, err, env);

  // The window, and the controls the command line names.
  BatchHost host(o.dataDir, err, env.clocks);
  WiredWindow w(host);
  host.attach(w);
  Script script;
  if (const std::string error = resolveScript(w, o, script); !error.empty())
    return usage(err, error);
  for (const Setting& s : script.sets)
    if (!applySetting(s))
      return usage(err, "--set " + s.control->ref() +
                            ": the control is disabled and takes no "
                            "change");
  // The files a run writes go there; when it cannot be made, the run goes on and the window's
  // messages about the files tell the rest.
  {
    std::error_code ec;
    std::filesystem::create_directories(o.dataDir, ec);
    if (ec)
      err << kProgram << ": cannot create the data directory " << o.dataDir << ": " << ec.message()
          << "\n";
  }
  // One run per data directory: another one's files would mix with this one's.
  const persist::DataDirLock lock(o.dataDir);
  if (lock.refused()) {
    err << kProgram << ": " << lock.refusal()
        << " Nothing was run. Give each run a data directory of its own (--data-dir DIR).\n";
    return kExitDirectoryInUse;
  }

  // The run.
  const int failuresBefore = w.run.numericFailures;
  bool reloadFailed = false;
  std::string editRefused;
  // Masses are given in the body editor of a paused run: a reloaded run is paused already; a
  // preset's run pauses at its first cycle.
  const bool edits = !o.masses.empty();
  SeriesFile series(w, o.seriesFile);
  if (!series.unmade().empty()) {
    err << kProgram << ": cannot write " << o.seriesFile << ": " << series.unmade()
        << ". Nothing was run.\n";
    return kExitFailed;
  }
  host.beginRun(o.limit, std::move(script.thens), o.progress, edits && !o.reload);
  const auto start = host.clock();
  if (o.reload) {
    w.c("CDcon").press();
    reloadFailed = !w.c("CDcont").visible();
  } else {
    w.c("CDp", o.preset).press();
  }
  const bool paused = o.reload ? !reloadFailed : host.pausedAtStart();
  if (edits && paused) {
    editRefused = editMasses(w, o);
    if (!editRefused.empty()) err << kProgram << ": " << editRefused << "\n";
  }
  if (paused && editRefused.empty() && !host.limitReached()) w.c("CDcont").press();
  const auto end = host.clock();
  host.endRun();

  // What it came to.
  const bool numericFailure = w.run.numericFailures != failuresBefore;
  const bool seriesWritten = series.finish(err);
  const bool outputFailed = !writePlot(w, o, env, err) || !seriesWritten;
  BatchOutcome r;
  r.status = reloadFailed || !editRefused.empty() || numericFailure || outputFailed ? kExitFailed
                                                                                    : kExitOk;
  if (reloadFailed)
    r.outcome = "reload failed";
  else if (!editRefused.empty())
    r.outcome = "mass not given: " + editRefused;
  else if (numericFailure)
    r.outcome = "stopped on a numeric failure";
  else if (host.limitReached())
    r.outcome = "stopped at the limit";
  else if (w.sim.runState == RunState::Ended67)
    r.outcome = "ended by the system";
  else
    r.outcome = "stopped by the system";
  r.message = w.c("LaChirp", 1).text();
  r.runCycles = host.cycles();
  r.limitReached = host.limitReached();
  r.wallSeconds = std::chrono::duration<double>(end - start).count();
  r.cyclesPerSecond = r.wallSeconds > 0 ? double(r.runCycles) / r.wallSeconds : NAN;
  r.messages = host.messages();
  for (const auto& [name, c] : script.shown) r.shown.emplace_back(name, c->text());

  if (o.json)
    writeJsonReport(out, w, o, r);
  else
    writeTextReport(out, w, o, r);
  return r.status;
}

}  // namespace orbits::batch
