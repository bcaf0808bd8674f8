#include "persist/save_reload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "analysis/calendar.h"
#include "analysis/data_file.h"
#include "analysis/lab_file.h"
#include "analysis/precession.h"
#include "display/colours.h"
#include "display/projection.h"
#include "engine/run_control.h"
#include "engine/time_rate.h"
#include "persist/record_format.h"
#include "persist/write_behind.h"
#include "scenarios/presets.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {

namespace {

// The name that leads the relativity option's line after the 32 lines of the save.
constexpr const char* kRelativityField = "ChRelativity";

using persist::FieldReader;
using persist::FormatError;
using persist::Record;
using persist::RecordWriter;

constexpr int kLastPresetButton = 83;
constexpr int kMassRows = 9;
constexpr int kLatestMarker = kMarkerSlots - 1;  // slot 9999 mirrors the latest marker
constexpr const char* kPerihelionHeader = "Perihelion Precession details follow:";
constexpr double kDaysPerYear = 365.242189;

int box(MainWindow& w, const char* name) { return w.c(name).value(); }

int16_t markerNumber(MainWindow& w) {
  return int16_t(
      std::clamp<int64_t>(text::toWhole(text::val(w.c("TXmarker").text())), INT16_MIN, INT16_MAX));
}

bool savingStopped(MainWindow& w) {
  return dataFileStopped(w, kSaveFileName) || dataFileStopped(w, kPerihelionFileName);
}

// A save that cannot be written is reported once; saving then stops for the rest of the run
// (both files, so that they never disagree), and the run goes on.
void saveFailed(MainWindow& w, const std::string& name, const std::string& path,
                const std::string& reason, int err) {
  const std::string message = "The file " + path + " could not be written (" + reason +
                              "). Saving of orbital data stops for this run; the run goes on.";
  dataFileFailed(w, name, path, reason, err, message);
}

// A save that failed behind the run, reported as one that failed at once.
void reportFailure(MainWindow& w, const std::optional<persist::WriteBehind::Failure>& failed) {
  if (failed) saveFailed(w, failed->name, failed->path, failed->reason, failed->error);
}

persist::WriteBehind::Files saveFiles(MainWindow& w) {
  return {kSaveFileName, dataFilePath(w, kSaveFileName), kPerihelionFileName,
          dataFilePath(w, kPerihelionFileName)};
}

// The header of a new "orbit-pp.txt" when this run has not started its own yet, else empty.
std::string newLogHeader(MainWindow& w) {
  if (w.scenario.recordsStarted) return {};
  RecordWriter out;
  out.str(kPerihelionHeader).whole(int64_t(w.scenario.runId));
  out.end();
  return out.text();
}

// Reads a whole file, refusing what no valid save is: anything but a regular file (a FIFO
// would block, a link may point anywhere) and a file larger than `limit`.
std::string readBounded(const std::string& path, const char* name, long limit) {
  auto refuse = [&](const std::string& why) {
    throw FormatError(std::string(name) + " cannot be read (" + why + ")");
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) refuse(errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) refuse(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) refuse("it is not a regular file");
  const std::string tooLarge =
      "larger than " + std::to_string(limit) + " bytes, far above any valid one";
  if (st.st_size > limit) refuse(tooLarge);
  std::string out;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) refuse(std::strerror(errno));
    if (n == 0) return out;
    out.append(buf, size_t(n));
    if (long(out.size()) > limit) refuse(tooLarge);  // it grew while being read
  }
}

// What a reload restores: a fresh copy of the state, filled from the files, and the values of
// the window that are set once both files were read.
struct Loaded {
  SimState sim;
  ScenarioState scenario;
  PairStats pair;
  Clock clock;
  Periods periods;
  Markers markers;
  int16_t markerNo = 0;
  double gravityText = 0;
  int32_t periMarkers = 0, aphMarkers = 0;
  int chEach = 0, chEnd = 0, chZX = 0, chZAxis = 0, chAlt = 0, chAvg = 0, chSnap = 0;
  int chQuick = 0, chAPE = 0, chDraw = 0;
  int relativity = 0;  // a save without the line was made with the option off
  double prevMin = 0, prevMax = 0;
  std::string startText, startTip, currentText, currentTip;
  int laterRecords = 0;  // perihelion records of orbits after the save, left out
  // The velocities as saved, before the division by the saved time factor.
  std::array<double, kMaxBodies> savedVelX{}, savedVelY{}, savedVelZ{};
};

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

// Perihelion records of another run than the save's.
struct OtherRun : FormatError {
  using FormatError::FormatError;
};

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

// Why the values read would make the running state non-finite, or empty when they would not.
// Every figure of a run is far from the ends of the range of doubles; one near them (or one so
// small that dividing by it overflows) would turn into an infinity at the first step.
std::string unsoundValue(const Loaded& L) {
  constexpr double kLargest = 1e300, kSmallest = 1e-300, kAngleLimit = 100;
  auto tame = [&](double v) {
    return std::abs(v) <= kLargest && (v == 0 || std::abs(v) >= kSmallest);
  };
  auto refuse = [](const std::string& what, double v) {
    return std::string(kSaveFileName) + ": " + what + " " + text::plain(v) +
           " would overflow the calculation";
  };
  const SimState& s = L.sim;
  const PairStats& p = L.pair;
  const std::pair<const char*, double> figures[] = {
      {"the time factor", s.timeFactor},
      {"the average period", L.periods.avgOrbitYears},
      {"the sum of periods in years", L.periods.sumOrbitYears},
      {"the sum of periods in days", L.periods.sumOrbitDays},
      {"the years at the last orbit", L.periods.yearsAtLastOrbit},
      {"the days at the last orbit", L.periods.daysAtLastOrbit},
      {"the cycles at the last orbit", L.periods.cyclesAtLastOrbit},
      {"the elapsed seconds", L.clock.elapsedSecs},
      {"the elapsed second fraction", L.clock.elapsedSecFrac},
      {"the start year", L.scenario.startYear},
      {"the cycle count", s.cycleCount},
      {"the calculations since orbit 1", s.calcsSinceOrbit1},
      {"the gravitational constant", s.gravConstant},
      {"the gravity text", L.gravityText},
      {"the proximity distance", s.proximityKm},
      {"the largest distance", p.totalMaxDist},
      {"the smallest distance", p.totalMinDist},
      {"the sum of orbit maxima", p.sumOrbitMaxDist},
      {"the sum of orbit minima", p.sumOrbitMinDist},
      {"the orbit minimum", p.orbitMinDist},
      {"the orbit maximum", p.orbitMaxDist},
      {"the previous orbit minimum", L.prevMin},
      {"the previous orbit maximum", L.prevMax},
  };
  for (const auto& [what, v] : figures)
    if (!tame(v)) return refuse(what, v);
  if (!(s.timeFactor > 0)) return refuse("the time factor", s.timeFactor);
  for (int k = 0; k < kMaxBodies; ++k) {
    const std::string body = " of body " + std::to_string(k);
    for (double v : {s.posX[k], s.posY[k], s.posZ[k]})
      if (!positionInRange(v)) return refuse("a position" + body, v);
    for (double v : {s.velX[k], s.velY[k], s.velZ[k]})
      if (!tame(v)) return refuse("a velocity" + body, v);
    if (!tame(s.bodyMass[k])) return refuse("the mass" + body, s.bodyMass[k]);
  }
  const Markers& m = L.markers;
  for (size_t k = 0; k < m.markerTheta.size(); ++k) {
    const std::string slot = " of perihelion marker " + std::to_string(k);
    if (!(std::abs(m.markerTheta[k]) <= kAngleLimit))
      return refuse("the angle" + slot, m.markerTheta[k]);
    for (double v : {m.markerPair1X[k], m.markerPair1Y[k], m.markerPair2X[k], m.markerPair2Y[k]})
      if (!positionInRange(v)) return refuse("a position" + slot, v);
  }
  return {};
}

// Selects an option and runs its click handler even when it was selected already, so that what
// the handler derives (the scale, the time factor) is in force.
template <typename Fn>
void choose(Control& option, Fn handler) {
  if (option.selected())
    handler();
  else
    option.setValue(1);
}

void applyReload(MainWindow& w, Loaded& L) {
  // The state read from the files. Run flags and the run loop's own state stay the window's.
  const RunState runState = w.sim.runState;
  w.sim = L.sim;
  w.sim.runState = runState;
  w.scenario = L.scenario;
  w.pair = L.pair;
  w.clock = L.clock;
  w.periods = L.periods;
  w.markers = L.markers;
  SimState& s = w.sim;
  const double savedGravConstant = s.gravConstant;

  // 1.
  Control& newYear = w.c("TXnewyear");
  newYear.setText(text::dateText(w.clock.newYearDate));
  newYear.setTooltip(w.clock.newYearTimeText);
  // 2.
  w.c("Chend").setValue(L.chEnd);
  w.c("ChZX").setValue(L.chZX);
  w.c("ChZAxis").setValue(L.chZAxis);
  w.c("Chalt").setValue(L.chAlt);
  w.c("ChEach").setValue(L.chEach);
  // 3.
  w.c("TXperihelis").setText(text::plain(double(L.periMarkers) - 1));
  w.markers.periMarkerCount = L.periMarkers;
  w.c("TXaphMove").setText(text::plain(double(L.aphMarkers) - 1));
  w.markers.aphMarkerCount = L.aphMarkers;
  w.c("TXpersephone").setText(text::plain(double(w.markers.periMoveCount) - 1));
  // 4.
  Control& start = w.c("TXstartdate");
  start.setText(L.startText);
  start.setTooltip(L.startTip);
  Control& current = w.c("TXcurrent");
  current.setText(L.currentText);
  current.setTooltip(L.currentTip);
  // 5.
  Control& gravity = w.c("TXTgravity");
  gravity.setText(text::plain(L.gravityText));
  // 6.
  w.c("HSalpha").setValue(s.pairBody[1]);
  w.c("HSbeta").setValue(s.pairBody[2]);
  // 7.
  w.c("ChAvg").setValue(L.chAvg);
  w.c("ChSnap").setValue(L.chSnap);
  w.c("CHquick").setValue(0);
  w.c("CHquick").setValue(L.chQuick);
  w.c("ChAPE").setValue(L.chAPE);
  w.c("ChDraw").setValue(L.chDraw);
  w.c("ChRelativity").setValue(L.relativity);
  w.sim.relativity = L.relativity == 1;
  // 8. The velocities were divided by the saved time factor; the rescale of the time-rate
  // option multiplies them by the factor over the previous one, which is that of a window
  // that has not chosen a rate yet, whatever was chosen before the reload.
  w.c("OpAnnual", w.periods.periodOption).setValue(1);
  const int scale = int(text::toWhole(s.distScaleIndex));
  choose(w.c("OpDist", scale), [&] { OpDist_Click(w, scale); });
  const int rate = int(text::toWhole(s.timeRateIndex));
  const double savedTimeFactor = s.timeFactor;
  s.prevTimeFactor = 1.0;
  choose(w.c("Optime", rate), [&] { Optime_Click(w, rate); });
  // The rescale brings back the velocities that were saved, but for the rounding of a division
  // and a multiplication: with the same time factor in force, they are taken as saved, so that
  // the run goes on exactly as it would have.
  if (s.timeFactor == savedTimeFactor)
    for (size_t k = 0; k < size_t(kMaxBodies); ++k)
      s.velX[k] = L.savedVelX[k], s.velY[k] = L.savedVelY[k], s.velZ[k] = L.savedVelZ[k];
  // Selecting the saved rate again is no change of rate for the drift file to log.
  s.timeRateLog.clear();
  w.c("OptimT", s.turboMode).setValue(1);
  // 9.
  w.c("TXlaps").setText(text::plain(s.orbitCount));
  w.c("TXiterations").setText(text::plain(s.cycleCount));
  // 10.
  w.c("HStheta").setValue(L.markerNo);
  // 11. The constant in force when the run was saved stays in force.
  w.c("opGee", s.gravityOption).setValue(1);
  gravity.setText(text::plain(L.gravityText));
  s.gravConstant = savedGravConstant;
  // 12.
  w.pair.prevOrbitMaxDist = L.prevMax;
  w.pair.prevOrbitMinDist = L.prevMin;

  // The window of a reloaded run.
  const Color normal = w.c("Command2").backColor();
  for (Control* p : w.panel.members("CDp"))
    if (p->index() >= 1 && p->index() <= kLastPresetButton) p->setBackColor(normal);
  const Color pale = rgb(255, 255, 127);
  w.c("CDp", int(text::toWhole(w.scenario.presetIndex))).setBackColor(pale);
  Control& cont = w.c("CDcont");
  cont.setBackColor(pale);
  cont.setVisible(true);
  w.c("LaChirp", 0)
      .setText("Reload of Scenario [" + text::signedText(w.scenario.presetIndex) + " ]");
  s.quadrant = s.prevQuadrant = 1;
  ColPlan(w);
  for (int k = 0; k <= std::min(int(s.lastBody), kMassRows - 1); ++k) {
    Control& mass = w.c("TXmass", k);
    mass.setText(text::patterned(s.bodyMass[k], "0.00000000000000"));
    mass.setTooltip(text::signedText(1e30 * s.solarMass * s.bodyMass[k]) + " kg");
  }
  w.c("CDcon").setVisible(false);
  RestoreClock(w);
  s.runState = RunState::Stop;
  PawsOn(w);
  w.c("CDdot").press();
  w.c("LaChirp", 1)
      .setText(
          "Previous scenario data has been loaded. Select 'Continue' for evolution to proceed.");
  if (L.laterRecords > 0)
    w.c("LaChirp", 2)
        .setText(std::to_string(L.laterRecords) +
                 " perihelion records of orbits after the save were left out.");
  ResetDataFiles(w);
  // The run goes on adding to the records it was reloaded with.
  w.scenario.recordsStarted = true;
  reloadLabRecords(w);
}

}  // namespace

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

void settleSaves(MainWindow& w) { reportFailure(w, w.saves.settle()); }

void StartSaves(MainWindow& w) {
  static std::random_device entropy;
  // Kept below 2^48 so that it reads back exactly as a number.
  uint64_t id = 0;
  while (id == 0) id = ((uint64_t(entropy()) << 16) ^ entropy()) & ((uint64_t(1) << 48) - 1);
  w.scenario.runId = id;
  w.scenario.recordsStarted = false;
}

void SavePerPre(MainWindow& w) {
  // Nothing here waits for the disk; a failure of an earlier save is reported first.
  reportFailure(w, w.saves.failure());
  if (savingStopped(w)) return;
  const double orbits = w.sim.orbitCount;
  if (!(orbits >= 1 && orbits < 10000)) return;
  const size_t o = size_t(orbits - 1);
  const Markers& m = w.markers;
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
  w.saves.append(saveFiles(w), out.text(), newLogHeader(w));
}

void SaveOrbit(MainWindow& w) {
  reportFailure(w, w.saves.failure());
  if (savingStopped(w)) return;
  // The lab's records of a new run start afresh with its first save, as its perihelion records do.
  if (!w.scenario.recordsStarted) startLabFile(w);
  w.saves.snapshot(saveFiles(w), saveText(w), newLogHeader(w));
  w.scenario.recordsStarted = true;
  saveLabRecords(w);
}

namespace {

// The records of the save. A crash between the save's rename and that of a new run's first
// records leaves those complete in their temporary file: they are taken from there, and the
// interrupted save is finished.
void readRecordsOfTheSave(MainWindow& w, Loaded& L) {
  const std::string path = dataFilePath(w, kPerihelionFileName);
  try {
    readPerihelia(readBounded(path, kPerihelionFileName, kMaxPerihelionBytes), L);
  } catch (const OtherRun& other) {
    const std::string temp = path + ".tmp";
    try {
      readPerihelia(readBounded(temp, kPerihelionFileName, kMaxPerihelionBytes), L);
    } catch (const FormatError&) {
      throw other;  // no records of the save's run anywhere
    }
    std::rename(temp.c_str(), path.c_str());
  }
}

}  // namespace

ReloadResult CDcon_Click(MainWindow& w) {
  settleSaves(w);
  ReloadResult result;
  auto L = std::make_unique<Loaded>();
  L->sim = w.sim;
  L->scenario = w.scenario;
  L->pair = w.pair;
  L->clock = w.clock;
  L->periods = w.periods;
  L->markers = w.markers;
  L->laterRecords = 0;

  try {
    readSave(readBounded(dataFilePath(w, kSaveFileName), kSaveFileName, kMaxSaveBytes), *L);
  } catch (const FormatError& e) {
    result = {"error", e.what()};
  }
  if (result.loadStatus.empty()) {
    try {
      readRecordsOfTheSave(w, *L);
    } catch (const FormatError& e) {
      result = {"errorer", e.what()};
    }
  }
  if (result.loadStatus.empty())
    if (std::string why = unsoundValue(*L); !why.empty()) result = {"error", why};
  if (!result.loadStatus.empty()) {
    // Nothing was restored, so the button stays for another attempt once the files are put right.
    w.host.messageBox(std::string(kNoReloadText) + ": " + result.problem + ".", MainWindow::kTitle);
    return result;
  }
  w.c("ImMoon").setVisible(false);
  applyReload(w, *L);
  return result;
}

void wirePersist(MainWindow& w) {
  w.panel.onClick("CDcon", [&w](int) { CDcon_Click(w); });
}

}  // namespace orbits
