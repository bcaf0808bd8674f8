#include "analysis/lab_file.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include "analysis/data_file.h"
#include "analysis/perihelia.h"
#include "persist/record_format.h"
#include "persist/save_files.h"
#include "window/main_window.h"

namespace orbits {

namespace {

using persist::FieldReader;
using persist::Record;
using persist::RecordWriter;

constexpr const char* kHeader = "Lab records: P perihelion, O orbit";
// An orbit's record: its kind, ten figures, the watched body and eight sky angles, then the
// perihelion's longitude where one was measured.
constexpr size_t kOrbitFieldsWithSky = 20;
// A perihelion's record: its kind and five figures, then its longitude where one was measured.
constexpr size_t kPerihelionFields = 6;

std::string shortest(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

double peri(const OrbitRecord& r, double v) { return r.hasPerihelion() ? v : NAN; }

// Drops records at or after `cycle` (written again after a reload), then adds `r`.
template <typename T>
void replaceTail(std::vector<T>& v, const T& r) {
  while (!v.empty() && v.back().cycle >= r.cycle) v.pop_back();
  v.push_back(r);
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

void writeSeriesCsv(const LabState& lab, std::ostream& out) {
  const auto& columns = seriesColumns();
  for (size_t c = 0; c < columns.size(); ++c) out << (c ? "," : "") << columns[c].name;
  out << "\n";
  for (const OrbitRecord& r : lab.orbits) {
    for (size_t c = 0; c < columns.size(); ++c) {
      // A figure that does not exist (the sky outside the theory's years) is an empty cell.
      const double v = columns[c].value(r);
      out << (c ? "," : "") << (std::isfinite(v) ? shortest(v) : "");
    }
    out << "\n";
  }
}

void startLabFile(MainWindow& w) {
  RecordWriter out;
  out.str(kHeader);
  out.end();
  writeDataFile(w, kLabFileName, out.text(), true);
}

void saveLabRecords(MainWindow& w) {
  LabState& lab = w.lab;
  RecordWriter out;
  for (size_t i = lab.savedPerihelia; i < lab.perihelia.size(); ++i) {
    const ExactPerihelion& p = lab.perihelia[i];
    out.str("P").whole(p.orbit).number(p.cycle).number(p.days).number(p.distKm).number(p.angle);
    if (std::isfinite(p.varpi)) out.number(p.varpi);
    out.end();
  }
  for (size_t i = lab.savedOrbits; i < lab.orbits.size(); ++i) {
    const OrbitRecord& r = lab.orbits[i];
    out.str("O").whole(r.orbit).number(r.cycle).number(r.days).number(r.periodDays);
    out.number(r.minKm).number(r.maxKm).number(r.periDays).number(r.periAngle);
    out.number(r.markerAngle).number(r.maxErrPct).whole(r.skyBody);
    // The sky angles, -1 where there is none.
    for (int k = 1; k <= 8; ++k)
      out.number(std::isfinite(r.skyAngleDeg[size_t(k)]) ? r.skyAngleDeg[size_t(k)] : -1);
    if (std::isfinite(r.periVarpi)) out.number(r.periVarpi);
    out.end();
  }
  if (out.text().empty()) return;
  if (writeDataFile(w, kLabFileName, out.text(), false)) {
    lab.savedPerihelia = lab.perihelia.size();
    lab.savedOrbits = lab.orbits.size();
  }
}

LabState readLabRecords(const std::string& content, double cycleCount, double siderealYearSecs) {
  LabState lab;
  std::vector<Record> recs;
  try {
    recs = persist::splitRecords(content, kLabFileName);
  } catch (const persist::FormatError&) {
    return lab;
  }
  try {
    for (size_t i = 1; i < recs.size(); ++i) {
      const Record& rec = recs[i];
      if (rec.fields.empty()) continue;
      const std::string kind = rec.fields[0].text;
      if (kind == "P") {
        const bool withVarpi = rec.fields.size() == kPerihelionFields + 1;
        FieldReader f(rec, kLabFileName, withVarpi ? kPerihelionFields + 1 : kPerihelionFields);
        (void)f.str();
        ExactPerihelion p;
        p.orbit = f.int32(), p.cycle = f.number(), p.days = f.number();
        p.distKm = f.number(), p.angle = f.number();
        if (withVarpi) p.varpi = f.number();
        if (p.cycle <= cycleCount) replaceTail(lab.perihelia, p);
      } else if (kind == "O") {
        // Files written before the sky angles were recorded have 11 fields; their orbits have none.
        const bool withVarpi = rec.fields.size() == kOrbitFieldsWithSky + 1;
        const bool withSky = withVarpi || rec.fields.size() == kOrbitFieldsWithSky;
        FieldReader f(rec, kLabFileName,
                      withVarpi ? kOrbitFieldsWithSky + 1
                      : withSky ? kOrbitFieldsWithSky
                                : 11);
        (void)f.str();
        OrbitRecord r;
        r.orbit = f.int32(), r.cycle = f.number(), r.days = f.number(), r.periodDays = f.number();
        r.minKm = f.number(), r.maxKm = f.number(), r.periDays = f.number();
        r.periAngle = f.number(), r.markerAngle = f.number(), r.maxErrPct = f.number();
        if (withSky) {
          r.skyBody = int32_t(f.whole(0, 8));
          for (int k = 1; k <= 8; ++k)
            if (const double a = f.number(); a >= 0) r.skyAngleDeg[size_t(k)] = a;
        }
        if (withVarpi) r.periVarpi = f.number();
        if (r.cycle <= cycleCount) replaceTail(lab.orbits, r);
      }
    }
  } catch (const persist::FormatError&) {
    // The records before the damaged one stand.
  }
  refit(lab, siderealYearSecs);
  return lab;
}

void reloadLabRecords(MainWindow& w) {
  // Read within bounds as the saves are (a FIFO of this name would block the reload); a file
  // that cannot be read leaves the lab empty.
  std::string content;
  try {
    content = readBounded(dataFilePath(w, kLabFileName), kLabFileName, kMaxLabBytes);
  } catch (const persist::FormatError&) {
  }
  const uint64_t revision = w.lab.revision;
  w.lab = readLabRecords(content, w.sim.cycleCount, w.sim.siderealYearSecs);
  w.lab.savedPerihelia = w.lab.perihelia.size();
  w.lab.savedOrbits = w.lab.orbits.size();
  w.lab.revision = revision + 1;
}

}  // namespace orbits
