#include "analysis/calendar.h"

#include <algorithm>
#include <cmath>

#include "engine/end_conditions.h"
#include "physics/constants.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

constexpr double kUnitsPerSecond = 100000;  // the clock counts 0.00001 s units
constexpr double kMomentNudge = 0.000001;   // 0.0864 s, so that a whole day is never missed
constexpr const char* kNineDecimals = "0.000000000";

// A whole-day count as a number of days a date can be moved by.
int64_t wholeDays(double d) {
  constexpr double kLimit = double(int64_t(1) << 40);
  if (!(d > -kLimit)) return -(int64_t(1) << 40);  // also NaN
  if (d > kLimit) return int64_t(1) << 40;
  return int64_t(d);
}

// A number of hours, minutes or seconds in two digits ("%02d" of its whole part).
void appendTwoDigits(std::string& out, double v) {
  if (v >= 0 && v < 100) {
    const int i = int(v);
    out += char('0' + i / 10);
    out += char('0' + i % 10);
    return;
  }
  out += text::patterned(v, "00");
}

// The colours of the second body's row of the body table, when it has one.
Control* secondBodyRow(MainWindow& w) { return w.panel.find("TXvolight", w.sim.pairBody[2]); }

}  // namespace

Moment momentNow(const MainWindow& w) {
  const double t = w.scenario.beginTimeDays + w.clock.elapsedDays + kMomentNudge;
  Moment m;
  m.dayInt = text::intFloor(t);
  m.date = w.scenario.startDate.plusDays(wholeDays(m.dayInt));
  m.dayFrac = t - m.dayInt;
  return m;
}

namespace {

struct TimeParts {
  double hours, minutes, seconds;
};

TimeParts timeParts(double f) {
  TimeParts t;
  t.hours = text::intFloor(f * 24);
  const double r = f * 24 - t.hours;
  t.minutes = text::intFloor(r * 60);
  t.seconds = text::intFloor((r * 60 - t.minutes) * 60);
  return t;
}

}  // namespace

void FracTime(MainWindow& w, double f, std::string& text) {
  if (!(f >= 0 && f < 1)) w.host.messageBox("time fraction error", text::plain(f));
  if (!std::isfinite(f)) f = 0;  // nothing sensible to write for it
  const TimeParts t = timeParts(f);
  if (t.minutes >= 60) w.host.messageBox("60 minutes bug", MainWindow::kTitle);
  if (t.seconds >= 60) w.host.messageBox("60 seconds bug", MainWindow::kTitle);
  text.clear();
  appendTwoDigits(text, t.hours);
  text += 'h';
  appendTwoDigits(text, t.minutes);
  text += ':';
  appendTwoDigits(text, t.seconds);
}

ClockTexts::ClockTexts(MainWindow& w)
    : w_(w),
      yearLeap_(w.panel.find("TXyearLeap")),
      days_(w.panel.find("Laday")),
      years_(w.panel.find("LaYears")),
      amount_(w.panel.find("Lamil")),
      unit_(w.panel.find("LaYonks")),
      label7_(w.panel.find("Label7")),
      chuser_(w.panel.find("Chuser")),
      time_(w.panel.find("LaTime")),
      tt_(w.panel.find("LaTT")),
      current_(w.panel.find("TXcurrent")) {}

// A control found when the texts were set up, or looked up now (which reports a missing one).
Control& ClockTexts::get(Control* c, const char* name) const { return c ? *c : w_.c(name); }

namespace {

void elapsedFromSeconds(MainWindow& w) {
  Clock& c = w.clock;
  const double secs = c.elapsedSecFrac / kUnitsPerSecond + c.elapsedSecs;
  c.elapsedDays = secs / kSecondsPerDay;
  c.elapsedSiderealYears = secs / w.sim.siderealYearSecs;
}

}  // namespace

void TikTok(MainWindow& w) {
  ClockTexts texts(w);
  TikTok(w, texts);
}

void TikTok(MainWindow& w, const ClockTexts& texts) {
  const SimState& s = w.sim;
  Clock& c = w.clock;
  const double u = s.timeUnitsPerCalc;
  if (u >= kUnitsPerSecond) {
    c.elapsedSecs += u / kUnitsPerSecond;
  } else {
    c.elapsedSecFrac += u;
    if (c.elapsedSecFrac > 99999) {
      c.elapsedSecFrac -= kUnitsPerSecond;
      c.elapsedSecs += 1;
    }
  }
  elapsedFromSeconds(w);
  if (s.detailMode == DetailMode::Ok) UpTimes(w, texts);
  ApplyEndMessage(w);
}

void UpTimes(MainWindow& w) {
  ClockTexts texts(w);
  UpTimes(w, texts);
}

void UpTimes(MainWindow& w, const ClockTexts& texts) {
  const SimState& s = w.sim;
  Clock& c = w.clock;
  if (c.dateMode > 0) {
    c.currentYearNumber = c.elapsedSiderealYears + w.scenario.startYear;
    texts.yearLeap().setNumber(text::intFloor(c.currentYearNumber), NumForm::Signed, nullptr,
                               " AD");
  }
  // The captions are the texts; they are formatted only when someone reads them.
  Control &days = texts.days(), &years = texts.years();
  days.setNumber(c.elapsedDays, NumForm::Pattern, kNineDecimals);
  years.setNumber(c.elapsedSiderealYears, NumForm::Pattern, kNineDecimals);
  days.setTooltipNumber(c.elapsedDays, NumForm::Plain);
  years.setTooltipNumber(c.elapsedSiderealYears, NumForm::Plain);
  if (s.timeRateIndex > 10) {
    Control &amount = texts.amount(), &unit = texts.unit();
    if (c.elapsedSiderealYears >= 10000000) {
      amount.setNumber(text::intFloor(c.elapsedSiderealYears / 1000000), NumForm::Plain);
      amount.setTooltip("Million Years");
      unit.setText("Million Years:");
      unit.setForeColor(texts.label7().foreColor());
    } else {
      amount.setNumber(text::intFloor(c.elapsedSiderealYears / 1000), NumForm::Plain);
      amount.setTooltip("Thousand Years");
      unit.setText("Thousand Years:");
      unit.setForeColor(texts.chuser().foreColor());
    }
  }
  texts.time().setNumber(c.elapsedSecFrac, NumForm::Pattern, "00000");
  texts.tt().setNumber(c.elapsedSecs, NumForm::Signed, nullptr, ".");
}

void Crystal(MainWindow& w) { Crystal(w, w.c("TXcurrent")); }

void Crystal(MainWindow& w, Control& current) {
  Clock& c = w.clock;
  if (c.dateMode > 0) return;
  const Moment m = momentNow(w);
  // Dates past the years the date texts are made for are not shown: the calendar stops there,
  // should no orbit completion have stopped it at the year 9799 already.
  if (m.date.year() > text::kLastYear) {
    c.dateMode = 9;
    Clever(w);
    return;
  }
  c.currentDayInt = m.dayInt;
  c.currentDate = m.date;
  c.currentDayFrac = m.dayFrac;
  // Called every cycle in the detailed turbo mode: the texts change once a simulated second,
  // the date once a simulated day. What the box shows is known while nobody else has changed
  // it since.
  Clock::Shown& shown = c.currentShown;
  const TimeParts t = timeParts(c.currentDayFrac);
  const bool ours = shown.revision == current.revision();
  const bool sameDate = ours && shown.dated && shown.date == m.date;
  if (ours && shown.day == m.dayInt && shown.hours == t.hours && shown.minutes == t.minutes &&
      shown.seconds == t.seconds)
    return;
  FracTime(w, c.currentDayFrac, c.currentTimeText);
  // The same date would give the same text, which setting again changes nothing.
  if (!sameDate) current.setText(text::dateText(c.currentDate));
  current.setTooltip(c.currentTimeText);
  shown = {m.dayInt, t.hours, t.minutes, t.seconds, current.revision(), m.date, true};
}

void Quartz(MainWindow& w) {
  const SimState& s = w.sim;
  Clock& c = w.clock;
  PairStats& p = w.pair;
  Control &newYear = w.c("TXnewyear"), &current = w.c("TXcurrent");
  if (c.dateMode == 0) {
    if (s.orbitCount > 0) {
      newYear.setText(text::dateText(c.newYearDate));
      newYear.setTooltip(c.newYearTimeText);
    } else {
      newYear.setText("n/a");
    }
  }

  Control& label = w.c("LaNY");
  label.setText(s.bodyName[s.pairBody[2]] + "\r New Year");
  if (const Control* row = secondBodyRow(w)) {
    label.setForeColor(row->foreColor());
    label.setBackColor(row->backColor());  // a pale body colour reads on its dark colour
    for (Control* box : {&newYear, &current}) {
      box->setForeColor(row->foreColor());
      box->setBackColor(row->backColor());
    }
  }

  if (c.dateMode != 0) return;
  // The current date is shown, also the first one past the year 9799; with it the dates stop.
  Crystal(w);
  if (c.dateMode == 0 && c.currentDate.year() > kLastDateYear) {
    c.dateMode = 9;
    Clever(w);
  }
  Control &aphelion = w.c("TXdateAPHE"), &perihelion = w.c("TXdatePERI");
  if (s.orbitCount > 0) {
    aphelion.setText(text::dateText(c.orbitMaxDate));
    Control& max = w.c("TXmax");
    max.setText(text::plain(text::intFloor(p.orbitMaxDist)));
    max.setTooltip(text::signedText(p.orbitMaxDist) + " km");
    FracTime(w, c.orbitMaxDayFrac, c.orbitMaxTimeText);
    aphelion.setTooltip(c.orbitMaxTimeText);

    perihelion.setText(text::dateText(c.orbitMinDate));
    Control& min = w.c("TXmin");
    min.setText(text::plain(text::intFloor(p.orbitMinDist)));
    min.setTooltip(text::signedText(p.orbitMinDist) + " km");
    FracTime(w, c.orbitMinDayFrac, c.orbitMinTimeText);
    perihelion.setTooltip(c.orbitMinTimeText);
  } else {
    aphelion.setText("n/a");
    perihelion.setText("n/a");
  }
  if (s.orbitCount < 10000) {
    const auto n = size_t(std::max(0.0, text::intFloor(s.orbitCount)));
    c.orbitMaxDates[n] = c.orbitMaxDate;
    c.orbitMinDates[n] = c.orbitMinDate;
    c.newYearDates[n] = c.newYearDate;
  }
}

void Clever(MainWindow& w) {
  Control& dates = w.c("Chdate");
  dates.setValue(0);
  dates.setVisible(false);
  w.c("TXyearLeap").setVisible(true);
  w.c("LaChirp", 1).setText("Y10K! The date details are not available after year 9799 A.D.");
}

void RestoreClock(MainWindow& w) {
  elapsedFromSeconds(w);
  if (w.clock.dateMode <= 0) return;
  Clever(w);
  UpTimes(w);
}

void Chdate_Click(MainWindow& w) {
  w.c("ChZX").setValue(0);
  Control& dates = w.c("Chdate");
  const bool on = dates.checked();
  w.c("FraDate").setVisible(on);
  dates.setText(on ? "DATE (or errs)" : "ERRS (or date)");
}

void ChNY_Click(MainWindow& w) {
  const bool on = w.c("ChNY").checked();
  w.c("Picoc").setVisible(on);
  w.c("Pico2").setVisible(!on);
}

void LaWatch_Click(MainWindow& w) { Crystal(w); }

void wireCalendar(MainWindow& w) {
  w.panel.onClick("Chdate", [&w](int) { Chdate_Click(w); });
  w.panel.onClick("ChNY", [&w](int) { ChNY_Click(w); });
  w.panel.onClick("LaWatch", [&w](int) { LaWatch_Click(w); });
}

}  // namespace orbits
