#include "engine/run_loop.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/calendar.h"
#include "analysis/drift.h"
#include "analysis/orbits.h"
#include "analysis/perihelia.h"
#include "display/projection.h"
#include "persist/save_reload.h"
#include "physics/dot_lanes.h"
#include "physics/gravity.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

const char* const kNumericFailureText =
    "The calculation broke down: a position, velocity or acceleration grew beyond the range "
    "of numbers the simulator can hold. The run has been stopped and the bodies left as they "
    "were after the last sound calculation; nothing of the failed one was drawn or saved. "
    "Choose a slower time rate, then press Continue.";
const char* const kNumericFailureTitle = "Numeric overflow";

namespace {

constexpr const char* kErrPattern = "000.000000000";
constexpr const char* kErrTipPattern = "000.00000000000000";
constexpr const char* kFracPattern = "0.00000000000000";

// The controls a cycle reads or writes, looked up once per execution of the loop (controls
// never move); their values are read afresh every cycle.
struct CycleControls {
  explicit CycleControls(MainWindow& w)
      : optimT4(w.c("OptimT", 4)),
        optimT5(w.c("OptimT", 5)),
        txGexp(w.c("TXgexp")),
        chQuick(w.c("CHquick")),
        chAlt(w.c("Chalt")),
        chSunny(w.c("Chsunny")),
        chEnder(w.c("Chender")),
        txEnder(w.c("TXender")),
        chProximity(w.c("CHproximity")),
        chEnd(w.c("Chend")),
        chOrbSave(w.c("ChorbSave")),
        chNY(w.c("ChNY")),
        chNum(w.c("ChNum")),
        piZZ(w.c("PiZZ")),
        piZX(w.c("PiZX")),
        txIterations(w.c("TXiterations")),
        txCalorb(w.c("TXcalorb")),
        txApart(w.c("TXapart")),
        laChirp1(w.c("LaChirp", 1)),
        cdStop(w.c("CDstop")) {
    for (int b = 1; b <= 2; ++b) {
      txTimErr[b] = &w.c("TXtimErr", b);
      txMerr[b] = &w.c("TxMerr", b);
    }
    for (int k = 0; k < kBodyTableRows; ++k) {
      txVolight[k] = &w.c("TXvolight", k);
      txMass[k] = &w.c("TXmass", k);
    }
  }
  Control &optimT4, &optimT5, &txGexp, &chQuick, &chAlt, &chSunny, &chEnder, &txEnder, &chProximity,
      &chEnd, &chOrbSave, &chNY, &chNum, &piZZ, &piZX, &txIterations, &txCalorb, &txApart,
      &laChirp1, &cdStop;
  Control* txTimErr[3] = {};
  Control* txMerr[3] = {};
  Control* txVolight[kBodyTableRows] = {};
  Control* txMass[kBodyTableRows] = {};
};

// The number a text box holds, parsed again only when the box has changed.
class TextNumber {
 public:
  explicit TextNumber(Control& box) : box_(box) {}
  double get() {
    if (box_.revision() != revision_ || !parsed_) {
      value_ = text::val(box_.text());
      revision_ = box_.revision();
      parsed_ = true;
    }
    return value_;
  }

 private:
  Control& box_;
  uint64_t revision_ = 0;
  bool parsed_ = false;
  double value_ = 0;
};

// The bodies' positions and counters at the start of a cycle, to fall back on when the cycle
// breaks down numerically.
struct BodySnapshot {
  // Only positions: the failure is found before the velocity update near the cycle's end.
  BodyArray<double> posX, posY, posZ;
  double cycleCount, calcsSinceOrbit1;

  void take(const SimState& s) {
    posX = s.posX, posY = s.posY, posZ = s.posZ;
    cycleCount = s.cycleCount;
    calcsSinceOrbit1 = s.calcsSinceOrbit1;
  }
};

// After a stop no read-out may show what the failed values made of it. Only boxes a user
// cannot type into, and labels, are touched; their texts are figures, not input.
void clearNonFiniteTexts(MainWindow& w) {
  auto bad = [](const std::string& t) {
    return t.find("Infinity") != std::string::npos || t.find("NaN") != std::string::npos;
  };
  for (Control& c : w.panel.all()) {
    const bool figure = c.kind() == Kind::Label || (c.kind() == Kind::TextBox && c.locked());
    if (figure && bad(c.text())) c.setText("n/a");
    if (bad(c.tooltip())) c.setTooltip("");
  }
}

// Back to the state of the last good cycle, paused as Stop leaves a run, and one message.
void numericFailure(MainWindow& w, CycleControls& ctl, const BodySnapshot& snap,
                    double scaleBefore) {
  SimState& s = w.sim;
  s.posX = snap.posX, s.posY = snap.posY, s.posZ = snap.posZ;
  s.cycleCount = snap.cycleCount;
  s.calcsSinceOrbit1 = snap.calcsSinceOrbit1;
  if (s.distScale != scaleBefore) {
    projectAll(s);
  } else {
    for (int i = 0; i <= s.lastBody; ++i)
      if (s.bodyOff[i] == 0) projectBody(s, i);
  }
  ++w.run.numericFailures;
  ctl.cdStop.press();
  clearNonFiniteTexts(w);
  w.host.messageBox(kNumericFailureText, kNumericFailureTitle);
}

// A side view's surface when it is shown, with its place and size (read each cycle) in `area`.
Surface* sideView(Control& pic, DotArea& area) {
  if (!pic.visible() || !pic.surface()) return nullptr;
  area = dotArea(*pic.surface(), pic.left(), pic.top(), pic.width(), pic.height());
  return pic.surface();
}

// Whether an orbit count is even. The count changes once an orbit, so the remainder is
// worked out again only then.
bool evenOrbit(RunLoopState& run, double orbitCount) {
  if (!(orbitCount == run.parityCount)) {
    run.parityEven = std::fmod(orbitCount, 2.0) == 0;
    run.parityCount = orbitCount;
  }
  return run.parityEven;
}

// The Sun's dot, with its glow a quarter as bright 30 units to each side.
bool plotSun(MainWindow& w, const DotLanes& pr) {
  uint32_t* pixels = w.surface.pixels();
  bool drawn = false;
  if (const int32_t at = pr.mainAt[0]; at >= 0) pixels[at] = pr.colour[0], drawn = true;
  if (pr.glowAt == std::array<int32_t, 4>{-1, -1, -1, -1}) return drawn;
  const SimState& s = w.sim;
  const Color q = rgb(shade(s.bodyRed[0] / 4), shade(s.bodyGreen[0] / 4), shade(s.bodyBlue[0] / 4));
  for (int32_t at : pr.glowAt)
    if (at >= 0) pixels[at] = q, drawn = true;
  return drawn;
}

// The surfaces as the plotting left them: when the dots fall on the same pixels in the same
// colours, for the same bodies, and nothing else has drawn on these surfaces since, plotting
// them again would change nothing.
struct PlotMemo {
  const Surface *main = nullptr, *zy = nullptr, *zx = nullptr;
  uint64_t mainRevision = 0, zyRevision = 0, zxRevision = 0;
  uint32_t inPlay = 0;
  bool valid = false;

  static uint64_t revisionOf(const Surface* s) { return s ? s->revision() : 0; }
  bool holds(const Surface* m, const Surface* y, const Surface* x, const DotLanes& pr) const {
    return valid & pr.pixelsKept & pr.coloursKept & (pr.inPlay == inPlay) & (m == main) &
           (y == zy) & (x == zx) & (m->revision() == mainRevision) & (revisionOf(y) == zyRevision) &
           (revisionOf(x) == zxRevision);
  }
  void take(const Surface* m, const Surface* y, const Surface* x, const DotLanes& pr) {
    main = m, zy = y, zx = x, inPlay = pr.inPlay, valid = true;
    mainRevision = m->revision(), zyRevision = revisionOf(y), zxRevision = revisionOf(x);
  }
};

// Project every body in play and plot it. Returns whether every body in play lies
// inside the drawing bounds. `in` and `pr` last the whole run, so that the areas are not cleared
// again every cycle, nor the colours worked out again; what a cycle uses of `in` is set here.
bool projectAndPlot(MainWindow& w, CycleControls& ctl, DotInput& in, DotLanes& pr, PlotMemo& memo) {
  SimState& s = w.sim;
  const bool drawing = ctl.chQuick.checked();
  Surface& main = w.surface;
  Surface *zy = nullptr, *zx = nullptr;
  in.s = &s;
  in.pixels = drawing;
  in.alternate = in.glow = in.zy = in.zx = false;
  if (drawing) {
    in.alternate = ctl.chAlt.checked() && evenOrbit(w.run, s.orbitCount);
    in.glow = ctl.chSunny.checked();
    in.main = dotArea(main, 0, 0, w.width(), w.height());
    in.zy = (zy = sideView(ctl.piZZ, in.zyArea)) != nullptr;
    in.zx = (zx = sideView(ctl.piZX, in.zxArea)) != nullptr;
  }
  projectDots(in, pr);
  const int n = s.lastBody + 1;
  for (int b : {2, 1}) {
    const int i = s.pairBody[size_t(b)];
    if (i >= n || s.bodyOff[size_t(i)] != 0) continue;
    (b == 1 ? w.pair.pair1PosX : w.pair.pair2PosX) = s.posX[size_t(i)];
    (b == 1 ? w.pair.pair1PosY : w.pair.pair2PosY) = s.posY[size_t(i)];
  }
  if (!drawing || memo.holds(&main, zy, zx, pr)) return pr.inBounds;

  bool mainDrawn = false, zyDrawn = false, zxDrawn = false;
  uint32_t* mainPixels = main.pixels();
  uint32_t* zyPixels = zy ? zy->pixels() : nullptr;
  uint32_t* zxPixels = zx ? zx->pixels() : nullptr;
  for (int i = 0; i < n; ++i) {
    if (s.bodyOff[i] != 0) continue;
    const Color c = pr.colour[i];
    if (i == 0) {
      mainDrawn |= plotSun(w, pr);
    } else if (const int32_t at = pr.mainAt[i]; at >= 0 && mainPixels[at] != c) {
      // A dot already there in this colour is not set again.
      mainPixels[at] = c;
      mainDrawn = true;
    }
    if (const int32_t at = pr.zyAt[i]; at >= 0) zyPixels[at] = c, zyDrawn = true;
    if (const int32_t at = pr.zxAt[i]; at >= 0) zxPixels[at] = c, zxDrawn = true;
  }
  if (mainDrawn) main.touch();
  if (zyDrawn) zy->touch();
  if (zxDrawn) zx->touch();
  memo.take(&main, zy, zx, pr);
  return pr.inBounds;
}

// The drawing-bounds test for body k after its velocity update, with the automatic expansion.
void boundsTest(MainWindow& w, CycleControls& ctl, int k) {
  SimState& s = w.sim;
  if (s.distScaleIndex > 15) {
    // Tested for every body of every cycle, this would block the run with endless boxes:
    // warn once per selection of the scale, and run on without a bounds test.
    if (!w.run.zumasWarned) {
      w.run.zumasWarned = true;
      w.host.messageBox("too many zumas", MainWindow::kTitle);
    }
  }
  if (s.bodyOff[k] == 0 && s.distScaleIndex < 16) {
    double x = s.screenX[k], y = s.screenY[k], z = s.screenZ[k];
    if (outsideDrawing(x, y, z)) s.endCode = EndCode::Outside;
  }
  if (s.endCode != EndCode::Outside) return;
  if (s.distScaleIndex == kLargestScale) {
    w.host.messageBox("Beyond Range", std::to_string(k));
    s.endCode = EndCode::BeyondRange;
    return;
  }
  s.endCode = EndCode::None;
  if (!ctl.chEnd.checked()) return;
  int n = coarserScale(int(s.distScaleIndex));
  Control& option = w.c("OpDist", n);
  if (option.selected())
    OpDist_Click(w, n);
  else
    option.setValue(1);
  s.endCode = EndCode::ScaleExpanded;
  ctl.laChirp1.setText("Distance scale has changed to \r" + option.text());
  clearDrawing(w);
}

// The bounds test at the cycle's end for all bodies at once, when it cannot do more than give
// its verdict; false when it must run body by body. `inside`: every body in play lies inside
// the drawing bounds, found with the cycle's projection (nothing in between moves a drawing
// coordinate, and the velocity update leaves them alone).
bool boundsSettled(MainWindow& w, CycleControls& ctl, bool inside) {
  SimState& s = w.sim;
  if (s.endCode == EndCode::Outside || (s.distScaleIndex > 15 && !w.run.zumasWarned)) return false;
  if (!(s.distScaleIndex < 16) || inside) return true;
  // A body outside, with no automatic expansion and short of the largest scale: the test
  // withdraws each such body's verdict at once, which leaves no verdict.
  if (!ctl.chEnd.checked() && s.distScaleIndex != kLargestScale) {
    s.endCode = EndCode::None;
    return true;
  }
  return false;
}

// After the accelerations: the warning for the pairs found closer than the proximity limit.
void proximityWarning(MainWindow& w, CycleControls& ctl, const ProximityReport& close) {
  SimState& s = w.sim;
  for (int p = 0; p < close.count; ++p) {
    const ClosePair& cp = close.pairs[size_t(p)];
    ctl.laChirp1.setText("Proximity warning. " + s.bodyName[cp.j] + " and " + s.bodyName[cp.i] +
                         " within" + text::signedText(s.proximityKm) + " km. " +
                         "Quantum gravity becomes radically innaccurate in this simulation.");
    if (ctl.chProximity.checked()) ctl.cdStop.press();
  }
}

}  // namespace

void ShowPairDistance(MainWindow& w, Control& apart) { showPairDistance(w, apart, w.c("ChNum")); }

void showPairDistance(MainWindow& w, Control& apart, const Control& simple) {
  const double d = w.pair.pairDist;
  apart.setTooltipNumber(d, NumForm::Signed, nullptr, " km");
  if (simple.checked() && d >= 100000) {
    if (d < 1e7)
      apart.setNumber(text::intFloor(d / 1000), NumForm::Signed, nullptr, " kkm");
    else
      apart.setNumber(text::intFloor(d / 1000000), NumForm::Signed, nullptr, " mkm");
  } else {
    apart.setNumber(text::intFloor(d), NumForm::Pattern, "0000");
  }
}

namespace {

void runCycles(MainWindow& w) {
  SimState& s = w.sim;
  CycleControls ctl(w);
  const ClockTexts clockTexts(w);
  TextNumber gravExponentText(ctl.txGexp), errorLimitText(ctl.txEnder);
  Accelerations accel;  // zero on every entry
  ProximityReport close;
  BodySnapshot snap;
  DotInput dots;
  DotLanes lanes;
  PlotMemo plotted;
  s.orbitSaveDue = 0;

  for (;;) {
    snap.take(s);
    const double scaleBefore = s.distScale;

    // 1. Detail mode.
    s.detailMode = ctl.optimT5.selected() ? DetailMode::Trim : DetailMode::Ok;

    // 2. Orbit detection, from the drawing coordinates of the previous cycle.
    const int a1 = s.pairBody[1], a2 = s.pairBody[2];
    s.quadrant = quarterOf(s.screenX[a1], s.screenY[a1], s.screenX[a2], s.screenY[a2],
                           ctl.chNY.checked(), s.quadrant);
    if (s.prevQuadrant == 4 && s.quadrant == 1) OrbitCompletion(w);

    // 3. Refresh the current date in the detailed turbo mode.
    if (s.turboMode == kTurboWithDetail) Crystal(w, clockTexts.current());

    // 4. Counters.
    s.cycleCount += 1;
    if (s.orbitCount > 0) s.calcsSinceOrbit1 += 1;
    if (s.detailMode == DetailMode::Ok) ctl.txIterations.setNumber(s.cycleCount, NumForm::Plain);

    // 5. Quarter change and calculations per orbit.
    if (s.quadrant != s.prevQuadrant) {
      QuarterIndicator(w);
      ctl.txIterations.setNumber(s.cycleCount, NumForm::Plain);
      double elapsed = (s.quadrant - 1) * 0.25 + s.orbitCount - 1;
      if (elapsed > 0 && s.orbitCount > 0) {
        s.calcsPerOrbit = s.calcsSinceOrbit1 / elapsed;
        ctl.txCalorb.setNumber(text::intFloor(s.calcsPerOrbit), NumForm::Plain);
        ctl.txCalorb.setTooltipNumber(s.calcsPerOrbit, NumForm::Plain);
      } else {
        ctl.txCalorb.setText("n/a");
      }
    }
    // 6. Remember the quarter for the next cycle.
    s.prevQuadrant = s.quadrant;
    // 7. The exponent of the force law, from its text box.
    s.gravExponent = gravExponentText.get();

    // 8. Move, with the speed and mass texts in the detailed turbo mode.
    moveBodies(s);
    if (ctl.optimT4.selected()) {
      const double toLight = s.calcsPerSecond / s.lightSpeed;
      for (int k = std::min(int(s.lastBody), kBodyTableRows - 1); k >= 0; --k) {
        if (s.bodyOff[k] != 0) continue;
        double v =
            std::sqrt(s.velY[k] * s.velY[k] + s.velX[k] * s.velX[k] + s.velZ[k] * s.velZ[k]) *
            toLight;
        ctl.txVolight[k]->setNumber(v, NumForm::Pattern, kFracPattern);
        ctl.txVolight[k]->setTooltipNumber(v, NumForm::Plain);
        ctl.txMass[k]->setNumber(s.bodyMass[k], NumForm::Pattern, kFracPattern);
        ctl.txMass[k]->setTooltipNumber(1e30 * (s.solarMass * s.bodyMass[k]), NumForm::Signed,
                                        nullptr, " kg");
      }
    }

    // 9. Accelerations. Nothing non-finite may be drawn, measured or saved.
    computeAccelerations(s, accel, close);
    if (s.relativity) addRelativity(s, accel);
    if (!motionFinite(s, accel)) {
      numericFailure(w, ctl, snap, scaleBefore);
      return;
    }
    proximityWarning(w, ctl, close);

    // 10. Project and plot.
    const bool inside = projectAndPlot(w, ctl, dots, lanes, plotted);

    // 11. Pair distance.
    PairStats& pair = w.pair;
    pair.pairDx = s.posX[a1] - s.posX[a2];
    pair.pairDy = s.posY[a1] - s.posY[a2];
    pair.pairDz = s.posZ[a1] - s.posZ[a2];
    pair.pairDist = std::sqrt(pair.pairDx * pair.pairDx + pair.pairDy * pair.pairDy +
                              pair.pairDz * pair.pairDz);
    PairRecords(w);
    s.errPairDist = pair.pairDist;

    // 12. The pair's distance extremes in full detail.
    const bool detailed = s.detailMode == DetailMode::Ok;
    if (detailed) Monkey(w);
    // 13. The pair's distance text in the detailed turbo mode.
    if (ctl.optimT4.selected()) showPairDistance(w, ctl.txApart, ctl.chNum);

    // 14. Movement error and its limit.
    for (int b = 1; b <= 2; ++b) {
      if (movementError(s, accel, b) && detailed) {
        ctl.txTimErr[b]->setNumber(s.moveErrPct[b], NumForm::Pattern, kErrPattern);
        ctl.txTimErr[b]->setTooltipNumber(s.moveErrPct[b], NumForm::Pattern, kErrTipPattern);
        if (s.moveErrPct[b] > s.maxErrPct[b]) s.maxErrPct[b] = s.moveErrPct[b];
        ctl.txMerr[b]->setNumber(s.maxErrPct[b], NumForm::Pattern, kErrPattern);
        ctl.txMerr[b]->setTooltipNumber(s.maxErrPct[b], NumForm::Pattern, kErrTipPattern);
      }
      if (ctl.chEnder.checked() && s.moveErrPct[b] > errorLimitText.get())
        s.endCode = EndCode::ErrorLimit;
    }

    // 15. Velocities and drawing bounds.
    if (boundsSettled(w, ctl, inside)) {
      for (int k = 0; k <= s.lastBody; ++k) updateVelocity(s, accel, k);
    } else {
      for (int k = 0; k <= s.lastBody; ++k) {
        updateVelocity(s, accel, k);
        boundsTest(w, ctl, k);
      }
    }

    // 16. Simulated time and end messages.
    TikTok(w, clockTexts);
    // The lab samples the pair where the cycle leaves it: positions, velocities and clock.
    labCycle(w, accel);
    // 17. Let the window handle its pending events.
    w.host.yield();
    // 18. Per-orbit save.
    if (ctl.chOrbSave.checked() && s.orbitSaveDue == 1) {
      if (s.orbitCount < 10000) SavePerPre(w);
      SaveOrbit(w);
      s.orbitSaveDue = 0;
    }
    // 19. Return once the run is stopped or ended.
    if (s.runState != RunState::Bat) return;
  }
}

}  // namespace

void RunLoop(MainWindow& w) {
  runCycles(w);
  // A run ends with its saves on the disk, and with a save that failed there reported.
  settleSaves(w);
}

}  // namespace orbits
