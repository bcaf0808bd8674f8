#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../support/files.h"
#include "../support/test_host.h"
#include "analysis/data_file.h"
#include "panel/wired_window.h"
#include "scenarios/presets.h"
#include "window/main_window.h"

namespace orbits {
namespace {

using testing::linesOf;
using testing::TestHost;

// Header line 1 begins with the computer's date and time; the rest of it is compared.
std::string withoutClock(const std::string& line) {
  const size_t at = line.find(" @ ");
  if (at == std::string::npos) return line;
  const size_t rest = line.find("  ", at);
  return rest == std::string::npos ? line : line.substr(rest);
}

// The first preset (Mercury from 1940 at 150 s per calculation) run for four orbits, the
// drift file compared line by line with the one kept with the tests.
TEST(DriftGolden, MercuryPresetFourOrbits) {
  TestHost host;
  WiredWindow w(host);
  host.onYield = [&w](long) {
    if (w.sim.orbitCount >= 5) w.c("CDstop").press();
  };
  w.c("CDp", 1).press();
  ASSERT_EQ(w.sim.orbitCount, 5);

  // ORBITS_GOLDEN_OUT=<file> keeps a copy of the file produced, for review.
  if (const char* keep = std::getenv("ORBITS_GOLDEN_OUT")) {
    std::ifstream from(dataFilePath(w, kDriftFileName), std::ios::binary);
    std::ofstream(keep, std::ios::binary) << from.rdbuf();
  }
  bool crlf = false, expectedCrlf = false;
  const auto lines = linesOf(dataFilePath(w, kDriftFileName), &crlf);
  const auto expected =
      linesOf(std::string(ORBITS_TEST_DATA) + "/data-drift-mercury.txt", &expectedCrlf);
  EXPECT_TRUE(crlf) << "every line ends with CR LF";
  ASSERT_EQ(lines.size(), expected.size());
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(withoutClock(lines[0]), withoutClock(expected[0]));
  for (size_t i = 1; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
  EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace orbits
