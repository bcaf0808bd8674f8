#include "analysis/lab_file.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

#include "analysis/data_file.h"
#include "analysis/perihelia.h"
#include "persist/record_format.h"
#include "persist/save_files.h"
#include "window/main_window.h"

namespace orbits {

namespace {

using persist::FieldReader;
using persist::FormatError;
using persist::Record;
using persist::RecordWriter;

// The first line of the file: its kind, version and the run it belongs to. Files of version 1
// have the old header alone and one record per orbit. Version 3 added the longitude of
// perihelion: its fit in the summary ("FV"), and the orbit under way's longitudes in "U".
constexpr const char* kHeader = "Lab records";
constexpr const char* kOldHeader = "Lab records: P perihelion, O orbit";
constexpr int64_t kVersion = 3;
constexpr int64_t kLongitudeVersion = 3, kEarliestSummaryVersion = 2;
constexpr int64_t kLargestCount = int64_t(1) << 52;
// A perihelion's record: its kind and five figures, then its longitude where one was measured
// (files written before it have none).
constexpr size_t kPerihelionFields = 6;
// An orbit's record: its kind, ten figures, the watched body and eight sky angles, then its
// perihelion's longitude where one was measured (version 1 files written before the sky angles
// have the first eleven only).
constexpr size_t kOrbitFields = 20, kOrbitFieldsWithoutSky = 11;
// The summary's record of the lab's state: its kind and five figures, then four more (the orbit
// under way's longitudes) from version 3.
constexpr size_t kStateFields = 9, kStateFieldsWithLongitude = 13;
constexpr size_t kBucketFields = 6;  // its kind and five figures, then four per quantity
// The name readers of a record keep a reference to.
const std::string kName = kLabFileName;

// The CSV names of the charts' quantities, in the order of LabChannel.
constexpr const char* kChannelNames[kLabChannels] = {
    "closest_km",      "farthest_km",       "period_days",
    "max_error_pct",   "perihelion_arcsec", "marker_arcsec",
    "sky_angle_deg_1", "sky_angle_deg_2",   "sky_angle_deg_3",
    "sky_angle_deg_4", "sky_angle_deg_5",   "sky_angle_deg_6",
    "sky_angle_deg_7", "sky_angle_deg_8",   "perihelion_longitude_arcsec"};

std::string shortest(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// A figure that does not exist (the sky outside the theory's years) is an empty cell.
std::string cell(double v) { return std::isfinite(v) ? shortest(v) : std::string(); }

// A figure of the orbit's perihelion; none when the orbit had none.
double peri(const OrbitRecord& r, double v) { return r.hasPerihelion() ? v : NAN; }

void writePerihelion(RecordWriter& out, const char* kind, const ExactPerihelion& p) {
  out.str(kind).whole(p.orbit).number(p.cycle).number(p.days).number(p.distKm).number(p.angle);
  if (std::isfinite(p.varpi)) out.number(p.varpi);
  out.end();
}

ExactPerihelion readPerihelion(const Record& rec) {
  const bool withVarpi = rec.fields.size() == kPerihelionFields + 1;
  FieldReader f(rec, kName, kPerihelionFields + (withVarpi ? 1 : 0));
  (void)f.str();
  ExactPerihelion p;
  p.orbit = f.int32(), p.cycle = f.number(), p.days = f.number();
  p.distKm = f.number(), p.angle = f.number();
  if (withVarpi) p.varpi = f.number();
  return p;
}

void writeOrbit(RecordWriter& out, const char* kind, const OrbitRecord& r) {
  out.str(kind).whole(r.orbit).number(r.cycle).number(r.days).number(r.periodDays);
  out.number(r.minKm).number(r.maxKm).number(r.periDays).number(r.periAngle);
  out.number(r.markerAngle).number(r.maxErrPct).whole(r.skyBody);
  // The sky angles, -1 where there is none.
  for (size_t k = 1; k <= 8; ++k)
    out.number(std::isfinite(r.skyAngleDeg[k]) ? r.skyAngleDeg[k] : -1);
  if (std::isfinite(r.periVarpi)) out.number(r.periVarpi);
  out.end();
}

OrbitRecord readOrbit(const Record& rec) {
  const bool withSky = rec.fields.size() != kOrbitFieldsWithoutSky;
  const bool withVarpi = rec.fields.size() == kOrbitFields + 1;
  FieldReader f(rec, kName,
                withVarpi ? kOrbitFields + 1
                : withSky ? kOrbitFields
                          : kOrbitFieldsWithoutSky);
  (void)f.str();
  OrbitRecord r;
  r.orbit = f.int32(), r.cycle = f.number(), r.days = f.number(), r.periodDays = f.number();
  r.minKm = f.number(), r.maxKm = f.number(), r.periDays = f.number();
  r.periAngle = f.number(), r.markerAngle = f.number(), r.maxErrPct = f.number();
  if (withSky) {
    r.skyBody = int32_t(f.whole(0, 8));
    for (size_t k = 1; k <= 8; ++k)
      if (const double a = f.number(); a >= 0) r.skyAngleDeg[k] = a;
  }
  if (withVarpi) r.periVarpi = f.number();
  return r;
}

void writeFit(RecordWriter& out, const char* kind, const PrecessionFit& f) {
  out.str(kind).whole(f.n).number(f.meanX).number(f.meanY).number(f.sxx).number(f.sxy);
  out.number(f.syy);
  out.end();
}

PrecessionFit readFit(const Record& rec) {
  FieldReader f(rec, kName, 7);
  (void)f.str();
  PrecessionFit fit;
  fit.n = f.whole(0, kLargestCount), fit.meanX = f.number(), fit.meanY = f.number();
  fit.sxx = f.number(), fit.sxy = f.number(), fit.syy = f.number();
  return fit;
}

void writeExtent(RecordWriter& out, const Extent& e) {
  out.numberOrEmpty(e.loX).numberOrEmpty(e.lo).numberOrEmpty(e.hiX).numberOrEmpty(e.hi);
}

Extent readExtent(FieldReader& f) {
  Extent e;
  e.loX = f.numberOrNaN(), e.lo = f.numberOrNaN(), e.hiX = f.numberOrNaN(), e.hi = f.numberOrNaN();
  if (std::isnan(e.lo) != std::isnan(e.hi) || (!e.empty() && !(e.lo <= e.hi)))
    f.fail("not a range");
  return e;
}

// The records made since the last save, in the order the run made them: the perihelia of an
// orbit before its record, which comes before the perihelia of the next.
void writeRecords(RecordWriter& out, const LabFileState& f) {
  size_t p = 0;
  for (const OrbitRecord& r : f.orbits) {
    for (; p < f.perihelia.size() && f.perihelia[p].orbit <= r.orbit; ++p)
      writePerihelion(out, "P", f.perihelia[p]);
    writeOrbit(out, "O", r);
  }
  for (; p < f.perihelia.size(); ++p) writePerihelion(out, "P", f.perihelia[p]);
}

// The end of a save's records: the cycle count of that save.
void writeSaveEnd(RecordWriter& out, double cycleCount) {
  out.str("E").number(cycleCount);
  out.end();
}

// Calls `take` with every record of the file in order, each with its line; returns what was
// wrong with the first one that could not be read ("" when none), where the reading stopped.
template <typename Take>
std::string eachRecord(std::string_view content, Take take) {
  int line = 0;
  try {
    for (size_t pos = 0; pos < content.size();) {
      size_t end = content.find('\n', pos);
      if (end == std::string_view::npos) end = content.size();
      std::string_view text = content.substr(pos, end - pos);
      pos = end + 1;
      ++line;
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      if (text.empty()) continue;
      std::vector<Record> recs = persist::splitRecords(text, kName);
      if (recs.empty()) continue;
      recs[0].line = line;
      if (!take(recs[0])) break;
    }
  } catch (const FormatError& e) {
    std::string what = e.what();
    // splitRecords counts from the line it was given.
    if (what.rfind(kName + ", line 1:", 0) == 0)
      what = kName + ", line " + std::to_string(line) + what.substr(kName.size() + 8);
    return what;
  }
  return {};
}

std::string kindOf(const Record& rec) {
  return rec.fields.empty() || rec.fields[0].kind != persist::FieldKind::Quoted
             ? std::string()
             : rec.fields[0].text;
}

// Reads a file of version 2 or 3: its summary, then the records of each save whose end is not
// later than the target.
class SummaryReader {
 public:
  SummaryReader(const LabTarget& t, int64_t version, LabState& lab)
      : t_(t), version_(version), lab_(lab) {}

  // Takes one record; false once the rest of the file is of no use.
  bool take(const Record& rec) {
    const std::string kind = kindOf(rec);
    if (!summarised_) return summary(kind, rec);
    if (kind == "P") {
      batch_.perihelia.push_back(readPerihelion(rec));
    } else if (kind == "O") {
      batch_.orbits.push_back(readOrbit(rec));
    } else if (kind == "E") {
      FieldReader f(rec, kName, 2);
      (void)f.str();
      if (f.number() > t_.cycleCount) return false;  // a save after the reloaded one
      applyBatch();
    }
    return true;
  }
  // Why the summary could not be used; "" when it could.
  std::string problem() const {
    if (!summarised_) return kName + " ends before its summary";
    return later_ ? kName + " was written after the save" : std::string();
  }

 private:
  bool summary(const std::string& kind, const Record& rec) {
    if (kind == "F") {
      lab_.fit = readFit(rec);
    } else if (kind == "FV") {
      lab_.varpiFit = readFit(rec);
    } else if (kind == "P0") {
      lab_.firstPerihelion = readPerihelion(rec);
    } else if (kind == "PL") {
      lab_.lastPerihelion = readPerihelion(rec);
    } else if (kind == "OL") {
      lab_.lastOrbit = readOrbit(rec);
    } else if (kind == "U") {
      const bool withLongitude = version_ >= kLongitudeVersion;
      FieldReader f(rec, kName, withLongitude ? kStateFieldsWithLongitude : kStateFields);
      (void)f.str();
      const double cycle = f.number();
      lab_.orbitsRecorded = f.whole(0, kLargestCount);
      lab_.lastMarker = f.numberOrNaN();
      lab_.orbitErrMax = f.number();
      lab_.orbitPerihelia = readExtent(f);
      if (withLongitude) lab_.orbitVarpi = readExtent(f);
      if (cycle > t_.cycleCount) {
        later_ = true;
        return false;
      }
    } else if (kind == "S") {
      seriesDone(rec);
      FieldReader f(rec, kName, 5);
      (void)f.str();
      const std::string name = f.str();
      into_ = name == "orbits" ? &lab_.series : name == "sky" ? &lab_.sky : nullptr;
      const int64_t perBucket = f.whole(1, kLargestCount);
      buckets_ = size_t(f.whole(0, int64_t(ThinnedSeries::kMaxBuckets)));
      channels_ = size_t(f.whole(0, 1000));
      read_ = 0;
      if (into_) {
        into_->perBucket = perBucket;
        into_->buckets.reserve(ThinnedSeries::kMaxBuckets);
      }
    } else if (kind == "B") {
      const SeriesBucket b = readBucket(rec);
      if (++read_ > buckets_)
        throw FormatError(kName + ", line " + std::to_string(rec.line) +
                          ": more buckets than its series has");
      if (into_) into_->buckets.push_back(b);
    } else if (kind == "Z") {
      seriesDone(rec);
      summarised_ = true;
    } else {
      throw FormatError(kName + ", line " + std::to_string(rec.line) +
                        ": not a part of the summary");
    }
    return true;
  }

  // The series before `rec` has all its buckets.
  void seriesDone(const Record& rec) const {
    if (read_ != buckets_)
      throw FormatError(kName + ", line " + std::to_string(rec.line) + ": " +
                        std::to_string(read_) + " of the series' " + std::to_string(buckets_) +
                        " buckets");
  }

  SeriesBucket readBucket(const Record& rec) const {
    FieldReader f(rec, kName, kBucketFields + 4 * channels_);
    (void)f.str();
    SeriesBucket b;
    b.firstOrbit = f.int32(), b.lastOrbit = f.int32();
    b.records = f.whole(1, kLargestCount);
    b.firstDays = f.number(), b.lastDays = f.number();
    // Quantities of a later version beyond those known here are passed over.
    for (size_t c = 0; c < channels_; ++c) {
      const Extent e = readExtent(f);
      if (c < kLabChannels) b.channels[c] = e;
    }
    return b;
  }

  void applyBatch() {
    size_t p = 0;
    for (const OrbitRecord& r : batch_.orbits) {
      for (; p < batch_.perihelia.size() && batch_.perihelia[p].orbit <= r.orbit; ++p)
        addPerihelion(lab_, batch_.perihelia[p], t_.siderealYearSecs);
      addOrbitRecord(lab_, r);
    }
    for (; p < batch_.perihelia.size(); ++p)
      addPerihelion(lab_, batch_.perihelia[p], t_.siderealYearSecs);
    batch_ = LabFileState{};
  }

  const LabTarget& t_;
  int64_t version_;
  LabState& lab_;
  bool summarised_ = false, later_ = false;
  ThinnedSeries* into_ = nullptr;  // the series being read; none for one unknown here
  size_t buckets_ = 0, channels_ = 0, read_ = 0;
  LabFileState batch_;  // the records of one save, applied when its end is read
};

// A file of version 1: one record per orbit and perihelion, appended with every save and never
// summarised; a reload wrote the records after its save again, and those written later replace
// the earlier ones from the same cycle on.
std::string readVersion1(std::string_view content, const LabTarget& t, LabState& lab) {
  // Which records stand: those before every later record of their kind.
  std::vector<std::pair<bool, double>> seen;  // an orbit's record, and its cycle
  bool header = true;
  const std::string damage = eachRecord(content, [&](const Record& rec) {
    const std::string kind = kindOf(rec);
    if (std::exchange(header, false)) return true;
    if (kind == "P") seen.emplace_back(false, readPerihelion(rec).cycle);
    if (kind == "O") seen.emplace_back(true, readOrbit(rec).cycle);
    return true;
  });
  std::vector<bool> stands(seen.size());
  double laterOrbit = INFINITY, laterPerihelion = INFINITY;
  for (size_t i = seen.size(); i-- > 0;) {
    double& later = seen[i].first ? laterOrbit : laterPerihelion;
    stands[i] = seen[i].second < later;
    later = std::min(later, seen[i].second);
  }
  size_t i = 0;
  header = true;
  eachRecord(content, [&](const Record& rec) {
    const std::string kind = kindOf(rec);
    if (std::exchange(header, false) || (kind != "P" && kind != "O")) return true;
    if (i >= seen.size()) return false;  // the damaged record
    const bool take = stands[i++];
    if (kind == "P") {
      const ExactPerihelion p = readPerihelion(rec);
      if (take && p.cycle <= t.cycleCount) addPerihelion(lab, p, t.siderealYearSecs);
    } else {
      const OrbitRecord r = readOrbit(rec);
      if (take && r.cycle <= t.cycleCount) addOrbitRecord(lab, r);
    }
    return true;
  });
  return damage;
}

// Reads the file at `path`; `problem` says why the lab could not be restored in full.
LabState readLabAt(const std::string& path, const LabTarget& t, std::string& problem) {
  std::string content;
  try {
    content = readBounded(path, kLabFileName, kMaxLabBytes);
  } catch (const FormatError& e) {
    problem = e.what();
    return {};
  }
  return readLabFile(content, t, problem);
}

}  // namespace

const std::vector<SeriesColumn>& seriesColumns() {
  static const std::vector<SeriesColumn> columns = {
      {"orbit", [](const OrbitRecord& r) { return double(r.orbit); }},
      {"cycle", [](const OrbitRecord& r) { return r.cycle; }},
      {"elapsed_days", [](const OrbitRecord& r) { return r.days; }},
      {"period_days", [](const OrbitRecord& r) { return r.periodDays; }},
      {"closest_km", [](const OrbitRecord& r) { return r.minKm; }},
      {"farthest_km", [](const OrbitRecord& r) { return r.maxKm; }},
      // An orbit without a perihelion or a marker has no such figures: empty cells, not 0.
      {"perihelion_days", [](const OrbitRecord& r) { return peri(r, r.periDays); }},
      {"perihelion_arcsec", [](const OrbitRecord& r) { return peri(r, r.periAngle); }},
      {"marker_arcsec",
       [](const OrbitRecord& r) { return r.markerAngle != 0 ? r.markerAngle : NAN; }},
      {"max_error_pct", [](const OrbitRecord& r) { return r.maxErrPct; }},
      {"sky_angle_deg", [](const OrbitRecord& r) { return r.watchedSkyAngle(); }},
      {"perihelion_longitude_arcsec", [](const OrbitRecord& r) { return peri(r, r.periVarpi); }},
  };
  return columns;
}

void writeSeriesHeader(std::ostream& out) {
  const auto& columns = seriesColumns();
  for (size_t c = 0; c < columns.size(); ++c) out << (c ? "," : "") << columns[c].name;
  out << "\n";
}

void writeSeriesRow(const OrbitRecord& r, std::ostream& out) {
  const auto& columns = seriesColumns();
  for (size_t c = 0; c < columns.size(); ++c) out << (c ? "," : "") << cell(columns[c].value(r));
  out << "\n";
}

void writeChartsCsv(const LabState& lab, std::ostream& out) {
  out << "series,orbit_from,orbit_to,orbits,elapsed_days_from,elapsed_days_to";
  for (const char* name : kChannelNames) out << "," << name << "_min," << name << "_max";
  out << "\n";
  for (const auto& [name, series] : {std::pair{"orbits", &lab.series}, {"sky", &lab.sky}})
    for (const SeriesBucket& b : series->buckets) {
      out << name << "," << b.firstOrbit << "," << b.lastOrbit << "," << b.records << ","
          << shortest(b.firstDays) << "," << shortest(b.lastDays);
      for (const Extent& e : b.channels) out << "," << cell(e.lo) << "," << cell(e.hi);
      out << "\n";
    }
}

std::string labWholeText(const MainWindow& w) {
  const LabState& lab = w.lab;
  RecordWriter out;
  out.str(kHeader).whole(kVersion).whole(int64_t(w.scenario.runId));
  out.end();
  writeFit(out, "F", lab.fit);
  writeFit(out, "FV", lab.varpiFit);
  writePerihelion(out, "P0", lab.firstPerihelion);
  writePerihelion(out, "PL", lab.lastPerihelion);
  writeOrbit(out, "OL", lab.lastOrbit);
  out.str("U").number(w.sim.cycleCount).whole(lab.orbitsRecorded).numberOrEmpty(lab.lastMarker);
  out.number(lab.orbitErrMax);
  writeExtent(out, lab.orbitPerihelia);
  writeExtent(out, lab.orbitVarpi);
  out.end();
  for (const auto& [name, series] : {std::pair{"orbits", &lab.series}, {"sky", &lab.sky}}) {
    out.str("S").str(name).whole(series->perBucket).whole(int64_t(series->buckets.size()));
    out.whole(int64_t(kLabChannels));
    out.end();
    for (const SeriesBucket& b : series->buckets) {
      out.str("B").whole(b.firstOrbit).whole(b.lastOrbit).whole(b.records);
      out.number(b.firstDays).number(b.lastDays);
      for (const Extent& e : b.channels) writeExtent(out, e);
      out.end();
    }
  }
  out.str("Z");
  out.end();
  return out.text();
}

persist::WriteBehind::Side labSaveText(MainWindow& w) {
  LabFileState& f = w.lab.file;
  if (!f.wholeDue && f.appendedBytes > std::max(kLabAppendAllowance, 2 * f.wholeBytes))
    f.wholeDue = true;
  persist::WriteBehind::Side side;
  if (f.wholeDue) {
    side = {labWholeText(w), true};
    f.wholeBytes = side.text.size();
    f.appendedBytes = 0;
  } else {
    RecordWriter out;
    writeRecords(out, f);
    writeSaveEnd(out, w.sim.cycleCount);
    side = {out.text(), false};
    f.appendedBytes += side.text.size();
  }
  f.perihelia.clear();
  f.orbits.clear();
  f.wholeDue = false;
  return side;
}

LabState readLabFile(const std::string& content, const LabTarget& t, std::string& problem) {
  LabState lab;
  // The header names the version and, from version 2, the run.
  std::string damage;
  int64_t version = 0;
  damage = eachRecord(content, [&](const Record& rec) {
    if (kindOf(rec) == kOldHeader && rec.fields.size() == 1) {
      version = 1;
    } else if (kindOf(rec) == kHeader) {
      FieldReader f(rec, kName, 3);
      (void)f.str();
      version = f.whole(2, kLargestCount);
      const uint64_t run = uint64_t(f.whole(0, kLargestCount));
      if (version >= kEarliestSummaryVersion && version <= kVersion && t.runId != 0 && run != 0 &&
          run != t.runId)
        version = -1;
    }
    return false;
  });
  if (version == 1) {
    damage = readVersion1(content, t, lab);
  } else if (version >= kEarliestSummaryVersion && version <= kVersion) {
    SummaryReader reader(t, version, lab);
    bool first = true;
    damage = eachRecord(content, [&](const Record& rec) {
      if (std::exchange(first, false)) return true;
      return reader.take(rec);
    });
    if (damage.empty()) damage = reader.problem();
    if (!reader.problem().empty()) lab = LabState{};  // the summary is of no use alone
  } else if (damage.empty()) {
    damage = version < 0          ? kName + " belongs to another run"
             : content.empty()    ? kName + " is empty"
             : version > kVersion ? kName + " is of a later version"
                                  : kName + ", line 1: not the lab's records";
  }
  problem = damage;
  if (problem.empty() && t.orbits > 0 &&
      (lab.orbitsRecorded == 0 || lab.lastOrbit.orbit != t.orbits - 1))
    problem = lab.orbitsRecorded == 0
                  ? kName + " holds none of the save's orbits"
                  : kName + " ends at orbit " + std::to_string(lab.lastOrbit.orbit) + " of " +
                        std::to_string(t.orbits);
  return lab;
}

std::string labRestoreText(const LabState& lab) {
  const std::string rest = ". The lab's file is written afresh with the next save.";
  if (lab.restoredOrbits == 0)
    return "The lab's records of this run could not be restored (" + lab.restoreProblem +
           "): its charts and precise precession start again from here" + rest;
  return "The lab's records of this run were restored only in part, " +
         std::to_string(lab.restoredOrbits) + " of " + std::to_string(lab.restoreExpected) +
         " orbits (" + lab.restoreProblem + "): its charts and precise precession hold only those" +
         rest;
}

void reloadLabRecords(MainWindow& w) {
  const LabTarget t{w.scenario.runId, w.sim.cycleCount, int64_t(w.sim.orbitCount),
                    w.sim.siderealYearSecs};
  const std::string path = dataFilePath(w, kLabFileName);
  std::string problem;
  LabState lab = readLabAt(path, t, problem);
  if (!problem.empty()) {
    // A crash between the save's rename and that of a lab file written whole leaves the latter
    // complete in its temporary file.
    const std::string temp = path + ".tmp";
    std::string tempProblem;
    LabState fromTemp = readLabAt(temp, t, tempProblem);
    if (tempProblem.empty()) {
      lab = std::move(fromTemp);
      problem.clear();
      std::rename(temp.c_str(), path.c_str());
    }
  }
  lab.revision = w.lab.revision + 1;
  lab.restoreExpected = t.orbits;
  lab.restoredOrbits = lab.orbitsRecorded;
  lab.restoreProblem = problem;
  lab.file = LabFileState{};  // written whole with the next save
  w.lab = std::move(lab);
  if (!problem.empty()) w.host.messageBox(labRestoreText(w.lab), MainWindow::kTitle);
}

}  // namespace orbits
