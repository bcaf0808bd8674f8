#include "analysis/drift.h"

#include <string>

#include "analysis/data_file.h"
#include "analysis/precession.h"
#include "display/pair_selection.h"
#include "physics/constants.h"
#include "text/date.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

using text::patterned;
using text::plain;
using text::signedText;

constexpr const char* kKmPattern = "  00000000000000.00000000000000";
constexpr const char* kDriftPattern = "00000000000000.00000000000000";
constexpr int kRuleLength = 79;
constexpr int kPadLength = 29;

// The calendar moment of now: whole day number, date and day fraction.
void captureMoment(MainWindow& w, Date& date, double& dayInt, double& dayFrac) {
  const double t = w.scenario.beginTimeDays + w.clock.elapsedDays + 0.000001;
  dayInt = text::intFloor(t);
  date = w.scenario.startDate.plusDays(text::toWhole(dayInt));
  dayFrac = t - dayInt;
}

void addLine(std::string& out, std::string_view line) {
  out += line;
  out += kLineEnd;
}

// The five header lines, written when orbit 1 completes.
void addHeader(MainWindow& w, std::string& out, const std::string& rule) {
  SimState& s = w.sim;
  const text::DateTime now = w.host.now();
  addLine(out, text::shortDateText(now.date) + " @ " + text::timeText(now) + "  " +
                   w.c("Label1").text() + "  G=" + w.c("TXTgravity").text());
  std::string scenarioLine = "[";
  scenarioLine += signedText(w.scenario.presetIndex);
  const std::string& title = w.scenario.title;
  addLine(out, scenarioLine + " ]  " + (title.empty() ? w.c("LaChirp", 0).text() : title));
  if (!s.timeRateLog.empty()) {
    addLine(out, s.timeRateLog);
    s.timeRateLog.clear();
  } else {
    Control* rate = w.panel.find("Optime", int(text::toWhole(s.timeRateIndex)));
    addLine(out, (rate ? rate->text() : std::string()) + " virtual seconds per calculation");
  }
  addLine(out, w.pair.partialOrbitText);
  addLine(out, rule);
}

// The date line and, from orbit 2 on, the differences of the dates from the previous orbit.
void addDateLines(MainWindow& w, double n, std::string& out) {
  const Clock& k = w.clock;
  Control& newYear = w.c("TXnewyear");
  addLine(out, w.c("TXdatePERI").text() + " perihelion   New Year: " + newYear.text() + " " +
                   newYear.tooltip() + "    aphelion " + w.c("TXdateAPHE").text());
  if (n > 1 && n < kOrbitDates) {
    const auto i = size_t(n);
    const double peri = double(daysBetween(k.orbitMinDates[i - 1], k.orbitMinDates[i]));
    const double aphe = double(daysBetween(k.orbitMaxDates[i - 1], k.orbitMaxDates[i]));
    const double year = double(daysBetween(k.newYearDate, k.currentDate));
    addLine(out, "         peri datediff = " + plain(peri) + "     NY diff: " + plain(year) +
                     "     " + plain(aphe) + " = datediff aphe");
  }
}

// The orbit period lines (or, for the partial orbit 0, the text the header will carry).
void periodLines(MainWindow& w, double n, std::string& out) {
  const SimState& s = w.sim;
  const Periods& p = w.periods;
  const std::string dayStep = patterned(s.stepSeconds / kSecondsPerDay, "0.00000000");
  const std::string daysLine = "Days/orbit =" + p.lastPeriodDaysText + " days.   +-" +
                               signedText(text::val(dayStep)) +
                               " days       AVG=" + p.avgPeriodDaysText;
  const std::string yearStep =
      s.siderealYearSecs != 0 ? patterned(s.stepSeconds / s.siderealYearSecs, "0.0000000000") : "0";
  const std::string yearsLine = "Year/orbit =" + p.lastPeriodYearsText + " years.     +-" +
                                signedText(text::val(yearStep)) +
                                " years    AVG=" + p.avgPeriodYearsText;
  if (n == 0)
    w.pair.partialOrbitText = "Partial orbit add to start date: " + p.lastPeriodDaysText +
                              " =days / years=" + p.lastPeriodYearsText;
  if (n > 0 && w.c("Chfiti").checked()) {
    addLine(out, daysLine);
    addLine(out, yearsLine);
  }
}

}  // namespace

void PairRecords(MainWindow& w) {
  PairStats& p = w.pair;
  const SimState& s = w.sim;
  const double d = p.pairDist;
  const bool dated = w.clock.dateMode == 0;
  if (d < p.orbitMinDist) {
    p.orbitMinDist = d;
    if (dated)
      captureMoment(w, w.clock.orbitMinDate, w.clock.orbitMinDayInt, w.clock.orbitMinDayFrac);
    p.orbitMinOrbit = int32_t(text::toWhole(s.orbitCount));
    p.orbitMinDx = p.pairDx;
    p.orbitMinDy = p.pairDy;
    p.minPair2PosX = p.pair2PosX;
    p.minPair2PosY = p.pair2PosY;
    p.minPair1PosX = p.pair1PosX;
    p.minPair1PosY = p.pair1PosY;
    p.orbitMinDistCopy = d;
  }
  if (d > p.orbitMaxDist) {
    p.orbitMaxDist = d;
    if (dated)
      captureMoment(w, w.clock.orbitMaxDate, w.clock.orbitMaxDayInt, w.clock.orbitMaxDayFrac);
    p.orbitMaxOrbit = int32_t(text::toWhole(s.orbitCount));
    p.orbitMaxDx = p.pairDx;
    p.orbitMaxDy = p.pairDy;
    p.orbitMaxDistCopy = d;
  }
  if (s.orbitCount >= 1) {
    // Equal to the scenario minimum counts as a new one; equal to the maximum does not.
    if (d <= p.totalMinDist) {
      p.totalMinDist = d;
      if (w.c("ChEach").checked()) p.totalMinOrbitNo = s.orbitCount;
    }
    if (d > p.totalMaxDist) {
      p.totalMaxDist = d;
      if (w.c("ChEach").checked()) p.totalMaxOrbitNo = s.orbitCount;
    }
  }
}

void Monkey(MainWindow& w) {
  PairStats& p = w.pair;
  if (!p.monkeyAPE) {
    p.monkeyAPE = &w.c("ChAPE");
    p.monkeyMin = &w.c("TxTmin");
    p.monkeyMax = &w.c("TxTmax");
  }
  if (p.monkeyAPE->checked()) {
    p.monkeyMin->setNumber(text::intFloor(p.avgOrbitMinDist), NumForm::Plain);
    p.monkeyMin->setTooltipNumber(p.avgOrbitMinDist, NumForm::Signed, nullptr, " km average low");
    p.monkeyMax->setNumber(text::intFloor(p.avgOrbitMaxDist), NumForm::Plain);
    p.monkeyMax->setTooltipNumber(p.avgOrbitMaxDist, NumForm::Signed, nullptr, " km average hi");
  } else {
    p.monkeyMin->setNumber(text::intFloor(p.totalMinDist), NumForm::Plain);
    p.monkeyMin->setTooltipNumber(p.totalMinDist, NumForm::Signed, nullptr, " km total low");
    p.monkeyMax->setNumber(text::intFloor(p.totalMaxDist), NumForm::Plain);
    p.monkeyMax->setTooltipNumber(p.totalMaxDist, NumForm::Signed, nullptr, " km total hi");
  }
}

void ChAPE_Click(MainWindow& w) {
  Control &max = w.c("LaMax"), &min = w.c("LaMin");
  if (w.c("ChAPE").checked()) {
    max.setText("Max A");
    max.setTooltip("Max distance between pair Averaged");
    min.setText("Min A");
    min.setTooltip("Min distance between pair Averaged");
  } else {
    max.setText("Max T");
    max.setTooltip("Max distance between pair for Total scenario");
    min.setText("Min T");
    min.setTooltip("Min distance between pair for Total scenario");
  }
  Monkey(w);
}

void ChMinMax_Click(MainWindow& w) {
  Control& box = w.c("ChMinMax");
  const bool maxima = box.checked();
  for (int i = 1; i <= 8; ++i) {
    const DriftEntry& e = w.pair.driftTable[size_t(i)];
    w.c("LaDrift", i).setText(plain(maxima ? e.maxDist : e.minDist));
  }
  box.setText(maxima ? "Max dist" : "Min dist");
}

std::string zeroBlank(std::string_view s, bool withSign) {
  char sign = 0;
  if (withSign) sign = text::val(s) == 0 ? '0' : (!s.empty() && s[0] == '-' ? '-' : '+');
  size_t b = 0;
  while (b < s.size() && (s[b] == '-' || s[b] == '0' || s[b] == ' ')) ++b;
  const std::string_view r = s.substr(b);
  size_t e = r.size();
  while (e > 0 && (r[e - 1] == '0' || r[e - 1] == ' ')) --e;
  std::string out(b, ' ');
  if (sign) out += sign;
  out += r.substr(0, e);
  out.append(r.size() - e, ' ');
  return out;
}

void ZeroZapMikm(MainWindow& w) { w.pair.orbitMinShown = zeroBlank(w.pair.orbitMinText, false); }
void ZeroZapMakm(MainWindow& w) { w.pair.orbitMaxShown = zeroBlank(w.pair.orbitMaxText, false); }
void ZeroZapMiDi(MainWindow& w) { w.pair.minDriftShown = zeroBlank(w.pair.minDriftText, true); }
void ZeroZapMaDi(MainWindow& w) { w.pair.maxDriftShown = zeroBlank(w.pair.maxDriftText, true); }
void ZeroZapMMi(MainWindow& w) {
  w.pair.driftTexts.avgMinShown = zeroBlank(w.pair.driftTexts.avgMinText, false);
}
void ZeroZapMMa(MainWindow& w) {
  w.pair.driftTexts.avgMaxShown = zeroBlank(w.pair.driftTexts.avgMaxText, false);
}

void Drifter(MainWindow& w) {
  SimState& s = w.sim;
  PairStats& p = w.pair;
  DriftTexts& avg = p.driftTexts;
  const double n = s.orbitCount;

  // 1. Averages of the extremes over the complete orbits.
  if (n > 0) {
    p.sumOrbitMaxDist += p.orbitMaxDist;
    p.sumOrbitMinDist += p.orbitMinDist;
    p.avgOrbitMaxDist = p.sumOrbitMaxDist / n;
    p.avgOrbitMinDist = p.sumOrbitMinDist / n;
    avg.avgMaxText = signedText(p.avgOrbitMaxDist);
    avg.avgMinText = signedText(p.avgOrbitMinDist);
  }
  // 2. The record's indent and rule.
  const std::string pad(kPadLength, ' ');
  const std::string rule(kRuleLength, '_');
  // 3. Orbit 1 starts the file afresh with the header; every other orbit appends. The record
  // is collected here and written in one go at the end.
  std::string out;
  const bool replace = n == 1;
  if (replace) addHeader(w, out, rule);
  // 4. This orbit's extremes as fixed-width texts.
  p.orbitMaxText = patterned(p.orbitMaxDist, kKmPattern);
  p.orbitMinText = patterned(p.orbitMinDist, kKmPattern);
  // 5. The averages' line, when they are stored.
  const bool store = w.c("ChStore").checked();
  if (n > 0 && store) {
    avg.avgMaxText = patterned(text::val(avg.avgMaxText), kKmPattern);
    avg.avgMinText = patterned(text::val(avg.avgMinText), kKmPattern);
    ZeroZapMMi(w);
    ZeroZapMMa(w);
    avg.avgLine = "min avg " + avg.avgMinShown + "|" + avg.avgMaxShown + " avg max ";
  }
  // 6. The line of this orbit's extremes.
  ZeroZapMikm(w);
  ZeroZapMakm(w);
  const std::string kmLine = "min km  " + p.orbitMinShown + "|" + p.orbitMaxShown + "  km max ";
  // 7. Drift of the extremes from the previous orbit.
  const double dmin = p.orbitMinDist - p.prevOrbitMinDist;
  const double dmax = p.orbitMaxDist - p.prevOrbitMaxDist;
  p.minDriftText = patterned(dmin, kDriftPattern) + (dmin >= 0 ? " " : "");
  p.maxDriftText = patterned(dmax, kDriftPattern) + (dmax >= 0 ? " " : "");
  ZeroZapMiDi(w);
  ZeroZapMaDi(w);
  const std::string difLine = "min dif " + p.minDriftShown + "|" + p.maxDriftShown + " dif max";
  // 8. The orbit's line, with the sides of the polygon that drew it.
  p.sidesThisOrbit = int32_t(text::toWhole(s.cycleCount - w.periods.cyclesAtLastOrbit));
  const std::string orbitLine = pad + "  Orbit #" + signedText(n) +
                                "        sides to polygon =" + signedText(p.sidesThisOrbit);
  // 9. The orbit's lines: number, dates, time-rate changes, extremes, drift and averages.
  if (n > 0) {
    addLine(out, orbitLine);
    if (w.clock.dateMode == 0 && w.c("Chfiti").checked() && w.c("Chdate").checked())
      addDateLines(w, n, out);
    if (!s.timeRateLog.empty()) addLine(out, s.timeRateLog);
    if (w.c("CHfile").checked()) {
      addLine(out, kmLine);
      if (n > 1) addLine(out, difLine);
    }
    if (store && n > 1) addLine(out, avg.avgLine);
  }
  // 10. The period lines.
  periodLines(w, n, out);
  // 11. The perihelion and aphelion markers.
  if (0 < n && n < 10000) RecordMarkers(w, n, out);
  // 12. The precession lines and the closing rule; then the record is written.
  if (w.c("ChAfile").checked() && !w.markers.appLine1.empty()) {
    addLine(out, w.markers.appLine1);
    addLine(out, w.markers.appLine2);
  }
  addLine(out, rule);
  writeDataFile(w, kDriftFileName, out, replace);
  // 13. This orbit's extremes become the previous ones.
  p.prevOrbitMaxDist = p.orbitMaxDist;
  p.prevOrbitMinDist = p.orbitMinDist;
  // 14. The orbit's shift in the orb file. Before orbit 2 no shift is known yet; what a previous
  // scenario left must not be written as this one's.
  if (n < 2) w.markers.orbPrecession = 0;
  if (w.c("ChThor").checked() && n < 10000)
    writeDataFile(w, kOrbFileName,
                  signedText(w.markers.orbPrecession) + " " + signedText(n) + " " + kLineEnd,
                  false);
  // 15. The marker follows the previous orbit. The scroll bar's change refreshes the read-out
  // for the orbit before the one just recorded (orbitCount is not yet increased); the figures
  // are then brought up to the orbit just recorded.
  if (w.c("ChSnap").checked() && 1 < n && n < 10000) {
    w.c("HStheta").setValue(int(n - 1));
    if (n <= 9998) TheAngle(w, n);
  }
  // 16. Each orbit logs its time-rate changes once.
  s.timeRateLog.clear();
  // 17. The extremes of the first orbits in the drift table.
  if (n >= 0 && n <= 8) {
    DriftEntry& e = p.driftTable[size_t(n)];
    e.maxDist = p.orbitMaxDist;
    e.minDist = p.orbitMinDist;
    w.c("LaDrift", int(n)).setText(plain(w.c("ChMinMax").checked() ? e.maxDist : e.minDist));
  }
  // 18. The orbit's extremes in the turbo mode with minimal detail.
  if (w.c("OptimT", 5).selected()) Slick(w);
  // 19. The next orbit's minimum search starts at this orbit's maximum, its maximum at 0.
  p.orbitMinDist = p.orbitMaxDist;
  p.orbitMaxDist = 0;
}

void wireDrift(MainWindow& w) {
  w.panel.onClick("ChAPE", [&w](int) { ChAPE_Click(w); });
  w.panel.onClick("ChMinMax", [&w](int) { ChMinMax_Click(w); });
}

}  // namespace orbits
