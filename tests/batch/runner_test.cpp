#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "../support/test_host.h"
#include "analysis/data_file.h"
#include "batch_support.h"
#include "panel/wired_window.h"
#include "persist/data_dir.h"
#include "text/date.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits::batch {
namespace {

using testing::fixedEnv;
using ::testing::HasSubstr;
using testing::linesOf;
using testing::readFile;
using testing::runWith;
using testing::TempDir;

// The first preset: Mercury from 1940, some fifty thousand cycles an orbit.
constexpr const char* kFastPreset = "1";

nlohmann::json jsonOf(const testing::Outcome& r) {
  EXPECT_TRUE(nlohmann::json::accept(r.out)) << r.out;
  return nlohmann::json::parse(r.out, nullptr, false);
}

TEST(BatchRun, WritesTheSameDriftFileAsTheCoreDrivenDirectly) {
  // The core on its own, stopped by Stop at the yield of the cycle that completes orbit 3.
  orbits::testing::TestHost host;
  {
    WiredWindow w(host);
    host.onYield = [&w](long) {
      if (w.sim.orbitCount >= 3) w.c("CDstop").press();
    };
    w.c("CDp", 1).press();
    ASSERT_EQ(w.sim.orbitCount, 3);
  }
  TempDir dir;
  const auto r = runWith({"--preset", kFastPreset, "--orbits", "3", "--data-dir", dir.path()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto direct = linesOf(host.dataDir() + "/" + kDriftFileName);
  const auto batch = linesOf(dir.file(kDriftFileName));
  ASSERT_GT(direct.size(), 3u);
  ASSERT_EQ(batch.size(), direct.size());
  // Line 1 carries the computer's date and time.
  for (size_t i = 1; i < direct.size(); ++i) EXPECT_EQ(batch[i], direct[i]) << "line " << i + 1;
}

// --mass gives a body its mass as a user does: the run stopped at its first cycle, the body
// chosen in the editor, the mass typed into its box and the box left, the run continued. The
// runner writes the drift file of the user's run, and the mass is the run's.
TEST(BatchRun, MassIsGivenInTheBodyEditorAsAUserGivesIt) {
  constexpr const char* kMass = "0.002";  // Mercury some twelve thousand times as heavy
  orbits::testing::TestHost host;
  {
    WiredWindow w(host);
    host.onYield = [&w](long n) {
      if (n == 1 || w.sim.orbitCount >= 3) w.c("CDstop").press();
    };
    w.c("CDp", 1).press();
    ASSERT_EQ(w.sim.cycleCount, 1);
    w.c("Qui").setValue(1);
    w.c("TXTp", 4).typeText(kMass);
    w.c("TXTp", 4).lostFocus();
    ASSERT_EQ(w.sim.bodyMass[1], 0.002);
    w.c("CDcont").press();
    ASSERT_EQ(w.sim.orbitCount, 3);
  }
  TempDir dir, plain;
  const auto r = runWith({"--preset", kFastPreset, "--orbits", "3", "--mass",
                          std::string("1=") + kMass, "--json", "--data-dir", dir.path()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto j = jsonOf(r);
  EXPECT_EQ(j["outcome"], "stopped at the limit");
  EXPECT_EQ(j["run_cycles"], j["cycles"]);
  EXPECT_EQ(j["masses"]["Mercury"], 0.002);
  const auto direct = linesOf(host.dataDir() + "/" + kDriftFileName);
  const auto batch = linesOf(dir.file(kDriftFileName));
  ASSERT_EQ(batch.size(), direct.size());
  for (size_t i = 1; i < direct.size(); ++i) EXPECT_EQ(batch[i], direct[i]) << "line " << i + 1;
  // Without it, the run keeps the epoch's mass and another period.
  const auto u = jsonOf(
      runWith({"--preset", kFastPreset, "--orbits", "3", "--json", "--data-dir", plain.path()}));
  EXPECT_LT(u["masses"]["Mercury"].get<double>(), 1e-6);
  EXPECT_NE(u["avg_period_days"], j["avg_period_days"]);
}

TEST(BatchRun, OrbitsStopsAtThatOrbitAfterItsSave) {
  TempDir dir;
  const auto r =
      runWith({"--preset", kFastPreset, "--orbits", "2", "--json", "--data-dir", dir.path()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto j = jsonOf(r);
  EXPECT_EQ(j["orbits"], 2);
  EXPECT_EQ(j["run_state"], "stop");
  EXPECT_EQ(j["limit_reached"], true);
  EXPECT_EQ(j["run_cycles"], j["cycles"]);
  // The save of the cycle that completed orbit 2 was written: reloading it gives orbit 2 and
  // the cycle count of that cycle, the last one of the run.
  ASSERT_TRUE(std::filesystem::exists(dir.file("orbit-save.txt")));
  const auto again = runWith({"--reload", "--cycles", "1", "--json", "--data-dir", dir.path()});
  ASSERT_EQ(again.status, kExitOk) << again.err;
  const auto k = jsonOf(again);
  EXPECT_EQ(k["orbits"], 2);
  EXPECT_EQ(k["cycles"], j["cycles"].get<double>() + 1);
}

// The last orbit's exact perihelion as numbers: its Julian date falls on the day the window
// shows as that orbit's perihelion date.
TEST(BatchRun, ReportsTheLastOrbitsPerihelionAsNumbers) {
  TempDir dir;
  const auto r = runWith({"--preset", kFastPreset, "--orbits", "4", "--json", "--data-dir",
                          dir.path(), "--show", "TXdatePERI"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto j = jsonOf(r);
  EXPECT_EQ(j["last_perihelion_orbit"], 3);
  const double jd = j["last_perihelion_jd"].get<double>();
  // Julian date 2440587.5 is the start of 1 January 1970.
  const text::Date day{int32_t(std::floor(jd - 2440587.5))};
  EXPECT_EQ(text::dateText(day), j["controls"]["TXdatePERI"]);
  EXPECT_EQ(j["last_perihelion_date"], j["controls"]["TXdatePERI"]);
  // Three Mercury years after the start, and before the run's end.
  EXPECT_NEAR(j["last_perihelion_days"].get<double>(), 3 * 88.0, 44);
  EXPECT_LT(j["last_perihelion_days"].get<double>(), j["elapsed_days"].get<double>());
}

// The series file gets a row as each orbit ends, also after a reload (the orbits of that run),
// and the report says what the reload restored of the lab.
TEST(BatchRun, TheSeriesHasARowPerOrbitOfTheRunAndTheReportTheLabRestored) {
  TempDir dir;
  const std::string csv = dir.file("series.csv");
  ASSERT_EQ(
      runWith({"--preset", kFastPreset, "--orbits", "3", "--data-dir", dir.path(), "--series", csv})
          .status,
      kExitOk);
  EXPECT_EQ(linesOf(csv).size(), 1u + 3u);  // the header, orbits 0, 1 and 2
  const auto r =
      runWith({"--reload", "--orbits", "5", "--json", "--data-dir", dir.path(), "--series", csv});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto rows = linesOf(csv);
  ASSERT_EQ(rows.size(), 1u + 2u);
  EXPECT_EQ(rows[1].substr(0, 2), "3,");
  const auto lab = jsonOf(r)["lab_restore"];
  EXPECT_EQ(lab["complete"], true);
  EXPECT_EQ(lab["orbits_restored"], 3);
  EXPECT_TRUE(lab["problem"].is_null());
}

// A series file that cannot be made is said before the run, which does not start: an overnight
// run must not end without the file it was asked for.
TEST(BatchRun, ASeriesFileThatCannotBeMadeStopsTheRunBeforeItStarts) {
  TempDir dir;
  const auto r = runWith({"--preset", kFastPreset, "--orbits", "3", "--data-dir", dir.path(),
                          "--series", dir.file("missing/series.csv")});
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr("missing/series.csv: No such file or directory. Nothing was run."));
  EXPECT_FALSE(std::filesystem::exists(dir.file(kDriftFileName)));
}

TEST(BatchRun, CyclesCountsTheCyclesOfThisRun) {
  TempDir dir;
  const auto r = runWith({"--preset", kFastPreset, "--cycles", "1234", "--json", "--data-dir",
                          dir.path(), "--show", "TXiterations"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto j = jsonOf(r);
  EXPECT_EQ(j["cycles"], 1234);
  EXPECT_EQ(j["run_cycles"], 1234);
  EXPECT_EQ(j["orbits"], 0);
  // Stop writes the cycle count into the box, as in the window.
  EXPECT_EQ(j["controls"]["TXiterations"], "1234");
}

TEST(BatchRun, ReloadContinuesTheSavedRun) {
  TempDir dir;
  const auto first =
      runWith({"--preset", kFastPreset, "--orbits", "2", "--json", "--data-dir", dir.path()});
  ASSERT_EQ(first.status, kExitOk) << first.err;
  const auto saved = jsonOf(first);
  const size_t driftLines = linesOf(dir.file(kDriftFileName)).size();

  const auto r = runWith({"--reload", "--orbits", "4", "--json", "--data-dir", dir.path()});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto j = jsonOf(r);
  EXPECT_EQ(j["reload"], true);
  EXPECT_EQ(j["preset"], 1);
  EXPECT_EQ(j["orbits"], 4);
  EXPECT_EQ(j["limit_reached"], true);
  // The cycle count goes on from the save; the clock goes on too.
  EXPECT_EQ(j["cycles"], saved["cycles"].get<double>() + j["run_cycles"].get<double>());
  EXPECT_GT(j["elapsed_days"].get<double>(), saved["elapsed_days"].get<double>());
  // Mercury's period from the orbits of both runs.
  EXPECT_NEAR(j["avg_period_days"].get<double>(), 88.0, 1.0);
  // The drift file goes on with the records of orbits 3 and 4.
  EXPECT_GT(linesOf(dir.file(kDriftFileName)).size(), driftLines);
}

TEST(BatchRun, ReloadWithoutASaveFails) {
  TempDir dir;
  const auto r = runWith({"--reload", "--orbits", "4", "--json", "--data-dir", dir.path()});
  EXPECT_EQ(r.status, kExitFailed);
  EXPECT_THAT(r.err, HasSubstr("No reload available"));
  const auto j = jsonOf(r);
  EXPECT_EQ(j["outcome"], "reload failed");
  EXPECT_EQ(j["run_cycles"], 0);
  EXPECT_EQ(j["exit_status"], kExitFailed);
}

TEST(BatchRun, JsonHoldsEveryFigure) {
  TempDir dir;
  const auto r = runWith({"--preset", kFastPreset, "--orbits", "4", "--json", "--data-dir",
                          dir.path(), "--show", "TXarc", "--show", "LaChirp(0)"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto j = jsonOf(r);
  for (const char* key :
       {"preset", "orbits", "cycles", "elapsed_days", "elapsed_years", "avg_period_days",
        "avg_period_years", "precession_arcsec_per_year", "precession_error_arcsec_per_year",
        "min_distance_km", "max_distance_km", "message", "run_state", "wall_seconds",
        "cycles_per_second", "kernel", "controls", "perihelion_longitude_rate_arcsec_per_century",
        "perihelion_longitude_rate_stderr_arcsec_per_century"})
    EXPECT_TRUE(j.contains(key)) << key;
  EXPECT_EQ(j["preset"], 1);
  EXPECT_EQ(j["orbits"], 4);
  EXPECT_NEAR(j["elapsed_years"].get<double>() * 365.25, j["elapsed_days"].get<double>(), 1.0);
  EXPECT_NEAR(j["avg_period_years"].get<double>(), 0.2408, 0.003);
  // Mercury's distance from the Sun: 46 to 70 million km.
  EXPECT_NEAR(j["min_distance_km"].get<double>(), 46.0e6, 1.0e6);
  EXPECT_NEAR(j["max_distance_km"].get<double>(), 69.8e6, 1.0e6);
  EXPECT_EQ(j["message"].get<std::string>(), j["message"].get<std::string>());
  // The precession figures are the numbers behind what the window shows, or null where it
  // shows none.
  const std::string arc = j["controls"]["TXarc"];
  if (arc == "~" || arc == "n/a")
    EXPECT_TRUE(j["precession_arcsec_per_year"].is_null()) << arc;
  else
    EXPECT_EQ(text::patterned(j["precession_arcsec_per_year"].get<double>(), "0.0000"), arc);
  EXPECT_TRUE(j["controls"].contains("LaChirp(0)"));
  // Every planet is in play, in 1940, a few degrees at most from the real one.
  ASSERT_EQ(j["sky"].size(), 8u);
  EXPECT_EQ(j["sky"][0]["name"], "Mercury");
  EXPECT_LT(j["sky"][0]["angle_deg"].get<double>(), 1.0);
  EXPECT_LT(std::abs(j["sky"][7]["distance_error_percent"].get<double>()), 1.0);
  // The clock never moved: no speed to report.
  EXPECT_TRUE(j["cycles_per_second"].is_null());
}

// --budget: a year of Mercury from 1900, every cause measured from the run of the Sun and
// Mercury alone, relativity at the theory of the starting orbit; the table names the figures.
TEST(BatchRun, BudgetReportsEveryCause) {
  const auto r = runWith({"--budget", "--preset", "51", "--years", "1", "--json"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  const auto b = jsonOf(r)["budget"];
  EXPECT_EQ(b["planet"], "Mercury");
  EXPECT_EQ(b["epoch"], 1900);
  EXPECT_EQ(b["step_seconds"], 150);
  ASSERT_EQ(b["rows"].size(), 11u);
  EXPECT_EQ(b["rows"][0]["cause"], "Venus");
  EXPECT_EQ(b["rows"][0]["classical"], 277.8);
  EXPECT_EQ(b["step"]["cause"], "Sun and Mercury alone");
  const auto& relativity = b["rows"][9];
  ASSERT_EQ(relativity["cause"], "relativity");
  EXPECT_NEAR(relativity["arcsec_per_century"].get<double>(), b["relativity_theory"].get<double>(),
              0.05);
  const auto text = runWith({"--budget", "--preset", "51", "--years", "1"});
  EXPECT_THAT(text.out, HasSubstr("Precession budget of Mercury's perihelion"));
  EXPECT_THAT(text.out, HasSubstr("all planets and relativity"));
}

TEST(BatchRun, ReadableSummaryNamesTheFigures) {
  TempDir dir;
  const auto r = runWith({"--preset", kFastPreset, "--cycles", "100", "--data-dir", dir.path(),
                          "--show", "TXiterations"});
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Preset 1: stopped at the limit"));
  EXPECT_THAT(r.out, HasSubstr("TXiterations = 100"));
  EXPECT_FALSE(nlohmann::json::accept(r.out));
}

TEST(BatchRun, ThenActsAtTheFirstCycleOfTheRun) {
  // The first preset runs in full detail; minimal detail from the first cycle on leaves the
  // speed texts of the bodies as the preset left them.
  TempDir a, b;
  const auto full = runWith({"--preset", kFastPreset, "--cycles", "50", "--json", "--data-dir",
                             a.path(), "--show", "TXvolight(1)"});
  const auto trim = runWith({"--preset", kFastPreset, "--cycles", "50", "--json", "--data-dir",
                             b.path(), "--show", "TXvolight(1)", "--then", "OptimT(5)=1"});
  ASSERT_EQ(full.status, kExitOk);
  ASSERT_EQ(trim.status, kExitOk);
  const std::string fullText = jsonOf(full)["controls"]["TXvolight(1)"];
  const std::string trimText = jsonOf(trim)["controls"]["TXvolight(1)"];
  EXPECT_THAT(fullText, ::testing::ContainsRegex("[0-9]"));
  EXPECT_NE(trimText, fullText);
}

TEST(BatchRun, SetActsBeforeThePreset) {
  // With "Choose my own time rate" ticked the preset keeps the time rate chosen before it.
  TempDir a, b;
  const auto own = runWith({"--set", "Chuser=1", "--set", "Optime(5)=1", "--preset", kFastPreset,
                            "--cycles", "1000", "--json", "--data-dir", a.path()});
  const auto its =
      runWith({"--preset", kFastPreset, "--cycles", "1000", "--json", "--data-dir", b.path()});
  ASSERT_EQ(own.status, kExitOk) << own.err;
  ASSERT_EQ(its.status, kExitOk) << its.err;
  EXPECT_NE(jsonOf(own)["elapsed_days"], jsonOf(its)["elapsed_days"]);
}

TEST(BatchRun, UnwritableDataDirectoryGoesOnWithMessagesAndSucceeds) {
  TempDir dir;
  // A directory that cannot be made: its parent is a file.
  { std::ofstream(dir.file("plain")) << "x"; }
  const auto r = runWith(
      {"--preset", kFastPreset, "--orbits", "1", "--json", "--data-dir", dir.file("plain/sub")});
  EXPECT_EQ(r.status, kExitOk) << r.err;
  EXPECT_THAT(r.err, HasSubstr("cannot create the data directory"));
  const auto j = jsonOf(r);
  EXPECT_EQ(j["orbits"], 1);
  EXPECT_FALSE(j["messages"].empty());
}

TEST(BatchRun, DataDirectoryIsMadeAndDefaultsToTheProgramsOwn) {
  TempDir dir;
  const auto made =
      runWith({"--preset", kFastPreset, "--orbits", "1", "--data-dir", dir.file("a/b")});
  ASSERT_EQ(made.status, kExitOk) << made.err;
  EXPECT_TRUE(std::filesystem::exists(dir.file("a/b/") + kDriftFileName));

  TempDir own;
  const auto r = runWith({"--preset", kFastPreset, "--orbits", "1"}, fixedEnv(own.path()));
  ASSERT_EQ(r.status, kExitOk) << r.err;
  EXPECT_TRUE(std::filesystem::exists(own.file(kDriftFileName)));
}

// Another run holds the directory: this one runs nothing, writes nothing and says why.
TEST(BatchRun, ADataDirectoryInUseIsRefusedWithStatusTwo) {
  TempDir dir;
  const persist::DataDirLock other(dir.path());
  const auto r = runWith({"--preset", kFastPreset, "--orbits", "1", "--data-dir", dir.path()});
  EXPECT_EQ(r.status, kExitDirectoryInUse);
  EXPECT_THAT(r.err, HasSubstr(dir.path() + " is in use by another run of the program"));
  EXPECT_TRUE(r.out.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.file(kDriftFileName)));
}

TEST(BatchRun, NumericFailureStopsTheRunWithStatusOne) {
  TempDir dir;
  // A gravity exponent of -400: the distance power underflows to 0 and the accelerations overflow.
  const auto r = runWith({"--preset", kFastPreset, "--cycles", "100", "--json", "--then",
                          "TXgexp=-400", "--data-dir", dir.path()});
  EXPECT_EQ(r.status, kExitFailed) << r.err;
  const auto j = jsonOf(r);
  EXPECT_EQ(j["outcome"], "stopped on a numeric failure");
  EXPECT_EQ(j["run_state"], "stop");
  EXPECT_THAT(r.err, HasSubstr("Numeric overflow"));
}

TEST(BatchRun, ProgressIsDrawnOnlyWhenAsked) {
  TempDir a, b;
  // A clock that moves 10 ms at every reading: progress lines are due.
  BatchEnv env = fixedEnv();
  auto t = std::make_shared<std::chrono::nanoseconds>(0);
  env.clocks.monotonic = [t] { return *t += std::chrono::milliseconds(10); };
  env.errIsTerminal = true;
  const auto shown =
      runWith({"--preset", kFastPreset, "--cycles", "5000", "--data-dir", a.path()}, env);
  EXPECT_THAT(shown.err, HasSubstr("cycles/s"));
  EXPECT_THAT(shown.err, HasSubstr("cycle "));
  const auto quiet = runWith(
      {"--preset", kFastPreset, "--cycles", "5000", "--no-progress", "--data-dir", b.path()}, env);
  EXPECT_THAT(quiet.err, ::testing::Not(HasSubstr("cycles/s")));
}

TEST(BatchRun, TimersTickOnTheClockDuringTheRun) {
  // The status timer's message about the fastest rate appears only once the timer has ticked:
  // a clock that stands still never ticks it, one that moves 10 ms a reading does.
  auto statusAfter = [](BatchEnv env) {
    TempDir dir;
    const auto r = runWith({"--set", "CHquick=0", "--preset", kFastPreset, "--cycles", "20000",
                            "--json", "--no-progress", "--data-dir", dir.path()},
                           env);
    EXPECT_EQ(r.status, kExitOk) << r.err;
    return jsonOf(r)["message"].get<std::string>();
  };
  BatchEnv moving = fixedEnv();
  auto t = std::make_shared<std::chrono::nanoseconds>(0);
  moving.clocks.monotonic = [t] { return *t += std::chrono::milliseconds(10); };
  EXPECT_THAT(statusAfter(moving), HasSubstr("fastest rate"));
  EXPECT_THAT(statusAfter(fixedEnv()), ::testing::Not(HasSubstr("fastest rate")));
}

}  // namespace
}  // namespace orbits::batch
