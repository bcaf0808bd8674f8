#include "engine/time_rate.h"

#include <cmath>
#include <string>

#include "form/color.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

// 10^i for the rate indices, as exact literals.
constexpr double kPow10[kRateCount] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                                       1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

constexpr double kProximityFloorKm = 100000;
constexpr double kProximityCeilingKm = 10000000;

void recolourRates(MainWindow& w) {
  Control& normal = w.c("TXperdif");
  Control& chosen = w.c("Label3");
  for (int j = 0; j < kRateCount; ++j) {
    Control* opt = w.panel.find("Optime", j);
    if (!opt) continue;
    if (j >= 10) {
      opt->setForeColor(rgb(47, 39, 39));
      opt->setBackColor(kBlack);
    } else {
      opt->setForeColor(normal.foreColor());
      opt->setBackColor(normal.backColor());
    }
    if (opt->selected()) {
      opt->setForeColor(chosen.foreColor());
      opt->setBackColor(chosen.backColor());
    }
  }
}

// Whether every velocity stays finite multiplied by `ratio`.
bool rescalable(const SimState& s, double ratio) {
  for (int k = 0; k <= s.lastBody; ++k)
    if (!std::isfinite(s.velX[k] * ratio) || !std::isfinite(s.velY[k] * ratio) ||
        !std::isfinite(s.velZ[k] * ratio))
      return false;
  return true;
}

// The rate in force selected again; nothing of it changes but the option's look.
void keepRate(MainWindow& w) {
  SimState& s = w.sim;
  const std::string log = s.timeRateLog;
  w.c("Optime", int(text::toWhole(s.timeRateIndex))).setValue(1);  // a change by the ratio 1
  s.timeRateLog = log;
  w.host.messageBox(kRateRefusedText, MainWindow::kTitle);
}

}  // namespace

const char* const kRateRefusedText =
    "At that time rate a body's motion per calculation would be beyond the range of numbers "
    "the simulator can hold, and could not be brought back. The time rate stays as it was.";

double timeFactorOf(int i) { return i >= 0 && i < kRateCount ? kPow10[i] : 0; }

void Optime_Click(MainWindow& w, int i) {
  if (i < 0 || i >= kRateCount) return;  // Optime(18) and anything else: nothing at all
  SimState& s = w.sim;
  // Before the first rate is chosen the previous factor is the start-up value 1; a state that
  // never went through start-up has 0 there, which must not turn velocities into infinities.
  const double ratio = s.prevTimeFactor > 0 ? kPow10[i] / s.prevTimeFactor : 1.0;
  if (!rescalable(s, ratio)) return keepRate(w);
  if (w.c("ChReset").checked()) s.maxErrPct[1] = s.maxErrPct[2] = 0;
  recolourRates(w);
  w.c("FraMil").setVisible(i >= 11);
  s.timeRateLog +=
      "Time Rate:  {" + text::signedText(i) + " }= " + w.c("Optime", i).text() + "secs per calc;  ";

  s.timeFactor = kPow10[i];
  s.timeRateIndex = float(i);
  for (int k = 0; k <= s.lastBody; ++k) {
    s.velX[k] *= ratio;
    s.velY[k] *= ratio;
    s.velZ[k] *= ratio;
  }
  s.timeFactorSq = s.timeFactor * s.timeFactor;
  s.timeUnitsPerCalc = s.timeFactor * 15;
  s.stepSeconds = s.timeUnitsPerCalc / 100000;

  s.proximityKm = s.stepSeconds * 100;
  if (s.proximityKm < kProximityFloorKm) s.proximityKm = kProximityFloorKm;
  if (s.proximityKm > kProximityCeilingKm) s.proximityKm = kProximityCeilingKm;
  w.c("TXproximity").setText(text::plain(s.proximityKm));
  w.c("Laadd").setText(text::patterned(s.stepSeconds, "0.00000"));

  s.prevTimeFactor = s.timeFactor;
  s.calcsPerSecond = 100000 / s.timeUnitsPerCalc;
  s.secondsPerCalc = 1 / s.calcsPerSecond;
}

void TurboCharge(MainWindow& w) {
  for (int i = 0; i < kRateCount; ++i) {
    Control* opt = w.panel.find("Optime", i);
    if (!opt) continue;
    std::string caption;
    if (i > 9)
      caption = "1.5x10 ^" + text::signedText(i - 4);
    else
      caption = text::plain(kPow10[i] * 15 / 100000);
    opt->setTooltip(caption + (i > 9 ? " vsec/calc (causes large error-margin)"
                                     : " virtual seconds per calculation"));
    opt->setText(std::move(caption));
  }
}

void OptimT_Click(MainWindow& w, int index) {
  w.sim.turboMode = int16_t(index);
  TurboCharge(w);
  bool minimal = w.c("OptimT", 5).selected();
  w.c("TXapart").setVisible(!minimal);
  w.c("FrameDark").setVisible(minimal);
}

void Chuser_Click(MainWindow& w) {
  Control& box = w.c("Chuser");
  box.setText(box.checked() ? "User Overide (scenario)" : "Scenario Time (user)");
}

void wireTimeRate(MainWindow& w) {
  w.panel.onClick("Optime", [&w](int i) { Optime_Click(w, i); });
  w.panel.onClick("OptimT", [&w](int i) { OptimT_Click(w, i); });
  w.panel.onClick("Chuser", [&w](int) { Chuser_Click(w); });
}

}  // namespace orbits
