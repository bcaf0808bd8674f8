#include "sweep/slurm_script.h"

#include <utility>

namespace orbits::sweep {

namespace {

// @RUNS@, @DIR@, @TIME@ and @MEMORY@ are filled in; the file names are those of plan.h.
constexpr const char* kTemplate = R"(#!/bin/sh
# The sweep planned in this directory as a Slurm job array: task k runs line k of
# jobs.txt, one run on one core. Submit it with
#   sbatch @DIR@/slurm.sh
# and, to run again only the runs that have no report (orbits-sweep merge names them),
#   sbatch --array=3,7 @DIR@/slurm.sh
# Edit the time and memory below to suit the runs and the cluster; add a partition or
# an account (#SBATCH --partition=..., --account=...) where the cluster asks for one.
# The directory below is where the sweep was planned: change it if the sweep moves.
#SBATCH --job-name=orbits-sweep
#SBATCH --array=1-@RUNS@
#SBATCH --ntasks=1
#SBATCH --cpus-per-task=1
#SBATCH --time=@TIME@
#SBATCH --mem=@MEMORY@
#SBATCH --chdir=@DIR@
#SBATCH --output=logs/slurm-%A_%a.out
line=$(sed -n "${SLURM_ARRAY_TASK_ID}p" jobs.txt)
if [ -z "$line" ]; then
  echo "jobs.txt has no line $SLURM_ARRAY_TASK_ID" >&2
  exit 1
fi
exec /bin/sh -c "$line"
)";

}  // namespace

std::string slurmScript(const Plan& plan, const std::string& absDir) {
  std::string text = kTemplate;
  for (const auto& [key, value] :
       {std::pair<std::string, std::string>{"@RUNS@", std::to_string(plan.runs.size())},
        {"@DIR@", absDir},
        {"@TIME@", kSlurmTime},
        {"@MEMORY@", kSlurmMemory}})
    for (size_t at; (at = text.find(key)) != std::string::npos;)
      text.replace(at, key.size(), value);
  return text;
}

}  // namespace orbits::sweep
