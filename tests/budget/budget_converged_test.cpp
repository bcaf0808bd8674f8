// The precession budget against a converged integration of the same data: the same starting
// state, bodies and forces, integrated by a sixth-order composition of the leapfrog step (in
// this file, sharing nothing with the run loop) at a step at which it no longer changes.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "../support/test_host.h"
#include "analysis/osculating.h"
#include "analysis/perihelia.h"
#include "budget/budget.h"
#include "budget/budget_run.h"
#include "panel/wired_window.h"
#include "physics/constants.h"
#include "window/main_window.h"

namespace orbits::budget {
namespace {

using Vec = std::array<double, 3>;

// The bodies of a run in km and km/s, as the preset loads them.
struct Start {
  std::vector<Vec> x, v;
  std::vector<double> gm;  // km^3/s^2
  std::vector<int> body;   // body numbers, the Sun first
  double light = 0;        // km/s
};

Start startOf(const BudgetRequest& request, const CauseRun& run) {
  testing::TestHost host;
  WiredWindow w(host);
  EXPECT_EQ(prepareWindow(w, request.settings, false), "");
  Start st;
  pressPreset(w, request.preset, [&] {
    const SimState& s = w.sim;
    const double base = s.stepSeconds / s.timeFactor;  // the unit of the stored velocities, s
    for (int k = 0; k < kBodies; ++k) {
      if (!run.inPlay[size_t(k)]) continue;
      st.body.push_back(k);
      st.x.push_back({s.posX[k], s.posY[k], s.posZ[k]});
      st.v.push_back({s.velX[k] / base, s.velY[k] / base, s.velZ[k] / base});
      st.gm.push_back(s.gravConstant * s.bodyMass[k] / (base * base));
    }
    st.light = s.lightSpeed;
  });
  return st;
}

void accelerations(const Start& st, const std::vector<Vec>& x, bool relativity,
                   std::vector<Vec>& a) {
  const size_t n = x.size();
  for (Vec& ai : a) ai = {0, 0, 0};
  for (size_t i = 0; i < n; ++i)
    for (size_t j = i + 1; j < n; ++j) {
      const Vec d{x[j][0] - x[i][0], x[j][1] - x[i][1], x[j][2] - x[i][2]};
      const double r2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2], r3 = r2 * std::sqrt(r2);
      for (int c = 0; c < 3; ++c) {
        a[i][c] += st.gm[j] * d[c] / r3;
        a[j][c] -= st.gm[i] * d[c] / r3;
      }
    }
  if (!relativity) return;
  const double k = -6 * st.gm[0] * st.gm[0] / (st.light * st.light);
  for (size_t i = 1; i < n; ++i) {
    const Vec d{x[i][0] - x[0][0], x[i][1] - x[0][1], x[i][2] - x[0][2]};
    const double r2 = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
    for (int c = 0; c < 3; ++c) a[i][c] += k * d[c] / (r2 * r2);
  }
}

// The fit of the watched planet's longitude of perihelion over `years`, integrated with step h.
PrecessionFit converged(const Start& st, size_t planet, bool relativity, double years, double h) {
  // Yoshida's sixth-order composition (his solution A) of kick-drift-kick leapfrog steps.
  constexpr double w1 = -1.17767998417887, w2 = 0.235573213359357, w3 = 0.784513610477560;
  constexpr double w0 = 1 - 2 * (w1 + w2 + w3);
  constexpr double stages[7] = {w3, w2, w1, w0, w1, w2, w3};
  std::vector<Vec> x = st.x, v = st.v, a(x.size());
  accelerations(st, x, relativity, a);
  const double mu = st.gm[0] + st.gm[planet];
  struct Sample {
    double r, t, varpi;
  };
  auto sample = [&](double t) {
    Vec r, u;
    for (int c = 0; c < 3; ++c) r[c] = x[planet][c] - x[0][c], u[c] = v[planet][c] - v[0][c];
    const double varpi = eclipticPerihelionLongitude(r, u, mu) / (2 * M_PI) * kArcsecPerTurn;
    return Sample{std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]), t, varpi};
  };
  PrecessionFit fit;
  Sample older = sample(0), prev = older;
  const long steps = long(std::ceil(years * kDaysPerJulianYear * kSecondsPerDay / h));
  double lastVarpi = NAN;
  for (long n = 1; n <= steps; ++n) {
    for (double wk : stages) {
      for (size_t i = 0; i < x.size(); ++i)
        for (int c = 0; c < 3; ++c) v[i][c] += a[i][c] * wk * h / 2, x[i][c] += v[i][c] * wk * h;
      accelerations(st, x, relativity, a);
      for (size_t i = 0; i < x.size(); ++i)
        for (int c = 0; c < 3; ++c) v[i][c] += a[i][c] * wk * h / 2;
    }
    const Sample now = sample(double(n) * h);
    if (n >= 2 && prev.r < older.r && prev.r <= now.r) {
      const double curve = older.r - 2 * prev.r + now.r;
      const double u = (older.r - now.r) / (2 * curve);
      const double va = unwrapArcsec(older.varpi, prev.varpi),
                   vc = unwrapArcsec(now.varpi, prev.varpi);
      double varpi = prev.varpi + u * (vc - va) / 2 + u * u * (va - 2 * prev.varpi + vc) / 2;
      if (std::isfinite(lastVarpi)) varpi = unwrapArcsec(varpi, lastVarpi);
      lastVarpi = varpi;
      fit.add((prev.t + u * h) / kSecondsPerDay / kDaysPerJulianCentury, varpi);
    }
    older = prev, prev = now;
  }
  return fit;
}

TEST(BudgetLong, CenturyFrom1900AgreesWithAConvergedIntegration) {
  BudgetRequest request;
  request.preset = 51;
  request.years = 100;
  BudgetControl control;
  const BudgetResult budget = runBudget(request, control);
  ASSERT_EQ(budget.error, "");
  const Scenario& sc = budget.scenario;
  const std::vector<CauseRun> runs = planRuns(sc);

  // The same runs converged, each cause measured from the converged run of the Sun and Mercury
  // alone as the budget measures it from its own.
  constexpr double h = 2400;  // s; at half of it no figure moves by a hundredth of a percent
  std::vector<RunResult> exact;
  for (const CauseRun& run : runs) {
    const Start st = startOf(request, run);
    size_t planet = 0;
    while (st.body[planet] != sc.planet) ++planet;
    const PrecessionFit fit = converged(st, planet, run.relativity, request.years, h);
    RunResult r;
    r.rate = fit.slope(), r.stderr = fit.slopeError(), r.perihelia = long(fit.n);
    exact.push_back(r);
  }
  const Table reference = makeTable(sc, runs, exact);
  // A planet alone with the Sun does not precess: what the converged run has left of it is its
  // own error, and the budget's is its step's.
  std::printf("Sun and Mercury alone: %.5f arcsec/century at 150 s, %.2e converged\n",
              budget.table.step.rate, reference.step.rate);
  EXPECT_LT(std::abs(reference.step.rate), 1e-3);
  ASSERT_EQ(budget.table.rows.size(), reference.rows.size());
  for (size_t i = 0; i < reference.rows.size(); ++i) {
    const Row &got = budget.table.rows[i], &want = reference.rows[i];
    std::printf("%-28s %10.4f converged %10.4f (%+.3f%%), %ld perihelia\n", got.name.c_str(),
                got.rate, want.rate, 100 * (got.rate / want.rate - 1), got.perihelia);
    EXPECT_EQ(got.perihelia, want.perihelia) << got.name;
    EXPECT_NEAR(got.rate, want.rate, 0.01 * std::abs(want.rate)) << got.name;
  }
}

}  // namespace
}  // namespace orbits::budget
