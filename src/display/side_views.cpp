#include "display/side_views.h"

#include "window/main_window.h"

namespace orbits {

void ChZAxis_Click(MainWindow& w) { w.c("PiZZ").setVisible(w.c("ChZAxis").checked()); }

void ChZX_Click(MainWindow& w) { w.c("PiZX").setVisible(w.c("ChZX").checked()); }

void ChLR_Click(MainWindow& w) {
  const StripPlace& p = w.c("ChLR").checked() ? kZYLeft : kZYRight;
  Control& strip = w.c("PiZZ");
  strip.move(p.left, p.top, p.width, p.height);
  if (Surface* surface = strip.surface()) surface->clear();
}

void wireSideViews(MainWindow& w) {
  w.panel.onClick("ChZAxis", [&w](int) { ChZAxis_Click(w); });
  w.panel.onClick("ChZX", [&w](int) { ChZX_Click(w); });
  w.panel.onClick("ChLR", [&w](int) { ChLR_Click(w); });
}

}  // namespace orbits
