#include "batch/batch_report.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>

#include "sky/sky.h"
#include "window/main_window.h"

namespace orbits::batch {

namespace {

nlohmann::ordered_json number(double v) {
  if (!std::isfinite(v)) return nullptr;
  return v;
}

nlohmann::ordered_json number(const std::optional<double>& v) { return v ? number(*v) : nullptr; }

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

int presetOf(const MainWindow& w) { return int(std::lround(w.scenario.presetIndex)); }

std::string shownNumber(double v, const char* unit) {
  if (std::isnan(v)) return "none";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g%s", v, unit);
  return buf;
}

std::string shownNumber(const std::optional<double>& v, const char* unit) {
  return shownNumber(v.value_or(NAN), unit);
}

}  // namespace

void writeJsonReport(std::ostream& out, const MainWindow& w, const BatchOptions& o,
                     const BatchOutcome& r) {
  nlohmann::ordered_json j;
  j["preset"] = presetOf(w);
  j["reload"] = o.reload;
  j["orbits"] = static_cast<long long>(w.sim.orbitCount);
  j["cycles"] = static_cast<long long>(w.sim.cycleCount);
  j["run_cycles"] = r.runCycles;
  j["elapsed_days"] = number(w.clock.elapsedDays);
  j["elapsed_years"] = number(w.clock.elapsedSiderealYears);
  j["avg_period_days"] = number(w.periods.avgPeriodDays);
  j["avg_period_years"] = number(w.periods.avgPeriodYears);
  j["precession_arcsec_per_year"] = number(w.markers.avgPrecession);
  j["precession_error_arcsec_per_year"] = number(w.markers.precessionError);
  const PrecessionFit& fit = w.lab.fit;
  j["precise_precession_arcsec_per_year"] = fit.ready() ? number(fit.slope()) : nullptr;
  j["precise_precession_stderr_arcsec_per_year"] = fit.ready() ? number(fit.slopeError()) : nullptr;
  const PrecessionFit& varpi = w.lab.varpiFit;
  j["perihelion_longitude_rate_arcsec_per_century"] =
      varpi.ready() ? number(varpi.slope()) : nullptr;
  j["perihelion_longitude_rate_stderr_arcsec_per_century"] =
      varpi.ready() ? number(varpi.slopeError()) : nullptr;
  j["relativity"] = w.sim.relativity;
  j["min_distance_km"] = number(w.pair.totalMinDist);
  j["max_distance_km"] = number(w.pair.totalMaxDist);
  j["sky"] = skyJson(w);
  j["message"] = jsonText(r.message);
  j["run_state"] = runStateText(w.sim.runState);
  j["outcome"] = r.outcome;
  j["limit_reached"] = r.limitReached;
  j["wall_seconds"] = number(r.wallSeconds);
  j["cycles_per_second"] = number(r.cyclesPerSecond);
  j["messages"] = nlohmann::ordered_json::array();
  for (const std::string& m : r.messages) j["messages"].push_back(jsonText(m));
  j["data_dir"] = o.dataDir;
  j["exit_status"] = r.status;
  nlohmann::ordered_json controls = nlohmann::ordered_json::object();
  for (const auto& [name, text] : r.shown) controls[name] = jsonText(text);
  j["controls"] = controls;
  // Texts of the core are Latin-1 at most; anything else is replaced rather than thrown.
  out << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

void writeTextReport(std::ostream& out, const MainWindow& w, const BatchOptions& o,
                     const BatchOutcome& r) {
  const PrecessionFit& fit = w.lab.fit;
  const PrecessionFit& varpi = w.lab.varpiFit;
  out << (o.reload ? "Reload of preset " : "Preset ") << presetOf(w) << ": " << r.outcome << "\n"
      << "  orbits            " << shownNumber(w.sim.orbitCount, "") << "\n"
      << "  cycles            " << shownNumber(w.sim.cycleCount, "") << " (this run " << r.runCycles
      << ")\n"
      << "  elapsed           " << shownNumber(w.clock.elapsedDays, " days") << " = "
      << shownNumber(w.clock.elapsedSiderealYears, " years") << "\n"
      << "  average period    " << shownNumber(w.periods.avgPeriodDays, " days") << " = "
      << shownNumber(w.periods.avgPeriodYears, " years") << "\n"
      << "  precession        " << shownNumber(w.markers.avgPrecession, " arcsec/yr") << ", error "
      << shownNumber(w.markers.precessionError, " arcsec/yr") << "\n"
      << "  precise precession "
      << (fit.ready() ? shownNumber(fit.slope(), " arcsec/yr") + ", error " +
                            shownNumber(fit.slopeError(), " arcsec/yr")
                      : std::string("none"))
      << (w.sim.relativity ? " (relativity on)" : "") << " (direction projected on the x-y plane)\n"
      << "  perihelion longitude "
      << (varpi.ready() ? shownNumber(varpi.slope(), " arcsec/century") + ", error " +
                              shownNumber(varpi.slopeError(), " arcsec/century")
                        : std::string("none"))
      << " (J2000 ecliptic)\n"
      << "  distance          " << shownNumber(w.pair.totalMinDist, " km") << " to "
      << shownNumber(w.pair.totalMaxDist, " km") << "\n"
      << "  message           " << oneLine(r.message) << "\n"
      << "  run state         " << runStateText(w.sim.runState) << "\n"
      << "  speed             " << shownNumber(std::round(r.cyclesPerSecond), " cycles/s")
      << " over " << shownNumber(std::round(r.wallSeconds * 1000) / 1000, " s") << "\n";
  for (const auto& [name, text] : r.shown) out << "  " << name << " = " << oneLine(text) << "\n";
}

}  // namespace orbits::batch
