#pragma once
// The command line of "orbits-sweep plan": the sweep's own options (--out, --vary, --runner)
// among the runner's options, which every run shares and which are checked as the runner
// checks them, against its panel, before anything is written.
#include <string>
#include <vector>

#include "sweep/plan.h"

namespace orbits::sweep {

struct PlanRequest {
  std::string outDir;
  Plan plan;
};

// "NAME=V1,V2,..." or "NAME=FROM:TO:COUNT" (COUNT values evenly spaced, both ends included).
// "" when it reads, else what is wrong.
std::string parseVaried(const std::string& given, Varied& out);

// The plan the arguments ask for; `runner` is the orbits-batch program the runs use unless
// --runner names another. "" when they make one, else what is wrong.
std::string parsePlanArguments(const std::vector<std::string>& args, const std::string& runner,
                               PlanRequest& out);

}  // namespace orbits::sweep
