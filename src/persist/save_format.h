#pragma once
// The layout of "orbit-save.txt" and of the records of "orbit-pp.txt", and the saved run they
// hold: what a reload reads, before any of it is applied to the window.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "persist/record_format.h"
#include "physics/sim_state.h"
#include "text/date.h"
#include "window/analysis_state.h"

namespace orbits {

class MainWindow;

// The names that lead the lines of later additions after the 32 lines of the save: the
// relativity option, and the exponent of the distance in the gravity law (the number of TXgexp).
constexpr const char* kRelativityField = "ChRelativity";
constexpr const char* kGravExponentField = "TXgexp";
constexpr double kDefaultGravExponent = 2;
constexpr int kLastPresetButton = 83;
constexpr int kLatestMarker = kMarkerSlots - 1;  // slot 9999 mirrors the latest marker
constexpr const char* kPerihelionHeader = "Perihelion Precession details follow:";

// One saved run: every figure of "orbit-save.txt", named after the state field or control it
// comes from (sim. SimState, clock. Clock, per. Periods, pair. PairStats, m. Markers, sc.
// ScenarioState). `saveLayout` in save_format.cpp gives each its line and place.
struct SavedRun {
  // sc.presetIndex, sim.orbitCount, sim.pairBody[1..2], sim.distScaleIndex, sim.timeRateIndex,
  // sim.turboMode
  float presetIndex = 0;
  double orbitCount = 0;
  int16_t pairBody1 = 0, pairBody2 = 0;
  float distScaleIndex = 0, timeRateIndex = 0;
  int16_t turboMode = 0;
  double elapsedSecFrac = 0, elapsedSecs = 0, startYear = 0;  // clock., clock., sc.
  // per.
  double sumOrbitYears = 0, sumOrbitDays = 0, yearsAtLastOrbit = 0, daysAtLastOrbit = 0;
  double avgOrbitYears = 0, cyclesAtLastOrbit = 0;
  int16_t periodOption = 0;
  // sim.
  double cycleCount = 0, calcsSinceOrbit1 = 0, gravConstant = 0, proximityKm = 0;
  double timeFactor = 0;
  int16_t gravityOption = 0, lastBody = 0;
  float dateMode = 0;  // clock.
  // pair.
  double totalMaxDist = 0, totalMinDist = 0, sumOrbitMaxDist = 0, sumOrbitMinDist = 0;
  double prevOrbitMinDist = 0, prevOrbitMaxDist = 0;
  int32_t orbitMinOrbit = 0, orbitMaxOrbit = 0;
  double orbitMinDistCopy = 0, orbitMaxDistCopy = 0, orbitMinDist = 0, orbitMaxDist = 0;
  double totalMinOrbitNo = 0, totalMaxOrbitNo = 0;
  double orbitMaxDx = 0, orbitMaxDy = 0, orbitMinDx = 0, orbitMinDy = 0, pairDx = 0, pairDy = 0;
  double minPair1PosX = 0, minPair1PosY = 0, minPair2PosX = 0, minPair2PosY = 0;
  double pair1PosX = 0, pair1PosY = 0, pair2PosX = 0, pair2PosY = 0;
  // m.: the marker counts and the latest marker (slot 9999)
  int32_t periMarkerCount = 0, aphMarkerCount = 0, periMoveCount = 0;
  int16_t latestBody = 0;
  double latestTheta = 0;
  int32_t latestOrbit = 0;
  // Controls: TXmarker, TXTgravity's value, the check boxes.
  int16_t markerNo = 0;
  double gravityText = 0;
  int chEach = 0, chEnd = 0, chZX = 0, chZAxis = 0, chAlt = 0, chAvg = 0, chSnap = 0;
  int chQuick = 0, chAPE = 0, chDraw = 0;
  int relativity = 0;  // a save without its line was made with the option off
  double gravExponent = kDefaultGravExponent;  // and one without this line, with the default
  // TXstartdate and TXcurrent (text and tooltip); the dates of this orbit's perihelion and
  // aphelion (clock.orbitMinDates, orbitMaxDates; none outside orbits 1 to 9999), and of its new
  // year (clock.newYearDate, newYearTimeText).
  std::string startText, startTip, currentText, currentTip;
  std::optional<text::Date> orbitMinDate, orbitMaxDate;
  text::Date newYearDate{};
  std::string newYearTimeText;
  // sim., per body: positions in km, velocities as saved (times the time factor), mass,
  // Planet OFF, places on the screen.
  BodyArray<double> posX{}, posY{}, posZ{}, velX{}, velY{}, velZ{}, bodyMass{};
  BodyArray<int16_t> bodyOff{};
  BodyArray<double> screenX{}, screenY{}, screenZ{};
  // The line after the 32: sc.runId, sc.title and pair.partialOrbitText.
  uint64_t runId = 0;
  std::string title, partialOrbitText;

  // The orbit's perihelion and aphelion dates have a slot.
  bool datedOrbit() const { return orbitCount >= 1 && orbitCount < 10000; }
};

// One record of "orbit-pp.txt": a perihelion marker (Markers, slot `slot`).
struct PerihelionRecord {
  int64_t slot = 0;
  double pair2X = 0, pair2Y = 0, pair1Y = 0, pair1X = 0, theta = 0;
  int32_t orbit = 0;
  int16_t body = 0;
};

// The saved run of the window's state, and its text.
SavedRun savedRunOf(MainWindow& w);
// Puts back the fields a save holds just as the state holds them (the rest is the reload's).
void restorePlainFields(const SavedRun& r, MainWindow& w);
std::string saveText(const SavedRun& r);

// Reads the text of "orbit-save.txt"; throws persist::FormatError naming what is wrong and
// where. Lines after the 32 are read tolerantly: a save without them still reloads.
SavedRun readSave(const std::string& content);

// Perihelion records of another run than the save's.
struct OtherRun : persist::FormatError {
  using FormatError::FormatError;
};

// The records of "orbit-pp.txt" for the save `r`: slots 0 to the last of its orbits, each
// from the last record that carries it; those of later orbits are counted in `later`.
std::vector<PerihelionRecord> readPerihelia(const std::string& content, const SavedRun& r,
                                            int& later);

// The record of "orbit-pp.txt" for marker slot `slot`, and the file's header naming the run.
std::string perihelionRecord(const Markers& m, size_t slot);
std::string perihelionHeader(uint64_t runId);

}  // namespace orbits
