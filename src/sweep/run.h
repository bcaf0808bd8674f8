#pragma once
// Running a sweep on this machine's cores: GNU parallel runs the lines of jobs.txt whose runs
// have no finished report, so that running a sweep again after an interruption (or after a
// cluster ran part of it) does only what is missing.
#include <ostream>
#include <string>
#include <vector>

#include "sweep/plan.h"

namespace orbits::sweep {

struct RunEnv {
  std::string path;            // the directories searched for GNU parallel (PATH)
  bool errIsTerminal = false;  // the progress line is redrawn in place, else a line per change
};

// The runs of `plan` in `dir` that have no finished report.
std::vector<PlannedRun> pendingRuns(const std::string& dir, const Plan& plan);

// The program `name` in one of the directories of `path` ("a:b:c"); "" when none holds it.
std::string findProgram(const std::string& name, const std::string& path);

// Runs the sweep in `dir`, `jobs` runs at a time (0: one per core). Returns 0 when every run
// has a finished report at the end, 1 when some have none or GNU parallel is missing.
int runSweep(const std::string& dir, int jobs, std::ostream& out, std::ostream& err,
             const RunEnv& env);

}  // namespace orbits::sweep
