#pragma once
// A sweep's plan: the runner's options common to every run, the controls that vary with their
// values, and the runs, one per combination of those values. Each run is one complete
// orbits-batch command line with a data directory and a report of its own, so that any engine
// that runs command lines (GNU parallel, a Slurm job array, a shell) can run it, in any order.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orbits::sweep {

// The files of a sweep's directory.
constexpr const char* kJobsFile = "jobs.txt";          // line k: the command of run k
constexpr const char* kSlurmFile = "slurm.sh";         // the job array over those lines
constexpr const char* kPlanFile = "plan.json";         // what varies, and the command
constexpr const char* kRunsDir = "runs";               // one directory per run
constexpr const char* kLogsDir = "logs";               // Slurm's output, one file per task
constexpr const char* kReportFile = "report.json";     // in a run's directory: its JSON report
constexpr const char* kMessagesFile = "messages.txt";  // and what it wrote to standard error

struct Varied {
  std::string name;                 // a control as --set names it, an array of options, or mass(K)
  std::vector<std::string> values;  // the texts set; for an array of options, member indices
  bool optionArray = false;         // "Optime=5,6" selects Optime(5), then Optime(6)
};

struct PlannedRun {
  int index = 0;                    // 1..N: line N of jobs.txt, task N of the job array
  std::string dir;                  // relative to the sweep's directory: runs/001, ...
  std::vector<std::string> values;  // one per varied control
};

struct Plan {
  std::string runner;                  // the orbits-batch program
  std::vector<std::string> arguments;  // the runner's options common to every run
  std::vector<Varied> varied;
  std::vector<PlannedRun> runs;
};

// Every combination of the varied values, the last control varying fastest.
std::vector<PlannedRun> expandRuns(const std::vector<Varied>& varied);

// The --set option that gives a varied control one of its values: "TXTgravity=6.67",
// "Optime(5)=1".
std::string settingOf(const Varied& v, const std::string& value);

// The body K of "mass(K)", a body's mass that each run gives it in the body editor as it starts
// (the runner's --mass K=M); nothing for a control.
std::optional<int> massBody(const std::string& name);

// The runner's option and its value that give a varied control or mass one of its values:
// {"--set", "TXTgravity=6.67"}, {"--mass", "5=0.001"}.
std::pair<std::string, std::string> runnerOption(const Varied& v, const std::string& value);

// The command line of one run for a POSIX shell started in the sweep's directory. The runner's
// JSON report goes to the run's report file and its standard error beside it; files the
// options name (--series, --plot) go into the run's directory under their own names.
std::string jobLine(const Plan& plan, const PlannedRun& run);

// Words quoted for a POSIX shell where they need it.
std::string shellQuoted(const std::string& word);

std::string planJson(const Plan& plan);
// The plan of the sweep in `dir`; nullopt with what is wrong when there is none to read.
std::optional<Plan> readPlan(const std::string& dir, std::string& error);

// The sweep's files: the directory (which must be new or empty), a directory per run, the
// lines, the job array script and the plan. "" when written, else what went wrong.
std::string writeSweep(const std::string& dir, const Plan& plan);

}  // namespace orbits::sweep
