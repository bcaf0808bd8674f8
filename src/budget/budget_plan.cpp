#include "budget/budget_plan.h"

#include <algorithm>

namespace orbits::budget {

namespace {

// Mercury's classical budget, arc-seconds per Julian century: the secular pull of each planet
// on the real orbit, relativity by 6 pi G M / (c^2 a (1 - e^2)) per orbit, and the observed
// advance against a fixed ecliptic.
constexpr double kMercuryByPlanet[kBodies] = {NAN, NAN, 277.8, 90.0, 2.5, 153.6, 7.3, 0.14, 0.04};
constexpr double kMercuryAllPlanets = 531.5;
constexpr double kMercuryRelativity = 42.98;
constexpr double kMercuryObserved = 574.1;

CauseRun causeRun(const Scenario& sc, Cause cause, std::string name, bool relativity) {
  CauseRun r;
  r.cause = cause;
  r.name = std::move(name);
  r.inPlay[0] = r.inPlay[size_t(sc.planet)] = true;
  r.relativity = relativity;
  return r;
}

// The planets other than the watched one that the scenario has in play.
std::vector<int> others(const Scenario& sc) {
  std::vector<int> list;
  for (int k = 1; k < kBodies; ++k)
    if (k != sc.planet && sc.inPlay[size_t(k)]) list.push_back(k);
  return list;
}

Row rowOf(const Scenario& sc, const CauseRun& run, const RunResult& r, const RunResult& base) {
  Row row;
  row.cause = run.cause;
  row.body = run.body;
  row.name = run.name;
  row.raw = r.rate;
  row.perihelia = r.perihelia;
  row.classical = classicalShare(sc.planet, run.cause, run.body);
  if (!base.ok())
    row.failure = "the run of the Sun and " + sc.planetName + " alone failed: " + base.failure;
  else if (!r.ok())
    row.failure = r.failure;
  if (!row.failure.empty()) return row;
  row.rate = r.rate - base.rate;
  row.stderr = std::hypot(r.stderr, base.stderr);
  return row;
}

}  // namespace

int CauseRun::bodiesInPlay() const { return int(std::count(inPlay.begin(), inPlay.end(), true)); }

std::vector<CauseRun> planRuns(const Scenario& sc) {
  const std::string& planet = sc.planetName;
  std::vector<CauseRun> runs{causeRun(sc, Cause::Step, "Sun and " + planet + " alone", false)};
  const std::vector<int> rest = others(sc);
  for (int k : rest) {
    CauseRun r = causeRun(sc, Cause::Planet, sc.names[size_t(k)], false);
    r.body = k;
    r.inPlay[size_t(k)] = true;
    runs.push_back(r);
  }
  // With a single other planet, all of them is that one.
  if (rest.size() >= 2) {
    CauseRun all = causeRun(sc, Cause::AllPlanets, "all planets", false);
    for (int k : rest) all.inPlay[size_t(k)] = true;
    runs.push_back(all);
  }
  runs.push_back(causeRun(sc, Cause::Relativity, "relativity", true));
  if (!rest.empty()) {
    CauseRun both = causeRun(sc, Cause::AllAndRelativity, "all planets and relativity", true);
    for (int k : rest) both.inPlay[size_t(k)] = true;
    runs.push_back(both);
  }
  return runs;
}

Table makeTable(const Scenario& sc, const std::vector<CauseRun>& runs,
                const std::vector<RunResult>& results) {
  Table t;
  if (runs.empty() || results.size() != runs.size()) return t;
  const RunResult& base = results.front();
  t.step.cause = Cause::Step;
  t.step.name = runs.front().name;
  t.step.rate = t.step.raw = base.rate;
  t.step.stderr = base.stderr;
  t.step.perihelia = base.perihelia;
  t.step.classical = 0;  // a lone planet's orbit about the Sun stays where it is
  t.step.failure = base.failure;
  t.observed = observedAdvance(sc.planet);

  Row sum;
  sum.cause = Cause::SumOfPlanets;
  sum.name = "sum of the planets";
  sum.rate = sum.stderr = 0;
  sum.classical = classicalShare(sc.planet, Cause::SumOfPlanets);
  bool planets = false;
  for (size_t i = 1; i < runs.size(); ++i) {
    Row row = rowOf(sc, runs[i], results[i], base);
    if (row.cause == Cause::Planet) {
      planets = true;
      if (!row.failure.empty() && sum.failure.empty()) sum.failure = row.name + ": " + row.failure;
      sum.rate += row.rate;
      sum.stderr = std::hypot(sum.stderr, row.stderr);
    } else if (planets) {
      // The sum follows the single planets, before the run of them all.
      if (!sum.failure.empty()) sum.rate = sum.stderr = NAN;
      t.rows.push_back(sum);
      planets = false;
    }
    t.rows.push_back(row);
  }
  return t;
}

double classicalShare(int planet, Cause cause, int body) {
  if (planet != 1) return NAN;
  switch (cause) {
    case Cause::Step:
      return 0;
    case Cause::Planet:
      return body >= 1 && body < kBodies ? kMercuryByPlanet[body] : NAN;
    case Cause::SumOfPlanets: {
      double sum = 0;
      for (int k = 2; k < kBodies; ++k) sum += kMercuryByPlanet[k];
      return sum;
    }
    case Cause::AllPlanets:
      return kMercuryAllPlanets;
    case Cause::Relativity:
      return kMercuryRelativity;
    case Cause::AllAndRelativity:
      return kMercuryAllPlanets + kMercuryRelativity;
  }
  return NAN;
}

double observedAdvance(int planet) { return planet == 1 ? kMercuryObserved : NAN; }

}  // namespace orbits::budget
