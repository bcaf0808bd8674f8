#include "persist/save_format.h"

#include <algorithm>
#include <vector>

#include "display/colours.h"
#include "display/projection.h"
#include "engine/time_rate.h"
#include "persist/save_reload.h"
#include "scenarios/presets.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

using persist::FieldReader;
using persist::FormatError;
using persist::Record;
using persist::RecordWriter;

namespace {

constexpr double kDaysPerYear = 365.242189;

int box(MainWindow& w, const char* name) { return w.c(name).value(); }

int16_t markerNumber(MainWindow& w) {
  return int16_t(
      std::clamp<int64_t>(text::toWhole(text::val(w.c("TXmarker").text())), INT16_MIN, INT16_MAX));
}

int checkBox(FieldReader& f) { return int(f.whole(0, 2)); }

// The line after the 32 of the layout: the run's identity, title and partial-orbit line. A save
// written before it existed has none; lines after it are for later additions.
void readRunLine(const std::vector<Record>& recs, const std::string& file, Loaded& L) {
  if (recs.size() <= size_t(kSaveLines)) return;
  FieldReader f(recs[kSaveLines], file, kRunLineFields);
  L.scenario.runId = uint64_t(f.whole(0, int64_t(1) << 52));
  L.scenario.title = f.str();
  L.pair.partialOrbitText = f.str();
}

// The calendar origin is that of the saved preset's epoch: the time of day of the start is
// not in the 32 lines, and every date adds it.
void restoreOrigin(ScenarioState& sc) {
  sc.epochCode = presetEpoch(int(text::toWhole(sc.presetIndex)));
  sc.beginTimeDays = beginTimeDaysOf(sc.epochCode);
  sc.beginTimeYears = sc.beginTimeDays / kDaysPerYear;
}

}  // namespace

void readSave(const std::string& content, Loaded& L) {
  const std::string file = kSaveFileName;
  const std::vector<Record> recs = persist::splitRecords(content, file);
  if (recs.size() < size_t(kSaveLines))
    throw FormatError(file + ": " + std::to_string(recs.size()) + " lines instead of " +
                      std::to_string(kSaveLines));
  L.scenario.runId = 0;
  L.scenario.title.clear();
  L.pair.partialOrbitText.clear();
  readRunLine(recs, file, L);
  // Lines after the 32 carry later additions, each led by its name; unknown ones are passed over.
  for (size_t r = kSaveLines; r < recs.size(); ++r) {
    const Record& extra = recs[r];
    if (extra.fields.empty() || extra.fields[0].text != kRelativityField) continue;
    FieldReader f(extra, file, 2);
    (void)f.str();
    L.relativity = checkBox(f);
  }
  auto line = [&](int n) { return FieldReader(recs[size_t(n - 1)], file, kSaveFields); };
  SimState& s = L.sim;
  PairStats& p = L.pair;
  Markers& m = L.markers;
  {
    FieldReader f = line(1);
    L.scenario.presetIndex = float(f.whole(0, kLastPresetButton));
    s.orbitCount = double(f.whole(0, int64_t(1) << 52));
    s.pairBody[1] = int16_t(f.whole(0, kTableRows - 1));
    s.pairBody[2] = int16_t(f.whole(0, kTableRows - 1));
    s.distScaleIndex = float(f.whole(0, kScaleCount - 1));
    s.timeRateIndex = float(f.whole(0, kRateCount - 1));
    s.turboMode = int16_t(f.whole(4, 5));
    L.clock.elapsedSecFrac = f.number();
    L.clock.elapsedSecs = f.number();
    L.scenario.startYear = f.number();
    restoreOrigin(L.scenario);
  }
  {
    FieldReader f = line(2);
    L.periods.sumOrbitYears = f.number();
    L.periods.sumOrbitDays = f.number();
    L.periods.yearsAtLastOrbit = f.number();
    L.periods.daysAtLastOrbit = f.number();
    s.cycleCount = f.number();
    s.calcsSinceOrbit1 = f.number();
    p.totalMaxDist = f.number();
    p.totalMinDist = f.number();
    L.clock.dateMode = f.single();
    L.markerNo = f.int16();
  }
  {
    FieldReader f = line(3);
    s.gravityOption = int16_t(f.whole(0, 4));
    L.gravityText = f.number();
    s.gravConstant = f.number();
    s.proximityKm = f.number();
    L.periMarkers = int32_t(f.whole(INT16_MIN, INT32_MAX));
    L.aphMarkers = int32_t(f.whole(INT16_MIN, INT32_MAX));
    L.chEach = checkBox(f);
    L.periods.avgOrbitYears = f.number();
    s.timeFactor = f.number();
    if (!(s.timeFactor > 0)) f.fail("the time factor must be above 0");
    s.lastBody = int16_t(f.whole(0, kMaxBodies - 1));
  }
  {
    FieldReader f = line(4);
    L.chEnd = checkBox(f), L.chZX = checkBox(f), L.chZAxis = checkBox(f), L.chAlt = checkBox(f);
    L.chAvg = checkBox(f), L.chSnap = checkBox(f);
    m.markerBody[kLatestMarker] = f.int16();
    m.markerTheta[kLatestMarker] = f.number();
    m.markerOrbit[kLatestMarker] = f.int32();
    f.skip();
  }
  {
    FieldReader f = line(5);
    p.sumOrbitMaxDist = f.number();
    p.sumOrbitMinDist = f.number();
    L.periods.cyclesAtLastOrbit = f.number();
    L.prevMin = f.number();
    L.prevMax = f.number();
    L.chQuick = checkBox(f);
    L.periods.periodOption = int16_t(f.whole(0, 1));
    f.skip(), f.skip(), f.skip();
  }
  {
    FieldReader f = line(6);
    p.orbitMinOrbit = f.int32();
    p.orbitMaxOrbit = f.int32();
    p.orbitMinDistCopy = f.number();
    p.orbitMaxDistCopy = f.number();
    p.orbitMinDist = f.number();
    p.orbitMaxDist = f.number();
    m.periMoveCount = f.int32();
    p.totalMinOrbitNo = f.number();
    p.totalMaxOrbitNo = f.number();
    f.skip();
  }
  {
    FieldReader f = line(7);
    p.orbitMaxDx = f.number(), p.pairDx = f.number(), p.orbitMaxDy = f.number(),
    p.pairDy = f.number();
    p.orbitMinDx = f.number(), p.pairDx = f.number(), p.orbitMinDy = f.number(),
    p.pairDy = f.number();
    L.chAPE = checkBox(f);
    L.chDraw = checkBox(f);
  }
  {
    FieldReader f = line(8);
    p.minPair2PosX = f.number(), p.pair2PosX = f.number(), p.orbitMinDy = f.number(),
    p.pairDy = f.number();
    p.minPair2PosX = f.number(), p.pair2PosX = f.number(), p.minPair2PosY = f.number(),
    p.pair2PosY = f.number();
    f.skip(), f.skip();
  }
  {
    FieldReader f = line(9);
    p.minPair1PosX = f.number(), p.pair1PosX = f.number(), p.minPair1PosY = f.number(),
    p.pair1PosY = f.number();
    for (int k = 0; k < 6; ++k) f.skip();
  }
  for (int n = 10; n <= 11; ++n) {
    FieldReader f = line(n);
    for (int k = 0; k < kSaveFields; ++k) f.skip();
  }
  {
    FieldReader f = line(12);
    L.startText = f.str();
    if (!text::parseDateText(L.startText)) f.fail("\"" + L.startText + "\" is not a date text");
    L.scenario.startDate = *text::parseDateText(L.startText);
    L.startTip = f.str();
    L.currentText = f.str();
    // The current date is kept in the file only as the text it shows.
    if (auto current = text::parseDateText(L.currentText)) L.clock.currentDate = *current;
    L.currentTip = f.str();
    const double orbits = s.orbitCount;
    if (orbits >= 1 && orbits < 10000) {
      const size_t slot = size_t(orbits - 1);
      L.clock.orbitMinDates[slot] = f.date();
      L.clock.orbitMaxDates[slot] = f.date();
    } else {
      // Written as 0 and 0 (no date slot for this orbit count).
      for (int k = 0; k < 2; ++k) f.isDate() ? (void)f.date() : f.skip();
    }
    L.clock.newYearDate = f.date();
    L.clock.newYearTimeText = f.str();
    (void)f.str(), (void)f.str();
  }
  for (int k = 0; k < kMaxBodies; ++k) {
    FieldReader a = line(13 + 2 * k);
    s.posX[k] = a.number(), s.posY[k] = a.number(), s.posZ[k] = a.number();
    s.velX[k] = a.number(), s.velY[k] = a.number(), s.velZ[k] = a.number();
    s.bodyMass[k] = a.number();
    s.bodyOff[k] = int16_t(a.whole(0, 1));
    a.skip(), a.skip();
    FieldReader b = line(14 + 2 * k);
    for (int rep = 0; rep < 2; ++rep)
      s.screenX[k] = b.number(), s.screenY[k] = b.number(), s.screenZ[k] = b.number();
    for (int z = 0; z < 4; ++z) b.skip();
    L.savedVelX[size_t(k)] = s.velX[k];
    L.savedVelY[size_t(k)] = s.velY[k];
    L.savedVelZ[size_t(k)] = s.velZ[k];
    s.velX[k] /= s.timeFactor;
    s.velY[k] /= s.timeFactor;
    s.velZ[k] /= s.timeFactor;
  }
}

void readPerihelia(const std::string& content, Loaded& L) {
  const std::string file = kPerihelionFileName;
  const std::vector<Record> recs = persist::splitRecords(content, file);
  if (recs.empty()) throw FormatError(file + ": the file is empty");
  {
    // The run the records belong to follows the header's text; a file without it is older
    // than that and is taken on its records alone.
    const bool identified = recs[0].fields.size() == 2;
    FieldReader header(recs[0], file, identified ? 2 : 1);
    (void)header.str();
    const uint64_t run = identified ? uint64_t(header.whole(0, int64_t(1) << 52)) : 0;
    if (run != 0 && L.scenario.runId != 0 && run != L.scenario.runId)
      throw OtherRun(file + " holds the records of another run than " + kSaveFileName +
                     " (the first save of a new scenario was cut short)");
  }
  const double orbits = L.sim.orbitCount;
  const int last = orbits >= 9998 ? 9998 : int(orbits) - 1;
  // Each slot is taken from the record that carries its number; a later record of the same
  // slot (an orbit saved again after a reload) replaces an earlier one.
  std::vector<char> seen(size_t(std::max(last + 1, 0)), 0);
  Markers& m = L.markers;
  for (size_t r = 1; r < recs.size(); ++r) {
    FieldReader f(recs[r], file, kSaveFields);
    const int64_t slot = f.whole(0, 9998);
    const double p2x = f.number(), p2y = f.number(), p1y = f.number(), p1x = f.number(),
                 theta = f.number();
    const int32_t orbit = f.int32();
    const int16_t body = f.int16();
    f.skip(), f.skip();
    if (slot > last) {
      ++L.laterRecords;  // of orbits after the save: the save decides
      continue;
    }
    const size_t i = size_t(slot);
    m.markerPair2X[i] = p2x, m.markerPair2Y[i] = p2y, m.markerPair1Y[i] = p1y,
    m.markerPair1X[i] = p1x;
    m.markerTheta[i] = theta;
    m.markerOrbit[i] = orbit;
    m.markerBody[i] = body;
    seen[i] = 1;
  }
  const auto missing = std::find(seen.begin(), seen.end(), 0);
  if (missing != seen.end()) {
    const long count = std::count(seen.begin(), seen.end(), 0);
    throw FormatError(
        file + ": " + std::to_string(count) + " of the " + std::to_string(seen.size()) +
        " perihelion records of the saved orbits are missing (the first is orbit slot " +
        std::to_string(missing - seen.begin()) + ")");
  }
}

std::string saveText(MainWindow& w) {
  const SimState& s = w.sim;
  const PairStats& p = w.pair;
  const Clock& c = w.clock;
  const Periods& per = w.periods;
  const Markers& m = w.markers;
  RecordWriter out;
  auto zeros = [&](int n) {
    for (int k = 0; k < n; ++k) out.whole(0);
  };
  out.number(w.scenario.presetIndex).number(s.orbitCount).whole(s.pairBody[1]).whole(s.pairBody[2]);
  out.number(s.distScaleIndex).number(s.timeRateIndex).whole(s.turboMode);
  out.number(c.elapsedSecFrac).number(c.elapsedSecs).number(w.scenario.startYear);
  out.end();
  out.number(per.sumOrbitYears)
      .number(per.sumOrbitDays)
      .number(per.yearsAtLastOrbit)
      .number(per.daysAtLastOrbit);
  out.number(s.cycleCount).number(s.calcsSinceOrbit1).number(p.totalMaxDist).number(p.totalMinDist);
  out.number(c.dateMode).whole(markerNumber(w));
  out.end();
  out.whole(s.gravityOption).number(text::val(w.c("TXTgravity").text())).number(s.gravConstant);
  out.number(s.proximityKm)
      .whole(m.periMarkerCount)
      .whole(m.aphMarkerCount)
      .whole(box(w, "ChEach"));
  out.number(per.avgOrbitYears).number(s.timeFactor).whole(s.lastBody);
  out.end();
  for (const char* name : {"Chend", "ChZX", "ChZAxis", "Chalt", "ChAvg", "ChSnap"})
    out.whole(box(w, name));
  out.whole(m.markerBody[kLatestMarker])
      .number(m.markerTheta[kLatestMarker])
      .whole(m.markerOrbit[kLatestMarker]);
  zeros(1);
  out.end();
  out.number(p.sumOrbitMaxDist).number(p.sumOrbitMinDist).number(per.cyclesAtLastOrbit);
  out.number(p.prevOrbitMinDist)
      .number(p.prevOrbitMaxDist)
      .whole(box(w, "CHquick"))
      .whole(per.periodOption);
  zeros(3);
  out.end();
  out.whole(p.orbitMinOrbit)
      .whole(p.orbitMaxOrbit)
      .number(p.orbitMinDistCopy)
      .number(p.orbitMaxDistCopy);
  out.number(p.orbitMinDist).number(p.orbitMaxDist).whole(m.periMoveCount);
  out.number(p.totalMinOrbitNo).number(p.totalMaxOrbitNo);
  zeros(1);
  out.end();
  out.number(p.orbitMaxDx).number(p.pairDx).number(p.orbitMaxDy).number(p.pairDy);
  out.number(p.orbitMinDx).number(p.pairDx).number(p.orbitMinDy).number(p.pairDy);
  out.whole(box(w, "ChAPE")).whole(box(w, "ChDraw"));
  out.end();
  out.number(p.minPair2PosX).number(p.pair2PosX).number(p.orbitMinDy).number(p.pairDy);
  out.number(p.minPair2PosX).number(p.pair2PosX).number(p.minPair2PosY).number(p.pair2PosY);
  zeros(2);
  out.end();
  out.number(p.minPair1PosX).number(p.pair1PosX).number(p.minPair1PosY).number(p.pair1PosY);
  zeros(6);
  out.end();
  for (int n = 0; n < 2; ++n) {
    zeros(10);
    out.end();
  }
  Control &start = w.c("TXstartdate"), &current = w.c("TXcurrent");
  out.str(start.text()).str(start.tooltip()).str(current.text()).str(current.tooltip());
  if (s.orbitCount >= 1 && s.orbitCount < 10000) {
    const size_t slot = size_t(s.orbitCount - 1);
    out.date(c.orbitMinDates[slot]).date(c.orbitMaxDates[slot]);
  } else {
    zeros(2);
  }
  out.date(c.newYearDate).str(c.newYearTimeText).str("x").str("x");
  out.end();
  for (int k = 0; k < kMaxBodies; ++k) {
    out.number(s.posX[k]).number(s.posY[k]).number(s.posZ[k]);
    out.number(s.velX[k])
        .number(s.velY[k])
        .number(s.velZ[k])
        .number(s.bodyMass[k])
        .whole(s.bodyOff[k]);
    zeros(2);
    out.end();
    for (int rep = 0; rep < 2; ++rep)
      out.number(s.screenX[k]).number(s.screenY[k]).number(s.screenZ[k]);
    zeros(4);
    out.end();
  }
  out.whole(int64_t(w.scenario.runId)).str(w.scenario.title).str(w.pair.partialOrbitText);
  out.end();
  out.str(kRelativityField).whole(box(w, "ChRelativity"));
  out.end();
  return out.text();
}

std::string perihelionRecord(const Markers& m, size_t o) {
  RecordWriter out;
  out.whole(int64_t(o))
      .number(m.markerPair2X[o])
      .number(m.markerPair2Y[o])
      .number(m.markerPair1Y[o]);
  out.number(m.markerPair1X[o])
      .number(m.markerTheta[o])
      .whole(m.markerOrbit[o])
      .whole(m.markerBody[o]);
  out.whole(0).whole(0);
  out.end();
  return out.text();
}

std::string perihelionHeader(uint64_t runId) {
  RecordWriter out;
  out.str(kPerihelionHeader).whole(int64_t(runId));
  out.end();
  return out.text();
}

}  // namespace orbits
