#include "scenarios/body_editor.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "display/colours.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

const char* const kEditRefusedText =
    "That value would put the body beyond the range of numbers the simulator can hold: its "
    "position would be infinite or so far away that distances to it overflow. The body keeps "
    "its previous values.";
const char* const kMotionRefusedText =
    "That motion is beyond the range of numbers the simulator can hold. The body keeps its "
    "previous values.";
const char* const kMassRefusedText =
    "A mass must be 0 or lie between 1E-300 and 1E+300 solar masses, the range the simulator "
    "computes with and saves. The body keeps its previous values.";

namespace {

constexpr int kScrollMax = 32767;
constexpr double kDepthLimit = 24000;

// The number of field k, the value `shown` exactly when its text is still the one shown (the
// box shows 15 digits); nothing when it is beyond the range of a double.
std::optional<double> fieldNumber(MainWindow& w, int k, double shown) {
  const std::string& t = w.c("TXTp", k).text();
  if (t == text::plain(shown)) return shown;
  return text::valInRange(t);
}

// A mass typed into the field: the whole text must be one number (blanks around it allowed).
std::optional<double> massOf(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const auto last = s.find_last_not_of(" \t");
  return text::readNumber(std::string_view(s).substr(first, last - first + 1));
}

// A drawing coordinate as a control's place: nearest whole unit, halves to even.
int toInt(double v) { return int(std::clamp<int64_t>(text::toWhole(v), INT32_MIN, INT32_MAX)); }

}  // namespace

std::optional<double> acceptedMass(const std::string& text) {
  const auto m = massOf(text);
  if (m && figureInRange(*m)) return m;
  return std::nullopt;
}

std::optional<int> editedBody(MainWindow& w) {
  const std::string& t = w.c("TXTOden").text();
  auto v = text::readNumber(t);
  if (!v || *v != std::floor(*v) || *v < 0 || *v >= kMaxBodies) return std::nullopt;
  return int(*v);
}

void SetBody(MainWindow& w, int n) {
  if (n < 0 || n >= kMaxBodies) return;
  const SimState& s = w.sim;
  // Number texts of 15 digits; a field left as shown keeps its value exactly (Bifrost).
  w.c("TXTp", 0).setText(text::plain(s.screenX[n]));
  w.c("TXTp", 1).setText(text::plain(s.screenY[n]));
  w.c("TXTp", 6).setText(text::plain(s.screenZ[n]));
  w.c("TXTp", 2).setText(text::plain(s.velX[n]));
  w.c("TXTp", 3).setText(text::plain(s.velY[n]));
  w.c("TXTp", 5).setText(text::plain(s.velZ[n]));
  w.c("TXTp", 4).setText(text::plain(s.bodyMass[n]));
  Control &h0 = w.c("Hsp", 0), &h1 = w.c("Hsp", 1);
  h0.setRange(0, kScrollMax);
  h1.setRange(0, kScrollMax);
  const double x = s.screenX[n], y = s.screenY[n], z = s.screenZ[n];
  if (0 < x && x < w.width() && 0 < y && y < w.height() && -kDepthLimit < z && z < kDepthLimit) {
    h0.setValue(int(std::floor(x)));
    h1.setValue(int(std::floor(y)));
  }
}

void Ocean(MainWindow& w, int n) {
  if (n < 0 || n >= kMaxBodies) return;
  const SimState& s = w.sim;
  Control& shark = w.c("Shark");
  shark.setTop(toInt(s.screenY[n] - shark.height() / 2.0 + 500));
  shark.setLeft(toInt(s.screenX[n] - shark.width() / 2.0 - 500));
  shark.setVisible(true);
  // The body's colour as the speed display shows it; the spare body has no row there.
  Color ring = bodyColour(s, n);
  if (auto m = editedBody(w))
    if (Control* speed = w.panel.find("TXvolight", *m)) ring = speed->foreColor();
  shark.setForeColor(ring);
  Control& name = w.c("La", 0);
  name.setForeColor(ring);
  name.setText(s.bodyName[n]);
  w.c("TXTOden").setForeColor(ring);
}

void Asgard(MainWindow& w) {
  const auto n = editedBody(w);
  if (!n) return;
  SetBody(w, *n);
  Ocean(w, *n);
  const int16_t off = w.sim.bodyOff[*n];
  if (off == 1) w.c("Chon").setValue(1);
  if (off == 0) w.c("Chon").setValue(0);
}

bool Bifrost(MainWindow& w) {
  const auto body = editedBody(w);
  if (!body) return false;
  const int n = *body;
  SimState& s = w.sim;
  Control& massField = w.c("TXTp", 4);
  const auto mass = massOf(massField.text());
  if (!mass) {
    // Refused: the field shows the mass in force again.
    massField.setText(text::plain(s.bodyMass[n]));
    return false;
  }
  const auto x = fieldNumber(w, 0, s.screenX[n]), y = fieldNumber(w, 1, s.screenY[n]),
             z = fieldNumber(w, 6, s.screenZ[n]);
  const auto vx = fieldNumber(w, 2, s.velX[n]), vy = fieldNumber(w, 3, s.velY[n]),
             vz = fieldNumber(w, 5, s.velZ[n]);
  // A drawing coordinate left as it was keeps the position in km exactly as it was.
  auto km = [&](std::optional<double> field, double shown, double offset, double was) {
    if (!field) return HUGE_VAL;
    return *field != shown ? (*field - offset) * s.distScale : was;
  };
  const double px = km(x, s.screenX[n], s.viewOffsetX, s.posX[n]),
               py = km(y, s.screenY[n], s.viewOffsetY, s.posY[n]),
               pz = km(z, s.screenZ[n], s.viewOffsetZ, s.posZ[n]);
  const double m = massField.text() == text::plain(s.bodyMass[n]) ? s.bodyMass[n] : *mass;
  // Nothing may put an infinity into the state, a body where distances overflow, or a mass a
  // save could not keep: the run could only stop on it again and again.
  const char* refused = nullptr;
  if (!positionInRange(px) || !positionInRange(py) || !positionInRange(pz))
    refused = kEditRefusedText;
  else if (!vx || !vy || !vz)
    refused = kMotionRefusedText;
  else if (!figureInRange(m))
    refused = kMassRefusedText;
  if (refused) {
    SetBody(w, n);
    w.host.messageBox(refused, MainWindow::kTitle);
    return false;
  }
  s.velX[n] = *vx;
  s.velY[n] = *vy;
  s.velZ[n] = *vz;
  s.posX[n] = px;
  s.posY[n] = py;
  s.posZ[n] = pz;
  s.screenX[n] = *x;
  s.screenY[n] = *y;
  s.screenZ[n] = *z;
  s.bodyMass[n] = m;
  return true;
}

void Qui_Change(MainWindow& w) {
  Control& pick = w.c("Qui");
  const int v = pick.value();
  if (v < 0 || v >= kMaxBodies) {
    // No such body: back to the body shown.
    if (auto n = editedBody(w)) pick.setValue(*n);
    return;
  }
  w.c("TXTOden").setText(std::to_string(v));
  Asgard(w);
}

void TXTp_LostFocus(MainWindow& w, int) {
  Control &fx = w.c("TXTp", 0), &fy = w.c("TXTp", 1);
  const double x = text::val(fx.text()), y = text::val(fy.text());
  if (x < 0) {
    fx.setText("0");
    return;
  }
  if (y < 0) {
    fy.setText("0");
    return;
  }
  if (float(x) > w.width()) {
    fx.setText(text::plain(w.width()));
  } else if (y > w.height()) {
    fy.setText(text::plain(w.height()));
  } else if (w.c("Opadd", 0).selected()) {
    if (Bifrost(w)) Asgard(w);
  }
}

void Hsp_Change(MainWindow& w, int k) {
  if (k < 0 || k > 1 || !w.c("Opadd", 1).selected()) return;
  w.c("TXTp", k).setText(std::to_string(w.c("Hsp", k).value()));
  if (Bifrost(w)) Asgard(w);
}

void Opadd_Click(MainWindow& w, int k) {
  w.c("LabTab").setVisible(false);
  const bool visual = k != 0;
  for (int i = 0; i <= 3; ++i) {
    if (i <= 1) w.c("Hsp", i).setVisible(visual);
    w.c("TXTp", i).setLocked(visual);
    w.c("TXTp", 6).setLocked(visual);
    w.c("TXTp", i).setVisible(true);
  }
  w.c("TXTp", 6).setVisible(true);
}

void Chon_Click(MainWindow& w) {
  const auto n = editedBody(w);
  if (!n) return;
  ColPlan(w);
  Control& box = w.c("Chon");
  if (box.value() == 0) {
    w.sim.bodyOff[*n] = 0;
    box.setForeColor(rgb(128, 255, 191));
    box.setText("Planet ON");
  } else if (box.value() == 1) {
    w.sim.bodyOff[*n] = 1;
    box.setForeColor(rgb(191, 96, 0));
    box.setText("Planet OFF");
  }
}

void wireBodyEditor(MainWindow& w) {
  w.panel.onChange("Qui", [&w](int) { Qui_Change(w); });
  w.panel.onLostFocus("TXTp", [&w](int k) { TXTp_LostFocus(w, k); });
  w.panel.onChange("Hsp", [&w](int k) { Hsp_Change(w, k); });
  w.panel.onClick("Opadd", [&w](int k) { Opadd_Click(w, k); });
  w.panel.onClick("Chon", [&w](int) { Chon_Click(w); });
}

}  // namespace orbits
