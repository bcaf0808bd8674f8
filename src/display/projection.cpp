#include "display/projection.h"

#include <algorithm>

#include "window/main_window.h"

namespace orbits {

namespace {

// Powers of ten as exact literals.
constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};

// The window's layout size divided by these places the origin; option 0 uses no offset.
struct OffsetDivisors {
  double x, y;
};
constexpr OffsetDivisors kDivisors[kScaleCount] = {
    {0, 0},
    {2.22, 2.75},
    {2.02, 2.5},
    {2.002, 2.47},
    {2.0002, 2.467},
    {2.00002, 2.465},
    {2.000002, 2.465},
    {2.0000002, 2.465},
    {2.00000002, 2.465},
    {4, 5},
    {2.1, 2.6},
    {2.01, 2.55},
    {2.001, 2.5},
    {2.00002, 2.465},
    {2.00003, 2.465},
    {2.000003, 2.465},
    {2.0000003, 2.465},
};

int clampScale(int k) { return std::clamp(k, 0, kScaleCount - 1); }

}  // namespace

double scaleKmPerUnit(int k) {
  k = clampScale(k);
  return k <= kLargestScale ? kPow10[k] : 2 * kPow10[k - 9];
}

double scaleOffsetX(int k) {
  k = clampScale(k);
  return k == 0 ? 0.0 : 15360 / kDivisors[k].x;
}

double scaleOffsetY(int k) {
  k = clampScale(k);
  return k == 0 ? 0.0 : 11520 / kDivisors[k].y;
}

int coarserScale(int k) { return k >= kLargestScale ? k - 8 : k + 1; }

void projectAll(SimState& s) {
  for (int i = 0; i <= s.lastBody; ++i) projectBody(s, i);
}

void clearDrawing(MainWindow& w) {
  w.surface.clear();
  for (const char* name : {"PiZZ", "PiZX"})
    if (Control* pic = w.panel.find(name); pic && pic->surface()) pic->surface()->clear();
}

void OpDist_Click(MainWindow& w, int k) {
  if (k < 0 || k >= kScaleCount) return;
  Control& normal = w.c("TXperdif");
  Control& chosen = w.c("Label3");
  for (Control* opt : w.panel.members("OpDist")) {
    const Control& from = opt->selected() ? chosen : normal;
    opt->setForeColor(from.foreColor());
    opt->setBackColor(from.backColor());
  }
  SimState& s = w.sim;
  s.distScaleIndex = float(k);
  s.distScale = scaleKmPerUnit(k);
  s.viewOffsetX = scaleOffsetX(k);
  s.viewOffsetY = scaleOffsetY(k);
  projectAll(s);
  clearDrawing(w);
  w.run.zumasWarned = false;
}

void Chend_Click(MainWindow& w) {
  Control& box = w.c("Chend");
  if (box.checked()) {
    box.setText("Expand");
    box.setTooltip(
        "If the object leaves the edge of the visible screen then the screen scales outwards.");
  } else {
    box.setText("Persist");
    box.setTooltip(
        "If the object leaves the edge of the visible screen then the zoom does not change.");
  }
}

void wireProjection(MainWindow& w) {
  w.panel.onClick("OpDist", [&w](int k) { OpDist_Click(w, k); });
  w.panel.onClick("Chend", [&w](int) { Chend_Click(w); });
}

}  // namespace orbits
