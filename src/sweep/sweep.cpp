#include "sweep/sweep.h"

#include <filesystem>

#include "sweep/merge.h"
#include "sweep/plan_options.h"
#include "sweep/run.h"

namespace orbits::sweep {

namespace {

constexpr const char* kHelp =
    "Many runs of orbits-batch at once: sweeps of a control, on this machine's cores with GNU\n"
    "parallel or on a cluster as a Slurm job array.\n"
    "\n"
    "  orbits-sweep plan --out DIR [--vary NAME=V1,V2,...|NAME=FROM:TO:COUNT]...\n"
    "                    [--runner PROGRAM] orbits-batch options\n"
    "      Writes DIR/jobs.txt (one orbits-batch command line per run, for every combination\n"
    "      of the varied values), DIR/slurm.sh (a Slurm job array over those lines) and\n"
    "      DIR/plan.json. NAME is any control --set takes (TXTgravity, TXgexp, ...), an\n"
    "      array of options by its indices (Optime=5,6,7, with --set Chuser=1), or mass(K):\n"
    "      the mass of body K, which each run gives it in the body editor as it starts\n"
    "      (orbits-batch --mass K=M). The runs use the orbits-batch beside this program\n"
    "      unless --runner names another.\n"
    "  orbits-sweep run DIR [-j N]\n"
    "      Runs, with GNU parallel, N at a time (default: one per core), the runs of DIR that\n"
    "      have no finished report.\n"
    "  orbits-sweep merge DIR [--figure NAME]\n"
    "      Writes DIR/results.csv (a row per run: the varied values, its status and every\n"
    "      figure of its report) and DIR/results.svg (NAME, by default avg_period_days,\n"
    "      against the first varied control).\n";

int usage(std::ostream& err, const std::string& message) {
  err << "orbits-sweep: " << message << "\nTry 'orbits-sweep --help' for more.\n";
  return kExitUsage;
}

// The option `name` of `args` at `i`, given as "NAME VALUE" or "NAME=VALUE" (or "-jN" for a
// short one): true when it is there, with its value.
bool optionValue(const std::vector<std::string>& args, size_t& i, const std::string& name,
                 std::string& value) {
  const std::string& a = args[i];
  const bool shortName = name.size() == 2;
  if (a == name && i + 1 < args.size()) {
    value = args[++i];
    return true;
  }
  if (a.rfind(shortName ? name : name + "=", 0) == 0 && a.size() > name.size() + !shortName) {
    value = a.substr(name.size() + !shortName);
    return true;
  }
  return false;
}

// "DIR" and the options of run and merge; "" when they read, else what is wrong.
std::string dirAndOptions(const std::vector<std::string>& args, const std::string& command,
                          std::string& dir, int* jobs, std::string* figure) {
  for (size_t i = 1; i < args.size(); ++i) {
    std::string value;
    if (jobs && (optionValue(args, i, "-j", value) || optionValue(args, i, "--jobs", value))) {
      const bool whole =
          !value.empty() && value.find_first_not_of("0123456789") == std::string::npos;
      *jobs = whole && value.size() < 6 ? std::stoi(value) : 0;
      if (*jobs < 1) return "-j takes a whole number of at least 1, not '" + value + "'";
    } else if (figure && optionValue(args, i, "--figure", value)) {
      *figure = value;
    } else if (args[i].rfind("-", 0) != 0 && dir.empty()) {
      dir = args[i];
    } else {
      return "unexpected argument '" + args[i] + "' for " + command;
    }
  }
  if (dir.empty()) return command + " needs the sweep's directory";
  std::error_code ec;
  dir = std::filesystem::absolute(dir, ec).lexically_normal().string();
  if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return {};
}

int plan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
         const SweepEnv& env) {
  PlanRequest request;
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (std::string error = parsePlanArguments(rest, env.programDir + "/orbits-batch", request);
      !error.empty())
    return usage(err, error);
  if (std::string error = writeSweep(request.outDir, request.plan); !error.empty()) {
    err << "orbits-sweep: " << error << "\n";
    return kExitFailed;
  }
  const std::string dir = request.outDir;
  const size_t n = request.plan.runs.size();
  out << "Planned " << n << (n == 1 ? " run" : " runs") << " in " << dir << ":\n"
      << "  orbits-sweep run " << dir << "      on this machine's cores (GNU parallel)\n"
      << "  sbatch " << dir << "/" << kSlurmFile << "      on a Slurm cluster\n"
      << "  orbits-sweep merge " << dir << "    the results, at any time\n";
  return kExitOk;
}

}  // namespace

int runSweepCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    const SweepEnv& env) {
  if (args.empty()) return usage(err, "give a command: plan, run or merge");
  const std::string& command = args.front();
  if (command == "--help" || command == "-h") {
    out << kHelp;
    return kExitOk;
  }
  if (command == "--version" || command == "-v") {
    out << "orbits-sweep " << ORBITS_VERSION << "\n";
    return kExitOk;
  }
  if (command == "plan") return plan(args, out, err, env);
  std::string dir, figure = kDefaultFigure;
  int jobs = 0;
  if (command == "run") {
    if (std::string e = dirAndOptions(args, command, dir, &jobs, nullptr); !e.empty())
      return usage(err, e);
    return runSweep(dir, jobs, out, err, {env.path, env.errIsTerminal});
  }
  if (command == "merge") {
    if (std::string e = dirAndOptions(args, command, dir, nullptr, &figure); !e.empty())
      return usage(err, e);
    return mergeSweep(dir, figure, out, err);
  }
  return usage(err, "unknown command '" + command + "'; the commands are plan, run and merge");
}

}  // namespace orbits::sweep
