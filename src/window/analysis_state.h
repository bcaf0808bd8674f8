#pragma once
// The state of the orbit analysis: the pair's distances and drift, the simulated clock and
// calendar, the orbit periods and the perihelion markers; and the scenario's origin.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "text/date.h"

namespace orbits {

class Control;
using text::Date;

// The scenario last started (or reloaded) and its calendar origin.
struct ScenarioState {
  float presetIndex = 0;
  int16_t epochCode = 0;      // 1773, 1900 or 19402 (the 1940 set)
  double beginTimeDays = 0;   // time of day of the start, fraction of a day
  double beginTimeYears = 0;  // beginTimeDays / 365.242189
  Date startDate{};
  double startYear = 0;
  // The caption the scenario gave LaChirp(0): the drift file's header names it, also after a
  // reload has put its own caption there.
  std::string title;
  // Tells the saves of this run from those of another: "orbit-save.txt" and the header of
  // "orbit-pp.txt" carry it, and a reload takes the two only when they agree.
  uint64_t runId = 0;
  // "orbit-pp.txt" holds this run's records: a new run starts it anew with its first save.
  bool recordsStarted = false;
  // Data files that could not be written in this run: each is reported once and then left
  // alone until the next scenario start or reload (ResetDataFiles).
  std::vector<std::string> unwritableFiles;
  // Why nothing at all is written into the data directory while the program runs (another
  // program holds it); empty when it may be written.
  std::string dataDirRefusal;
  // The text of TXTgravity last accepted (typed and left, or put there by an option or a
  // reload): an edit the run could not use goes back to it.
  std::string gravityText = "6.67";
};

struct DriftEntry {
  double minDist = 0, maxDist = 0;
};

struct DriftTexts {
  std::string avgMinText, avgMaxText, avgMinShown, avgMaxShown, avgLine;
};

// Pair distance and drift, measured every cycle and recorded per orbit.
struct PairStats {
  double pairDx = 0, pairDy = 0, pairDz = 0, pairDist = 0;  // km
  // Positions of the pair bodies captured during this cycle's drawing pass, km.
  double pair1PosX = 0, pair1PosY = 0, pair2PosX = 0, pair2PosY = 0;
  // The closest and farthest distance of this orbit, km, and the orbit numbers (counts of
  // completed orbits, no unit) at which they fell.
  double orbitMinDist = 0, orbitMaxDist = 0;
  int32_t orbitMinOrbit = 0, orbitMaxOrbit = 0;
  // Separations and positions at those moments, km.
  double orbitMinDx = 0, orbitMinDy = 0, orbitMinDistCopy = 0;
  double minPair2PosX = 0, minPair2PosY = 0, minPair1PosX = 0, minPair1PosY = 0;
  double orbitMaxDx = 0, orbitMaxDy = 0, orbitMaxDistCopy = 0;
  double totalMinDist = 0, totalMaxDist = 0;          // km, over the whole run
  double totalMinOrbitNo = 0, totalMaxOrbitNo = 0;    // orbit numbers at which those fell
  double prevOrbitMinDist = 0, prevOrbitMaxDist = 0;  // km, of the orbit before
  double sumOrbitMinDist = 0, sumOrbitMaxDist = 0;    // km, summed over the completed orbits
  double avgOrbitMinDist = 0, avgOrbitMaxDist = 0;    // km, their means
  std::array<DriftEntry, 9> driftTable{};
  DriftTexts driftTexts;
  std::string orbitMinText, orbitMaxText, orbitMinShown, orbitMaxShown;
  std::string minDriftText, maxDriftText, minDriftShown, maxDriftShown;
  int32_t sidesThisOrbit = 0;
  std::string partialOrbitText;
  std::string numText0;  // the last distance text (numText(0))
  // Resonance figure per body 0..8, shown for the second body of the pair (set at start-up).
  std::array<double, 9> orbitRatio{};
  // The controls Monkey reads and writes every cycle, found at its first call (controls never
  // move, and belong to the same window as these statistics).
  Control *monkeyAPE = nullptr, *monkeyMin = nullptr, *monkeyMax = nullptr;
};

constexpr int kOrbitDates = 100001;  // slots 0..100000, used for orbits below 10000

// The simulated clock and calendar.
struct Clock {
  double elapsedSecs = 0;           // simulated seconds
  double elapsedSecFrac = 0;        // units of 0.00001 s, 0..99999
  double elapsedDays = 0;           // days of 86400 s
  double elapsedSiderealYears = 0;  // sidereal years (siderealYearSecs)
  float dateMode = 0;               // 0 while dates are available, 9 after the year 9799
  Date currentDate{};
  // The current moment: whole days since the start date (days) and the time of day as a
  // fraction of a day (0 to 1); so the other moments' DayInt and DayFrac below.
  double currentDayInt = 0, currentDayFrac = 0;
  std::string currentTimeText;
  Date orbitMinDate{};
  double orbitMinDayInt = 0, orbitMinDayFrac = 0;
  std::string orbitMinTimeText;
  Date orbitMaxDate{};
  double orbitMaxDayInt = 0, orbitMaxDayFrac = 0;
  std::string orbitMaxTimeText;
  Date newYearDate{};
  double newYearDayInt = 0, newYearDayFrac = 0;
  std::string newYearTimeText;
  std::vector<Date> orbitMinDates = std::vector<Date>(kOrbitDates);
  std::vector<Date> orbitMaxDates = std::vector<Date>(kOrbitDates);
  std::vector<Date> newYearDates = std::vector<Date>(kOrbitDates);
  double currentYearNumber = 0;
  std::string daysText, yearsText;
  // The moment TXcurrent last showed (day, hours, minutes, seconds, date) and the box's
  // revision then, so that a cycle within the same second builds no texts, and one within the
  // same date builds no date text.
  struct Shown {
    double day = -1, hours = -1, minutes = -1, seconds = -1;
    uint64_t revision = 0;
    Date date{};
    bool dated = false;  // the box holds the text of `date`
  } currentShown;
};

// Orbit periods of the watched pair.
struct Periods {
  double cyclesAtLastOrbit = 0;  // calculations; days and years below
  double daysAtLastOrbit = 0, yearsAtLastOrbit = 0;
  double sumOrbitDays = 0, sumOrbitYears = 0;
  double avgOrbitYears = 0;
  std::string lastPeriodDaysText, lastPeriodYearsText;
  // The average period as last worked out at an orbit's end (none before the first orbit's
  // end in this window), and the texts shown from it.
  std::optional<double> avgPeriodDays, avgPeriodYears;
  std::string avgPeriodDaysText, avgPeriodYearsText;
  int16_t periodOption = 0;
};

constexpr int kMarkerSlots = 10000;  // slots 0..9999; 9999 mirrors the latest marker
constexpr int kPeriPositionSlots = 30001;

// Perihelion and aphelion markers and the precession figures.
struct Markers {
  int32_t periMarkerCount = 1;
  int32_t aphMarkerCount = 1;
  int32_t periMoveCount = 1;
  // Marker positions in km.
  std::vector<double> markerPair1X = std::vector<double>(kMarkerSlots);
  std::vector<double> markerPair1Y = std::vector<double>(kMarkerSlots);
  std::vector<double> markerPair2X = std::vector<double>(kMarkerSlots);
  std::vector<double> markerPair2Y = std::vector<double>(kMarkerSlots);
  std::vector<double> markerTheta = std::vector<double>(kMarkerSlots);  // radians
  std::vector<int32_t> markerOrbit = std::vector<int32_t>(kMarkerSlots);
  std::vector<int16_t> markerBody = std::vector<int16_t>(kMarkerSlots);
  double orbPrecession = 0;  // arc-seconds per year
  // The average precession (TXarc) and its error (LaArcErr) in arc-seconds per year, from
  // which those texts are made; none while they show none.
  std::optional<double> avgPrecession, precessionError;
  std::string appLine1, appLine2;
  std::string precErrText;
  // The two perihelion-position tables (x and y, km), slots 0..30000, wiped at every scenario
  // start; nothing else reads or writes them.
  std::vector<double> periPositionX = std::vector<double>(kPeriPositionSlots);
  std::vector<double> periPositionY = std::vector<double>(kPeriPositionSlots);
};

}  // namespace orbits
