#pragma once
// Completes the panel with the run controls a test needs while the full panel of the window
// is still being built: every control the run loop, run control, time rate and scale read,
// added only when the panel lacks it, with its design-time state. Once the panel has them all
// this adds nothing.
#include <string>

#include "display/projection.h"
#include "engine/run_control.h"
#include "engine/time_rate.h"
#include "form/color.h"
#include "window/main_window.h"

namespace orbits::testing {

inline Control* addIfMissing(MainWindow& w, Kind kind, const char* name, int index = -1) {
  if (w.panel.find(name, index)) return nullptr;
  return &w.panel.add(kind, name, index);
}

inline void completePanelForTests(MainWindow& w) {
  struct Box {
    const char* name;
    int value;
  };
  for (Box b : {Box{"CHquick", 1},
                {"Chalt", 1},
                {"Chsunny", 1},
                {"Chender", 1},
                {"CHproximity", 1},
                {"Chend", 1},
                {"ChorbSave", 1},
                {"ChNY", 1},
                {"ChNum", 0},
                {"ChReset", 1},
                {"Chuser", 0},
                {"Chon", 0}})
    if (Control* c = addIfMissing(w, Kind::CheckBox, b.name)) c->setValue(b.value);
  struct Text {
    const char* name;
    int index;
    const char* text;
  };
  for (Text t : {Text{"TXgexp", -1, "2"},
                 {"TXender", -1, "5"},
                 {"TXiterations", -1, "x"},
                 {"TXcalorb", -1, "x"},
                 {"TXapart", -1, "x"},
                 {"TXperdif", -1, "x"},
                 {"TXproximity", -1, "0"},
                 {"TXref", -1, "6"},
                 {"TXn", -1, "8"},
                 {"TXTOden", -1, "0"},
                 {"TXtimErr", 1, "0"},
                 {"TXtimErr", 2, "0"},
                 {"TxMerr", 1, "0"},
                 {"TxMerr", 2, "0"}})
    if (Control* c = addIfMissing(w, Kind::TextBox, t.name, t.index)) c->setText(t.text);
  if (Control* c = w.panel.find("TXperdif")) {
    if (c->foreColor() == kBlack) {
      c->setForeColor(rgb(96, 96, 96));
      c->setBackColor(rgb(16, 8, 0));
    }
  }
  if (Control* c = addIfMissing(w, Kind::Label, "Label3")) {
    c->setForeColor(rgb(208, 192, 176));
    c->setBackColor(rgb(64, 32, 32));
  }
  for (int k = 0; k < 9; ++k) {
    addIfMissing(w, Kind::TextBox, "TXvolight", k);
    addIfMissing(w, Kind::TextBox, "TXmass", k);
  }
  for (int i = 0; i < 7; ++i) {
    addIfMissing(w, Kind::TextBox, "TXTp", i);
    addIfMissing(w, Kind::Label, "Label6", i);
  }
  for (int i = 0; i < 3; ++i) addIfMissing(w, Kind::Label, "LaChirp", i);
  addIfMissing(w, Kind::Label, "Laadd");
  addIfMissing(w, Kind::Label, "La", 0);
  addIfMissing(w, Kind::Label, "LabTab");
  addIfMissing(w, Kind::Shape, "Shark");
  for (const char* f : {"FraMil", "FrameDark", "Frame2"})
    if (Control* c = addIfMissing(w, Kind::Frame, f)) c->setVisible(false);
  for (const char* b : {"Command2", "CDstop", "CDcont"})
    if (Control* c = addIfMissing(w, Kind::Button, b)) c->setVisible(false);
  for (const char* b : {"Command3", "Command4"}) addIfMissing(w, Kind::Button, b);
  for (int i = 0; i <= 83; ++i) addIfMissing(w, Kind::Button, "CDp", i);
  for (int i = 0; i <= 18; ++i)
    if (Control* c = addIfMissing(w, Kind::Option, "Optime", i)) c->setText(std::to_string(i));
  for (int i = 4; i <= 5; ++i) addIfMissing(w, Kind::Option, "OptimT", i);
  static const char* const kScales[] = {
      "1 px = 15km",    "1 px = 150km", "1 px = 1500km", "1 px = 15kkm",   "1 px = 150kkm",
      "1 px = 1500kkm", "1 px = 15mkm", "1 px = 150mkm", "1 px = 1500mkm", "1 px = 30km",
      "1 px = 300km",   "1 px = 3kkm",  "1 px = 30kkm",  "1 px = 300kkm",  "1 px = 3mkm",
      "1 px = 30mkm",   "1 px = 300mkm"};
  for (int k = 0; k < kScaleCount; ++k)
    if (Control* c = addIfMissing(w, Kind::Option, "OpDist", k)) c->setText(kScales[k]);
  for (int i = 0; i < 3; ++i)
    if (Control* c = addIfMissing(w, Kind::Option, "OpCl", i); c && i == 0) c->setValue(1);
  for (int i = 0; i < 2; ++i) {
    addIfMissing(w, Kind::Option, "Opadd", i);
    if (Control* c = addIfMissing(w, Kind::HScroll, "Hsp", i)) c->setVisible(false);
  }
  if (Control* c = addIfMissing(w, Kind::HScroll, "Qui")) c->setVisible(false);
  for (const char* t : {"Tiball", "TiF"})
    if (Control* c = addIfMissing(w, Kind::Timer, t)) c->setEnabled(false);
  if (Control* c = addIfMissing(w, Kind::Picture, "PiZZ")) {
    c->surface()->setBackground(rgb(8, 16, 20));
    c->move(608 * 15, 80 * 15, 139 * 15, 473 * 15);
  }
  if (Control* c = addIfMissing(w, Kind::Picture, "PiZX")) {
    c->surface()->setBackground(rgb(8, 16, 20));
    c->move(992 * 15, 728 * 15, 697 * 15, 137 * 15);
    c->setVisible(false);
  }
  wireRunControl(w);
  wireTimeRate(w);
  wireProjection(w);
}

}  // namespace orbits::testing
