#include "analysis/drift.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/test_host.h"
#include "analysis/data_file.h"
#include "panel/wired_window.h"
#include "text/number_text.h"
#include "window/main_window.h"

namespace orbits {
namespace {

using testing::TestHost;

constexpr const char* kKmPattern = "  00000000000000.00000000000000";
constexpr const char* kDriftPattern = "00000000000000.00000000000000";

std::string spaces(size_t n) { return std::string(n, ' '); }

std::vector<std::string> fileLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string all = ss.str();
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < all.size()) {
    size_t end = all.find("\r\n", at);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(all.substr(at, end - at));
    at = end + 2;
  }
  return lines;
}

bool contains(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const auto& l : lines)
    if (l.rfind(prefix, 0) == 0) return true;
  return false;
}

TEST(ZeroBlank, KilometreTextKeepsItsWidthWithSpacesForFillerZeros) {
  const std::string km = text::patterned(12345.678, kKmPattern);
  ASSERT_EQ(km, "  000000000" + std::string("12345.678") + std::string(11, '0'));
  EXPECT_EQ(zeroBlank(km, false), spaces(11) + "12345.678" + spaces(11));
  // A "-" among the leading characters of an unsigned text is blanked like a zero.
  EXPECT_EQ(zeroBlank("-0012.50", false), "   12.5 ");
  EXPECT_EQ(zeroBlank("", false), "");
  EXPECT_EQ(zeroBlank("000", false), "   ");
}

TEST(ZeroBlank, DriftTextsCarryTheirSignBeforeTheFirstDigit) {
  const std::string zero = text::patterned(0.0, kDriftPattern) + " ";
  EXPECT_EQ(zeroBlank(zero, true), spaces(14) + "0." + spaces(15));

  const std::string negative = text::patterned(-12.5, kDriftPattern);
  ASSERT_EQ(negative, "-00000000000012.50000000000000");
  EXPECT_EQ(zeroBlank(negative, true), spaces(13) + "-12.5" + spaces(13));

  const std::string positive = text::patterned(12.5, kDriftPattern) + " ";
  EXPECT_EQ(zeroBlank(positive, true), spaces(12) + "+12.5" + spaces(14));
  EXPECT_EQ(zeroBlank(positive, true).size(), positive.size() + 1);
}

struct DriftTest : ::testing::Test {
  TestHost host;
  WiredWindow w{host};
  SimState& s = w.sim;
  PairStats& p = w.pair;

  std::string driftPath() { return dataFilePath(w, kDriftFileName); }

  void measure(double d) {
    p.pairDx = d, p.pairDy = 0, p.pairDz = 0, p.pairDist = d;
    PairRecords(w);
  }
  // One orbit completion with the given extremes.
  void complete(double minDist, double maxDist) {
    p.orbitMinDist = minDist, p.orbitMaxDist = maxDist;
    p.orbitMinDx = -minDist, p.orbitMinDy = 1, p.orbitMinDistCopy = minDist;
    p.orbitMaxDx = maxDist, p.orbitMaxDy = 1, p.orbitMaxDistCopy = maxDist;
    p.minPair2PosX = minDist;
    Drifter(w);
    s.orbitCount += 1;
  }
};

TEST_F(DriftTest, OrbitExtremesAreStrictScenarioMinimumCountsEqualityMaximumDoesNot) {
  p.orbitMinDist = p.orbitMaxDist = p.totalMinDist = p.totalMaxDist = 100;
  s.orbitCount = 0;
  measure(90);  // orbit 0: the scenario extremes keep the starting distance
  measure(120);
  EXPECT_EQ(p.orbitMinDist, 90);
  EXPECT_EQ(p.orbitMaxDist, 120);
  EXPECT_EQ(p.totalMinDist, 100);
  EXPECT_EQ(p.totalMaxDist, 100);

  s.orbitCount = 3;
  w.c("ChEach").setValue(1);
  p.totalMinDist = 90, p.totalMaxDist = 120;
  measure(90);
  EXPECT_EQ(p.totalMinOrbitNo, 3) << "equal to the scenario minimum is a new minimum";
  EXPECT_EQ(p.orbitMinOrbit, 0) << "not below the orbit minimum";
  measure(120);
  EXPECT_EQ(p.totalMaxOrbitNo, 0) << "equal to the scenario maximum is not a new maximum";
  measure(121);
  EXPECT_EQ(p.totalMaxOrbitNo, 3);
  EXPECT_EQ(p.orbitMaxOrbit, 3);
  EXPECT_EQ(p.orbitMaxDistCopy, 121);
}

TEST_F(DriftTest, MonkeyShowsWholeKilometresOfTotalsOrAverages) {
  p.totalMinDist = 123456.789, p.totalMaxDist = 2e6;
  p.avgOrbitMinDist = 99.5, p.avgOrbitMaxDist = 100.25;
  w.c("ChAPE").setValue(0);
  EXPECT_EQ(w.c("LaMin").text(), "Min T");
  EXPECT_EQ(w.c("TxTmin").text(), "123456");
  EXPECT_EQ(w.c("TxTmin").tooltip(), " 123456.789 km total low");
  EXPECT_EQ(w.c("TxTmax").tooltip(), " 2000000 km total hi");
  w.c("ChAPE").setValue(1);
  EXPECT_EQ(w.c("LaMax").text(), "Max A");
  EXPECT_EQ(w.c("LaMax").tooltip(), "Max distance between pair Averaged");
  EXPECT_EQ(w.c("TxTmin").text(), "99");
  EXPECT_EQ(w.c("TxTmax").tooltip(), " 100.25 km average hi");
}

TEST_F(DriftTest, FirstCompletionAveragesNothingAndOrbitOneStartsTheFileWithItsHeader) {
  {
    std::ofstream old(driftPath(), std::ios::binary);
    old << "an earlier run\r\n";
  }
  w.c("ChMinMax").setValue(0);
  s.orbitCount = 0;
  w.periods.lastPeriodDaysText = "12.500000000";
  w.periods.lastPeriodYearsText = "0.034223000";
  complete(1000, 2000);
  EXPECT_EQ(p.sumOrbitMinDist, 0);
  EXPECT_EQ(p.avgOrbitMaxDist, 0);
  EXPECT_EQ(p.driftTable[0].minDist, 1000);
  EXPECT_EQ(w.c("LaDrift", 0).text(), "1000");
  EXPECT_EQ(p.partialOrbitText,
            "Partial orbit add to start date: 12.500000000 =days / years=0.034223000");
  EXPECT_EQ(w.markers.periMarkerCount, 1) << "no marker for the partial orbit";
  auto lines = fileLines(driftPath());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], std::string(79, '_'));
  // The next orbit starts its minimum search at this maximum and its maximum at 0.
  EXPECT_EQ(p.orbitMinDist, 2000);
  EXPECT_EQ(p.orbitMaxDist, 0);

  w.c("LaChirp", 0).setText("Mercury ");
  s.timeRateLog.clear();
  complete(1010, 1990);
  lines = fileLines(driftPath());
  ASSERT_GE(lines.size(), 7u);
  EXPECT_EQ(lines[0],
            "3/1/2024 @ 12:00:00 PM  " + w.c("Label1").text() + "  G=" + w.c("TXTgravity").text());
  EXPECT_EQ(lines[1], "[ 0 ]  Mercury ");
  EXPECT_EQ(lines[3], p.partialOrbitText);
  EXPECT_EQ(lines[4], std::string(79, '_'));
  EXPECT_EQ(lines[5], spaces(29) + "  Orbit # 1        sides to polygon = 0");
  EXPECT_TRUE(contains(lines, "min km  "));
  EXPECT_FALSE(contains(lines, "min dif ")) << "no drift before orbit 2";
  EXPECT_FALSE(contains(lines, "min avg "));
  EXPECT_EQ(p.avgOrbitMinDist, 1010);

  complete(1000.5, 2000);
  lines = fileLines(driftPath());
  EXPECT_TRUE(contains(lines, spaces(29) + "  Orbit # 2 "));
  const std::string dif = "min dif " + spaces(14) + "-9.5" + spaces(13) + "|" + spaces(12) +
                          "+10." + spaces(15) + " dif max";
  EXPECT_TRUE(contains(lines, dif));
  EXPECT_TRUE(contains(lines, "min avg " + spaces(12) + "1005.25" + spaces(12) + "|" + spaces(12) +
                                  "1995." + spaces(14) + " avg max "));
  EXPECT_EQ(p.driftTable[2].minDist, 1000.5);
  EXPECT_EQ(w.c("LaDrift", 2).text(), "1000.5");
  w.c("ChMinMax").setValue(1);
  EXPECT_EQ(w.c("LaDrift", 1).text(), "1990");
  EXPECT_EQ(w.c("LaDrift", 2).text(), "2000");
  EXPECT_EQ(w.c("ChMinMax").text(), "Max dist");
}

TEST_F(DriftTest, UnwritableDirectoryIsReportedOnceAndTheRunGoesOn) {
  const std::string dir = host.dataDir();
  std::filesystem::create_directory(driftPath());  // a directory where the file should be
  s.orbitCount = 1;
  complete(1000, 2000);
  complete(1000, 2000);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_NE(host.messages[0].text.find(driftPath()), std::string::npos);
  EXPECT_EQ(w.c("LaChirp", 1).text(), host.messages[0].text);
  EXPECT_EQ(p.avgOrbitMinDist, 1000) << "the analysis went on";
  EXPECT_EQ(s.orbitCount, 3);

  // A new scenario tries the file again.
  std::filesystem::remove(driftPath());
  ResetDataFiles(w);
  complete(1000, 2000);
  EXPECT_EQ(host.messages.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(driftPath()));
}

}  // namespace
}  // namespace orbits
