#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/files.h"
#include "sweep/plan.h"
#include "sweep/plan_options.h"

namespace orbits::sweep {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

std::string planError(std::vector<std::string> args) {
  args.insert(args.begin(), {"--out", "/nonexistent/sweep"});
  PlanRequest request;
  return parsePlanArguments(args, "orbits-batch", request);
}

TEST(SweepPlan, EveryCombinationBecomesOneCompleteRunnerLine) {
  PlanRequest r;
  ASSERT_EQ(parsePlanArguments(
                {"--out", "s", "--preset", "1", "--orbits", "2", "--set", "Chuser=1", "--vary",
                 "TXTgravity=6.670:6.675:3", "--vary", "Optime=4,5", "--series", "/tmp/orbits.csv"},
                "orbits-batch", r),
            "");
  EXPECT_EQ(r.outDir, "s");
  ASSERT_EQ(r.plan.runs.size(), 6u);
  EXPECT_TRUE(r.plan.varied[1].optionArray);
  // The last control varies fastest; a range gives the values at even steps, ends included.
  EXPECT_THAT(r.plan.runs[2].values, ElementsAre("6.6725", "4"));
  EXPECT_EQ(r.plan.runs[5].dir, "runs/006");
  // A complete command for a shell in the sweep's directory: the option as --set takes it, the
  // run's own data directory, report and series file.
  EXPECT_EQ(jobLine(r.plan, r.plan.runs[1]),
            "orbits-batch --preset 1 --orbits 2 --set Chuser=1 --series "
            "runs/002/orbits.csv --set TXTgravity=6.67 --set 'Optime(5)=1' --no-progress --json "
            "--data-dir runs/002 >runs/002/report.json 2>runs/002/messages.txt");
  EXPECT_EQ(shellQuoted("it's"), "'it'\\''s'");
}

TEST(SweepPlan, RefusesWhatTheRunsCouldNotTake) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--preset", "1", "--orbits", "2", "--vary", "TXnothing=1,2"}, "no control named"},
      {{"--preset", "1", "--orbits", "2", "--vary", "Optime=4,5"}, "Chuser=1"},
      {{"--preset", "1", "--orbits", "2", "--vary", "Chend=0,5"}, "check box takes"},
      {{"--preset", "1", "--orbits", "2", "--vary", "TXgexp=1:2:0"}, "whole COUNT"},
      {{"--preset", "1", "--orbits", "2", "--vary", "TXgexp=2,2"}, "comes twice"},
      {{"--preset", "1", "--orbits", "2", "--set", "TXgexp=2", "--vary", "TXgexp=1,2"},
       "changes it too"},
      {{"--preset", "1", "--orbits", "2", "--data-dir", "d"}, "data directory of its own"},
      {{"--reload", "--orbits", "2"}, "no saved run to continue"},
      {{"--preset", "999", "--orbits", "2"}, "there is no preset 999"},
      {{"--preset", "1"}, "give one of --orbits K and --cycles C"},
      {{"--preset", "1", "--orbits", "2", "--runner", "/nonexistent/orbits-batch"},
       "there is no runner program"},
      {{"--preset", "1", "--orbits", "2", "--vary", "TXgexp=1:3:400", "--vary",
        "TXTgravity=1:2:400"},
       "at most 100000"},
  };
  for (const auto& [args, expected] : cases)
    EXPECT_THAT(planError(args), HasSubstr(expected)) << args.back();
}

// TXmass(K) only shows a mass: varying it would give runs that differ in nothing. The plan says
// so and names what varies a mass, which each run then gives in the body editor.
TEST(SweepPlan, AMassIsVariedThroughTheBodyEditorNotItsDisplayBox) {
  const std::vector<std::string> common = {"--preset", "5", "--orbits", "2"};
  auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), common.begin(), common.end());
    return more;
  };
  EXPECT_THAT(planError(with({"--vary", "TXmass(5)=0.0009,0.001"})),
              HasSubstr("the run never reads it. Vary mass(5) instead"));
  EXPECT_THAT(planError(with({"--set", "TXmass(5)=0.001"})), HasSubstr("Vary mass(5) instead"));
  EXPECT_THAT(planError(with({"--vary", "mass(10)=1,2"})), HasSubstr("body number from 0 to 9"));
  EXPECT_THAT(planError(with({"--vary", "mass(5)=0.001,heavy"})), HasSubstr("one number"));
  EXPECT_THAT(planError(with({"--mass", "5=1", "--vary", "mass(5)=1,2"})),
              HasSubstr("changes it too"));
  PlanRequest r;
  std::vector<std::string> args = with({"--mass", "6=0.0003", "--vary", "mass(5)=0.0009,0.001"});
  args.insert(args.begin(), {"--out", "s"});
  ASSERT_EQ(parsePlanArguments(args, "orbits-batch", r), "");
  EXPECT_EQ(jobLine(r.plan, r.plan.runs[1]),
            "orbits-batch --preset 5 --orbits 2 --mass 6=0.0003 --mass 5=0.001 --no-progress "
            "--json --data-dir runs/002 >runs/002/report.json 2>runs/002/messages.txt");
}

TEST(SweepPlan, ReadsBackWhatItWroteAndNeverOverwritesASweep) {
  orbits::testing::TempDir dir;
  PlanRequest r;
  ASSERT_EQ(parsePlanArguments(
                {"--out", dir.path(), "--preset", "1", "--cycles", "10", "--vary", "TXgexp=2,2.01"},
                "orbits-batch", r),
            "");
  ASSERT_EQ(writeSweep(dir.path(), r.plan), "");
  std::string error;
  const auto back = readPlan(dir.path(), error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(planJson(*back), planJson(r.plan));
  const auto lines = orbits::testing::linesOf(dir.file(kJobsFile));
  EXPECT_EQ(lines[0], jobLine(r.plan, r.plan.runs[0]));
  EXPECT_THAT(orbits::testing::readFile(dir.file(kSlurmFile)), HasSubstr("#SBATCH --array=1-2\n"));
  // A second plan into the same directory would mix its runs with this one's reports.
  EXPECT_THAT(writeSweep(dir.path(), r.plan), HasSubstr("is not empty"));
}

}  // namespace
}  // namespace orbits::sweep
