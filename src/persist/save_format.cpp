#include "persist/save_format.h"

#include <algorithm>
#include <vector>

#include "display/colours.h"
#include "display/projection.h"
#include "engine/time_rate.h"
#include "persist/save_reload.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

using persist::FieldReader;
using persist::FormatError;
using persist::Record;
using persist::RecordWriter;

namespace {

constexpr int64_t kLargestCount = int64_t(1) << 52;  // reads back exactly as a number

// The layout of "orbit-save.txt", written and read alike: `io` is a SaveWriter or a SaveReader.
// Each line holds ten fields, in this order; the kinds:
//   num    a number                          whole  a whole number within [lo, hi]
//   count  a number read as a whole number   single a number kept in single precision
//   box    a check box's value (0 to 2)      zero   a field written as 0
//   str    a quoted text                     date   a date
// After the 32 lines, the run line (3 fields) and the named lines of later additions.
template <typename Io>
void saveLayout(Io& io, SavedRun& r) {
  io.line(1);
  io.count(r.presetIndex, 0, kLastPresetButton), io.count(r.orbitCount, 0, kLargestCount);
  io.whole(r.pairBody1, 0, kBodyTableRows - 1), io.whole(r.pairBody2, 0, kBodyTableRows - 1);
  io.count(r.distScaleIndex, 0, kScaleCount - 1), io.count(r.timeRateIndex, 0, kRateCount - 1);
  io.whole(r.turboMode, 4, 5), io.num(r.elapsedSecFrac), io.num(r.elapsedSecs);
  io.num(r.startYear);
  io.line(2);
  io.num(r.sumOrbitYears), io.num(r.sumOrbitDays), io.num(r.yearsAtLastOrbit);
  io.num(r.daysAtLastOrbit), io.num(r.cycleCount), io.num(r.calcsSinceOrbit1);
  io.num(r.totalMaxDist), io.num(r.totalMinDist), io.single(r.dateMode);
  io.whole(r.markerNo, INT16_MIN, INT16_MAX);
  io.line(3);
  io.whole(r.gravityOption, 0, 4), io.num(r.gravityText), io.num(r.gravConstant);
  io.num(r.proximityKm), io.whole(r.periMarkerCount, INT16_MIN, INT32_MAX);
  io.whole(r.aphMarkerCount, INT16_MIN, INT32_MAX), io.box(r.chEach), io.num(r.avgOrbitYears);
  io.num(r.timeFactor);
  io.check(r.timeFactor > 0, "the time factor must be above 0");
  io.whole(r.lastBody, 0, kMaxBodies - 1);
  io.line(4);
  io.box(r.chEnd), io.box(r.chZX), io.box(r.chZAxis), io.box(r.chAlt), io.box(r.chAvg);
  io.box(r.chSnap), io.whole(r.latestBody, INT16_MIN, INT16_MAX), io.num(r.latestTheta);
  io.whole(r.latestOrbit, INT32_MIN, INT32_MAX), io.zero();
  io.line(5);
  io.num(r.sumOrbitMaxDist), io.num(r.sumOrbitMinDist), io.num(r.cyclesAtLastOrbit);
  io.num(r.prevOrbitMinDist), io.num(r.prevOrbitMaxDist), io.box(r.chQuick);
  io.whole(r.periodOption, 0, 1), io.zero(), io.zero(), io.zero();
  io.line(6);
  io.whole(r.orbitMinOrbit, INT32_MIN, INT32_MAX), io.whole(r.orbitMaxOrbit, INT32_MIN, INT32_MAX);
  io.num(r.orbitMinDistCopy), io.num(r.orbitMaxDistCopy), io.num(r.orbitMinDist);
  io.num(r.orbitMaxDist), io.whole(r.periMoveCount, INT32_MIN, INT32_MAX);
  io.num(r.totalMinOrbitNo), io.num(r.totalMaxOrbitNo), io.zero();
  // Lines 7 and 8 hold some figures twice; the later place is the one read.
  io.line(7);
  io.num(r.orbitMaxDx), io.num(r.pairDx), io.num(r.orbitMaxDy), io.num(r.pairDy);
  io.num(r.orbitMinDx), io.num(r.pairDx), io.num(r.orbitMinDy), io.num(r.pairDy);
  io.box(r.chAPE), io.box(r.chDraw);
  io.line(8);
  io.num(r.minPair2PosX), io.num(r.pair2PosX), io.num(r.orbitMinDy), io.num(r.pairDy);
  io.num(r.minPair2PosX), io.num(r.pair2PosX), io.num(r.minPair2PosY), io.num(r.pair2PosY);
  io.zero(), io.zero();
  io.line(9);
  io.num(r.minPair1PosX), io.num(r.pair1PosX), io.num(r.minPair1PosY), io.num(r.pair1PosY);
  for (int k = 0; k < 6; ++k) io.zero();
  for (int n = 10; n <= 11; ++n) {
    io.line(n);
    for (int k = 0; k < kSaveFields; ++k) io.zero();
  }
  io.line(12);
  io.str(r.startText);
  io.check(text::parseDateText(r.startText).has_value(),
           "\"" + r.startText + "\" is not a date text");
  io.str(r.startTip), io.str(r.currentText), io.str(r.currentTip);
  // Outside orbits 1 to 9999 there is no date slot: written as 0 and 0.
  io.slotDate(r.orbitMinDate, r.datedOrbit()), io.slotDate(r.orbitMaxDate, r.datedOrbit());
  io.date(r.newYearDate), io.str(r.newYearTimeText), io.ignoredStr(), io.ignoredStr();
  for (size_t k = 0; k < size_t(kMaxBodies); ++k) {
    io.line(13 + 2 * int(k));
    io.num(r.posX[k]), io.num(r.posY[k]), io.num(r.posZ[k]);
    io.num(r.velX[k]), io.num(r.velY[k]), io.num(r.velZ[k]), io.num(r.bodyMass[k]);
    io.whole(r.bodyOff[k], 0, 1), io.zero(), io.zero();
    io.line(14 + 2 * int(k));
    for (int rep = 0; rep < 2; ++rep)
      io.num(r.screenX[k]), io.num(r.screenY[k]), io.num(r.screenZ[k]);
    for (int z = 0; z < 4; ++z) io.zero();
  }
  if (io.extraLine(kSaveLines + 1, kRunLineFields))
    io.whole(r.runId, 0, kLargestCount), io.str(r.title), io.str(r.partialOrbitText);
  if (io.namedLine(kRelativityField, 2)) io.box(r.relativity);
  if (io.namedLine(kGravExponentField, 2)) io.num(r.gravExponent);
  io.done();
}

class SaveWriter {
 public:
  void line(int n) {
    if (n > 1) out_.end();
  }
  bool extraLine(int, size_t) {
    out_.end();
    return true;
  }
  bool namedLine(const char* name, size_t) {
    out_.end();
    out_.str(name);
    return true;
  }
  void done() { out_.end(); }
  template <typename T>
  void count(T v, int64_t, int64_t) {
    out_.number(double(v));
  }
  template <typename T>
  void whole(T v, int64_t, int64_t) {
    out_.whole(int64_t(v));
  }
  void num(double v) { out_.number(v); }
  void single(float v) { out_.number(v); }
  void box(int v) { out_.whole(v); }
  void zero() { out_.whole(0); }
  void str(const std::string& s) { out_.str(s); }
  void ignoredStr() { out_.str("x"); }
  void date(text::Date d) { out_.date(d); }
  void slotDate(const std::optional<text::Date>& d, bool slotted) {
    if (slotted && d)
      out_.date(*d);
    else
      out_.whole(0);
  }
  void check(bool, const std::string&) {}
  const std::string& text() const { return out_.text(); }

 private:
  RecordWriter out_;
};

class SaveReader {
 public:
  explicit SaveReader(const std::string& content) : recs_(persist::splitRecords(content, file_)) {
    if (recs_.size() < size_t(kSaveLines))
      throw FormatError(file_ + ": " + std::to_string(recs_.size()) + " lines instead of " +
                        std::to_string(kSaveLines));
  }
  void line(int n) { f_.emplace(recs_[size_t(n - 1)], file_, kSaveFields); }
  // The line after the 32 of the layout: a save written before it existed has none.
  bool extraLine(int n, size_t fields) {
    if (recs_.size() < size_t(n)) return false;
    f_.emplace(recs_[size_t(n - 1)], file_, fields);
    return true;
  }
  // Lines after the 32 carry later additions, each led by its name; unknown ones are passed
  // over.
  bool namedLine(const char* name, size_t fields) {
    const Record* found = nullptr;
    for (size_t r = kSaveLines; r < recs_.size(); ++r)
      if (!recs_[r].fields.empty() && recs_[r].fields[0].text == name) found = &recs_[r];
    if (!found) return false;
    f_.emplace(*found, file_, fields);
    (void)f_->str();
    return true;
  }
  void done() {}
  template <typename T>
  void count(T& v, int64_t lo, int64_t hi) {
    v = T(f_->whole(lo, hi));
  }
  template <typename T>
  void whole(T& v, int64_t lo, int64_t hi) {
    v = T(f_->whole(lo, hi));
  }
  void num(double& v) { v = f_->number(); }
  void single(float& v) { v = f_->single(); }
  void box(int& v) { v = int(f_->whole(0, 2)); }
  void zero() { f_->skip(); }
  void str(std::string& s) { s = f_->str(); }
  void ignoredStr() { (void)f_->str(); }
  void date(text::Date& d) { d = f_->date(); }
  void slotDate(std::optional<text::Date>& d, bool slotted) {
    if (slotted)
      d = f_->date();
    else if (f_->isDate())
      (void)f_->date();
    else
      f_->skip();
  }
  void check(bool ok, const std::string& what) {
    if (!ok) f_->fail(what);
  }

 private:
  const std::string file_ = kSaveFileName;
  std::vector<Record> recs_;
  std::optional<FieldReader> f_;
};

int box(MainWindow& w, const char* name) { return w.c(name).value(); }

int16_t markerNumber(MainWindow& w) {
  return int16_t(
      std::clamp<int64_t>(text::toWhole(text::val(w.c("TXmarker").text())), INT16_MIN, INT16_MAX));
}

// The fields a save holds just as the state holds them, listed once for taking a save and for
// restoring one: `f(field of the save, field of the state)` for each.
template <typename Run, typename F>
void eachPlainField(Run& r, MainWindow& w, F f) {
  SimState& s = w.sim;
  PairStats& p = w.pair;
  Clock& c = w.clock;
  Periods& per = w.periods;
  Markers& m = w.markers;
  ScenarioState& sc = w.scenario;
  f(r.presetIndex, sc.presetIndex), f(r.startYear, sc.startYear);
  f(r.runId, sc.runId), f(r.title, sc.title);
  f(r.orbitCount, s.orbitCount), f(r.pairBody1, s.pairBody[1]), f(r.pairBody2, s.pairBody[2]);
  f(r.distScaleIndex, s.distScaleIndex), f(r.timeRateIndex, s.timeRateIndex);
  f(r.turboMode, s.turboMode);
  f(r.cycleCount, s.cycleCount), f(r.calcsSinceOrbit1, s.calcsSinceOrbit1);
  f(r.gravConstant, s.gravConstant), f(r.proximityKm, s.proximityKm);
  f(r.timeFactor, s.timeFactor), f(r.gravityOption, s.gravityOption);
  f(r.lastBody, s.lastBody);
  f(r.posX, s.posX), f(r.posY, s.posY), f(r.posZ, s.posZ);
  f(r.bodyMass, s.bodyMass), f(r.bodyOff, s.bodyOff);
  f(r.screenX, s.screenX), f(r.screenY, s.screenY), f(r.screenZ, s.screenZ);
  f(r.elapsedSecFrac, c.elapsedSecFrac), f(r.elapsedSecs, c.elapsedSecs);
  f(r.dateMode, c.dateMode);
  f(r.newYearDate, c.newYearDate), f(r.newYearTimeText, c.newYearTimeText);
  f(r.sumOrbitYears, per.sumOrbitYears), f(r.sumOrbitDays, per.sumOrbitDays);
  f(r.yearsAtLastOrbit, per.yearsAtLastOrbit), f(r.daysAtLastOrbit, per.daysAtLastOrbit);
  f(r.avgOrbitYears, per.avgOrbitYears), f(r.cyclesAtLastOrbit, per.cyclesAtLastOrbit);
  f(r.periodOption, per.periodOption);
  f(r.totalMaxDist, p.totalMaxDist), f(r.totalMinDist, p.totalMinDist);
  f(r.sumOrbitMaxDist, p.sumOrbitMaxDist), f(r.sumOrbitMinDist, p.sumOrbitMinDist);
  f(r.orbitMinOrbit, p.orbitMinOrbit), f(r.orbitMaxOrbit, p.orbitMaxOrbit);
  f(r.orbitMinDistCopy, p.orbitMinDistCopy), f(r.orbitMaxDistCopy, p.orbitMaxDistCopy);
  f(r.orbitMinDist, p.orbitMinDist), f(r.orbitMaxDist, p.orbitMaxDist);
  f(r.totalMinOrbitNo, p.totalMinOrbitNo), f(r.totalMaxOrbitNo, p.totalMaxOrbitNo);
  f(r.orbitMaxDx, p.orbitMaxDx), f(r.orbitMaxDy, p.orbitMaxDy);
  f(r.orbitMinDx, p.orbitMinDx), f(r.orbitMinDy, p.orbitMinDy);
  f(r.pairDx, p.pairDx), f(r.pairDy, p.pairDy);
  f(r.minPair1PosX, p.minPair1PosX), f(r.minPair1PosY, p.minPair1PosY);
  f(r.minPair2PosX, p.minPair2PosX), f(r.minPair2PosY, p.minPair2PosY);
  f(r.pair1PosX, p.pair1PosX), f(r.pair1PosY, p.pair1PosY);
  f(r.pair2PosX, p.pair2PosX), f(r.pair2PosY, p.pair2PosY);
  f(r.partialOrbitText, p.partialOrbitText);
  f(r.periMoveCount, m.periMoveCount);
  f(r.latestBody, m.markerBody[kLatestMarker]), f(r.latestTheta, m.markerTheta[kLatestMarker]);
  f(r.latestOrbit, m.markerOrbit[kLatestMarker]);
}

}  // namespace

void restorePlainFields(const SavedRun& r, MainWindow& w) {
  eachPlainField(r, w, [](const auto& saved, auto& state) { state = saved; });
}

SavedRun savedRunOf(MainWindow& w) {
  const SimState& s = w.sim;
  const PairStats& p = w.pair;
  const Clock& c = w.clock;
  const Markers& m = w.markers;
  SavedRun r;
  eachPlainField(r, w, [](auto& saved, const auto& state) { saved = state; });
  r.prevOrbitMinDist = p.prevOrbitMinDist, r.prevOrbitMaxDist = p.prevOrbitMaxDist;
  r.periMarkerCount = m.periMarkerCount, r.aphMarkerCount = m.aphMarkerCount;
  r.markerNo = markerNumber(w);
  r.gravityText = text::val(w.c("TXTgravity").text());
  r.chEach = box(w, "ChEach"), r.chEnd = box(w, "Chend"), r.chZX = box(w, "ChZX");
  r.chZAxis = box(w, "ChZAxis"), r.chAlt = box(w, "Chalt"), r.chAvg = box(w, "ChAvg");
  r.chSnap = box(w, "ChSnap"), r.chQuick = box(w, "CHquick"), r.chAPE = box(w, "ChAPE");
  r.chDraw = box(w, "ChDraw"), r.relativity = box(w, "ChRelativity");
  // The number the run reads from the box at every cycle: any text gives a finite one.
  r.gravExponent = text::val(w.c("TXgexp").text());
  const Control &start = w.c("TXstartdate"), &current = w.c("TXcurrent");
  r.startText = start.text(), r.startTip = start.tooltip();
  r.currentText = current.text(), r.currentTip = current.tooltip();
  if (r.datedOrbit()) {
    const size_t slot = size_t(s.orbitCount - 1);
    r.orbitMinDate = c.orbitMinDates[slot], r.orbitMaxDate = c.orbitMaxDates[slot];
  }
  r.velX = s.velX, r.velY = s.velY, r.velZ = s.velZ;
  return r;
}

std::string saveText(const SavedRun& r) {
  SaveWriter out;
  saveLayout(out, const_cast<SavedRun&>(r));  // the writer only reads
  return out.text();
}

SavedRun readSave(const std::string& content) {
  SaveReader in(content);
  SavedRun r;
  saveLayout(in, r);
  return r;
}

std::vector<PerihelionRecord> readPerihelia(const std::string& content, const SavedRun& saved,
                                            int& later) {
  const std::string file = kPerihelionFileName;
  // A record cut short by a crash can only be the last one, and of an orbit after the save: the
  // records a save needs are synced before the save replaces the previous one. It is left out.
  std::string_view whole = content;
  const size_t lastEnd = whole.rfind('\n');
  const bool torn = lastEnd + 1 != whole.size();
  if (torn) whole = whole.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
  const std::vector<Record> recs = persist::splitRecords(whole, file);
  if (recs.empty()) throw FormatError(file + ": the file is empty");
  {
    // The run the records belong to follows the header's text; a file without it is older
    // than that and is taken on its records alone.
    const bool identified = recs[0].fields.size() == 2;
    FieldReader header(recs[0], file, identified ? 2 : 1);
    (void)header.str();
    const uint64_t run = identified ? uint64_t(header.whole(0, kLargestCount)) : 0;
    if (run != 0 && saved.runId != 0 && run != saved.runId)
      throw OtherRun(file + " holds the records of another run than " + kSaveFileName +
                     " (the first save of a new scenario was cut short)");
  }
  const double orbits = saved.orbitCount;
  const int last = orbits >= 9998 ? 9998 : int(orbits) - 1;
  // Each slot is taken from the record that carries its number; a later record of the same
  // slot (an orbit saved again after a reload) replaces an earlier one.
  std::vector<PerihelionRecord> slots(size_t(std::max(last + 1, 0)));
  std::vector<char> seen(slots.size(), 0);
  later = torn ? 1 : 0;
  for (size_t n = 1; n < recs.size(); ++n) {
    FieldReader f(recs[n], file, kSaveFields);
    PerihelionRecord r;
    r.slot = f.whole(0, 9998);
    r.pair2X = f.number(), r.pair2Y = f.number(), r.pair1Y = f.number(), r.pair1X = f.number();
    r.theta = f.number();
    r.orbit = f.int32();
    r.body = f.int16();
    f.skip(), f.skip();
    if (r.slot > last) {
      ++later;  // of orbits after the save: the save decides
      continue;
    }
    slots[size_t(r.slot)] = r;
    seen[size_t(r.slot)] = 1;
  }
  const auto missing = std::find(seen.begin(), seen.end(), 0);
  if (missing != seen.end()) {
    const long count = std::count(seen.begin(), seen.end(), 0);
    throw FormatError(
        file + ": " + std::to_string(count) + " of the " + std::to_string(seen.size()) +
        " perihelion records of the saved orbits are missing (the first is orbit slot " +
        std::to_string(missing - seen.begin()) + ")");
  }
  return slots;
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

std::string saveText(MainWindow& w) { return saveText(savedRunOf(w)); }

}  // namespace orbits
