#include "sweep/run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "sweep/reports.h"

extern char** environ;

namespace orbits::sweep {

namespace fs = std::filesystem;

namespace {

constexpr const char* kParallelInput = "pending.txt";  // in logs/: the lines GNU parallel runs
constexpr const char* kJobLog = "joblog.txt";          // in logs/: GNU parallel's record of them
constexpr auto kPollEvery = std::chrono::milliseconds(500);

std::vector<std::string> linesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Whether `program` is GNU parallel (another program of the name takes other options).
bool isGnuParallel(const std::string& program) {
  const std::string command =
      shellQuoted(program) + " --will-cite --version </dev/null 2>/dev/null";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return false;
  char first[64] = {};
  const bool read = std::fgets(first, sizeof first, pipe) != nullptr;
  ::pclose(pipe);
  return read && std::string(first).rfind("GNU parallel", 0) == 0;
}

std::string missingParallel(const std::string& dir, const std::string& found) {
  const std::string what =
      found.empty() ? "GNU parallel is not installed" : found + " is not GNU parallel";
  return what + " (on Debian: apt-get install parallel). The runs are the lines of " + dir + "/" +
         kJobsFile + ": they can also be run one after another with 'cd " + shellQuoted(dir) +
         " && sh " + kJobsFile + "', or on a Slurm cluster with 'sbatch " + dir + "/" + kSlurmFile +
         "'";
}

// Starts GNU parallel on the pending lines in the sweep's directory. Its citation notice is
// acknowledged (--will-cite) and its standard input is empty, so that it never waits for a
// reply; every line runs in a POSIX shell.
pid_t startParallel(const std::string& program, const std::string& dir, int jobs) {
  std::vector<std::string> args{program,      "--will-cite",
                                "--jobs",     jobs > 0 ? std::to_string(jobs) : "100%",
                                "--joblog",   std::string(kLogsDir) + "/" + kJobLog,
                                "--arg-file", std::string(kLogsDir) + "/" + kParallelInput};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> envStrings{"PARALLEL_SHELL=/bin/sh"};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("PARALLEL_SHELL=", 0) != 0) envStrings.emplace_back(*e);
  std::vector<char*> envp;
  for (std::string& e : envStrings) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

std::string clockText(std::chrono::seconds s) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", (long long)(s.count() / 3600),
                (long long)(s.count() / 60 % 60), (long long)(s.count() % 60));
  return buf;
}

// The sweep's progress while GNU parallel runs: the runs whose reports are finished, counted
// again every half second.
class Progress {
 public:
  Progress(const std::string& dir, std::vector<PlannedRun> pending, size_t total, std::ostream& err,
           bool terminal)
      : dir_(dir), pending_(std::move(pending)), total_(total), err_(err), terminal_(terminal) {}

  void update(std::chrono::seconds elapsed) {
    std::erase_if(pending_,
                  [&](const PlannedRun& r) { return finishedReport(dir_, r).has_value(); });
    if (pending_.size() == shownPending_ && !terminal_) return;
    shownPending_ = pending_.size();
    const std::string line = "orbits-sweep: " + std::to_string(total_ - pending_.size()) + " of " +
                             std::to_string(total_) + " runs have a report, " + clockText(elapsed) +
                             " elapsed";
    err_ << (terminal_ ? "\r" + line + "\x1b[K" : line + "\n") << std::flush;
  }
  void end() {
    if (terminal_) err_ << "\n";
  }
  size_t pending() const { return pending_.size(); }

 private:
  std::string dir_;
  std::vector<PlannedRun> pending_;
  size_t total_;
  std::ostream& err_;
  bool terminal_;
  size_t shownPending_ = size_t(-1);
};

// Waits for GNU parallel, showing the progress; its exit status (the number of lines that
// failed) is left aside: a run that failed has its report, and one without is counted after.
bool waitShowingProgress(pid_t pid, Progress& progress) {
  const auto start = std::chrono::steady_clock::now();
  int status = 0;
  for (;;) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    progress.update(
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start));
    if (done == pid || done < 0) break;
    std::this_thread::sleep_for(kPollEvery);
  }
  progress.end();
  return !WIFSIGNALED(status);
}

}  // namespace

std::vector<PlannedRun> pendingRuns(const std::string& dir, const Plan& plan) {
  std::vector<PlannedRun> pending;
  for (const PlannedRun& r : plan.runs)
    if (!finishedReport(dir, r)) pending.push_back(r);
  return pending;
}

std::string findProgram(const std::string& name, const std::string& path) {
  for (size_t at = 0; at <= path.size();) {
    const size_t colon = std::min(path.find(':', at), path.size());
    const std::string candidate = path.substr(at, colon - at) + "/" + name;
    if (colon > at && ::access(candidate.c_str(), X_OK) == 0) return candidate;
    at = colon + 1;
  }
  return {};
}

int runSweep(const std::string& dir, int jobs, std::ostream& out, std::ostream& err,
             const RunEnv& env) {
  std::string error;
  const auto plan = readPlan(dir, error);
  if (!plan) {
    err << "orbits-sweep: " << error << "\n";
    return 1;
  }
  const std::vector<std::string> lines = linesOf(dir + "/" + kJobsFile);
  if (lines.size() != plan->runs.size()) {
    err << "orbits-sweep: " << dir << "/" << kJobsFile << " has " << lines.size()
        << " lines for the plan's " << plan->runs.size() << " runs\n";
    return 1;
  }
  const std::vector<PlannedRun> pending = pendingRuns(dir, *plan);
  if (pending.empty()) {
    out << "All " << plan->runs.size() << " runs of " << dir << " have a report.\n";
    return 0;
  }
  const std::string parallel = findProgram("parallel", env.path);
  if (parallel.empty() || !isGnuParallel(parallel)) {
    err << "orbits-sweep: " << missingParallel(dir, parallel) << "\n";
    return 1;
  }

  // The lines of the runs to do, and the directories they write into.
  std::string input;
  std::error_code ec;
  fs::create_directories(fs::path(dir) / kLogsDir, ec);
  for (const PlannedRun& r : pending) {
    fs::create_directories(fs::path(dir) / r.dir, ec);
    input += lines[size_t(r.index - 1)] + "\n";
  }
  const std::string inputPath = dir + "/" + kLogsDir + "/" + kParallelInput;
  std::ofstream(inputPath, std::ios::binary | std::ios::trunc) << input;
  out << "Running " << pending.size() << " of " << plan->runs.size() << " runs with " << parallel
      << (jobs > 0 ? ", " + std::to_string(jobs) + " at a time" : ", one per core") << ".\n"
      << std::flush;

  const pid_t pid = startParallel(parallel, dir, jobs);
  if (pid < 0) {
    err << "orbits-sweep: cannot start " << parallel << "\n";
    return 1;
  }
  Progress progress(dir, pending, plan->runs.size(), err, env.errIsTerminal);
  const bool whole = waitShowingProgress(pid, progress);
  if (!whole) err << "orbits-sweep: GNU parallel was stopped\n";
  if (progress.pending() == 0) return 0;
  err << "orbits-sweep: " << progress.pending() << " of " << plan->runs.size()
      << " runs have no report; their messages are in " << dir << "/" << kRunsDir << "/*/"
      << kMessagesFile << ", and 'orbits-sweep run " << dir << "' tries them again\n";
  return 1;
}

}  // namespace orbits::sweep
