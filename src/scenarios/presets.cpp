#include "scenarios/presets.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis/calendar.h"
#include "analysis/data_file.h"
#include "analysis/lab_file.h"
#include "analysis/perihelia.h"
#include "display/colours.h"
#include "display/projection.h"
#include "engine/run_control.h"
#include "form/color.h"
#include "persist/save_reload.h"
#include "physics/constants.h"
#include "scenarios/epochs.h"
#include "text/date.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

constexpr const char* kJupiter20 = "20 orbit = given average for Jupiter";
constexpr const char* kJupiter77 = "77 orbit = given average for Jupiter";
constexpr const char* kMarsRogue = "Mars eccentricity evolution";

// Planet names as the scenario title shows them (Mars and Jupiter with a trailing space).
constexpr const char* kTitleName[9] = {"",         "Mercury", "Venus",  "Earth",  "Mars ",
                                       "Jupiter ", "Saturn",  "Uranus", "Neptune"};

PresetRow row(const char* heading, int pair, int scale, int rate, const char* caption = nullptr,
              const char* scenarioCaption = nullptr) {
  PresetRow r;
  r.heading = heading;
  r.caption = caption ? caption : kTitleName[pair];
  r.scenarioCaption = scenarioCaption;
  r.pair = int8_t(pair);
  r.scale = int8_t(scale);
  r.rate = int8_t(rate);
  return r;
}

PresetRow controlTest(int planet, int scale, int rate, const char* caption, bool always) {
  PresetRow r = row("Control Tests", planet, scale, rate, always ? caption : kTitleName[planet],
                    always ? nullptr : caption);
  r.rateAlways = always;
  r.soloPlanet = int8_t(planet);
  return r;
}

PresetRow marsRogue(int rate, const char* caption) {
  PresetRow r = row("Mars Rogue", 4, 5, rate, caption);
  r.eachOrbit = true;
  return r;
}

PresetRow scaleFirst(PresetRow r) {
  r.scaleFirst = true;
  return r;
}

std::array<PresetRow, kPresetCount> buildCatalogue() {
  std::array<PresetRow, kPresetCount> c{};
  // 1940: left column fast, right column slow.
  constexpr int fastRate[9] = {0, 6, 6, 7, 7, 7, 8, 8, 8};
  constexpr int slowRate[9] = {0, 5, 5, 5, 5, 6, 6, 6, 6};
  constexpr int scaleOf[9] = {0, 13, 5, 5, 5, 14, 6, 6, 15};
  for (int p = 1; p <= 8; ++p) {
    c[size_t(p)] = row("1940", p, scaleOf[p], fastRate[p]);
    c[size_t(10 + p)] = row("1940", p, scaleOf[p], slowRate[p]);
  }
  // 1773: the same layout, one rate slower in the left column for Venus and the Earth.
  constexpr int rate1773Left[9] = {0, 6, 7, 7, 7, 7, 8, 8, 8};
  constexpr int rate1773Right[9] = {0, 5, 6, 6, 6, 6, 7, 7, 7};
  for (int p = 1; p <= 8; ++p) {
    c[size_t(20 + p)] = row("1773", p, scaleOf[p], rate1773Left[p]);
    c[size_t(30 + p)] = row("1773", p, scaleOf[p], rate1773Right[p]);
  }
  c[23].caption = c[33].caption = "Earth 1773";
  c[25].scenarioCaption = "19 orbit = given perihelion date 20 May 1999.";
  c[35].scenarioCaption = "Potentially most accurate for Jupiter.";
  c[20] = row("/ 20 orb avg      >spd", 5, 14, 7, nullptr, kJupiter20);
  c[30] = row("/ 20 orb avg      >spd", 5, 14, 6, nullptr, kJupiter20);
  c[40] =
      row("/ 20 orb avg      >spd", 5, 14, 8, nullptr, "Jupiter Fastest evolution for 1773 start.");
  c[29] = row("Jupiter 77orb", 5, 14, 7, nullptr, kJupiter77);
  c[39] = row("Jupiter 77orb", 5, 14, 6, nullptr, kJupiter77);
  // Extreme scenarios 1940: Mercury ever slower, then Jupiter fastest.
  constexpr const char* extreme1940 = "Extreme Scenarios 1940";
  for (int n = 41; n <= 44; ++n) c[size_t(n)] = row(extreme1940, 1, 13, 45 - n);
  c[45] = row(extreme1940, 1, 13, 6);
  c[46] = row(extreme1940, 5, 14, 8, nullptr, "Jupiter Fastest evolution for 1940 start.");
  // Group 1900: each planet from the 1900 epoch.
  c[51] = scaleFirst(row("1900", 1, 5, 6, "Mercury 1900"));
  c[52] = row("1900", 2, 5, 6, "Venus 1900");
  c[53] = row("1900", 3, 5, 5, "Earth 1900");
  c[54] = row("1900", 4, 5, 7, "Mars 1900");
  c[55] = row("1900", 5, 14, 7, "Jupiter 1900");
  c[56] = row("1900", 6, 6, 7, "Saturn 1900");
  c[57] = row("1900", 7, 6, 8, "Uranus 1900");
  c[58] = row("1900", 8, 15, 8, "Neptune 1900");
  constexpr const char* extreme1900 = "Extreme 1900";
  c[49] = row(extreme1900, 3, 5, 7, "Earth 1900");
  c[50] = row(extreme1900, 3, 5, 6, "Earth 1900");
  c[61] = scaleFirst(row(extreme1900, 1, 5, 7, "Mercury 1900"));
  c[62] = scaleFirst(row(extreme1900, 1, 5, 5, "Mercury 1900"));
  c[63] = scaleFirst(row(extreme1900, 1, 5, 4, "Mercury 1900"));
  c[64] = row(extreme1900, 4, 5, 5, "Mars 1900");
  c[65] = row(extreme1900, 5, 14, 8, "Jupiter 1900");
  c[66] = row(extreme1900, 6, 6, 8, "Saturn 1900");
  // Control tests: the Sun and one planet.
  c[71] = controlTest(1, 13, 5,
                      "Mercury control test.\r Check precession <>0 with no other planets.", false);
  c[72] = controlTest(2, 5, 6, "Venus control test.\r Check precession <>0 with no other planets.",
                      false);
  c[78] = controlTest(8, 15, 8,
                      "Neptune control test.\r Check precession <>0 with no other planets.", true);
  // Mars eccentricity runs.
  c[80] = marsRogue(6, kMarsRogue);
  c[81] = marsRogue(7, kMarsRogue);
  c[82] = marsRogue(8, kMarsRogue);
  c[83] = marsRogue(9, "Mars - fast inaccurate eccentricity evolution");
  return c;
}

// Epoch by index: the ranges are applied in this order, a later one overriding an earlier one.
struct EpochRange {
  int from, to;
  int16_t epoch;
};
constexpr EpochRange kEpochRanges[] = {
    {19, 40, kEpoch1773}, {80, 83, kEpoch1773}, {0, 18, kEpoch1940},
    {41, 47, kEpoch1940}, {48, 79, kEpoch1900}, {70, 72, kEpoch1773},
};

// The beginning of a scenario by epoch.
struct EpochStart {
  int16_t epoch;
  int year, month, day;
  double beginTimeDays;
  double startYear;  // 0: the year of the date plus the begin time in years
  const char* tip;
};
constexpr EpochStart kEpochStarts[] = {
    {kEpoch1900, 1900, 1, 2, 8.0 / 1440, 0, "00:08 begin time"},
    {kEpoch1940, 1940, 1, 24, 0, 1940.0617185, "00:00 begin time"},
    {kEpoch1773, 1773, 12, 18, 773.0 / 1440, 1773.9631145358, "12h53 begin time"},
};

const EpochStart* startOf(int16_t epoch) {
  for (const EpochStart& e : kEpochStarts)
    if (e.epoch == epoch) return &e;
  return nullptr;
}

void setText(MainWindow& w, const char* name, const char* text, int index = -1) {
  w.c(name, index).setText(text);
}

void setTexts(MainWindow& w, std::initializer_list<const char*> names, const char* text) {
  for (const char* name : names) w.c(name).setText(text);
}

// The period texts and the time sums; the reset of a run clears them twice.
void clearPeriods(MainWindow& w) {
  Periods& p = w.periods;
  p.lastPeriodYearsText.clear();
  p.lastPeriodDaysText.clear();
  p.avgPeriodDays.reset();
  p.avgPeriodYears.reset();
  p.avgPeriodDaysText.clear();
  p.avgPeriodYearsText.clear();
  for (const char* name : {"TXdayFreq", "TXyearFreq"}) {
    w.c(name).setText("~");
    w.c(name).setTooltip("~");
  }
  w.clock.elapsedSiderealYears = 0;
  w.clock.elapsedDays = 0;
  p.yearsAtLastOrbit = 0;
  p.daysAtLastOrbit = 0;
  p.sumOrbitYears = 0;
  p.sumOrbitDays = 0;
}

// The time rate, the quarters, the distance extremes option and the error limit; the reset of
// a run resets them twice.
void resetRateAndErrors(MainWindow& w) {
  // With no visible rate selected, the preset's own rate runs its handler even when it is the
  // rate already in force.
  if (!w.c("Chuser").checked()) w.c("Optime", 18).setValue(1);
  SimState& s = w.sim;
  s.timeRateLog.clear();
  s.prevQuadrant = 0;
  s.quadrant = 0;
  Control& minMax = w.c("ChMinMax");
  minMax.setValue(0);
  minMax.setValue(1);
  s.maxErrPct[1] = s.maxErrPct[2] = 0;
  w.c("TXender").setText("5");
}

// The number in TXn as the highest body in play, within the bounds of the body table.
int16_t bodiesFromText(MainWindow& w) {
  double v = std::fabs(text::val(w.c("TXn").text()));
  if (!(v < 1e9)) v = 1e9;
  int64_t n = text::toWhole(v);
  return int16_t(std::clamp<int64_t>(n, 0, kMaxBodies - 1));
}

int scrollBody(const Control& bar) { return std::clamp(bar.value(), 0, kMaxBodies - 1); }

// The panel settings of the catalogue row: title, distance scale, pair and time rate.
void applyRow(MainWindow& w, const PresetRow& r) {
  const bool scenarioTime = !w.c("Chuser").checked();
  auto caption = [&] {
    Control& title = w.c("LaChirp", 0);
    if (r.caption) title.setText(r.caption);
    if (r.scenarioCaption && scenarioTime) title.setText(r.scenarioCaption);
    if (r.eachOrbit) {
      w.c("ChAPE").setValue(0);
      w.c("ChDraw").setValue(0);
    }
  };
  auto scaleAndPair = [&] {
    if (r.scale >= 0) w.c("OpDist", r.scale).setValue(1);
    if (r.pair >= 0) w.c("HSbeta").setValue(r.pair);
  };
  if (r.scaleFirst) {
    scaleAndPair();
    caption();
  } else {
    caption();
    scaleAndPair();
  }
  if (r.rate >= 0 && (scenarioTime || r.rateAlways)) w.c("Optime", r.rate).setValue(1);
}

}  // namespace

const std::array<PresetRow, kPresetCount>& presetCatalogue() {
  static const std::array<PresetRow, kPresetCount> catalogue = buildCatalogue();
  return catalogue;
}

int16_t presetEpoch(int n) {
  int16_t epoch = 0;
  for (const EpochRange& r : kEpochRanges)
    if (n >= r.from && n <= r.to) epoch = r.epoch;
  return epoch;
}

const char* beginTimeTip(int16_t epochCode) {
  const EpochStart* e = startOf(epochCode);
  return e ? e->tip : "";
}

double beginTimeDaysOf(int16_t epochCode) {
  const EpochStart* e = startOf(epochCode);
  return e ? e->beginTimeDays : 0;
}

void Preset(MainWindow& w, int n) {
  if (n < 0 || n >= kPresetCount) return;
  SimState& s = w.sim;
  const PresetRow& entry = presetCatalogue()[size_t(n)];

  // Reset of the previous run.
  // Hide Load Previous Data and leave a pause.
  w.c("CDcon").setVisible(false);
  settleSaves(w);     // the previous run's saves are finished first
  ResetDataFiles(w);  // a file that could not be written is tried again in the new run
  PawsOff(w);
  // Precession average on; Load Previous Data in its normal colour.
  Control& avg = w.c("ChAvg");
  avg.setValue(1);
  avg.setEnabled(true);
  w.c("CDcon").setBackColor(w.c("CDrepair").backColor());
  // Clear the screen each orbit.
  w.c("OpCl", 1).setValue(1);
  // Placeholder texts and tooltips of the dates.
  setText(w, "TXlaps", "x");
  w.c("TXnewyear").setTooltip("h");
  w.c("TXstartdate").setTooltip("00h00");
  w.c("TXdateAPHE").setTooltip("h");
  w.c("TXdatePERI").setTooltip("h");
  // The headline of the angle shift.
  Control& shift = w.c("LaSH");
  shift.setText("Average shift in angle between orbits");
  shift.setForeColor(w.c("Lashift").foreColor());
  shift.setBackColor(w.c("Lashift").backColor());
  // No run yet, dates by the calendar, no precession texts for the drift file.
  s.runState = RunState::None;
  w.clock.dateMode = 0;
  w.c("TXyearLeap").setVisible(false);
  w.markers.appLine1.clear();
  w.markers.appLine2.clear();
  // Date, side-view, marker and drawing options; the background picture shown.
  w.c("Chdate").setValue(1);
  w.c("ChZX").setValue(0);
  w.c("ChZAxis").setValue(0);
  w.c("ChSnap").setValue(1);
  w.c("ChDraw").setValue(1);
  w.c("FrameBGI").setVisible(true);
  w.c("OpDate", 0).setValue(1);
  // The chosen preset.
  w.scenario.presetIndex = float(n);
  // No precession error yet; its warnings and the run buttons hidden.
  setTexts(w, {"TXasER", "LaArcErr", "TXannum"}, "~");
  w.markers.precessionError.reset();
  for (const char* name :
       {"LaBad", "LaBadder", "LaErr", "LaArcErr", "LaJunk", "LaJunkers", "CDcont", "CDstop"})
    w.c(name).setVisible(false);
  // The highest body in play, from its text box.
  s.lastBody = bodiesFromText(w);
  // The no-orbit-yet frame, and the clearing option in force after the reset.
  w.c("FraNo").setVisible(true);
  w.c("OpCl", 0).setValue(1);
  // Only the chosen preset button stands out.
  const Color normal = w.c("Command2").backColor();
  const int lastPreset = int(text::intFloor(s.lastPresetIndex));
  for (Control* p : w.panel.members("CDp"))
    if (p->index() >= 1 && p->index() <= lastPreset) p->setBackColor(normal);
  w.c("CDp", n).setBackColor(w.c("Label7").foreColor());
  // Every body at rest at the origin.
  for (int k = 0; k <= s.lastBody; ++k) {
    s.velX[k] = s.velY[k] = s.velZ[k] = 0;
    s.posX[k] = s.posY[k] = s.posZ[k] = 0;
  }
  // The marker selection on the first marker.
  w.c("HStheta").setValue(1);
  // Clear the marker tables.
  Markers& m = w.markers;
  for (auto* table :
       {&m.markerPair1X, &m.markerPair1Y, &m.markerPair2X, &m.markerPair2Y, &m.markerTheta})
    std::fill(table->begin(), table->end(), 0.0);
  std::fill(m.markerOrbit.begin(), m.markerOrbit.end(), 0);
  std::fill(m.markerBody.begin(), m.markerBody.end(), int16_t(0));
  // Marker read-outs, end verdict, orbit extremes' offsets and marker counters.
  setTexts(w, {"TXthenum", "TXlatest", "TXtheta"}, "~");
  s.endCode = EndCode::None;
  PairStats& pair = w.pair;
  pair.orbitMinDx = pair.orbitMaxDx = pair.orbitMinDy = pair.orbitMaxDy = 0;
  m.periMarkerCount = m.aphMarkerCount = m.periMoveCount = 1;
  // Perihelion read-outs and the run's counters.
  setTexts(w, {"TXperihelis", "TXaphMove", "TXdegrees"}, "~");
  setText(w, "TXpersephone", "~~");
  s.cycleCount = s.calcsSinceOrbit1 = s.orbitCount = 0;
  w.periods.cyclesAtLastOrbit = 0;
  pair.sidesThisOrbit = 0;
  setTexts(w, {"TXaphNumber", "TXorbitnum", "TXmax", "TXmin", "TXradAA", "TXdegAA", "TXarc"},
           "~");  // orbit, distance and average precession read-outs
  m.avgPrecession.reset();
  // Clear the perihelion positions.
  std::fill(m.periPositionX.begin(), m.periPositionX.end(), 0.0);
  std::fill(m.periPositionY.begin(), m.periPositionY.end(), 0.0);
  // The period texts and the time sums.
  clearPeriods(w);
  // The time rate, the quarters, the extremes option and the error limit.
  resetRateAndErrors(w);
  // The drift texts and the drift table.
  for (int k = 1; k <= 8; ++k) {
    w.c("LaDrift", k).setText("~");
    pair.driftTable[size_t(k)] = DriftEntry{};
  }
  // The elapsed time.
  Clock& clock = w.clock;
  clock.elapsedSecs = clock.elapsedDays = clock.elapsedSiderealYears = clock.elapsedSecFrac = 0;
  // Clear the drawing and the side views; the watched pair back to body 0.
  clearDrawing(w);
  w.c("HSalpha").setValue(0);
  w.c("HSbeta").setValue(0);
  // Every body off until the epoch is loaded.
  for (int k = 0; k <= s.lastBody; ++k) s.bodyOff[k] = 1;
  // Messages and display options; the clearing and resets repeated, now with these options.
  setText(w, "LaChirp", "Scenario information may appear here.", 1);
  setText(w, "LaChirp", "", 2);
  w.c("OpAnnual", 1).setValue(1);
  w.c("ChNum").setValue(0);
  clearPeriods(w);
  w.c("Chalt").setValue(0);
  resetRateAndErrors(w);
  w.c("Chsunny").setValue(0);
  w.c("Chalt").setValue(1);
  w.c("Chend").setValue(0);
  w.c("ChEach").setValue(0);
  w.c("ChAPE").setValue(0);

  // The scenario itself.
  // The catalogue row's options, epoch and panel settings.
  if (entry.eachOrbit) w.c("ChEach").setValue(1);
  w.scenario.epochCode = presetEpoch(n);
  applyRow(w, entry);
  // The epoch's positions, velocities and masses.
  loadEpoch(s, w.scenario.epochCode, n);
  // The Sun's mass; the Sun first in the watched pair.
  s.bodyMass[0] = 1.0;
  w.c("HSalpha").setValue(0);
  // The Sun and the eight planets in play.
  for (int k = 0; k <= 8; ++k) s.bodyOff[k] = 0;

  // The scenario's start, and the calendar from it.
  ScenarioState& sc = w.scenario;
  if (const EpochStart* e = startOf(sc.epochCode)) {
    sc.beginTimeDays = e->beginTimeDays;
    sc.beginTimeYears = sc.beginTimeDays / kDaysPerTropicalYear;
    sc.startDate = Date::fromYmd(e->year, e->month, e->day);
    sc.startYear = e->startYear != 0 ? e->startYear : e->year + sc.beginTimeYears;
  }
  Quartz(w);
  Control& start = w.c("TXstartdate");
  start.setTooltip(beginTimeTip(sc.epochCode));
  // The start date text.
  start.setText(text::dateText(sc.startDate));

  // The turbo mode: with detail for preset 1, with minimal detail otherwise.
  w.c("OptimT", n == 1 ? 4 : 5).setValue(1);
  // The gravitational constant in force for the run.
  s.gravConstant = text::val(w.c("TXTgravity").text()) * s.solarMass * kGravityToKmPerCalc;

  // The pair's distance extremes start at its distance now.
  const int a = scrollBody(w.c("HSalpha")), b = scrollBody(w.c("HSbeta"));
  const double dx = s.posX[a] - s.posX[b], dy = s.posY[a] - s.posY[b], dz = s.posZ[a] - s.posZ[b];
  const double d = std::sqrt(dx * dx + dy * dy + dz * dz);
  pair.orbitMinDist = pair.orbitMaxDist = pair.totalMinDist = pair.totalMaxDist = d;
  pair.prevOrbitMinDist = pair.prevOrbitMaxDist = d;
  pair.sumOrbitMinDist = pair.sumOrbitMaxDist = pair.avgOrbitMinDist = pair.avgOrbitMaxDist = 0;

  // Running, with the run's indicators and body colours.
  s.runState = RunState::Bat;
  w.c("TXref").setVisible(true);
  w.c("ImMoon").setVisible(false);
  ColPlan(w);

  // The Sun starts at rest in the control tests.
  if (n >= 70 && n <= 79) s.velX[0] = s.velY[0] = s.velZ[0] = 0;
  // Only the Sun and the planet under test in a control test; bodies off in black.
  for (int k = 0; k < kBodyTableRows; ++k) {
    if (entry.soloPlanet >= 0 && k != 0 && k != entry.soloPlanet) s.bodyOff[k] = 1;
    if (s.bodyOff[k] == 1) w.c("TXmass", k).setForeColor(kBlack);
  }

  sc.title = w.c("LaChirp", 0).text();
  if (w.c("ChThor").checked())  // the orb file starts with the scenario title
    writeDataFile(w, kOrbFileName, sc.title + kLineEnd, true);
  // "orbit-pp.txt" is started anew with the run's first save, which replaces the previous
  // run's save and records together: until then they stay reloadable.
  StartSaves(w);
  resetLab(w);

  // No automatic scale expansion.
  w.c("Chend").setValue(0);
  // Press Go, which starts the run.
  w.c("Command2").press();
}

void CDp_Click(MainWindow& w, int n) { Preset(w, n); }

void wirePresets(MainWindow& w) {
  w.panel.onClick("CDp", [&w](int n) { CDp_Click(w, n); });
}

}  // namespace orbits
