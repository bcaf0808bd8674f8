#include "analysis/orbits.h"

#include "analysis/calendar.h"
#include "analysis/drift.h"
#include "analysis/perihelia.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

constexpr const char* kNineDecimals = "0.000000000";
constexpr const char* kEightDecimals = "0.00000000";

void showPeriods(MainWindow& w, const std::string& days, const std::string& years) {
  w.c("TXdayFreq").setText(days);
  w.c("TXyearFreq").setText(years);
}

void showPeriodTips(MainWindow& w, double days, double years) {
  w.c("TXdayFreq").setTooltip(text::plain(days));
  w.c("TXyearFreq").setTooltip(text::plain(years));
}

}  // namespace

void OrbitCompletion(MainWindow& w) {
  SimState& s = w.sim;
  Clock& c = w.clock;
  Periods& p = w.periods;
  const double n = s.orbitCount;

  // 1. Full detail for the rest of this cycle.
  s.detailMode = DetailMode::Ok;

  // 2.-4. The period just ended.
  const double years = c.elapsedSiderealYears - p.yearsAtLastOrbit;
  const double days = c.elapsedDays - p.daysAtLastOrbit;
  p.lastPeriodDaysText = text::patterned(days, kNineDecimals);
  p.lastPeriodYearsText = text::patterned(years, kNineDecimals);
  if (w.c("OpAnnual", 0).selected()) {
    showPeriods(w, p.lastPeriodDaysText, p.lastPeriodYearsText);
    showPeriodTips(w, days, years);
  }
  p.yearsAtLastOrbit = c.elapsedSiderealYears;
  p.daysAtLastOrbit = c.elapsedDays;

  // 5.-6. The average. The first orbit is incomplete (the scenario starts inside it) and is
  // left out; should it be counted in, the divisor counts it too.
  double avgDays = 0;
  const bool leaveOutFirst = w.c("CheckZero").checked();
  if (n > 0 || !leaveOutFirst) {
    const double counted = leaveOutFirst ? n : n + 1;
    p.sumOrbitYears += years;
    p.sumOrbitDays += days;
    p.avgOrbitYears = p.sumOrbitYears / counted;
    avgDays = p.sumOrbitDays / counted;
  }
  p.avgPeriodDays = avgDays;
  p.avgPeriodYears = p.avgOrbitYears;
  p.avgPeriodDaysText = text::patterned(*p.avgPeriodDays, kEightDecimals);
  p.avgPeriodYearsText = text::patterned(*p.avgPeriodYears, kNineDecimals);
  if (w.c("OpAnnual", 1).selected()) {
    showPeriods(w, p.avgPeriodDaysText, p.avgPeriodYearsText);
    showPeriodTips(w, avgDays, p.avgOrbitYears);
  }

  // 7. Dates, then the drift record.
  Quartz(w);
  labOrbitEnded(w, days);
  Drifter(w);
  const bool marked = w.markers.markerOrbit[kMarkerSlots - 1] == int32_t(n);
  labOrbitRecorded(w, marked ? w.markers.markerTheta[kMarkerSlots - 1] : NAN);

  // 8. The orbit is counted, and saved at the cycle's end.
  p.cyclesAtLastOrbit = text::intFloor(s.cycleCount);
  s.orbitSaveDue = 1;
  s.orbitCount = n + 1;

  // 9. The perihelion lines.
  if (s.orbitCount < 10000 && w.c("ChDraw").checked() && s.orbitCount > 0) w.c("CDdot").press();

  // 10. The new year starts now.
  if (c.dateMode == 0) {
    const Moment m = momentNow(w);
    c.newYearDayInt = m.dayInt;
    c.newYearDate = m.date;
    c.newYearDayFrac = m.dayFrac;
    FracTime(w, c.newYearDayFrac, c.newYearTimeText);
  }

  // 11.-12. The no-orbit-yet frame until the second orbit, and the orbit count.
  w.c("FraNo").setVisible(s.orbitCount < 2);
  w.c("TXlaps").setText(text::plain(s.orbitCount));
}

void QuarterIndicator(MainWindow& w) {
  Control& indicator = w.c("LaQuart");
  indicator.setHeight(int(50 * w.sim.quadrant));
  indicator.setBackColor(w.c("TXname", 2).backColor());
}

void OpAnnual_Click(MainWindow& w, int i) {
  Periods& p = w.periods;
  p.periodOption = int16_t(i);
  if (i == 0) {
    w.c("LaQd").setText("Orbit days (last)");
    w.c("LaQy").setText("Orbit years (last)");
    showPeriods(w, p.lastPeriodDaysText, p.lastPeriodYearsText);
  } else if (i == 1) {
    w.c("LaQd").setText("Orbit days (avg)");
    w.c("LaQy").setText("Orbit years (avg)");
    showPeriods(w, p.avgPeriodDaysText, p.avgPeriodYearsText);
  }
}

void wireOrbits(MainWindow& w) {
  w.panel.onClick("OpAnnual", [&w](int i) { OpAnnual_Click(w, i); });
}

}  // namespace orbits
