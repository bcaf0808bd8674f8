#include "sweep/plan_options.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <set>
#include <streambuf>

#include "batch/batch_host.h"
#include "batch/runner.h"
#include "form/panel.h"
#include "panel/control_settings.h"
#include "panel/wired_window.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits::sweep {

namespace {

constexpr int kMaxRuns = 100000;

// The runner's options the plan sets for every run itself, and why a user cannot.
constexpr std::pair<const char*, const char*> kPlanned[] = {
    {"--data-dir", "each run has a data directory of its own under runs/"},
    {"--json", "each run writes its JSON report into its own directory"},
    {"--progress", "runs draw no progress line; orbits-sweep run shows the sweep's"},
    {"--no-progress", "runs draw no progress line; orbits-sweep run shows the sweep's"},
    {"--reload", "every run starts in a fresh data directory, with no saved run to continue"},
    {"--help", "it runs nothing"},
    {"--version", "it runs nothing"},
};

std::string plannedOption(const std::string& arg) {
  for (const auto& [option, why] : kPlanned) {
    const std::string o = option;
    if (arg == o || arg.rfind(o + "=", 0) == 0) return o + " is not for a sweep: " + why;
  }
  if (arg == "-h" || arg == "-v") return arg + " is not for a sweep: it runs nothing";
  return {};
}

// A number that is the whole of `s`.
bool number(const std::string& s, double& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(out);
}

// "FROM:TO:COUNT" into its values; false when `s` is no range.
bool range(const std::string& s, std::vector<std::string>& values, std::string& error) {
  const size_t a = s.find(':'), b = s.find(':', a + 1);
  if (a == std::string::npos || b == std::string::npos || s.find(':', b + 1) != std::string::npos)
    return false;
  double from = 0, to = 0, count = 0;
  if (!number(s.substr(0, a), from) || !number(s.substr(a + 1, b - a - 1), to) ||
      !number(s.substr(b + 1), count))
    return false;
  if (count < 1 || count != std::floor(count) || count > kMaxRuns) {
    error = "a range FROM:TO:COUNT takes a whole COUNT from 1 to " + std::to_string(kMaxRuns);
    return true;
  }
  for (int i = 0; i < int(count); ++i)
    values.push_back(text::plain(
        i + 1 == int(count) && count > 1 ? to : from + (to - from) * i / std::max(1.0, count - 1)));
  return true;
}

// Discards what the window writes while the plan is checked.
struct NullStream : std::ostream {
  NullStream() : std::ostream(nullptr) {}
};

// Whether `name` is an array of option buttons given without an index ("Optime").
bool optionArray(Panel& panel, const std::string& name) {
  if (panel.find(name)) return false;
  const auto members = panel.members(name);
  return !members.empty() && members.front()->kind() == Kind::Option;
}

// The control a --set or --vary names: "Optime(7)=1" and "Optime=5,6" both name Optime.
std::string controlName(const std::string& setting) {
  std::string name = setting.substr(0, setting.find('='));
  return name.substr(0, name.find('('));
}

std::string massName(int body) { return "mass(" + std::to_string(body) + ")"; }

// Why a sweep cannot change the run through `c` before its preset, with what changes it
// instead; "" when it can. The boxes that show the run's figures are written by the run, never
// read; the body editor's boxes are read only while a run is paused, and a preset loads the
// bodies afresh from its epoch.
std::string unreadControl(const Control& c) {
  const std::string ref = c.ref(), k = std::to_string(c.index());
  if (c.name() == "TXmass")
    return ref + " only shows the mass of body " + k +
           ", which a preset takes from its epoch; the run never reads it. Vary mass(" + k +
           ") instead: each run then gives body " + k +
           " that mass in the body editor as it starts (orbits-batch --mass " + k + "=M)";
  if (c.name() == "TXTp")
    return ref +
           " is a box of the body editor, which a run reads only while it is paused, and a "
           "preset loads the bodies afresh. For a body's mass vary mass(K): each run then gives "
           "body K that mass in the body editor as it starts (orbits-batch --mass K=M)";
  for (const char* shown : {"TXvolight", "TXdayFreq", "TXyearFreq"})
    if (c.name() == shown)
      return ref +
             " only shows a figure of the run, which never reads it; the runs' figures are in "
             "their reports and in the merged results (orbits-sweep merge)";
  return {};
}

// unreadControl for the control "NAME=VALUE" names; "" also when it names none.
std::string unreadSetting(Panel& panel, const std::string& setting) {
  const auto ref = Panel::parseRef(setting.substr(0, setting.find('=')));
  const Control* c = ref ? panel.find(ref->first, ref->second) : nullptr;
  return c ? unreadControl(*c) : "";
}

// The common options and every varied value checked against the runner's panel as the runner
// would check them; "" when it would take every run.
std::string checkAgainstPanel(const batch::BatchOptions& o, std::vector<Varied>& varied) {
  NullStream quiet;
  batch::BatchHost host("/", quiet, batch::Clocks::system());
  WiredWindow w(host);
  host.attach(w);
  for (const std::string& s : o.set)
    if (std::string why = unreadSetting(w.panel, s); !why.empty()) return "--set " + s + ": " + why;
  if (std::string error = batch::scriptError(w, o); !error.empty()) return error;
  std::set<std::string> common;
  for (const std::string& s : o.set) common.insert(controlName(s));
  for (const batch::MassEdit& m : o.masses) common.insert(massName(m.body));
  const bool userRate = std::find(o.set.begin(), o.set.end(), "Chuser=1") != o.set.end();
  for (Varied& v : varied) {
    const std::string what = "--vary " + v.name + ": ";
    const auto body = massBody(v.name);
    v.optionArray = !body && optionArray(w.panel, v.name);
    if (!common.insert(body ? massName(*body) : controlName(v.name)).second)
      return what + "another --vary or a common option changes it too";
    if (controlName(v.name) == "Optime" && !userRate)
      return what +
             "a preset chooses its own time rate; add --set Chuser=1 so that each run keeps "
             "the one it is given";
    for (const std::string& value : v.values) {
      const auto [option, argument] = runnerOption(v, value);
      std::string error;
      if (body) {
        batch::MassEdit edit;
        error = batch::parseMassEdit(argument, edit);
        if (!error.empty()) return what + error;
        continue;
      }
      if (std::string why = unreadSetting(w.panel, argument); !why.empty()) return what + why;
      Setting s;
      if (!resolveSetting(w.panel, argument, s, error)) return what + error;
    }
  }
  return {};
}

// The runner the lines name: a program by its path, made absolute since the lines run in the
// sweep's directory, or a name looked up in PATH where they run.
std::string checkRunner(std::string& runner) {
  if (runner.empty()) return "--runner needs a program";
  if (runner.find('/') == std::string::npos) return {};
  std::error_code ec;
  runner = std::filesystem::absolute(runner, ec).lexically_normal().string();
  if (::access(runner.c_str(), X_OK) != 0)
    return "there is no runner program " + runner + "; name one with --runner PROGRAM";
  return {};
}

}  // namespace

std::string parseVaried(const std::string& given, Varied& out) {
  const size_t eq = given.find('=');
  if (eq == 0 || eq == std::string::npos || eq + 1 == given.size())
    return "--vary takes NAME=V1,V2,... or NAME=FROM:TO:COUNT, not '" + given + "'";
  out.name = given.substr(0, eq);
  const std::string values = given.substr(eq + 1);
  std::string error;
  if (!range(values, out.values, error)) {
    for (size_t at = 0; at <= values.size();) {
      const size_t comma = std::min(values.find(',', at), values.size());
      out.values.push_back(values.substr(at, comma - at));
      at = comma + 1;
    }
  }
  if (!error.empty()) return "--vary " + given + ": " + error;
  std::set<std::string> seen;
  for (const std::string& v : out.values) {
    if (v.empty()) return "--vary " + given + ": a value is empty";
    if (!seen.insert(v).second) return "--vary " + given + ": the value " + v + " comes twice";
  }
  return {};
}

std::string parsePlanArguments(const std::vector<std::string>& args, const std::string& runner,
                               PlanRequest& out) {
  out.plan.runner = runner;
  std::vector<std::string> varied;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    std::string* into = nullptr;
    std::string vary;
    for (const auto& [option, target] :
         {std::pair{"--out", &out.outDir}, {"--vary", &vary}, {"--runner", &out.plan.runner}}) {
      const std::string o = option;
      if (a == o) {
        if (i + 1 == args.size()) return o + " needs a value";
        *(into = target) = args[++i];
      } else if (a.rfind(o + "=", 0) == 0) {
        *(into = target) = a.substr(o.size() + 1);
      }
    }
    if (into == &vary) varied.push_back(vary);
    if (into) continue;
    if (std::string why = plannedOption(a); !why.empty()) return why;
    out.plan.arguments.push_back(a);
  }
  if (out.outDir.empty()) return "give the sweep's directory: --out DIR";
  if (std::string error = checkRunner(out.plan.runner); !error.empty()) return error;

  // The common options as the runner reads them, with what the plan adds for each run.
  std::vector<std::string> asRun = out.plan.arguments;
  for (const char* a : {"--data-dir", "/", "--json", "--no-progress"}) asRun.push_back(a);
  batch::BatchEnv env;
  env.plotWriter = [](const MainWindow&, const std::string&) { return std::string(); };
  const batch::BatchOptions o = batch::parseBatchOptions(asRun, env);
  if (o.asked != batch::BatchOptions::Asked::Run) return o.text;

  for (const std::string& s : varied) {
    Varied v;
    if (std::string error = parseVaried(s, v); !error.empty()) return error;
    out.plan.varied.push_back(std::move(v));
  }
  double runs = 1;
  for (const Varied& v : out.plan.varied) runs *= double(v.values.size());
  if (runs > kMaxRuns)
    return "the plan would make " + text::plain(runs) + " runs; a plan makes at most " +
           std::to_string(kMaxRuns);
  if (std::string error = checkAgainstPanel(o, out.plan.varied); !error.empty()) return error;
  out.plan.runs = expandRuns(out.plan.varied);
  return {};
}

}  // namespace orbits::sweep
