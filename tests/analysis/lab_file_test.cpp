#include "analysis/lab_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "../support/test_host.h"
#include "analysis/perihelia.h"
#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

// The series file: a header, then one row per orbit with a value in every column that reads
// back as the number written; a figure that does not exist (the sky outside the theory's
// years, the perihelion of an orbit that had none) is an empty cell, never "nan" nor 0.
TEST(SeriesCsv, OneRowPerOrbitEveryColumnANumber) {
  std::vector<OrbitRecord> records;
  std::ostringstream out;
  writeSeriesHeader(out);
  for (int k = 0; k < 3; ++k) {
    OrbitRecord r;
    r.orbit = k, r.cycle = 30313.0 * k, r.days = 87.96875 * k + 1e-9, r.minKm = 45983860.90044967;
    r.periAngle = 601685.1543802584 + k, r.maxErrPct = 3.8e-06;
    if (k > 0) r.periDays = 87.9 * k, r.periVarpi = 278000.25 + k;  // orbit 0 had no perihelion
    r.skyBody = 1;
    if (k > 0) r.skyAngleDeg[1] = 0.0125 * k;  // the first orbit lies outside the theory's years
    records.push_back(r);
    writeSeriesRow(r, out);
  }
  std::istringstream in(out.str());
  std::string line;
  auto split = [](const std::string& text) {
    std::vector<std::string> cells(1);
    for (char c : text)
      if (c == ',')
        cells.emplace_back();
      else
        cells.back().push_back(c);
    return cells;
  };
  std::getline(in, line);
  EXPECT_EQ(line.rfind("orbit,cycle,elapsed_days,period_days,closest_km,farthest_km,", 0), 0u);
  const std::vector<std::string> header = split(line);
  auto column = [&](const std::string& name) {
    return size_t(std::find(header.begin(), header.end(), name) - header.begin());
  };
  const size_t columns = seriesColumns().size();
  ASSERT_EQ(header.size(), columns);
  int rows = 0;
  while (std::getline(in, line)) {
    const std::vector<std::string> cells = split(line);
    ASSERT_EQ(cells.size(), columns) << line;
    const OrbitRecord& r = records[size_t(rows)];
    EXPECT_EQ(std::stod(cells[0]), rows);
    EXPECT_EQ(std::stod(cells[2]), r.days);  // shortest, read back exactly
    for (const char* name : {"perihelion_days", "perihelion_arcsec", "perihelion_longitude_arcsec",
                             "sky_angle_deg", "marker_arcsec"}) {
      if (rows == 0 || std::string(name) == "marker_arcsec") {
        EXPECT_EQ(cells.at(column(name)), "") << name;
      }
    }
    if (rows > 0) {
      EXPECT_EQ(std::stod(cells.at(column("perihelion_arcsec"))), r.periAngle);
      EXPECT_EQ(std::stod(cells.at(column("perihelion_longitude_arcsec"))), r.periVarpi);
      EXPECT_EQ(std::stod(cells.at(column("sky_angle_deg"))), 0.0125 * rows);
    }
    ++rows;
  }
  EXPECT_EQ(rows, 3);
}

OrbitRecord wobblingOrbit(int k) {
  OrbitRecord r;
  r.orbit = k, r.cycle = 100.0 * k, r.days = 88.0 * k, r.periodDays = 88 + 0.01 * std::sin(k);
  r.minKm = 4.6e7 + 1e3 * std::sin(0.37 * k), r.maxKm = 6.98e7 + 1e3 * std::cos(0.37 * k);
  return r;
}

// A million orbits keep a bounded series that still counts every orbit and holds the run's
// extremes where they happened; while the orbits are few, each is a bucket of its own.
TEST(LabSeries, AMillionOrbitsKeepEveryExtremeInBoundedBuckets) {
  LabState lab;
  constexpr int kOrbits = 1'000'000, kSpike = 777'777;
  for (int k = 0; k < kOrbits; ++k) {
    OrbitRecord r = wobblingOrbit(k);
    if (k == kSpike) r.minKm = 1e7, r.maxKm = 9e7;
    addOrbitRecord(lab, r);
    if (k == int(ThinnedSeries::kMaxBuckets) - 1) {
      ASSERT_EQ(lab.series.buckets.size(), ThinnedSeries::kMaxBuckets);
      EXPECT_EQ(lab.series.buckets[5].channels[kChClosest].lo, wobblingOrbit(5).minKm);
    }
  }
  const auto& b = lab.series.buckets;
  EXPECT_LE(b.size(), ThinnedSeries::kMaxBuckets);
  EXPECT_GE(b.size(), ThinnedSeries::kMaxBuckets / 2);
  int64_t counted = 0;
  Extent closest, farthest;
  for (size_t i = 0; i < b.size(); ++i) {
    counted += b[i].records;
    if (i > 0) {
      EXPECT_EQ(b[i].firstOrbit, b[i - 1].lastOrbit + 1);
    }
    closest.merge(b[i].channels[kChClosest]);
    farthest.merge(b[i].channels[kChFarthest]);
  }
  EXPECT_EQ(counted, kOrbits);
  EXPECT_EQ(b.back().lastOrbit, kOrbits - 1);
  EXPECT_EQ(closest.lo, 1e7);
  EXPECT_EQ(closest.loX, kSpike);
  EXPECT_EQ(farthest.hi, 9e7);
  EXPECT_EQ(farthest.hiX, kSpike);
  EXPECT_NEAR(closest.hi, 4.6e7 + 1e3, 1.0);  // the wobble's envelope
}

// A run of the lab past the size at which a file of every record outgrew its reader: with a save
// at every orbit, the file stays small, and read back at the last save it holds the same fit,
// to the bit, the same series and the same latest records.
TEST(LabFile, ALongRunReadsBackTheSameLabFromABoundedFile) {
  testing::TestHost host;
  WiredWindow w(host);
  w.scenario.runId = 4242;
  w.scenario.startDate = text::Date::fromYmd(3500, 1, 1);  // no sky to work out
  w.sim.pairBody[1] = 0, w.sim.pairBody[2] = 1;
  constexpr int kOrbits = 260'000;  // about 65 MB of records a file of every record would hold
  std::string file;
  size_t largest = 0;
  const double distances[] = {5e7, 4.61e7, 4.6e7, 4.605e7};  // a minimum at every third cycle
  const Accelerations accel{};
  for (int k = 0; k < kOrbits; ++k) {
    for (int c = 0; c < 4; ++c) {
      w.sim.cycleCount += 1;
      w.clock.elapsedDays = w.sim.cycleCount * 22;
      const double turn = 0.001 * k + 1e-7 * std::sin(k);  // precessing, with a wobble
      w.pair.pairDist = distances[c];
      w.pair.pairDx = distances[c] * std::cos(turn), w.pair.pairDy = distances[c] * std::sin(turn);
      w.sim.moveErrPct[1] = 1e-6 * c;
      labCycle(w, accel);
    }
    w.pair.orbitMinDist = 4.6e7 + k, w.pair.orbitMaxDist = 7e7 - k;
    labOrbitEnded(w, 88);
    labOrbitRecorded(w, k % 3 ? 2.0 + 1e-3 * k : NAN);
    w.sim.orbitCount += 1;
    const persist::WriteBehind::Side side = labSaveText(w);
    if (side.whole) file.clear();
    file += side.text;
    largest = std::max(largest, file.size());
  }
  EXPECT_LT(largest, size_t(3) << 20) << "bytes";

  std::string problem;
  const LabTarget target{4242, w.sim.cycleCount, int64_t(w.sim.orbitCount), w.sim.siderealYearSecs};
  const LabState back = readLabFile(file, target, problem);
  EXPECT_EQ(problem, "");
  const PrecessionFit &a = back.fit, &b = w.lab.fit;
  EXPECT_EQ(a.n, b.n);
  EXPECT_GT(a.n, kOrbits - 2);
  EXPECT_EQ(a.slope(), b.slope());
  EXPECT_EQ(a.slopeError(), b.slopeError());
  EXPECT_EQ(a.syy, b.syy);
  EXPECT_EQ(back.lastOrbit.markerAngle, w.lab.lastOrbit.markerAngle);
  EXPECT_EQ(back.lastMarker, w.lab.lastMarker);
  EXPECT_EQ(back.orbitsRecorded, kOrbits);
  ASSERT_EQ(back.series.buckets.size(), w.lab.series.buckets.size());
  for (size_t i = 0; i < back.series.buckets.size(); ++i)
    for (size_t c = 0; c < kLabChannels; ++c) {
      const Extent &x = back.series.buckets[i].channels[c],
                   &y = w.lab.series.buckets[i].channels[c];
      ASSERT_EQ(x.empty(), y.empty()) << i << " " << c;
      if (!x.empty()) {
        ASSERT_TRUE(x.lo == y.lo && x.hiX == y.hiX) << i << " " << c;
      }
    }

  // A reload of an earlier save leaves out the records after it.
  const LabTarget earlier{4242, target.cycleCount - 8, target.orbits - 2, target.siderealYearSecs};
  EXPECT_EQ(readLabFile(file, earlier, problem).orbitsRecorded, kOrbits - 2);
  EXPECT_EQ(problem, "");
}

// A file of the earlier version, one record per orbit and perihelion, still loads: records a
// reload wrote again replace those of the same cycles, and those after the save are left out.
TEST(LabFile, AFileOfTheEarlierVersionStillLoads) {
  const std::string file =
      "\"Lab records: P perihelion, O orbit\"\r\n"
      "\"P\",0,43.5,73.9,207991569.6,219890.4\r\n"
      "\"O\",0,279,484.375,484.375,2.07e8,2.47e8,73.9,219890.4,0,0.0416\r\n"
      "\"P\",1,439.0,760.5,207991389.6,219340.8\r\n"
      "\"O\",1,675,1171.875,687.5,2.07e8,2.47e8,760.5,219340.8,219082.6,0.0417\r\n"
      "\"P\",2,835.1,1447.2,207991300.1,218790.1\r\n"  // after the save: written again
      "\"P\",2,835.0,1447.1,207991300.0,218790.0\r\n"
      "\"O\",2,1071,1859.4,687.5,2.07e8,2.47e8,1447.1,218790.0,218530.0,0.0418\r\n"
      "\"P\",3,1231.0,2133.7,207991200.0,218240.0\r\n";
  std::string problem;
  const LabState lab = readLabFile(file, {0, 1071, 3, 31558149.54}, problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(lab.orbitsRecorded, 3);
  EXPECT_EQ(lab.fit.n, 3);
  EXPECT_EQ(lab.lastPerihelion.angle, 218790.0);
  EXPECT_EQ(lab.lastOrbit.markerAngle, 218530.0);
}

// A file of the version before the longitude of perihelion (its summary of fourteen quantities a
// bucket, no longitude fit, records without a longitude) still loads: the projected fit and the
// records come back, and the longitude's fit starts from the records that have one.
TEST(LabFile, AFileWithoutTheLongitudeStillLoads) {
  const std::string bucket = "\"B\",0,0,1,73.9,73.9" + std::string(4 * 14, ',') + "\r\n";
  const std::string file =
      "\"Lab records\",2,77\r\n"
      "\"F\",1,0.2,219890.4,0,0,0\r\n"
      "\"P0\",0,43.5,73.9,207991569.6,219890.4\r\n"
      "\"PL\",0,43.5,73.9,207991569.6,219890.4\r\n"
      "\"OL\",0,279,484.375,484.375,2.07e8,2.47e8,73.9,219890.4,0,0.0416,1,-1,-1,-1,-1,-1,-1,-1,"
      "-1\r\n"
      "\"U\",279,1,,0,,,,\r\n"
      "\"S\",\"orbits\",1,1,14\r\n" +
      bucket +
      "\"S\",\"sky\",1,0,14\r\n"
      "\"Z\"\r\n"
      "\"P\",1,439.0,760.5,207991389.6,219340.8\r\n"
      "\"O\",1,675,1171.875,687.5,2.07e8,2.47e8,760.5,219340.8,219082.6,0.0417,1,-1,-1,-1,-1,-1,-1,"
      "-1,-1\r\n"
      "\"E\",675\r\n"
      "\"P\",2,835.0,1447.1,207991300.0,218790.0,280000.5\r\n"  // as a later program writes it
      "\"E\",1071\r\n";
  std::string problem;
  const LabState lab = readLabFile(file, {77, 1071, 2, 31558149.54}, problem);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(lab.orbitsRecorded, 2);
  EXPECT_EQ(lab.fit.n, 3);
  EXPECT_EQ(lab.lastPerihelion.angle, 218790.0);
  EXPECT_EQ(lab.series.buckets.size(), 2u);
  EXPECT_TRUE(lab.series.buckets[0].channels[kChVarpi].empty());
  EXPECT_EQ(lab.varpiFit.n, 1);
  EXPECT_EQ(lab.lastPerihelion.varpi, 280000.5);
}

}  // namespace
}  // namespace orbits
