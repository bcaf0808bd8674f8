#pragma once
// The runner's JSON reports of a sweep's runs, as the sweep's directory holds them.
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "sweep/plan.h"

namespace orbits::sweep {

// The path of a run's report, or of its messages, in the sweep's directory `dir`.
std::string reportPath(const std::string& dir, const PlannedRun& run);
std::string messagesPath(const std::string& dir, const PlannedRun& run);

// The run's report when it is finished: a whole JSON object with the runner's exit status. A
// run still going, or one killed before its end, has an empty or cut report, and none.
std::optional<nlohmann::ordered_json> finishedReport(const std::string& dir, const PlannedRun& run);

}  // namespace orbits::sweep
