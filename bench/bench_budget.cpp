// The whole precession budget of Mercury's perihelion over a century from 1900 (preset 51, 150 s
// per calculation): eleven runs of 21 million cycles each, on every core. The time is the wall
// time a user waits for the table.
#include <benchmark/benchmark.h>

#include "budget/budget.h"

namespace orbits::budget {
namespace {

void BM_BudgetCenturyFrom1900(benchmark::State& state) {
  for (auto _ : state) {
    BudgetRequest request;
    request.preset = 51;
    request.years = 100;
    BudgetControl control;
    const BudgetResult r = runBudget(request, control);
    if (!r.error.empty() || r.cancelled) state.SkipWithError("the budget did not run");
    for (const Row& row : r.table.rows)
      if (!row.failure.empty()) state.SkipWithError("a run of the budget failed");
    state.counters["runs"] = r.runs;
    state.counters["threads"] = r.threads;
  }
}

BENCHMARK(BM_BudgetCenturyFrom1900)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace orbits::budget
