#pragma once
// orbits-sweep: many runs of the runner at once. "plan" writes a sweep's runs as command
// lines, "run" hands them to GNU parallel on this machine (a Slurm cluster takes the same
// lines as a job array), "merge" gathers their reports into one table and a picture. It
// schedules nothing itself.
#include <ostream>
#include <string>
#include <vector>

namespace orbits::sweep {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct SweepEnv {
  std::string programDir;      // where orbits-sweep lies: orbits-batch is found beside it
  std::string path;            // PATH, searched for GNU parallel
  bool errIsTerminal = false;  // standard error is a terminal
};

// Runs the command line `args` (without the program's name). Returns the exit status.
int runSweepCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const SweepEnv& env);

}  // namespace orbits::sweep
