#include "display/pair_selection.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "display/colours.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

// A scroll bar's value as a body number of the body table.
int bodyOf(const Control& bar) { return std::clamp(bar.value(), 0, kBodyTableRows - 1); }

void captionFra12(MainWindow& w) {
  w.c("Fra12").setText("Orbit data: " + w.c("TXname", 2).text() + " + " + w.c("TXname", 1).text());
}

void colourBoth(Control& c, Color fore, Color back) {
  c.setForeColor(fore);
  c.setBackColor(back);
}

// Pair member `slot` (1 or 2) is body `body`: its marker beside the body table, its number and
// its movement-error texts in the body's colours.
void markPairBody(MainWindow& w, int slot, int body, const char* marker, Color full, Color dark) {
  Control& pic = w.c(marker);
  pic.setTop(w.c("TXmass", body).top());
  pic.setBackColor(full);
  Control& number = w.c("LaDark", slot);
  number.setText(std::to_string(body));
  number.setForeColor(w.c("LabWH", body).foreColor());
  colourBoth(w.c("TXtimErr", slot), full, dark);
  colourBoth(w.c("TxMerr", slot), full, dark);
}

}  // namespace

void HSalpha_Change(MainWindow& w) {
  w.c("TXalpha").setText(std::to_string(w.c("HSalpha").value()));
  ALPHAalpha(w);
  CalibrateDist(w);
}

void HSbeta_Change(MainWindow& w) {
  w.c("TXbeta").setText(std::to_string(w.c("HSbeta").value()));
  BETAbeta(w);
}

void ALPHAalpha(MainWindow& w) {
  const int a = bodyOf(w.c("HSalpha"));
  w.sim.pairBody[1] = int16_t(a);
  const Color full = w.c("TXvolight", a).foreColor(), dark = w.c("TXvolight", a).backColor();
  Control& name = w.c("TXname", 1);
  name.setText(w.sim.bodyName[a]);
  name.setBackColor(full);
  markPairBody(w, 1, a, "PiAlpha", full, dark);
  captionFra12(w);
}

void BETAbeta(MainWindow& w) {
  const int b = bodyOf(w.c("HSbeta"));
  w.sim.pairBody[2] = int16_t(b);
  const Color full = w.c("TXvolight", b).foreColor(), dark = w.c("TXvolight", b).backColor();
  const std::string& bodyName = w.sim.bodyName[b];
  Control& name = w.c("TXname", 2);
  name.setText(bodyName);
  name.setBackColor(full);

  Control& laps = w.c("TXlaps");
  // The labels lie on the body's dark colour as the frame does, so that pale colours read.
  for (const char* label : {"LaQd", "LaQy", "Laborb"})
    colourBoth(w.c(label), name.backColor(), dark);
  laps.setForeColor(name.backColor());
  w.c("FraYear").setBackColor(dark);
  laps.setBackColor(dark);
  w.c("Laborb").setText("Orbit count for " + name.text());

  markPairBody(w, 2, b, "PiBeta", full, dark);
  colourBoth(w.c("TXyearLeap"), full, dark);
  w.c("FraNo").setBackColor(full);
  w.c("LaPlanet").setText(bodyName + "\rNo complete orbits yet.");
  captionFra12(w);
  w.c("LaOrb").setText(text::plain(w.pair.orbitRatio[size_t(b)]));

  // The precession read-outs in the second body's colour.
  Control &arcs = w.c("LaARCs"), &annum = w.c("TXannum"), &perYear = w.c("LaAnnum"),
          &arc = w.c("TXarc");
  const Color white = w.c("Command1").backColor();
  arcs.setForeColor(full);
  annum.setForeColor(full);
  perYear.setForeColor(white);
  arc.setForeColor(white);
  arc.setBackColor(scaledColour(w.sim, b, 0.33));
  // Their captions on dark grounds: a pale body colour or white does not read on grey.
  arcs.setBackColor(dark);
  perYear.setBackColor(arc.backColor());
  annum.setBackColor(arc.backColor());
  colourBoth(w.c("TXasER"), annum.foreColor(), annum.backColor());
  colourBoth(w.c("LaArcErr"), arc.foreColor(), arc.backColor());
}

void CalibrateDist(MainWindow& w) {
  const SimState& s = w.sim;
  const int a = s.pairBody[1], b = s.pairBody[2];
  const double dx = s.posX[a] - s.posX[b], dy = s.posY[a] - s.posY[b];
  const double d = std::sqrt(dx * dx + dy * dy);
  PairStats& p = w.pair;
  p.orbitMinDist = p.orbitMaxDist = p.prevOrbitMinDist = p.prevOrbitMaxDist = d;
}

void Slick(MainWindow& w) {
  const PairStats& p = w.pair;
  Control &low = w.c("TXmin"), &high = w.c("TXmax");
  low.setNumber(text::intFloor(p.orbitMinDist), NumForm::Plain);
  low.setTooltipNumber(p.orbitMinDist, NumForm::Signed, nullptr, " km total low");
  high.setNumber(text::intFloor(p.orbitMaxDist), NumForm::Plain);
  high.setTooltipNumber(p.orbitMaxDist, NumForm::Signed, nullptr, " km total hi");
}

void wirePairSelection(MainWindow& w) {
  w.panel.onChange("HSalpha", [&w](int) { HSalpha_Change(w); });
  w.panel.onChange("HSbeta", [&w](int) { HSbeta_Change(w); });
}

}  // namespace orbits
