#pragma once
// The Slurm job array of a sweep: task k runs line k of the sweep's jobs.txt.
#include <string>

#include "sweep/plan.h"

namespace orbits::sweep {

// Defaults a user edits in the script to suit the cluster and the runs.
constexpr const char* kSlurmTime = "02:00:00";  // per task; a run is one core's work
constexpr const char* kSlurmMemory = "1G";      // a run needs some 30 MB, plus its lab records

// The script for `sbatch`, working in the sweep's directory `absDir`.
std::string slurmScript(const Plan& plan, const std::string& absDir);

}  // namespace orbits::sweep
