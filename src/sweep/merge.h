#pragma once
// The results of a sweep: one row per run with the varied values and every scalar figure of the
// runner's report, whichever engine ran it; and a picture of one figure against the first
// varied control.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "sweep/plan.h"

namespace orbits::sweep {

constexpr const char* kResultsCsv = "results.csv";
constexpr const char* kResultsSvg = "results.svg";
constexpr const char* kDefaultFigure = "avg_period_days";

// A report's scalars named by their paths: "orbits", "sky.Mercury.angle_deg" (a list of objects
// with names is keyed by the names, any other list by position from 1), "controls.TXmin". The
// data directory is left out: the run's own column says where it ran.
std::vector<std::pair<std::string, nlohmann::ordered_json>> reportFigures(
    const nlohmann::ordered_json& report);

struct Results {
  std::vector<std::string> columns;  // run, the varied controls, status, note, figures
  std::vector<std::vector<nlohmann::ordered_json>> rows;  // per run; null for an empty cell
  size_t firstFigure = 0;                                 // the column of the first figure
};

// The rows of every run of `plan` in `dir`: "ok", "failed" (the runner's outcome says why) or
// "no report" (with the last message the run wrote, or that it has not run).
Results collectResults(const std::string& dir, const Plan& plan);

std::string resultsCsv(const Results& r);

// Merges the sweep in `dir`: writes results.csv and results.svg of `figure`. Returns the exit
// status: 0, 1 when a file cannot be written, 2 when the figure is none of the number columns.
int mergeSweep(const std::string& dir, const std::string& figure, std::ostream& out,
               std::ostream& err);

}  // namespace orbits::sweep
