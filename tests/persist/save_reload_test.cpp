#include "persist/save_reload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <vector>

#include "../support/test_host.h"
#include "analysis/lab_file.h"
#include "panel/control_settings.h"
#include "panel/wired_window.h"
#include "persist/record_format.h"
#include "persist/save_format.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {
namespace {

using testing::TestHost;
namespace fs = std::filesystem;

using testing::readFile;
void writeFile(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << text;
}
fs::path data(TestHost& h, const char* name) { return fs::path(h.dataDir()) / name; }

constexpr int kSavedOrbit = 2;
constexpr int kFastPreset = 1;  // the Sun and Mercury, 1940

// One uninterrupted run of a fast scenario, saving at every orbit: the save files as they were
// after orbit `saved`, and the run's drift file and bodies after orbit `last`.
struct Reference {
  std::string save, perihelia, drift, lab;
  SimState end;
  LabState endLab;
};

Reference runReference(int preset, int saved, int last, const std::string& exponent = "2") {
  Reference r;
  TestHost host;
  WiredWindow w(host);
  w.c("TXgexp").setText(exponent);
  host.onYield = [&](long) {
    if (w.sim.orbitCount == saved + 1 && r.save.empty()) {
      settleSaves(w);  // the save of orbit `saved`, on the disk
      r.save = readFile(data(host, kSaveFileName));
      r.perihelia = readFile(data(host, kPerihelionFileName));
      r.lab = readFile(data(host, kLabFileName));
    }
    if (w.sim.orbitCount == last + 1) w.c("CDstop").press();
  };
  w.c("CDp", preset).press();
  r.drift = readFile(data(host, "data-drift.txt"));
  r.end = w.sim;
  r.endLab = w.lab;
  return r;
}

const Reference& reference() {
  static const Reference ref = runReference(kFastPreset, kSavedOrbit, kSavedOrbit + 2);
  return ref;
}

// A window started afresh on a data directory that holds the given save files.
struct Restarted {
  TestHost host;
  std::unique_ptr<MainWindow> w;
  Restarted(const std::string& save, const std::string* perihelia, const std::string& lab = {}) {
    writeFile(data(host, kSaveFileName), save);
    if (!lab.empty()) writeFile(data(host, kLabFileName), lab);
    if (perihelia) writeFile(data(host, kPerihelionFileName), *perihelia);
    w = std::make_unique<WiredWindow>(host);
  }
};

// A run saved at its first orbit, closed, reloaded and continued writes the same drift file,
// header and dates included, as the run that was never interrupted: one preset of each epoch,
// whose start times of day differ (12h53, 00:08, 00:00).
class ReloadedRun : public ::testing::TestWithParam<int> {};

TEST_P(ReloadedRun, ContinuesExactlyAsTheUninterruptedOne) {
  const int preset = GetParam();
  constexpr int kLast = 3;
  const Reference ref = runReference(preset, 1, kLast);
  ASSERT_FALSE(ref.save.empty());
  Restarted r(ref.save, &ref.perihelia, ref.lab);
  MainWindow& w = *r.w;
  w.c("CDcon").press();
  ASSERT_TRUE(r.host.messages.empty()) << r.host.messages[0].text;
  EXPECT_EQ(w.sim.orbitCount, 1);
  EXPECT_EQ(w.lab.orbitsRecorded, 1);  // the lab's records of the saved orbits
  EXPECT_EQ(w.sim.runState, RunState::Stop);
  EXPECT_TRUE(w.c("CDcont").visible());
  EXPECT_FALSE(w.c("CDcon").visible());
  EXPECT_EQ(w.c("LaChirp", 0).text(), "Reload of Scenario [ " + std::to_string(preset) + " ]");
  EXPECT_EQ(w.c("CDp", preset).backColor(), rgb(255, 255, 127));

  r.host.onYield = [&](long) {
    if (w.sim.orbitCount == kLast + 1) w.c("CDstop").press();
  };
  w.c("CDcont").press();
  ASSERT_TRUE(r.host.messages.empty()) << r.host.messages[0].text;
  EXPECT_EQ(w.sim.cycleCount, ref.end.cycleCount);
  EXPECT_EQ(readFile(data(r.host, "data-drift.txt")), ref.drift);
  for (int k = 0; k <= w.sim.lastBody; ++k) EXPECT_EQ(w.sim.posX[k], ref.end.posX[k]) << k;
  // The lab goes on as in the uninterrupted run: the same fit to the bit, the same series.
  EXPECT_EQ(w.lab.orbitsRecorded, ref.endLab.orbitsRecorded);
  EXPECT_GE(w.lab.fit.n, kLast - 1);
  EXPECT_EQ(w.lab.fit.n, ref.endLab.fit.n);
  EXPECT_EQ(w.lab.fit.slope(), ref.endLab.fit.slope());
  EXPECT_EQ(w.lab.fit.syy, ref.endLab.fit.syy);
  EXPECT_EQ(w.lab.lastPerihelion.angle, ref.endLab.lastPerihelion.angle);
  EXPECT_EQ(w.lab.sky.buckets.size(), ref.endLab.sky.buckets.size());
  ASSERT_EQ(w.lab.series.buckets.size(), ref.endLab.series.buckets.size());
  for (size_t i = 0; i < w.lab.series.buckets.size(); ++i)
    EXPECT_EQ(w.lab.series.buckets[i].channels[kChPerihelion].lo,
              ref.endLab.series.buckets[i].channels[kChPerihelion].lo)
        << i;
}

INSTANTIATE_TEST_SUITE_P(OneOfEachEpoch, ReloadedRun, ::testing::Values(83, 49, 1));

// The longitude of perihelion's fit comes back from the lab's file (its summary written whole at
// the run's first save, and the records of the saves after it): reloaded and continued, the run
// gives the same rate and error, to the bit, as the uninterrupted one.
TEST(SaveReload, TheLongitudeOfPerihelionFitGoesOnAsInTheUninterruptedRun) {
  const Reference& ref = reference();
  Restarted r(ref.save, &ref.perihelia, ref.lab);
  MainWindow& w = *r.w;
  w.c("CDcon").press();
  ASSERT_TRUE(r.host.messages.empty()) << r.host.messages[0].text;
  EXPECT_GT(w.lab.varpiFit.n, 0);
  r.host.onYield = [&](long) {
    if (w.sim.orbitCount == kSavedOrbit + 3) w.c("CDstop").press();
  };
  w.c("CDcont").press();
  ASSERT_EQ(w.sim.cycleCount, ref.end.cycleCount);
  const PrecessionFit &a = w.lab.varpiFit, &b = ref.endLab.varpiFit;
  ASSERT_TRUE(b.ready());
  EXPECT_EQ(a.n, b.n);
  EXPECT_EQ(a.slope(), b.slope());
  EXPECT_EQ(a.slopeError(), b.slopeError());
}

// The exponent of the gravity law is saved with the run: reloaded into a window started afresh
// (where the box holds the default 2), the run goes on under the exponent it had.
TEST(SaveReload, AChangedGravityExponentIsRestoredAndTheRunContinuesAsItWould) {
  constexpr int kLast = 3;
  const std::string exponent = "2.0123456789012345";
  const Reference ref = runReference(kFastPreset, 1, kLast, exponent);
  Restarted r(ref.save, &ref.perihelia, ref.lab);
  MainWindow& w = *r.w;
  ASSERT_EQ(w.c("TXgexp").text(), "2");
  w.c("CDcon").press();
  ASSERT_TRUE(r.host.messages.empty()) << r.host.messages[0].text;
  EXPECT_EQ(text::val(w.c("TXgexp").text()), text::val(exponent));
  r.host.onYield = [&](long) {
    if (w.sim.orbitCount == kLast + 1) w.c("CDstop").press();
  };
  w.c("CDcont").press();
  EXPECT_EQ(w.sim.gravExponent, text::val(exponent));
  EXPECT_EQ(w.sim.cycleCount, ref.end.cycleCount);
  EXPECT_EQ(readFile(data(r.host, "data-drift.txt")), ref.drift);
  for (int k = 0; k <= w.sim.lastBody; ++k) EXPECT_EQ(w.sim.posX[k], ref.end.posX[k]) << k;
}

TEST(SaveReload, TheSaveFileHasItsLayout) {
  const Reference& ref = reference();
  auto recs = persist::splitRecords(ref.save, kSaveFileName);
  // The 32 lines of ten fields, the run's identity, title and partial-orbit line, then the
  // named lines of the relativity option and of the gravity exponent.
  ASSERT_EQ(recs.size(), 35u);
  for (int n = 0; n < 32; ++n) EXPECT_EQ(recs[n].fields.size(), 10u) << "line " << n + 1;
  EXPECT_EQ(recs[32].fields.size(), 3u);
  ASSERT_EQ(recs[33].fields.size(), 2u);
  EXPECT_EQ(recs[33].fields[0].text, "ChRelativity");
  EXPECT_EQ(recs[33].fields[1].text, "0");
  ASSERT_EQ(recs[34].fields.size(), 2u);
  EXPECT_EQ(recs[34].fields[0].text, "TXgexp");
  EXPECT_EQ(recs[34].fields[1].text, "2");
  EXPECT_EQ(std::count(ref.save.begin(), ref.save.end(), '\n'), 35);
  EXPECT_EQ(ref.save.find("\r\n"), ref.save.find('\n') - 1);
  // Line 1: preset, orbit count; line 12: four texts, the dates of the last orbit, the new year.
  EXPECT_EQ(recs[0].fields[0].text, "1");
  EXPECT_EQ(recs[0].fields[1].text, std::to_string(kSavedOrbit));
  EXPECT_EQ(recs[11].fields[0].kind, persist::FieldKind::Quoted);
  EXPECT_EQ(recs[11].fields[4].kind, persist::FieldKind::Dated);
  EXPECT_EQ(recs[11].fields[5].kind, persist::FieldKind::Dated);
  EXPECT_EQ(recs[11].fields[8].text, "x");
  // One perihelion record per saved orbit, slot numbers from 0.
  auto pp = persist::splitRecords(ref.perihelia, kPerihelionFileName);
  ASSERT_GE(pp.size(), size_t(1 + kSavedOrbit));
  EXPECT_EQ(pp[0].fields[0].text, "Perihelion Precession details follow:");
  for (int i = 0; i < kSavedOrbit; ++i)
    EXPECT_EQ(pp[size_t(1 + i)].fields[0].text, std::to_string(i));
}

TEST(SaveReload, TheLayoutReadsBackWhatItWrites) {
  // Writer and reader work from one layout: a save read and written again is the same text.
  const Reference& ref = reference();
  EXPECT_EQ(saveText(readSave(ref.save)), ref.save);
}

// The window's state as a reload failure must leave it.
struct Snapshot {
  explicit Snapshot(MainWindow& w)
      : posX(w.sim.posX),
        velX(w.sim.velX),
        orbits(w.sim.orbitCount),
        cycles(w.sim.cycleCount),
        theta(w.markers.markerTheta),
        chirp0(w.c("LaChirp", 0).text()),
        laps(w.c("TXlaps").text()),
        scale(w.sim.distScaleIndex) {}
  bool operator==(const Snapshot&) const = default;
  BodyArray<double> posX, velX;
  double orbits, cycles;
  std::vector<double> theta;
  std::string chirp0, laps;
  float scale;
};

std::string damaged(std::string text, int line, int field, const std::string& by) {
  size_t at = 0;
  for (int l = 1; l < line; ++l) at = text.find("\r\n", at) + 2;
  for (int f = 1; f < field; ++f) at = text.find(',', at) + 1;
  size_t end = text.find_first_of(",\r", at);
  return text.replace(at, end - at, by);
}

// A kill while a later orbit's record is being appended leaves it cut short at the end of the
// records: the save still reloads, without it.
TEST(SaveReload, ARecordCutShortAtTheEndIsLeftOut) {
  const Reference& ref = reference();
  const std::string torn = ref.perihelia + "2,1.5,2.5,";
  Restarted r(ref.save, &torn, ref.lab);
  r.w->c("CDcon").press();
  ASSERT_TRUE(r.host.messages.empty()) << r.host.messages[0].text;
  EXPECT_EQ(r.w->sim.orbitCount, kSavedOrbit);
}

TEST(SaveReload, TheRelativityLineIsRestoredAndLaterLinesArePassedOver) {
  const Reference& ref = reference();
  Restarted r(damaged(ref.save, 34, 2, "1") + "\"Later\",1,2,3\r\n", &ref.perihelia, ref.lab);
  MainWindow& w = *r.w;
  w.c("CDcon").press();
  ASSERT_TRUE(r.host.messages.empty()) << r.host.messages[0].text;
  EXPECT_TRUE(w.c("ChRelativity").checked());
  EXPECT_TRUE(w.sim.relativity);
  const std::string saved = saveText(w);
  const size_t at = saved.rfind("\"ChRelativity\"");
  EXPECT_EQ(saved.substr(at, saved.find('\n', at) + 1 - at), "\"ChRelativity\",1\r\n");
}

// A lab file that cannot be restored in full does not hold the reload back: one message says how
// many orbits' records were restored and why not the rest, and the next save writes the file
// afresh, so that the next reload restores it in full. A crash between the renames of the save
// and of the lab file written whole leaves the latter in its temporary file, where it is found.
TEST(SaveReload, ALabFileNotRestoredInFullIsReportedOnceAndWrittenAfresh) {
  const Reference& ref = reference();
  const std::string& lab = ref.lab;  // written whole at orbit 1, then orbit 2's records appended
  std::string otherRun = lab;
  otherRun.replace(otherRun.rfind(',', otherRun.find("\r\n")) + 1,
                   otherRun.find("\r\n") - otherRun.rfind(',', otherRun.find("\r\n")) - 1, "7");
  std::string damagedSummary = lab;
  damagedSummary.replace(damagedSummary.find("\"U\",") + 4, 1, "x");
  const struct {
    const char* what;
    std::string file, temp;
    int restored;
    const char* problem;
  } cases[] = {
      {"missing", "", "", 0, "orbit-lab.txt cannot be read (No such file"},
      {"cut inside the last save's records", lab.substr(0, lab.rfind("\"O\",") + 40), "", 1,
       "orbit-lab.txt, line"},
      {"a damaged summary", damagedSummary, "", 0, "orbit-lab.txt, line 7, field 2"},
      {"of another run", otherRun, "", 0, "orbit-lab.txt belongs to another run"},
      {"a directory", "/", "", 0, "it is not a regular file"},
      {"too large", "+", "", 0, "larger than 67108864 bytes"},
      {"renamed late", otherRun, lab, 2, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restarted r(ref.save, &ref.perihelia);
    const fs::path file = data(r.host, kLabFileName);
    if (c.file == "/") fs::create_directory(file);
    if (c.file == "+") {
      writeFile(file, lab);
      fs::resize_file(file, kMaxLabBytes + 1);
    } else if (!c.file.empty() && c.file != "/") {
      writeFile(file, c.file);
    }
    if (!c.temp.empty()) writeFile(file.string() + ".tmp", c.temp);
    MainWindow& w = *r.w;
    w.c("CDcon").press();
    EXPECT_TRUE(w.c("CDcont").visible());
    EXPECT_EQ(w.sim.orbitCount, kSavedOrbit);
    EXPECT_EQ(w.lab.restoredOrbits, c.restored);
    if (!c.problem) {
      EXPECT_TRUE(r.host.messages.empty());
      EXPECT_EQ(readFile(file), lab);
      EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
      continue;
    }
    ASSERT_EQ(r.host.messages.size(), 1u);
    const std::string& text = r.host.messages[0].text;
    EXPECT_NE(text.find(c.problem), std::string::npos) << text;
    EXPECT_NE(
        text.find(c.restored ? "restored only in part, 1 of 2 orbits" : "could not be restored"),
        std::string::npos)
        << text;
  }

  // The next save writes afresh what the run holds.
  Restarted r(ref.save, &ref.perihelia, damagedSummary);
  MainWindow& w = *r.w;
  w.c("CDcon").press();
  r.host.onYield = [&](long) {
    if (w.sim.orbitCount == kSavedOrbit + 1) w.c("CDstop").press();
  };
  w.c("CDcont").press();
  WiredWindow again(r.host);
  again.c("CDcon").press();
  EXPECT_EQ(r.host.messages.size(), 1u);
  EXPECT_EQ(again.lab.restoredOrbits, w.lab.orbitsRecorded);
  EXPECT_EQ(again.lab.fit.n, w.lab.fit.n);
}

TEST(SaveReload, ADamagedSaveLeavesEverythingAsItWasAndSaysWhy) {
  const Reference& ref = reference();
  const std::string pp = ref.perihelia;
  std::string fewer = pp.substr(0, pp.find("\r\n", pp.find("\r\n") + 2) + 2);  // header and slot 0
  struct Case {
    const char* what;
    std::string save;
    const std::string* perihelia;
    std::string status, problem;
  } cases[] = {
      {"truncated", ref.save.substr(0, ref.save.size() / 2), &pp, "error", "orbit-save.txt"},
      {"cut inside a line", ref.save.substr(0, ref.save.size() - 7), &pp, "error",
       "orbit-save.txt, line 35"},
      {"not a number", damaged(ref.save, 3, 9, "1e5x"), &pp, "error",
       "orbit-save.txt, line 3, field 9: \"1e5x\" is not a number"},
      {"a body out of range", damaged(ref.save, 1, 3, "12"), &pp, "error",
       "orbit-save.txt, line 1, field 3"},
      {"zero time factor", damaged(ref.save, 3, 9, "0"), &pp, "error",
       "orbit-save.txt, line 3, field 9"},
      {"no perihelion file", ref.save, nullptr, "errorer", "orbit-pp.txt cannot be read"},
      {"fewer perihelion records", ref.save, &fewer, "errorer",
       "orbit-pp.txt: 1 of the 2 perihelion records"},
      {"no save file", "", &pp, "error", "orbit-save.txt"},
      {"neither file", "", nullptr, "errorer",
       "orbit-save.txt cannot be read (No such file or directory); orbit-pp.txt cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Restarted r(c.save, c.perihelia);
    if (c.save.empty()) fs::remove(data(r.host, kSaveFileName));
    MainWindow& w = *r.w;
    Snapshot before(w);
    ReloadResult result = CDcon_Click(w);
    EXPECT_EQ(result.loadStatus, c.status);
    EXPECT_TRUE(Snapshot(w) == before);
    // An attempt, failed or not, hides the button and the picture over the drawing.
    EXPECT_FALSE(w.c("CDcon").visible());
    EXPECT_FALSE(w.c("ImMoon").visible());
    ASSERT_EQ(r.host.messages.size(), 1u);
    const std::string& text = r.host.messages[0].text;
    EXPECT_EQ(text.rfind(kNoReloadText, 0), 0u) << text;
    EXPECT_NE(text.find(c.problem), std::string::npos) << text;
  }
}

// Numbers a damaged save may hold that read well but would turn into infinities in the run.
TEST(SaveReload, ASaveThatWouldOverflowTheRunIsRefused) {
  const Reference& ref = reference();
  const struct {
    const char* what;
    int line, field;
    const char* value;
    const char* says = "would overflow the calculation";
  } cases[] = {{"a tiny time factor", 3, 9, "1E-301"},
               {"a time factor not that of the rate", 3, 9, "1E-300", "is not that of time rate"},
               {"a position near the largest double", 13, 1, "1e308"},
               {"a period below the normal doubles", 3, 8, "1e-320"},
               {"a marker angle near the largest double", 4, 8, "1e308"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restarted r(damaged(ref.save, c.line, c.field, c.value), &ref.perihelia);
    Snapshot before(*r.w);
    EXPECT_EQ(CDcon_Click(*r.w).loadStatus, "error");
    EXPECT_TRUE(Snapshot(*r.w) == before);
    ASSERT_EQ(r.host.messages.size(), 1u);
    EXPECT_NE(r.host.messages[0].text.find(c.says), std::string::npos) << r.host.messages[0].text;
  }
}

TEST(SaveReload, RandomDamageNeverBreaksTheReader) {
  const Reference& ref = reference();
  Restarted r(ref.save, &ref.perihelia);
  MainWindow& w = *r.w;
  std::mt19937 rng(20240301);
  const std::string alphabet = "0123456789.,-+eE#\"\r\n x";
  int refused = 0, taken = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string save = ref.save, pp = ref.perihelia;
    std::string& target = (i % 4 == 3) ? pp : save;
    const int edits = 1 + int(rng() % 4);
    for (int e = 0; e < edits && !target.empty(); ++e) {
      const size_t at = rng() % target.size();
      switch (rng() % 5) {
        case 0:
          target[at] = alphabet[rng() % alphabet.size()];
          break;
        case 1:
          target.erase(at, 1 + rng() % 20);
          break;
        case 2:
          target.insert(at, 1, alphabet[rng() % alphabet.size()]);
          break;
        case 3:
          target.resize(at);
          break;
        default:
          target.insert(at, target.substr(rng() % target.size(), 30));
          break;
      }
    }
    writeFile(data(r.host, kSaveFileName), save);
    writeFile(data(r.host, kPerihelionFileName), pp);
    ReloadResult result = CDcon_Click(w);
    (result.loadStatus.empty() ? taken : refused)++;
    if (!result.loadStatus.empty()) {
      EXPECT_FALSE(result.problem.empty());
    }
    for (int k = 0; k < kMaxBodies; ++k) ASSERT_TRUE(std::isfinite(w.sim.velX[k]));
  }
  EXPECT_GT(refused, 1500);
}

// Whatever the inputs accept, a save holds and a reload takes back as it was: a run paused after
// its first orbit, driven as a user would with the extreme values each input accepts (or
// refuses), saved as the run saves at an orbit, and reloaded in a window started afresh.
TEST(SaveReload, ASaveOfWhateverTheInputsAcceptReloadsAsItWas) {
  const double edge = kPositionLimit * 0.999;
  const std::vector<std::vector<std::string>> drives = {
      {"TXTgravity=2.2e297", "opGee(0)=1"},
      {"TXTgravity=1e-300", "opGee(0)=1"},
      {"TXTgravity=1e309", "opGee(0)=1"},  // refused: the G in force stays
      {"Qui=1", "TXTp(4)=1e300"},
      {"Qui=1", "TXTp(4)=-1e-300"},
      {"Qui=1", "TXTp(2)=1.7e308", "Optime(17)=1"},  // the rate is refused, the motion kept
      {"Qui=1", "TXTp(3)=1e-307", "Optime(0)=1"},
      {"Qui=2", "Chon=1", "TXTp(5)=-1e300"},
      {"Optime(17)=1", "HStheta=9999", "TXproximity=1e309"},
      {"Chend=2", "ChZX=2", "ChZAxis=2", "Chalt=2", "ChAvg=2", "ChSnap=2", "CHquick=2", "ChAPE=2",
       "ChDraw=2", "ChEach=2", "ChRelativity=2"},
      {"TXgexp=1e309"},  // read as the largest double
      {"TXgexp=-4.9e-324x"},
  };
  for (const auto& drive : drives) {
    std::string what;
    for (const std::string& d : drive) what += d + " ";
    SCOPED_TRACE(what);
    TestHost host;
    WiredWindow w(host);
    host.onYield = [&](long) {
      if (w.sim.orbitCount >= 1) w.c("CDstop").press();
    };
    w.c("CDp", kFastPreset).press();
    ASSERT_EQ(w.sim.orbitCount, 1);
    // A position at the edge of the range, in the depth of body 1.
    w.c("Qui").setValue(1);
    Control& depth = w.c("TXTp", 6);
    depth.typeText(text::plain(edge / w.sim.distScale + w.sim.viewOffsetZ));
    depth.lostFocus();
    ASSERT_GT(std::abs(w.sim.posZ[1]), kPositionLimit / 2);
    for (const std::string& d : drive) {
      Setting setting;
      std::string error;
      ASSERT_TRUE(resolveSetting(w.panel, d, setting, error)) << error;
      ASSERT_TRUE(applySetting(setting));
    }
    SavePerPre(w);
    SaveOrbit(w);
    settleSaves(w);
    ASSERT_EQ(readFile(data(host, kSaveFileName)), saveText(w));

    WiredWindow again(host);
    const ReloadResult r = CDcon_Click(again);
    ASSERT_EQ(r.loadStatus, "") << r.problem;
    const SimState &was = w.sim, &is = again.sim;
    for (const auto& [now, then] : {std::pair{is.posX, was.posX},
                                    {is.posZ, was.posZ},
                                    {is.velX, was.velX},
                                    {is.velY, was.velY},
                                    {is.velZ, was.velZ},
                                    {is.bodyMass, was.bodyMass}})
      EXPECT_EQ(now, then);
    EXPECT_EQ(is.gravConstant, was.gravConstant);
    EXPECT_EQ(is.timeFactor, was.timeFactor);
    EXPECT_EQ(is.bodyOff, was.bodyOff);
    EXPECT_EQ(text::val(again.c("TXgexp").text()), text::val(w.c("TXgexp").text()));
  }
}

// A window in the middle of a run of its own, for the edges of the save.
struct Saving : ::testing::Test {
  TestHost host;
  WiredWindow w{host};
  void SetUp() override {
    host.onYield = [&](long n) {
      if (n == 5) w.c("CDstop").press();
    };
    w.c("CDp", kFastPreset).press();
    host.messages.clear();
  }
  std::vector<persist::Record> records(const char* name) {
    return persist::splitRecords(readFile(data(host, name)), name);
  }
};

TEST_F(Saving, TheFirstOrbitAppendsSlotZeroWithItsDates) {
  w.sim.orbitCount = 1;
  w.clock.orbitMinDates[0] = text::Date::fromYmd(1940, 2, 3);
  w.clock.orbitMaxDates[0] = text::Date::fromYmd(1940, 3, 4);
  SavePerPre(w);
  SaveOrbit(w);
  settleSaves(w);
  auto pp = records(kPerihelionFileName);
  ASSERT_EQ(pp.size(), 2u);
  EXPECT_EQ(pp[1].fields[0].text, "0");
  auto save = records(kSaveFileName);
  EXPECT_EQ(save[11].fields[4].text, "1940-02-03");
  EXPECT_EQ(save[11].fields[5].text, "1940-03-04");
  EXPECT_FALSE(fs::exists(data(host, "orbit-save.txt.tmp")));
}

TEST_F(Saving, AtTenThousandOrbitsOnlyTheSaveIsWrittenAndItReloads) {
  // The perihelion file of a run that saved every one of its first 9999 orbits.
  std::string pp = "\"Perihelion Precession details follow:\"\r\n";
  for (int o = 0; o <= 9998; ++o) {
    persist::RecordWriter rec;
    rec.whole(o)
        .number(o * 1.5)
        .number(2)
        .number(3)
        .number(4)
        .number(o * 0.001)
        .whole(o + 1)
        .whole(4)
        .whole(0)
        .whole(0);
    rec.end();
    pp += rec.text();
  }
  writeFile(data(host, kPerihelionFileName), pp);
  w.scenario.recordsStarted = true;  // the run that wrote them
  w.scenario.runId = 0;
  w.sim.orbitCount = 10000;
  SavePerPre(w);
  SaveOrbit(w);
  settleSaves(w);
  EXPECT_EQ(readFile(data(host, kPerihelionFileName)), pp);
  auto save = records(kSaveFileName);
  EXPECT_EQ(save[11].fields[4].text, "0");
  EXPECT_EQ(save[11].fields[5].text, "0");

  WiredWindow again(host);
  ASSERT_EQ(CDcon_Click(again).loadStatus, "");
  EXPECT_EQ(again.sim.orbitCount, 10000);
  EXPECT_EQ(again.markers.markerTheta[9998], 9998 * 0.001);
  EXPECT_EQ(again.markers.markerOrbit[5000], 5001);
}

TEST_F(Saving, ASaveThatCannotBeWrittenStopsSavingOnceAndKeepsTheLastGoodSave) {
  SaveOrbit(w);
  settleSaves(w);
  const std::string good = readFile(data(host, kSaveFileName));
  ASSERT_FALSE(good.empty());
  // The place of the temporary file is taken, so the new save cannot be made.
  fs::create_directory(data(host, "orbit-save.txt.tmp"));
  w.sim.cycleCount += 1000;
  SaveOrbit(w);
  settleSaves(w);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(data(host, kSaveFileName).string()), std::string::npos);
  EXPECT_NE(host.messages[0].text.find("could not be written"), std::string::npos);
  EXPECT_EQ(readFile(data(host, kSaveFileName)), good);
  // Saving has stopped for this run: no second message, nothing appended.
  const std::string pp = readFile(data(host, kPerihelionFileName));
  w.sim.orbitCount = 3;
  SavePerPre(w);
  SaveOrbit(w);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(readFile(data(host, kPerihelionFileName)), pp);
}

// The save is replaced on the disk behind the run; a replacement the disk refuses is still
// reported within the run, once, and the last good save stays.
TEST_F(Saving, AReplacementRefusedBehindTheRunIsReportedBeforeTheRunEnds) {
  const fs::path save = data(host, kSaveFileName);
  fs::remove(save);
  fs::create_directories(save / "taken");
  host.onYield = [&](long) {
    if (w.sim.orbitCount >= 3) w.c("CDstop").press();
  };
  w.c("CDp", kFastPreset).press();
  ASSERT_GE(w.sim.orbitCount, 3);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(save.string()), std::string::npos);
  EXPECT_TRUE(fs::is_directory(save / "taken"));
  EXPECT_FALSE(fs::exists(data(host, "orbit-save.txt.tmp")));
  // Saving stopped with the failure, and the new run's records never replaced the old ones.
  EXPECT_FALSE(fs::exists(data(host, kPerihelionFileName)));
  EXPECT_FALSE(fs::exists(data(host, "orbit-pp.txt.tmp")));

  // A run that ends between orbits reports it too.
  host.messages.clear();
  host.onYield = [&](long) {
    if (w.sim.orbitCount >= 1) w.c("CDstop").press();
  };
  w.c("CDp", kFastPreset).press();
  EXPECT_EQ(host.messages.size(), 1u);
}

TEST_F(Saving, APerihelionFileThatCannotBeAppendedIsReportedOnce) {
  fs::remove(data(host, kPerihelionFileName));
  fs::create_directory(data(host, kPerihelionFileName));
  w.sim.orbitCount = 2;
  SavePerPre(w);
  SaveOrbit(w);
  settleSaves(w);
  SavePerPre(w);
  SaveOrbit(w);
  settleSaves(w);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find("orbit-pp.txt"), std::string::npos);
}

}  // namespace
}  // namespace orbits
