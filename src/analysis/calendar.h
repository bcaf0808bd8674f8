#pragma once
// The simulated clock and calendar: elapsed seconds, days and sidereal years, calendar dates
// from the scenario's start date, and the dates of the moments the analysis stamps.
#include <cstdint>
#include <string>

#include "text/date.h"

namespace orbits {

class MainWindow;
class Control;

// The last calendar year for which dates are computed and shown.
constexpr int kLastDateYear = 9799;

// The moment of the calendar reached after the elapsed time: a whole day counted from the
// start date, and the time of that day as a fraction.
struct Moment {
  double dayInt = 0;
  text::Date date;
  double dayFrac = 0;
};
Moment momentNow(const MainWindow& w);

// A day fraction as a time of day "07h34:05" into `text`. Out-of-range values are reported in
// a message box and the text is built anyway.
void FracTime(MainWindow& w, double fraction, std::string& text);

// The controls the clock writes every cycle, found once (controls never move). One missing
// from the panel is looked up again when it is used, which reports it.
class ClockTexts {
 public:
  explicit ClockTexts(MainWindow& w);
  Control& yearLeap() const { return get(yearLeap_, "TXyearLeap"); }
  Control& days() const { return get(days_, "Laday"); }
  Control& years() const { return get(years_, "LaYears"); }
  Control& amount() const { return get(amount_, "Lamil"); }
  Control& unit() const { return get(unit_, "LaYonks"); }
  Control& label7() const { return get(label7_, "Label7"); }
  Control& chuser() const { return get(chuser_, "Chuser"); }
  Control& time() const { return get(time_, "LaTime"); }
  Control& tt() const { return get(tt_, "LaTT"); }
  Control& current() const { return get(current_, "TXcurrent"); }

 private:
  Control& get(Control* c, const char* name) const;
  MainWindow& w_;
  Control *yearLeap_, *days_, *years_, *amount_, *unit_, *label7_, *chuser_, *time_, *tt_,
      *current_;
};

// The clock of every cycle: advances the time by one step, refreshes the elapsed-time texts in
// full detail, and turns a pending end verdict into its end message.
void TikTok(MainWindow& w);
void TikTok(MainWindow& w, const ClockTexts& texts);
// The elapsed-time captions.
void UpTimes(MainWindow& w);
void UpTimes(MainWindow& w, const ClockTexts& texts);
// The current date and time of day into TXcurrent (`current`).
void Crystal(MainWindow& w);
void Crystal(MainWindow& w, Control& current);
// The date work of an orbit completion (and of a scenario start).
void Quartz(MainWindow& w);
// The year 9799 was passed: dates are switched off for the rest of the scenario.
void Clever(MainWindow& w);
// After a reload: the elapsed days and years from the saved seconds, and the window as the
// year-9799 cut-off had left it.
void RestoreClock(MainWindow& w);

void Chdate_Click(MainWindow& w);
void ChNY_Click(MainWindow& w);
void LaWatch_Click(MainWindow& w);

void wireCalendar(MainWindow& w);

}  // namespace orbits
