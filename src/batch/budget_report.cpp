#include "batch/budget_report.h"

#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

namespace orbits::batch {

namespace {

using budget::Row;

nlohmann::ordered_json number(double v) {
  if (!std::isfinite(v)) return nullptr;
  return v;
}

nlohmann::ordered_json rowJson(const Row& r) {
  nlohmann::ordered_json j;
  j["cause"] = r.name;
  j["body"] = r.body > 0 ? nlohmann::ordered_json(r.body) : nullptr;
  j["arcsec_per_century"] = number(r.rate);
  j["stderr"] = number(r.stderr);
  j["classical"] = number(r.classical);
  j["difference"] = number(r.difference());
  j["run_arcsec_per_century"] = number(r.raw);
  j["perihelia"] = r.perihelia;
  j["failure"] = r.failure.empty() ? nullptr : nlohmann::ordered_json(r.failure);
  return j;
}

std::string cell(double v, const char* format) {
  if (!std::isfinite(v)) return "";
  char buf[48];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

void line(std::ostream& out, const std::string& cause, double rate, double err, double classical,
          const std::string& note) {
  char buf[256];
  const double diff = rate - classical;
  std::snprintf(buf, sizeof buf, "  %-28s %11s %9s %10s %10s", cause.c_str(),
                cell(rate, "%.3f").c_str(), cell(err, "%.3f").c_str(),
                cell(classical, "%.2f").c_str(), cell(diff, "%+.3f").c_str());
  out << buf << (note.empty() ? "" : "  " + note) << "\n";
}

std::string quantity(const budget::BudgetResult& r) {
  return "the rate of " + r.scenario.planetName +
         "'s longitude of perihelion in the J2000 ecliptic, arc-seconds per Julian century "
         "(36525 days), fitted to the exact perihelia of each run; each cause is its run's rate "
         "less that of the Sun and " +
         r.scenario.planetName + " alone";
}

}  // namespace

int epochYear(int16_t epochCode) { return epochCode == 19402 ? 1940 : epochCode; }

void writeBudgetJson(std::ostream& out, const budget::BudgetResult& r) {
  const budget::Scenario& sc = r.scenario;
  nlohmann::ordered_json b;
  b["preset"] = sc.preset;
  b["planet"] = sc.planetName;
  b["body"] = sc.planet;
  b["epoch"] = epochYear(sc.epoch);
  b["start_date"] = sc.startDate;
  b["years"] = number(r.years);
  b["step_seconds"] = number(sc.stepSeconds);
  b["quantity"] = quantity(r);
  b["rows"] = nlohmann::ordered_json::array();
  for (const Row& row : r.table.rows) b["rows"].push_back(rowJson(row));
  b["step"] = rowJson(r.table.step);
  b["observed"] = number(r.table.observed);
  b["relativity_theory"] = number(sc.relativityTheory);
  b["runs"] = r.runs;
  b["threads"] = r.threads;
  b["wall_seconds"] = number(r.wallSeconds);
  b["cancelled"] = r.cancelled;
  nlohmann::ordered_json j;
  j["budget"] = b;
  out << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

void writeBudgetText(std::ostream& out, const budget::BudgetResult& r) {
  const budget::Scenario& sc = r.scenario;
  char head[256];
  std::snprintf(head, sizeof head,
                "Precession budget of %s's perihelion: preset %d, from %s, %g years at %g s per "
                "calculation\n",
                sc.planetName.c_str(), sc.preset, sc.startDate.c_str(), r.years, sc.stepSeconds);
  out << head << "Figures: " << quantity(r) << ".\n\n";
  char titles[256];
  std::snprintf(titles, sizeof titles, "  %-28s %11s %9s %10s %10s\n", "cause", "measured", "error",
                "classical", "difference");
  out << titles;
  for (const Row& row : r.table.rows) {
    std::string note = row.failure;
    if (note.empty() && row.cause == budget::Cause::Relativity &&
        std::isfinite(sc.relativityTheory))
      note = "theory for this orbit " + cell(sc.relativityTheory, "%.3f");
    line(out, row.name, row.rate, row.stderr, row.classical, note);
  }
  if (std::isfinite(r.table.observed)) line(out, "observed", NAN, NAN, r.table.observed, "");
  const Row& step = r.table.step;
  out << "\n";
  line(out, step.name, step.rate, step.stderr, step.classical,
       step.failure.empty() ? "the integration step's own drift" : step.failure);
  char tail[128];
  std::snprintf(tail, sizeof tail, "\n%d runs on %d threads, %.1f s%s\n", r.runs, r.threads,
                r.wallSeconds, r.cancelled ? ", cancelled" : "");
  out << tail;
}

}  // namespace orbits::batch
