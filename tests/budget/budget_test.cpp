#include "budget/budget.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <sstream>
#include <string>
#include <thread>

#include "../support/files.h"

namespace orbits::budget {
namespace {

// Each cause is its run's rate less the baseline's, with the errors added in quadrature; the sum
// of the single planets stands before the run of them all; a failed baseline fails every row.
TEST(BudgetTable, CausesAreMeasuredFromTheBaseline) {
  Scenario sc;
  sc.planet = 1;
  sc.planetName = "Mercury";
  sc.inPlay = {true, true, true, false, false, true, false, false, false};
  sc.names = {"Sun", "Mercury", "Venus", "", "", "Jupiter", "", "", ""};
  const std::vector<CauseRun> runs = planRuns(sc);
  ASSERT_EQ(runs.size(), 6u);  // alone, Venus, Jupiter, both, relativity, both and relativity
  EXPECT_EQ(runs[3].cause, Cause::AllPlanets);
  EXPECT_EQ(runs[3].bodiesInPlay(), 4);
  EXPECT_TRUE(runs[5].relativity && runs[5].inPlay[5]);
  std::vector<RunResult> results(runs.size());
  const double rates[6] = {-2, 276, 151, 427, 41, 468};
  for (size_t i = 0; i < runs.size(); ++i) results[i] = {rates[i], i == 0 ? 0.0 : 0.4, 415, ""};
  Table t = makeTable(sc, runs, results);
  ASSERT_EQ(t.rows.size(), 6u);
  EXPECT_EQ(t.step.rate, -2);
  EXPECT_EQ(t.rows[0].name, "Venus");
  EXPECT_EQ(t.rows[0].rate, 278);
  EXPECT_EQ(t.rows[0].classical, 277.8);
  EXPECT_EQ(t.rows[2].cause, Cause::SumOfPlanets);
  EXPECT_EQ(t.rows[2].rate, 278 + 153);
  EXPECT_NEAR(t.rows[2].stderr, std::sqrt(2 * 0.16), 1e-12);
  EXPECT_EQ(t.rows[3].rate, 429);
  EXPECT_EQ(t.rows[5].rate, 470);
  EXPECT_NEAR(t.rows[5].classical, 531.5 + 42.98, 1e-9);
  EXPECT_EQ(t.observed, 574.1);
  // The table as the Charts window's "Save data" writes it: a row per cause, the step's last.
  BudgetResult r;
  r.table = t;
  std::ostringstream out;
  writeBudgetCsv(out, r);
  const std::string csv = out.str();
  EXPECT_THAT(csv, ::testing::StartsWith("cause,arcsec_per_century,stderr,classical,"
                                         "difference,run_arcsec_per_century,perihelia\n"
                                         "\"Venus\",278,"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 6 + 1);

  results[0].failure = "it broke";
  t = makeTable(sc, runs, results);
  for (const Row& r : t.rows) EXPECT_FALSE(r.failure.empty()) << r.name;
}

// The same budget on one thread and on two gives the same figures to the bit: the windows of
// the core running side by side share nothing. Relativity, measured from the baseline, is the
// theory of the starting orbit; the runs leave nothing behind in the temporary directory.
TEST(Budget, ThreadsShareNothingAndRelativityIsTheTheory) {
  testing::TempDir tmp;
  const char* before = std::getenv("TMPDIR");
  const std::string saved = before ? before : "";
  ::setenv("TMPDIR", tmp.path().c_str(), 1);
  BudgetRequest request;
  request.preset = 51;
  request.years = 1;
  BudgetResult results[2];
  for (int t : {1, 2}) {
    request.threads = t;
    BudgetControl control;
    results[t - 1] = runBudget(request, control);
    ASSERT_EQ(results[t - 1].error, "");
    EXPECT_EQ(control.progress(), 1.0);
  }
  before ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR");
  EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
  EXPECT_EQ(results[1].threads, std::min(2, int(std::thread::hardware_concurrency())));
  const Table &one = results[0].table, &two = results[1].table;
  ASSERT_EQ(one.rows.size(), 11u);
  ASSERT_EQ(two.rows.size(), one.rows.size());
  for (size_t i = 0; i < one.rows.size(); ++i) {
    EXPECT_EQ(one.rows[i].rate, two.rows[i].rate) << one.rows[i].name;
    EXPECT_EQ(one.rows[i].failure, "");
  }
  const Row& relativity = one.rows[9];
  ASSERT_EQ(relativity.cause, Cause::Relativity);
  EXPECT_NEAR(relativity.rate, results[0].scenario.relativityTheory, 1e-3 * relativity.rate);
}

// Cancelled, every run stops and the budget says so; a request that cannot run says why.
TEST(Budget, CancelledOrImpossible) {
  BudgetControl control;
  BudgetRequest request;
  request.years = kMaxYears;
  std::thread canceller([&] { control.cancel(); });
  const BudgetResult r = runBudget(request, control);
  canceller.join();
  EXPECT_TRUE(r.cancelled);
  EXPECT_FALSE(r.table.step.failure.empty());

  std::string error;
  request.preset = 9;  // never offered
  probeScenario(request, error);
  EXPECT_EQ(error, "there is no preset 9");
  request.preset = 51;
  request.years = 0;
  probeScenario(request, error);
  EXPECT_NE(error.find("span"), std::string::npos);
}

// Two threads while one run may go on (a run on screen takes the other core): the thread held
// back leaves the list to the other, and goes on once that one has no more to do, so the budget
// ends rather than waiting for the run on screen to stop.
TEST(Budget, AThreadHeldBackLetsTheBudgetEnd) {
  BudgetControl control;
  control.allowRuns(1);
  BudgetRequest request;
  request.years = 1;  // four perihelia
  request.threads = 2;
  auto running = std::async(std::launch::async, [&] { return runBudget(request, control); });
  const bool ended = running.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
  if (!ended) control.cancel();
  const BudgetResult r = running.get();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(r.threads, 2);
  EXPECT_TRUE(r.table.step.failure.empty()) << r.table.step.failure;
}

}  // namespace
}  // namespace orbits::budget
