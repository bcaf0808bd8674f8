#include "display/clearing.h"

#include <cmath>

#include "display/projection.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

void restartClearing(MainWindow& w) {
  Control& timer = w.c("Tiball");
  timer.setEnabled(false);
  const int interval = clearingInterval(w);
  timer.setInterval(interval);
  // An interval of 0 means no timed clearing: the timer stays stopped.
  timer.setEnabled(interval > 0);
}

}  // namespace

std::string backgroundPicture(int k) { return k == 3 ? "zodiac" : ""; }

int clearingInterval(MainWindow& w) {
  // TXref holds at most three characters; a longer or larger text (set from code) is held to
  // the longest period it can show rather than overflowing the interval.
  double seconds = text::val(w.c("TXref").text());
  if (!(seconds > 0)) return 0;
  if (seconds > kLongestClearSeconds) seconds = kLongestClearSeconds;
  return int(text::toWhole(seconds * 1000));
}

void Command4_Click(MainWindow& w) { clearDrawing(w); }

void OpCl_Click(MainWindow& w, int k) {
  if (k == 2)
    restartClearing(w);
  else
    w.c("Tiball").setEnabled(false);
}

void TXref_LostFocus(MainWindow& w) {
  w.c("OpCl", 2).setValue(1);
  restartClearing(w);
}

void Tiball_Timer(MainWindow& w) {
  // Nothing is cleared while a body is being edited.
  if (w.c("TXTOden").visible()) return;
  clearDrawing(w);
}

void OpDate_Click(MainWindow& w, int k) {
  w.c("ImMoon").setVisible(false);
  Control& back = w.c("ImZod");
  back.setPicture(backgroundPicture(k));
  back.setVisible(true);
}

void TiF_Timer(MainWindow& w) {
  Control& ring = w.c("Shark");
  ring.setVisible(!ring.visible());
}

void wireClearing(MainWindow& w) {
  w.panel.onClick("Command4", [&w](int) { Command4_Click(w); });
  w.panel.onClick("OpCl", [&w](int k) { OpCl_Click(w, k); });
  w.panel.onLostFocus("TXref", [&w](int) { TXref_LostFocus(w); });
  w.panel.onTick("Tiball", [&w](int) { Tiball_Timer(w); });
  w.panel.onClick("OpDate", [&w](int k) { OpDate_Click(w, k); });
  w.panel.onTick("TiF", [&w](int) { TiF_Timer(w); });
}

}  // namespace orbits
