#include "batch/runner.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <system_error>

#include "analysis/lab_file.h"
#include "sky/sky.h"
#include "window/main_window.h"

namespace orbits::batch {

namespace {

constexpr const char* kProgram = "orbits-batch";

struct Options {
  int preset = -1;             // -1 with reload
  long long presetGiven = -1;  // as typed, for the message when there is no such preset
  bool reload = false;
  RunLimit limit;
  QStringList set, then, show;
  bool json = false;
  bool progress = false;
  std::string dataDir;
  std::string seriesFile, plotFile;  // the lab's per-orbit series (CSV) and charts (SVG, PNG)
};

int usage(std::ostream& err, const std::string& message) {
  err << kProgram << ": " << message << "\nTry '" << kProgram << " --help' for more.\n";
  return kExitUsage;
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

nlohmann::ordered_json number(double v) {
  if (!std::isfinite(v)) return nullptr;
  return v;
}

// Line ends of the core's texts (carriage return and line feed) as JSON writes them: "\n".
std::string jsonText(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r') {
      out += '\n';
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

// Each planet in play against the real one at the end of the run; null outside the years the
// planetary theory covers.
nlohmann::ordered_json skyJson(const MainWindow& w) {
  const auto planets = sky::skyComparison(w);
  if (!planets) return nullptr;
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const sky::PlanetSky& p : *planets)
    list.push_back({{"body", p.body},
                    {"name", p.name},
                    {"angle_deg", number(p.angleDeg)},
                    {"distance_error_percent", number(p.distanceErrorPercent)}});
  return list;
}

std::string oneLine(std::string s) {
  for (char& ch : s)
    if (ch == '\r' || ch == '\n') ch = ' ';
  return s;
}

}  // namespace

double numberShown(const std::string& text) {
  size_t a = text.find_first_not_of(' ');
  if (a == std::string::npos) return NAN;
  size_t b = text.find_last_not_of(' ');
  const std::string t = text.substr(a, b - a + 1);
  char* end = nullptr;
  const double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return NAN;
  return v;
}

int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchEnv& env) {
  QCommandLineParser p;
  p.setApplicationDescription(
      "Runs a preset scenario, or continues the saved run, with no window, and reports what "
      "the window would show.\n\n"
      "  orbits-batch --preset N (--orbits K | --cycles C) [options]\n"
      "  orbits-batch --reload   (--orbits K | --cycles C) [options]");
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
      {"show", "Report the text or caption of this control at the end. Repeatable.", "NAME"},
      {"json", "Report one JSON object on standard output."},
      {"progress", "Draw a progress line on standard error (default when it is a terminal)."},
      {"no-progress", "Draw no progress line."},
      {"data-dir", "Directory of the data files (default: the program's own).", "DIR"},
      {"series", "Write the watched pair's per-orbit records as CSV at the end.", "FILE.csv"},
      {"plot", "Draw the charts of the run into a picture at the end (.svg or .png).", "FILE"},
      {{"h", "help"}, "Show this help."},
      {{"v", "version"}, "Show the version."},
  });
  QStringList qargs{kProgram};
  for (const std::string& a : args) qargs << QString::fromStdString(a);
  if (!p.parse(qargs)) return usage(err, p.errorText().toStdString());
  if (p.isSet("help")) {
    out << p.helpText().toStdString();
    return kExitOk;
  }
  if (p.isSet("version")) {
    out << kProgram << " " << ORBITS_VERSION << "\n";
    return kExitOk;
  }
  if (!p.positionalArguments().isEmpty())
    return usage(err,
                 "unexpected argument '" + p.positionalArguments().front().toStdString() + "'");

  // The run asked for.
  Options o;
  std::string error;
  if (p.isSet("preset") == p.isSet("reload"))
    return usage(err, "give one of --preset N and --reload");
  if (p.isSet("preset")) {
    long long n = 0;
    if (!positive(p, "preset", n, error)) return usage(err, error);
    o.preset = int(std::min<long long>(n, 1 << 20));
    o.presetGiven = n;
  }
  o.reload = p.isSet("reload");
  if (p.isSet("orbits") == p.isSet("cycles"))
    return usage(err, "give one of --orbits K and --cycles C");
  {
    const bool byOrbits = p.isSet("orbits");
    long long k = 0;
    if (!positive(p, byOrbits ? "orbits" : "cycles", k, error)) return usage(err, error);
    o.limit = {byOrbits ? RunLimit::By::Orbits : RunLimit::By::Cycles, double(k)};
  }
  if (p.isSet("progress") && p.isSet("no-progress"))
    return usage(err, "give either --progress or --no-progress");
  o.progress = p.isSet("progress") || (env.errIsTerminal && !p.isSet("no-progress"));
  o.json = p.isSet("json");
  if (p.values("data-dir").size() > 1) return usage(err, "--data-dir is given more than once");
  if (p.isSet("data-dir")) {
    const std::string dir = p.value("data-dir").toStdString();
    if (dir.empty()) return usage(err, "--data-dir needs a directory");
    std::error_code ec;
    o.dataDir = std::filesystem::absolute(dir, ec).lexically_normal().string();
    if (o.dataDir.size() > 1 && o.dataDir.back() == '/') o.dataDir.pop_back();
  } else {
    o.dataDir = defaultDataDir(env);
  }

  o.seriesFile = p.value("series").toStdString();
  o.plotFile = p.value("plot").toStdString();
  if (p.isSet("series") && o.seriesFile.empty()) return usage(err, "--series needs a file");
  if (p.isSet("plot")) {
    const std::string ext = std::filesystem::path(o.plotFile).extension().string();
    if (ext != ".svg" && ext != ".png") return usage(err, "--plot takes a .svg or .png file");
    if (!env.plotWriter) return usage(err, "--plot is not available in this program");
  }

  // The window, and the controls the command line names.
  BatchHost host(o.dataDir, err, env.clocks);
  MainWindow w(host);
  host.attach(w);
  std::vector<Setting> sets, thens;
  for (const auto& [list, into, option] :
       {std::tuple{p.values("set"), &sets, "--set"}, {p.values("then"), &thens, "--then"}}) {
    for (const QString& a : list) {
      Setting s;
      if (!resolveSetting(w.panel, a.toStdString(), s, error))
        return usage(err, std::string(option) + " " + error);
      into->push_back(s);
    }
  }
  std::vector<std::pair<std::string, Control*>> shown;
  for (const QString& a : p.values("show")) {
    Control* c = resolveShown(w.panel, a.toStdString(), error);
    if (!c) return usage(err, "--show " + error);
    shown.emplace_back(a.toStdString(), c);
  }
  if (!o.reload) {
    Control* button = w.panel.find("CDp", o.preset);
    if (!button || !button->visible())
      return usage(err, "there is no preset " + std::to_string(o.presetGiven) +
                            "; the presets are " + offeredPresets(w));
  }

  // The run.
  for (const Setting& s : sets)
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

  const int failuresBefore = w.run.numericFailures;
  bool reloadFailed = false;
  host.beginRun(o.limit, std::move(thens), o.progress);
  const auto start = host.clock();
  if (o.reload) {
    w.c("CDcon").press();
    reloadFailed = !w.c("CDcont").visible();
    if (!reloadFailed) w.c("CDcont").press();
  } else {
    w.c("CDp", o.preset).press();
  }
  const auto end = host.clock();
  host.endRun();

  const bool numericFailure = w.run.numericFailures != failuresBefore;
  bool outputFailed = false;
  if (!o.seriesFile.empty()) {
    std::ofstream csv(o.seriesFile, std::ios::binary | std::ios::trunc);
    writeSeriesCsv(w.lab, csv);
    csv.close();
    if (!csv) {
      err << kProgram << ": cannot write " << o.seriesFile << "\n";
      outputFailed = true;
    }
  }
  if (!o.plotFile.empty()) {
    if (const std::string why = env.plotWriter(w, o.plotFile); !why.empty()) {
      err << kProgram << ": cannot write " << o.plotFile << ": " << why << "\n";
      outputFailed = true;
    }
  }
  const int status = reloadFailed || numericFailure || outputFailed ? kExitFailed : kExitOk;
  const double wall = std::chrono::duration<double>(end - start).count();
  const double rate = wall > 0 ? double(host.cycles()) / wall : NAN;
  const Periods& periods = w.periods;
  const double avgDays =
      periods.avgPeriodDaysText.empty() ? NAN : numberShown(periods.avgPeriodDaysText);
  const double avgYears =
      periods.avgPeriodYearsText.empty() ? NAN : numberShown(periods.avgPeriodYearsText);
  const double arc = numberShown(w.c("TXarc").text());
  double arcErr = numberShown(w.c("LaArcErr").text());
  if (std::isnan(arcErr) && !w.markers.precErrText.empty())
    arcErr = numberShown(w.markers.precErrText);
  const std::string message = w.c("LaChirp", 1).text();
  const int preset = int(std::lround(w.scenario.presetIndex));
  std::string outcome;
  if (reloadFailed)
    outcome = "reload failed";
  else if (numericFailure)
    outcome = "stopped on a numeric failure";
  else if (host.limitReached())
    outcome = "stopped at the limit";
  else if (w.sim.runState == RunState::Ended67)
    outcome = "ended by the system";
  else
    outcome = "stopped by the system";

  if (o.json) {
    nlohmann::ordered_json j;
    j["preset"] = preset;
    j["reload"] = o.reload;
    j["orbits"] = static_cast<long long>(w.sim.orbitCount);
    j["cycles"] = static_cast<long long>(w.sim.cycleCount);
    j["run_cycles"] = host.cycles();
    j["elapsed_days"] = number(w.clock.elapsedDays);
    j["elapsed_years"] = number(w.clock.elapsedSiderealYears);
    j["avg_period_days"] = number(avgDays);
    j["avg_period_years"] = number(avgYears);
    j["precession_arcsec_per_year"] = number(arc);
    j["precession_error_arcsec_per_year"] = number(arcErr);
    const PrecessionFit& fit = w.lab.fit;
    j["precise_precession_arcsec_per_year"] = fit.ready() ? number(fit.slope()) : nullptr;
    j["precise_precession_stderr_arcsec_per_year"] =
        fit.ready() ? number(fit.slopeError()) : nullptr;
    j["relativity"] = w.sim.relativity;
    j["min_distance_km"] = number(w.pair.totalMinDist);
    j["max_distance_km"] = number(w.pair.totalMaxDist);
    j["sky"] = skyJson(w);
    j["message"] = jsonText(message);
    j["run_state"] = runStateText(w.sim.runState);
    j["outcome"] = outcome;
    j["limit_reached"] = host.limitReached();
    j["wall_seconds"] = number(wall);
    j["cycles_per_second"] = number(rate);
    j["messages"] = nlohmann::ordered_json::array();
    for (const std::string& m : host.messages()) j["messages"].push_back(jsonText(m));
    j["data_dir"] = o.dataDir;
    j["exit_status"] = status;
    nlohmann::ordered_json controls = nlohmann::ordered_json::object();
    for (const auto& [name, c] : shown) controls[name] = jsonText(c->text());
    j["controls"] = controls;
    // Texts of the core are Latin-1 at most; anything else is replaced rather than thrown.
    out << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  } else {
    auto shownNumber = [](double v, const char* unit) {
      if (std::isnan(v)) return std::string("none");
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.15g%s", v, unit);
      return std::string(buf);
    };
    out << (o.reload ? "Reload of preset " : "Preset ") << preset << ": " << outcome << "\n"
        << "  orbits            " << shownNumber(w.sim.orbitCount, "") << "\n"
        << "  cycles            " << shownNumber(w.sim.cycleCount, "") << " (this run "
        << host.cycles() << ")\n"
        << "  elapsed           " << shownNumber(w.clock.elapsedDays, " days") << " = "
        << shownNumber(w.clock.elapsedSiderealYears, " years") << "\n"
        << "  average period    " << shownNumber(avgDays, " days") << " = "
        << shownNumber(avgYears, " years") << "\n"
        << "  precession        " << shownNumber(arc, " arcsec/yr") << ", error "
        << shownNumber(arcErr, " arcsec/yr") << "\n"
        << "  precise precession "
        << (w.lab.fit.ready() ? shownNumber(w.lab.fit.slope(), " arcsec/yr") + ", error " +
                                    shownNumber(w.lab.fit.slopeError(), " arcsec/yr")
                              : std::string("none"))
        << (w.sim.relativity ? " (relativity on)" : "") << "\n"
        << "  distance          " << shownNumber(w.pair.totalMinDist, " km") << " to "
        << shownNumber(w.pair.totalMaxDist, " km") << "\n"
        << "  message           " << oneLine(message) << "\n"
        << "  run state         " << runStateText(w.sim.runState) << "\n"
        << "  speed             " << shownNumber(std::round(rate), " cycles/s") << " over "
        << shownNumber(std::round(wall * 1000) / 1000, " s") << "\n";
    for (const auto& [name, c] : shown) out << "  " << name << " = " << oneLine(c->text()) << "\n";
  }
  return status;
}

}  // namespace orbits::batch
