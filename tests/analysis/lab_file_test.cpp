#include "analysis/lab_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace orbits {
namespace {

// The series file: a header, then one row per orbit with a value in every column that reads
// back as the number written; a figure that does not exist (the sky outside the theory's
// years, the perihelion of an orbit that had none) is an empty cell, never "nan" nor 0.
TEST(SeriesCsv, OneRowPerOrbitEveryColumnANumber) {
  LabState lab;
  for (int k = 0; k < 3; ++k) {
    OrbitRecord r;
    r.orbit = k, r.cycle = 30313.0 * k, r.days = 87.96875 * k + 1e-9, r.minKm = 45983860.90044967;
    r.periAngle = 601685.1543802584 + k, r.maxErrPct = 3.8e-06;
    if (k > 0) r.periDays = 87.9 * k, r.periVarpi = 278000.25 + k;  // orbit 0 had no perihelion
    r.skyBody = 1;
    if (k > 0) r.skyAngleDeg[1] = 0.0125 * k;  // the first orbit lies outside the theory's years
    lab.orbits.push_back(r);
  }
  std::ostringstream out;
  writeSeriesCsv(lab, out);
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
    const OrbitRecord& r = lab.orbits[size_t(rows)];
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

}  // namespace
}  // namespace orbits
