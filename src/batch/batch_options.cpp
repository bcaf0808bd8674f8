#include "batch/batch_options.h"

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "physics/sim_state.h"
#include "scenarios/body_editor.h"

namespace orbits::batch {

namespace {

void describe(QCommandLineParser& p) {
  p.setApplicationDescription(
      "Runs a preset scenario, or continues the saved run, with no window, and reports what "
      "the window would show.\n\n"
      "  orbits-batch --preset N (--orbits K | --cycles C) [options]\n"
      "  orbits-batch --reload   (--orbits K | --cycles C) [options]\n"
      "  orbits-batch --budget --preset N [--years Y] [--json] [--plot FILE] [--set ...]");
  p.addOptions({
      {"preset", "Press preset button N, as a user would.", "N"},
      {"reload", "Load the previous data (the saved run), then continue it."},
      {"orbits", "Stop at the end of the cycle in which the orbit count reaches K.", "K"},
      {"cycles", "Stop after C cycles of this run.", "C"},
      {"set",
       "Before the preset or reload, change a control as a user would: Chuser=1 (check box), "
       "Optime(7)=1 (option), TXTgravity=6.674 (text box, typed, then left), HStheta=5 "
       "(scroll bar). Repeatable.",
       "NAME=VALUE"},
      {"then", "The same, at the first cycle of the run. Repeatable.", "NAME=VALUE"},
      {"mass",
       "Give body BODY (0 the Sun, 1 Mercury, ... 9 Rogue) the mass MASS in solar masses, as a "
       "user does in the body editor: at the first cycle of the run (with --reload, once it is "
       "loaded) the run is stopped, the body chosen, MASS typed into its mass box and the box "
       "left, and the run continued. Repeatable, once for each body.",
       "BODY=MASS"},
      {"show", "Report the text or caption of this control at the end. Repeatable.", "NAME"},
      {"json", "Report one JSON object on standard output."},
      {"progress", "Draw a progress line on standard error (default when it is a terminal)."},
      {"no-progress", "Draw no progress line."},
      {"data-dir", "Directory of the data files (default: the program's own).", "DIR"},
      {"series", "Write the watched pair's per-orbit records as CSV, a row as each orbit ends.",
       "FILE.csv"},
      {"plot", "Draw the charts of the run into a picture at the end (.svg or .png).", "FILE"},
      {"budget",
       "The precession budget of the preset's planet: one run per cause (each other planet, all "
       "of them, relativity), in the background of no window, on every core; its table, or "
       "with --json its figures."},
      {"years", "The budget's span from the preset's start, in Julian years (default 100).", "Y"},
      {"threads", "The budget's runs at once (default: one for every core).", "N"},
      {{"h", "help"}, "Show this help."},
      {{"v", "version"}, "Show the version."},
  });
}

// An option given no value takes the next option as its value ("--set --orbits 5"): the
// option that lacks one, or "".
std::string optionWithoutValue(const QCommandLineParser& p) {
  for (const QString& name : p.optionNames())
    for (const QString& v : p.values(name))
      if (v.startsWith("--")) return "--" + name.toStdString();
  return {};
}

// A whole number of at least 1 given to `option`.
bool positive(const QCommandLineParser& p, const QString& option, long long& out,
              std::string& error) {
  const QStringList values = p.values(option);
  if (values.size() > 1) {
    error = "--" + option.toStdString() + " is given more than once";
    return false;
  }
  bool ok = false;
  out = values.front().toLongLong(&ok);
  if (!ok || out < 1) {
    error = "--" + option.toStdString() + " takes a whole number of at least 1, not '" +
            values.front().toStdString() + "'";
    return false;
  }
  return true;
}

std::string defaultDataDir(const BatchEnv& env) {
  if (!env.programDir.empty()) return env.programDir;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return exe.parent_path().string();
  return std::filesystem::current_path(ec).string();
}

std::vector<std::string> strings(const QStringList& list) {
  std::vector<std::string> out;
  for (const QString& s : list) out.push_back(s.toStdString());
  return out;
}

// The body editor's masses of --mass, at most one for each body: "" when it would take them.
std::string massEdits(const QCommandLineParser& p, std::vector<MassEdit>& out) {
  for (const QString& value : p.values("mass")) {
    MassEdit e;
    if (std::string error = parseMassEdit(value.toStdString(), e); !error.empty()) return error;
    for (const MassEdit& earlier : out)
      if (earlier.body == e.body)
        return "--mass gives body " + std::to_string(e.body) + " a mass more than once";
    out.push_back(e);
  }
  return {};
}

// The plot file's kind, and whether this program can draw it: "" when it can.
std::string plotOption(const QCommandLineParser& p, bool drawable, BatchOptions& o) {
  o.plotFile = p.value("plot").toStdString();
  if (!p.isSet("plot")) return {};
  const std::string ext = std::filesystem::path(o.plotFile).extension().string();
  if (ext != ".svg" && ext != ".png") return "--plot takes a .svg or .png file";
  if (!drawable) return "--plot is not available in this program";
  return {};
}

// The budget's options: "" when they hold together, else what is wrong.
std::string budgetOptions(const QCommandLineParser& p, const BatchEnv& env, BatchOptions& o) {
  std::string error;
  for (const char* other :
       {"reload", "orbits", "cycles", "then", "mass", "show", "series", "data-dir"})
    if (p.isSet(other))
      return std::string("--budget takes no --") + other +
             " (its runs keep no files and stop at the span's end)";
  if (!p.isSet("preset")) return "--budget needs --preset N";
  long long n = 0;
  if (!positive(p, "preset", n, error)) return error;
  o.preset = int(std::min<long long>(n, 1 << 20));
  o.presetGiven = n;
  if (p.isSet("years")) {
    bool ok = false;
    o.years = p.value("years").toDouble(&ok);
    if (!ok || !(o.years > 0 && o.years <= 10000))
      return "--years takes a number of years above 0 and at most 10000, not '" +
             p.value("years").toStdString() + "'";
  }
  if (p.isSet("threads")) {
    long long t = 0;
    if (!positive(p, "threads", t, error)) return error;
    o.threads = int(std::min<long long>(t, 256));
  }
  return plotOption(p, bool(env.budgetPlotWriter), o);
}

// The run's options from a parsed command line: "" when they hold together, else what is
// wrong.
std::string runOptions(const QCommandLineParser& p, const BatchEnv& env, BatchOptions& o) {
  std::string error;
  o.set = strings(p.values("set"));
  if (p.isSet("progress") && p.isSet("no-progress"))
    return "give either --progress or --no-progress";
  o.progress = p.isSet("progress") || (env.errIsTerminal && !p.isSet("no-progress"));
  o.json = p.isSet("json");
  o.budget = p.isSet("budget");
  if (o.budget) return budgetOptions(p, env, o);
  for (const char* budgetOnly : {"years", "threads"})
    if (p.isSet(budgetOnly)) return std::string("--") + budgetOnly + " belongs to --budget";
  if (p.isSet("preset") == p.isSet("reload")) return "give one of --preset N and --reload";
  if (p.isSet("preset")) {
    long long n = 0;
    if (!positive(p, "preset", n, error)) return error;
    o.preset = int(std::min<long long>(n, 1 << 20));
    o.presetGiven = n;
  }
  o.reload = p.isSet("reload");
  if (p.isSet("orbits") == p.isSet("cycles")) return "give one of --orbits K and --cycles C";
  const bool byOrbits = p.isSet("orbits");
  long long k = 0;
  if (!positive(p, byOrbits ? "orbits" : "cycles", k, error)) return error;
  o.limit = {byOrbits ? RunLimit::By::Orbits : RunLimit::By::Cycles, double(k)};
  if (p.values("data-dir").size() > 1) return "--data-dir is given more than once";
  if (p.isSet("data-dir")) {
    const std::string dir = p.value("data-dir").toStdString();
    if (dir.empty()) return "--data-dir needs a directory";
    std::error_code ec;
    o.dataDir = std::filesystem::absolute(dir, ec).lexically_normal().string();
    if (o.dataDir.size() > 1 && o.dataDir.back() == '/') o.dataDir.pop_back();
  } else {
    o.dataDir = defaultDataDir(env);
  }
  o.seriesFile = p.value("series").toStdString();
  if (p.isSet("series") && o.seriesFile.empty()) return "--series needs a file";
  if (std::string e = plotOption(p, bool(env.plotWriter), o); !e.empty()) return e;
  o.then = strings(p.values("then"));
  o.show = strings(p.values("show"));
  return massEdits(p, o.masses);
}

}  // namespace

std::string parseMassEdit(const std::string& value, MassEdit& out) {
  const std::string what = "--mass " + value + ": ";
  const size_t eq = value.find('=');
  if (eq == std::string::npos) return what + "give BODY=MASS, as in 5=0.000954";
  const std::string body = value.substr(0, eq);
  const char* end = body.data() + body.size();
  const auto [p, ec] = std::from_chars(body.data(), end, out.body);
  if (body.empty() || ec != std::errc() || p != end || out.body < 0 || out.body >= kMaxBodies)
    return what + "BODY is a body number from 0 to " + std::to_string(kMaxBodies - 1);
  out.mass = value.substr(eq + 1);
  if (!acceptedMass(out.mass))
    return what + "the body editor takes a mass of one number, 0 or between 1E-300 and 1E+300 " +
           "solar masses";
  return {};
}

BatchOptions parseBatchOptions(const std::vector<std::string>& args, const BatchEnv& env) {
  BatchOptions o;
  QCommandLineParser p;
  describe(p);
  QStringList qargs{kProgram};
  for (const std::string& a : args) qargs << QString::fromStdString(a);
  std::string error;
  if (!p.parse(qargs))
    error = p.errorText().toStdString();
  else if (const std::string lacking = optionWithoutValue(p); !lacking.empty())
    error = lacking + " needs a value";
  else if (!p.positionalArguments().isEmpty())
    error = "unexpected argument '" + p.positionalArguments().front().toStdString() + "'";
  if (!error.empty()) {
    o.asked = BatchOptions::Asked::Usage;
    o.text = error;
  } else if (p.isSet("help")) {
    o.asked = BatchOptions::Asked::Help;
    o.text = p.helpText().toStdString();
  } else if (p.isSet("version")) {
    o.asked = BatchOptions::Asked::Version;
    o.text = std::string(kProgram) + " " + ORBITS_VERSION + "\n";
  } else if (std::string error = runOptions(p, env, o); !error.empty()) {
    o.asked = BatchOptions::Asked::Usage;
    o.text = error;
  }
  return o;
}

}  // namespace orbits::batch
