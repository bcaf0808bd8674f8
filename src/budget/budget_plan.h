#pragma once
// The precession budget of a planet's perihelion: the runs that measure each cause, and the
// table made of their rates.
//
// Every run starts from the same preset, with the Sun and the watched planet and a choice of
// the rest: the planet alone with the Sun, then with each other planet alone, with all of them,
// with relativity alone and with all of them and relativity. Each run measures the rate of the
// planet's longitude of perihelion in the J2000 ecliptic. The run of the Sun and the planet
// alone would not precess at all but for the integration step; its rate is the step's own
// drift, and each cause is the difference of its run's rate from that one, so that the step's
// share, the same in every run to a fraction of itself, drops out.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace orbits::budget {

constexpr int kBodies = 9;  // the Sun and the eight planets

enum class Cause {
  Step,              // the Sun and the planet alone: the integration step's own drift
  Planet,            // one other planet
  SumOfPlanets,      // the single planets' shares added up (no run of its own)
  AllPlanets,        // every planet in play
  Relativity,        // the Sun's relativistic term alone
  AllAndRelativity,  // every planet and relativity
};

// The scenario a budget is taken from, as its preset starts it.
struct Scenario {
  int preset = 0;
  int planet = 0;  // the watched body, 1..8
  std::string planetName;
  int16_t epoch = 0;
  std::string startDate;  // as the window writes dates
  double stepSeconds = 0;
  std::array<bool, kBodies> inPlay{};  // bodies in play at the start, by body number
  std::array<std::string, kBodies> names{};
  // The relativistic advance the starting orbit gives by theory, 6 pi (G M)^2 / (c^2 mu a
  // (1 - e^2)) per orbit, in arc-seconds per Julian century.
  double relativityTheory = NAN;
};

// One run of the budget.
struct CauseRun {
  Cause cause = Cause::Step;
  int body = 0;  // the other planet of a Cause::Planet run
  std::string name;
  std::array<bool, kBodies> inPlay{};  // the Sun and the watched planet always
  bool relativity = false;
  int bodiesInPlay() const;
};

// What one run measured: the fit of the longitude of perihelion against time.
struct RunResult {
  double rate = NAN, stderr = NAN;  // arc-seconds per Julian century
  long perihelia = 0;
  std::string failure;  // why there is no rate; empty when there is one
  bool ok() const { return failure.empty(); }
};

struct Row {
  Cause cause = Cause::Planet;
  int body = 0;
  std::string name;
  double rate = NAN, stderr = NAN;  // the cause's share, arc-seconds per Julian century
  double raw = NAN;                 // the rate of the cause's own run
  double classical = NAN;           // the classical value of the real orbits; NaN where none
  long perihelia = 0;
  std::string failure;
  double difference() const { return rate - classical; }
};

struct Table {
  Row step;  // the Sun and the planet alone, against the 0 of a pure two-body orbit
  std::vector<Row> rows;
  double observed = NAN;  // the real planet's observed total, where known
};

// The runs of a budget; the first is the Sun and the planet alone.
std::vector<CauseRun> planRuns(const Scenario& sc);

// The table from the runs' results (in the order of planRuns).
Table makeTable(const Scenario& sc, const std::vector<CauseRun>& runs,
                const std::vector<RunResult>& results);

// The classical share of a cause in the perihelion's advance of the real planet, in
// arc-seconds per Julian century (secular perturbation theory; relativity by its formula for
// the real orbit); NaN where there is none. Known for Mercury.
double classicalShare(int planet, Cause cause, int body = 0);
// The real planet's observed advance against the fixed ecliptic; NaN where not known.
double observedAdvance(int planet);

}  // namespace orbits::budget
