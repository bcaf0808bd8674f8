#include "analysis/lab_file.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace orbits {
namespace {

// The series file: a header, then one row per orbit with a value in every column that reads
// back as the number written.
TEST(SeriesCsv, OneRowPerOrbitEveryColumnANumber) {
  LabState lab;
  for (int k = 0; k < 3; ++k) {
    OrbitRecord r;
    r.orbit = k, r.cycle = 30313.0 * k, r.days = 87.96875 * k + 1e-9, r.minKm = 45983860.90044967;
    r.periAngle = 601685.1543802584 + k, r.maxErrPct = 3.8e-06;
    lab.orbits.push_back(r);
  }
  std::ostringstream out;
  writeSeriesCsv(lab, out);
  std::istringstream in(out.str());
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line.rfind("orbit,cycle,elapsed_days,period_days,closest_km,farthest_km,", 0), 0u);
  const size_t columns = seriesColumns().size();
  int rows = 0;
  while (std::getline(in, line)) {
    std::vector<double> values;
    std::istringstream fields(line);
    for (std::string f; std::getline(fields, f, ',');) values.push_back(std::stod(f));
    ASSERT_EQ(values.size(), columns) << line;
    EXPECT_EQ(values[0], rows);
    EXPECT_EQ(values[2], lab.orbits[size_t(rows)].days);  // shortest text, read back exactly
    EXPECT_EQ(values[7], lab.orbits[size_t(rows)].periAngle);
    ++rows;
  }
  EXPECT_EQ(rows, 3);
}

}  // namespace
}  // namespace orbits
