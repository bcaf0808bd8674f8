#include "analysis/lab_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace orbits {
namespace {

// The series file: a header, then one row per orbit with a value in every column that reads
// back as the number written; the sky angle is empty, never "nan", where there is none.
TEST(SeriesCsv, OneRowPerOrbitEveryColumnANumber) {
  LabState lab;
  for (int k = 0; k < 3; ++k) {
    OrbitRecord r;
    r.orbit = k, r.cycle = 30313.0 * k, r.days = 87.96875 * k + 1e-9, r.minKm = 45983860.90044967;
    r.periAngle = 601685.1543802584 + k, r.maxErrPct = 3.8e-06;
    r.skyBody = 1;
    if (k > 0) r.skyAngleDeg[1] = 0.0125 * k;  // the first orbit lies outside the theory's years
    lab.orbits.push_back(r);
  }
  std::ostringstream out;
  writeSeriesCsv(lab, out);
  std::istringstream in(out.str());
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line.rfind("orbit,cycle,elapsed_days,period_days,closest_km,farthest_km,", 0), 0u);
  EXPECT_NE(line.find(",sky_angle_deg"), std::string::npos) << line;
  const size_t columns = seriesColumns().size();
  int rows = 0;
  while (std::getline(in, line)) {
    std::vector<std::string> cells(1);
    for (char c : line)
      if (c == ',')
        cells.emplace_back();
      else
        cells.back().push_back(c);
    ASSERT_EQ(cells.size(), columns) << line;
    EXPECT_EQ(std::stod(cells[0]), rows);
    EXPECT_EQ(std::stod(cells[2]), lab.orbits[size_t(rows)].days);  // shortest, read back exactly
    EXPECT_EQ(std::stod(cells[7]), lab.orbits[size_t(rows)].periAngle);
    if (rows == 0)
      EXPECT_EQ(cells.back(), "");
    else
      EXPECT_EQ(std::stod(cells.back()), 0.0125 * rows);
    ++rows;
  }
  EXPECT_EQ(rows, 3);
}

}  // namespace
}  // namespace orbits
