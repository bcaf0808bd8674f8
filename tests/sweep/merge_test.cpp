#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "../support/files.h"
#include "sweep/merge.h"
#include "sweep/plan_options.h"
#include "sweep/reports.h"

namespace orbits::sweep {
namespace {

using ::testing::HasSubstr;
using Json = nlohmann::ordered_json;

void write(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string cell(const Results& r, size_t row, const std::string& column) {
  const auto at = std::find(r.columns.begin(), r.columns.end(), column);
  if (at == r.columns.end()) return "(no column)";
  const Json& v = r.rows[row][size_t(at - r.columns.begin())];
  return v.is_null() ? "" : v.is_string() ? v.get<std::string>() : v.dump();
}

TEST(SweepMerge, EveryRunIsARowAndSaysWhetherItFailedOrHasNoReport) {
  orbits::testing::TempDir dir;
  PlanRequest r;
  ASSERT_EQ(parsePlanArguments({"--out", dir.path(), "--preset", "1", "--orbits", "2", "--vary",
                                "TXgexp=2,2.1,2.2,2.3"},
                               "orbits-batch", r),
            "");
  ASSERT_EQ(writeSweep(dir.path(), r.plan), "");
  const auto& runs = r.plan.runs;
  write(reportPath(dir.path(), runs[0]),
        R"({"orbits": 2, "sky": [{"body": 1, "name": "Mercury", "angle_deg": 0.5}],)"
        R"( "message": "a, \"b\"", "data_dir": "/x", "exit_status": 0})");
  write(reportPath(dir.path(), runs[1]),
        R"({"orbits": 1, "new_figure": 7, "outcome": "stopped on a numeric failure",)"
        R"( "exit_status": 1})");
  // A run killed while it wrote its report, and one that never started.
  write(reportPath(dir.path(), runs[2]), R"({"orbits": 2, "sky)");
  write(messagesPath(dir.path(), runs[2]), "orbits-batch: something\n");
  std::filesystem::remove_all(dir.path() + "/" + runs[3].dir);

  const Results res = collectResults(dir.path(), r.plan);
  ASSERT_EQ(res.rows.size(), 4u);
  EXPECT_EQ(cell(res, 0, "status"), "ok");
  EXPECT_EQ(cell(res, 1, "status"), "failed");
  EXPECT_EQ(cell(res, 2, "status"), "no report");
  EXPECT_EQ(cell(res, 2, "note"), "orbits-batch: something");
  EXPECT_EQ(cell(res, 3, "note"), "not run");
  EXPECT_EQ(cell(res, 1, "TXgexp"), "2.1");
  // Lists of named objects are keyed by their names; a figure only some runs give is a column.
  EXPECT_EQ(cell(res, 0, "sky.Mercury.angle_deg"), "0.5");
  EXPECT_EQ(cell(res, 1, "new_figure"), "7");
  EXPECT_EQ(cell(res, 0, "new_figure"), "");
  EXPECT_EQ(cell(res, 0, "data_dir"), "(no column)");
  const std::string csv = resultsCsv(res);
  EXPECT_THAT(csv, HasSubstr("run,TXgexp,status,note,orbits,sky.Mercury.body,"));
  EXPECT_THAT(csv, HasSubstr(",\"a, \"\"b\"\"\","));
}

}  // namespace
}  // namespace orbits::sweep
