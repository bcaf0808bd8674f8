#include "analysis/precession.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/data_file.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

const char* const kAngleLimitText = "10 000 orbit limit for angles. Distances still ok, I hope.";

namespace {

using text::patterned;
using text::plain;
using text::signedText;

constexpr int kLatest = kMarkerSlots - 1;  // slot 9999 mirrors the newest marker
constexpr double kArcSecondsPerTurn = 1296000;

// A marker slot from a number: rounded, and kept within the tables.
size_t slotOf(double v) { return size_t(std::clamp<int64_t>(text::toWhole(v), 0, kLatest)); }

Color scaled(const SimState& s, int b, double f) {
  auto part = [f](float c) { return int(text::roundHalfEven(c / f)); };
  return rgb(part(s.bodyRed[size_t(b)]), part(s.bodyGreen[size_t(b)]), part(s.bodyBlue[size_t(b)]));
}

int bodyOfSlot(const Markers& m, size_t k) {
  return std::clamp<int>(m.markerBody[k], 0, kMaxBodies - 1);
}

void addLine(std::string& out, const std::string& line) {
  out += line;
  out += kLineEnd;
}

}  // namespace

double ArcCos(double x) {
  if (x == -1) return 3.14159265358979;
  if (x == 1) return 0;
  return 1.5707963267949 - std::atan(x / std::sqrt(1 - x * x));
}

double perihelionAngle(const SimState& s, double dx, double dy) {
  // The direction is taken in the x-y plane, where the angle is measured: with the length in
  // three dimensions, dx / r would not be the cosine of that direction for an orbit inclined
  // to the plane.
  const double r = std::sqrt(dx * dx + dy * dy);
  if (!(r > 0)) return 0;
  const double c = std::clamp(dx / r, -1.0, 1.0);
  return dy >= 0 ? s.piValue - ArcCos(c) : s.piValue + ArcCos(c);
}

double wrapAngle(const SimState& s, double d) {
  if (d < -s.piValue) d += s.twoPi;
  if (d > s.piValue) d -= s.twoPi;
  return d;
}

void RecordMarkers(MainWindow& w, double n, std::string& out) {
  const SimState& s = w.sim;
  const PairStats& p = w.pair;
  Markers& m = w.markers;
  const bool extremesOnly = w.c("ChEach").checked();

  std::string minLine =
      " ==> NEW Min " + signedText(p.orbitMinDistCopy) + " @ " + w.c("TXdatePERI").tooltip();
  if (m.periMarkerCount >= 0 && m.periMarkerCount <= kLatest - 1) {
    const double theta = perihelionAngle(s, p.orbitMinDx, p.orbitMinDy);
    minLine = " THETA=" + signedText(theta) + minLine;
    const int k = m.periMarkerCount;
    for (size_t slot : {size_t(k), size_t(kLatest)}) {
      m.markerPair1X[slot] = p.minPair1PosX;
      m.markerPair1Y[slot] = p.minPair1PosY;
      m.markerPair2X[slot] = p.minPair2PosX;
      m.markerPair2Y[slot] = p.minPair2PosY;
      m.markerTheta[slot] = theta;
      m.markerOrbit[slot] = int32_t(text::toWhole(n));
      m.markerBody[slot] = s.pairBody[2];
    }
    TheAngle(w, n);
    w.c("TXperihelis").setText(plain(k));
    m.periMarkerCount = k + 1;
    if (!extremesOnly) addLine(out, minLine);
  }
  if (p.totalMinOrbitNo == n && extremesOnly) {
    w.c("TXpersephone").setText(plain(m.periMoveCount));
    minLine += " =new#" + signedText(m.periMoveCount);
    addLine(out, minLine);
    ++m.periMoveCount;
  }

  std::string maxLine =
      " ==> NEW Max " + signedText(p.orbitMaxDistCopy) + " @ " + w.c("TXdateAPHE").tooltip();
  Control &aphNumber = w.c("TXaphNumber"), &aphMove = w.c("TXaphMove");
  if (m.aphMarkerCount < kLatest) {
    const double theta =
        p.orbitMaxDistCopy > 0 ? perihelionAngle(s, p.orbitMaxDx, p.orbitMaxDy) : 0;
    maxLine = " THETA=" + signedText(theta) + maxLine;
    if (!extremesOnly) {
      addLine(out, maxLine);
      aphNumber.setText(plain(n));
      aphMove.setText(plain(m.aphMarkerCount));
      ++m.aphMarkerCount;
    }
  }
  if (p.totalMaxOrbitNo == n && extremesOnly) {
    maxLine += " =new#" + signedText(m.aphMarkerCount);
    addLine(out, maxLine);
    aphNumber.setText(plain(n));
    aphMove.setText(plain(m.aphMarkerCount));
    ++m.aphMarkerCount;
  }
}

void TheAngle(MainWindow& w, double n) {
  const SimState& s = w.sim;
  Markers& m = w.markers;
  const double years = w.periods.avgOrbitYears;
  const std::vector<double>& theta = m.markerTheta;

  // 1. The marker read-out: the chosen marker against the latest.
  Control& marker = w.c("TXmarker");
  Control &thenum = w.c("TXthenum"), &latest = w.c("TXlatest"), &diff = w.c("TXtheta");
  Control &degreesBox = w.c("TXdegrees"), &orbitNum = w.c("TXorbitnum"), &annum = w.c("TXannum");
  const size_t mk = slotOf(text::val(marker.text()));
  const double d = wrapAngle(s, theta[kLatest] - theta[mk]);
  if (theta[mk] != 0) {
    thenum.setText(patterned(theta[mk], "0.000000000000"));
    latest.setText(patterned(theta[kLatest], "0.000000000000"));
    diff.setText(patterned(d, "0.000000000000"));
    orbitNum.setText(plain(m.markerOrbit[mk]));
    diff.setTooltip("Difference in Angle between Marker Perihelion {" + marker.text() +
                    "}, and Latest Perihelion {" + w.c("TXperihelis").text() + "}.");
    thenum.setTooltip("Angle of Perihelion for the Marker Perihelion {" + marker.text() + "}.");
    const double degrees = d / s.twoPi * 360;
    degreesBox.setText(patterned(degrees, "0.000000000"));
    // Without an orbit period there is no rate per year to show.
    annum.setText(years != 0 ? patterned(degrees * 3600 / years, "0.000000") : "n/a");
  } else {
    annum.setText("~");
    thenum.setText("n/a");
    latest.setText("n/a");
    diff.setText("n/a");
    degreesBox.setText("n/a");
    orbitNum.setText("~");
    diff.setTooltip("Difference in Angle between Marker Perihelion, and Latest Perihelion.");
    thenum.setTooltip("Angle of Perihelion for the Perihelion.");
  }

  // 2. Go on only with the pair's orbit ratio and two orbits.
  const int beta = s.pairBody[2];
  const double ratio =
      beta >= 0 && beta < int(w.pair.orbitRatio.size()) ? w.pair.orbitRatio[size_t(beta)] : 0;
  const size_t last = slotOf(n);
  if (ratio == 0 || n < 2) return;

  // 3. The resolution the time step allows.
  for (const char* name : {"LaBad", "LaBadder", "LaErr", "LaArcErr", "LaJunk", "LaJunkers"})
    w.c(name).setVisible(true);
  w.c("LaIN").setVisible(false);
  const double sas = s.siderealYearSecs * years / kArcSecondsPerTurn;  // seconds per arc-second
  w.c("LaJunkers").setText(patterned(sas, "00.00"));
  const double q = s.stepSeconds / sas;  // arc-seconds per calculation
  w.c("LaBadder").setText(patterned(1 / q, "00.0000"));
  Control& asErr = w.c("TXasER");
  asErr.setText(patterned(q, "00.0000"));
  m.precessionError = q / (double(last) - 1);
  m.precErrText = patterned(*m.precessionError, "00.0000");
  w.c("LaArcErr").setText(m.precErrText);
  Control& headline = w.c("LaSH");
  headline.setText(s.bodyName[size_t(beta)] + ": Average shift in angle most accurate every " +
                   w.c("LaOrb").text() + " optimal orbits.");
  if (Control* colour = w.panel.find("TXvolight", w.c("HSbeta").value())) {
    // The body's colours, as its speed box shows them: its pale colour reads on its dark one.
    headline.setForeColor(colour->foreColor());
    headline.setBackColor(colour->backColor());
  }

  // 4. This orbit's shift.
  const double d1 = wrapAngle(s, theta[last] - theta[last - 1]);
  const std::string t1 = patterned(d1, "0.000000000");
  m.orbPrecession = years != 0 ? d1 / s.twoPi * kArcSecondsPerTurn / years : 0;
  const std::string t2 = patterned(m.orbPrecession, "0.000000");

  // 5. The average shift per orbit.
  double sum = 0;
  for (size_t i = 2; i <= last; ++i) sum += wrapAngle(s, theta[i] - theta[i - 1]);
  const double average = sum / (double(last) - 1);
  w.c("TXradAA").setText(patterned(average, "0.000000000000"));
  const double avgDeg = average / s.twoPi * 360;
  w.c("TXdegAA").setText(patterned(avgDeg, "0.000000000"));

  // 6. The average precession in arc-seconds per year, and the drift file's precession texts.
  Control& arc = w.c("TXarc");
  if (years != 0) {
    m.avgPrecession = avgDeg * 3600 / years;
    arc.setText(patterned(*m.avgPrecession, "0.0000"));
    m.appLine1 = "AVG arcsec/yr PERI PREC = " + arc.text() + " avg ERR(" + m.precErrText + ")";
    m.appLine2 = "This orb=" + t2.substr(0, 9) + " arcsec/yr @ ind ERR(" + asErr.text() +
                 ") | radians =" + t1;
  } else {
    m.avgPrecession.reset();
    arc.setText("n/a");
  }
}

void TXmarker_Change(MainWindow& w) {
  Control& marker = w.c("TXmarker");
  if (text::val(marker.text()) == 0) marker.setText("1");
}

void HStheta_Change(MainWindow& w) {
  Control& bar = w.c("HStheta");
  Control& marker = w.c("TXmarker");
  marker.setText(plain(bar.value()));
  if (w.sim.orbitCount >= 10000)
    w.c("LaChirp", 1).setText(kAngleLimitText);
  else
    TheAngle(w, w.sim.orbitCount - 1);
  if (Control* mass = w.panel.find("TXmass", bodyOfSlot(w.markers, slotOf(bar.value())))) {
    marker.setForeColor(mass->foreColor());
    marker.setBackColor(mass->backColor());
  }
}

void ChEach_Click(MainWindow& w) {
  Control& box = w.c("ChEach");
  const bool extremesOnly = box.checked();
  box.setText(extremesOnly ? "Markers record only extremities (below)"
                           : "Markers recorded each orbit (see below)");
  w.c("Frame5").setVisible(extremesOnly);
  w.c("TXpersephone").setVisible(extremesOnly);
  if (extremesOnly) w.c("ChAvg").setValue(0);
}

void ChAvg_Click(MainWindow& w) {
  Control& box = w.c("ChAvg");
  const bool average = box.checked();
  w.c("FraaaA").setVisible(average);
  box.setText(average ? "AVG" : "IND");
}

void CDdot_Click(MainWindow& w) {
  const SimState& s = w.sim;
  const Markers& m = w.markers;
  if (s.distScale == 0) return;
  if (w.c("ChAAuto").checked()) w.surface.clear();
  // The lines go through a layer that keeps those of the last drawing: at each orbit only the
  // new marker's line and the few coloured on top are drawn again.
  LineLayer& lines = w.perihelionLines;
  lines.begin();
  const double sx = s.screenX[0] - 500, sy = s.screenY[0] + 500;
  auto drawSlot = [&](size_t k, Color c) {
    lines.add(sx, sy, sx + (m.markerPair2X[k] - m.markerPair1X[k]) / s.distScale,
              sy + (m.markerPair2Y[k] - m.markerPair1Y[k]) / s.distScale, c);
  };
  const int chosen = w.c("HStheta").value();
  int selected = -1;
  for (size_t k = 0; k < size_t(kLatest); ++k) {
    if (m.markerPair2X[k] == 0) continue;
    const int b = bodyOfSlot(m, k);
    drawSlot(k, k == 0 ? rgb(127, 127, 127) : scaled(s, b, 3));
    if (int(k) == chosen) {
      drawSlot(k, scaled(s, b, 1));
      selected = int(k);
    }
  }
  if (selected >= 0) drawSlot(size_t(selected), scaled(s, bodyOfSlot(m, size_t(selected)), 1));
  if (m.markerPair2X[kLatest] != 0) drawSlot(kLatest, kWhite);
  lines.finish(w.surface);
  if (s.orbitCount >= 10000)
    w.c("LaChirp", 1).setText(kAngleLimitText);
  else
    TheAngle(w, s.orbitCount - 1);
}

void wirePrecession(MainWindow& w) {
  w.panel.onChange("TXmarker", [&w](int) { TXmarker_Change(w); });
  w.panel.onChange("HStheta", [&w](int) { HStheta_Change(w); });
  w.panel.onClick("ChEach", [&w](int) { ChEach_Click(w); });
  w.panel.onClick("ChAvg", [&w](int) { ChAvg_Click(w); });
  w.panel.onClick("CDdot", [&w](int) { CDdot_Click(w); });
}

}  // namespace orbits
