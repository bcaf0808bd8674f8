#include "batch/batch_report.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>

#include "physics/gravity.h"
#include "sky/sky.h"
#include "text/date.h"
#include "text/number_text.h"
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

// What the reload restored of the lab; null without a reload.
nlohmann::ordered_json labRestoreJson(const MainWindow& w, const BatchOptions& o) {
  const LabState& lab = w.lab;
  if (!o.reload || lab.restoreExpected == 0) return nullptr;
  return {{"complete", lab.restoreProblem.empty()},
          {"orbits_restored", lab.restoredOrbits},
          {"orbits_saved", lab.restoreExpected},
          {"problem", lab.restoreProblem.empty() ? nlohmann::ordered_json(nullptr)
                                                 : nlohmann::ordered_json(lab.restoreProblem)}};
}

std::string labRestoreLine(const LabState& lab) {
  if (lab.restoreProblem.empty()) return "restored in full";
  return "restored " + std::to_string(lab.restoredOrbits) + " of " +
         std::to_string(lab.restoreExpected) + " orbits: " + lab.restoreProblem;
}

std::string oneLine(std::string s) {
  for (char& ch : s)
    if (ch == '\r' || ch == '\n') ch = ' ';
  return s;
}

// The exact perihelion of the last completed orbit: that orbit, its moment in days since the
// start, the same moment as a Julian date of the simulated calendar, and its date as the
// window writes dates; all null when the orbit had none.
void lastPerihelion(nlohmann::ordered_json& j, const MainWindow& w) {
  for (const char* key : {"last_perihelion_orbit", "last_perihelion_days", "last_perihelion_jd",
                          "last_perihelion_date"})
    j[key] = nullptr;
  const OrbitRecord& last = w.lab.lastOrbit;
  if (w.lab.orbitsRecorded == 0 || last.periDays == 0) return;
  const ScenarioState& sc = w.scenario;
  const double days = last.periDays, sinceStartDay = sc.beginTimeDays + days;
  j["last_perihelion_orbit"] = last.orbit;
  j["last_perihelion_days"] = number(days);
  j["last_perihelion_jd"] = number(sky::julianDate(sc.startDate, sinceStartDay).value());
  const text::Date day = sc.startDate.plusDays(text::toWhole(text::intFloor(sinceStartDay)));
  j["last_perihelion_date"] = text::dateText(day);
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

// The gravity kernel's variant in force, and what the choice at start-up timed.
nlohmann::ordered_json kernelJson() {
  const KernelChoice& c = kernelChoice();
  nlohmann::ordered_json timed = nlohmann::ordered_json::object();
  for (int i = 0; i < kKernelVariantCount; ++i)
    if (c.nsPerCycle[size_t(i)] > 0)
      timed[kernelName(kKernelVariants[i])] = c.nsPerCycle[size_t(i)];
  return {{"variant", kernelName(kernelVariant())},
          {"choice_ms", c.seconds * 1e3},
          {"ns_per_cycle", timed}};
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
  // The masses the bodies in play had at the end, in solar masses, by name.
  nlohmann::ordered_json masses = nlohmann::ordered_json::object();
  for (int k = 0; k <= w.sim.lastBody; ++k) masses[w.sim.bodyName[k]] = number(w.sim.bodyMass[k]);
  j["masses"] = masses;
  lastPerihelion(j, w);
  j["lab_restore"] = labRestoreJson(w, o);
  j["min_distance_km"] = number(w.pair.totalMinDist);
  j["max_distance_km"] = number(w.pair.totalMaxDist);
  j["sky"] = skyJson(w);
  j["message"] = jsonText(r.message);
  j["run_state"] = runStateText(w.sim.runState);
  j["outcome"] = r.outcome;
  j["limit_reached"] = r.limitReached;
  j["wall_seconds"] = number(r.wallSeconds);
  j["cycles_per_second"] = number(r.cyclesPerSecond);
  j["kernel"] = kernelJson();
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
      << (o.reload && w.lab.restoreExpected > 0
              ? "  lab records       " + labRestoreLine(w.lab) + "\n"
              : std::string())
      << "  distance          " << shownNumber(w.pair.totalMinDist, " km") << " to "
      << shownNumber(w.pair.totalMaxDist, " km") << "\n"
      << "  message           " << oneLine(r.message) << "\n"
      << "  run state         " << runStateText(w.sim.runState) << "\n"
      << "  speed             " << shownNumber(std::round(r.cyclesPerSecond), " cycles/s")
      << " over " << shownNumber(std::round(r.wallSeconds * 1000) / 1000, " s") << "\n"
      << "  gravity kernel    " << kernelName(kernelVariant()) << ", chosen in "
      << shownNumber(std::round(kernelChoice().seconds * 1e4) / 10, " ms") << "\n";
  for (const auto& [name, text] : r.shown) out << "  " << name << " = " << oneLine(text) << "\n";
}

}  // namespace orbits::batch
