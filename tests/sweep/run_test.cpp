// The real programs: a small sweep planned, run by GNU parallel and merged, against the same
// lines run one after another by a shell.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../support/files.h"
#include "sweep/merge.h"
#include "sweep/plan.h"
#include "sweep/reports.h"
#include "sweep/run.h"

namespace orbits::sweep {
namespace {

using orbits::testing::readFile;
using ::testing::HasSubstr;

const std::string kSweep = ORBITS_SWEEP_PROGRAM;

int shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> csvCells(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted)
      cells.emplace_back();
    else
      cells.back() += c;
  }
  return cells;
}

// The sweep's results.csv, merged afresh, without the columns of timings no two runs share: the
// wall time, the rate, and the gravity kernel's choice at start-up (timed, so it may differ).
std::string mergedWithoutWallTime(const std::string& dir) {
  EXPECT_EQ(shell(kSweep + " merge " + dir + " >/dev/null"), 0);
  std::istringstream in(readFile(dir + "/" + kResultsCsv));
  std::string line, out;
  std::vector<bool> keep;
  while (std::getline(in, line)) {
    const auto cells = csvCells(line);
    if (keep.empty())
      for (const std::string& c : cells)
        keep.push_back(c != "wall_seconds" && c != "cycles_per_second" && c.rfind("kernel.", 0));
    for (size_t i = 0; i < cells.size(); ++i)
      if (i >= keep.size() || keep[i]) out += cells[i] + ",";
    out += "\n";
  }
  return out;
}

TEST(SweepRun, ParallelGivesTheResultsOfTheLinesRunOneAfterAnother) {
  const char* path = std::getenv("PATH");
  if (findProgram("parallel", path ? path : "").empty())
    GTEST_SKIP() << "GNU parallel is not installed (scripts/install-deps installs it)";
  orbits::testing::TempDir root;
  const std::string dir = root.path() + "/sweep", log = root.path() + "/log";
  ASSERT_EQ(shell(kSweep + " plan --out " + dir +
                  " --preset 1 --orbits 3 --vary TXTgravity=6.670:6.676:3 >/dev/null"),
            0);
  std::string error;
  const auto plan = readPlan(dir, error);
  ASSERT_TRUE(plan) << error;

  ASSERT_EQ(shell(kSweep + " run " + dir + " -j 2 </dev/null >" + log + " 2>&1"), 0)
      << readFile(log);
  const std::string parallel = mergedWithoutWallTime(dir);
  const Results first = collectResults(dir, *plan);
  for (const auto& row : first.rows) EXPECT_EQ(row[2], "ok") << parallel;
  EXPECT_NE(parallel.find("\n1,6.67,ok"), std::string::npos) << parallel;

  // A rerun does only the run whose report is gone: the others' reports stay as they were.
  const std::string kept = readFile(reportPath(dir, plan->runs[0]));
  std::filesystem::remove(reportPath(dir, plan->runs[1]));
  ASSERT_EQ(shell(kSweep + " run " + dir + " </dev/null >" + log + " 2>&1"), 0);
  EXPECT_THAT(readFile(log), HasSubstr("Running 1 of 3 runs"));
  EXPECT_EQ(readFile(reportPath(dir, plan->runs[0])), kept);
  EXPECT_EQ(mergedWithoutWallTime(dir), parallel);

  for (const PlannedRun& r : plan->runs) std::filesystem::remove(reportPath(dir, r));
  ASSERT_EQ(shell("cd " + dir + " && sh " + kJobsFile), 0);
  EXPECT_EQ(mergedWithoutWallTime(dir), parallel);
}

TEST(SweepRun, SaysHowElseToRunTheLinesWhenGnuParallelIsMissing) {
  orbits::testing::TempDir dir;
  Plan plan;
  plan.runner = "orbits-batch";
  plan.arguments = {"--preset", "1", "--orbits", "1"};
  plan.runs = expandRuns({});
  std::filesystem::remove(dir.path());
  ASSERT_EQ(writeSweep(dir.path(), plan), "");
  std::ostringstream out, err;
  EXPECT_EQ(runSweep(dir.path(), 0, out, err, {"/nonexistent", false}), 1);
  EXPECT_THAT(err.str(), HasSubstr("GNU parallel is not installed"));
  EXPECT_THAT(err.str(), HasSubstr("sh jobs.txt"));
}

}  // namespace
}  // namespace orbits::sweep
