#include "display/colours.h"

#include <gtest/gtest.h>

#include "../support/run_fixture.h"
#include "../support/test_host.h"
#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

using testing::TestHost;

struct Colours : ::testing::Test {
  TestHost host;
  WiredWindow w{host};
  SimState& s = w.sim;
};

TEST_F(Colours, ShadesRoundHalvesToEven) {
  s.bodyRed[1] = 255, s.bodyGreen[1] = 127, s.bodyBlue[1] = 0;  // Mercury
  EXPECT_EQ(bodyColour(s, 1), rgb(255, 127, 0));
  EXPECT_EQ(halfColour(s, 1), rgb(128, 64, 0));  // 127.5 and 63.5
  EXPECT_EQ(quarterColour(s, 1), rgb(64, 32, 0));
  EXPECT_EQ(eighthColour(s, 1), rgb(32, 16, 0));
  EXPECT_EQ(alternateColour(s, 1), rgb(102, 51, 0));
  s.bodyRed[2] = 5, s.bodyGreen[2] = 7, s.bodyBlue[2] = 9;
  EXPECT_EQ(halfColour(s, 2), rgb(2, 4, 4));  // 2.5, 3.5, 4.5
}

TEST_F(Colours, BodyTableRowsTakeTheShadesNumbersAndNames) {
  s.bodyRed[3] = 0, s.bodyGreen[3] = 159, s.bodyBlue[3] = 255;
  s.bodyName[3] = "Earth";
  s.bodyRed[9] = 127;
  ColPlan(w);
  EXPECT_EQ(w.c("TXvolight", 3).foreColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("TXvolight", 3).backColor(), rgb(0, 20, 32));  // 19.875, 31.875
  EXPECT_EQ(w.c("TXmass", 3).foreColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("TXmass", 3).backColor(), rgb(0, 20, 32));
  EXPECT_EQ(w.c("LabWH", 3).foreColor(), rgb(0, 80, 128));  // 79.5 to even
  EXPECT_EQ(w.c("LabMA", 3).foreColor(), rgb(0, 80, 128));
  EXPECT_EQ(w.c("LabWH", 3).text(), "3");
  EXPECT_EQ(w.c("LabMA", 8).text(), "8");
  EXPECT_EQ(w.c("LabWH", 3).tooltip(), "Earth");
  EXPECT_EQ(w.c("LabMA", 3).tooltip(), "Earth");
  EXPECT_EQ(w.panel.find("TXvolight", 9), nullptr) << "body 9 has no row";
}

TEST_F(Colours, AlternateOrbitsAreDarkOnEvenCountsAndTheSunNever) {
  s.bodyRed[0] = 255, s.bodyGreen[0] = 207, s.bodyBlue[0] = 159;
  s.bodyRed[1] = 255, s.bodyGreen[1] = 127, s.bodyBlue[1] = 0;
  s.altShade = 0.4;
  for (double count : {0.0, 2.0, 4.0}) {
    s.orbitCount = count;
    EXPECT_EQ(dotColour(s, 1, true), rgb(102, 51, 0)) << count;
    EXPECT_EQ(dotColour(s, 1, false), rgb(255, 127, 0)) << count;
    EXPECT_EQ(dotColour(s, 0, true), rgb(255, 207, 159)) << count;
  }
  for (double count : {1.0, 3.0}) {
    s.orbitCount = count;
    EXPECT_EQ(dotColour(s, 1, true), rgb(255, 127, 0)) << count;
  }
}

// The run loop plots by the same rules: the planet's dot in its alternate colour before the
// first completed orbit, the Sun in full colour with its glow in the quarter colour.
TEST(DotColours, TheRunLoopPlotsByTheseRules) {
  testing::RunFixture f;
  f.choose(4, 7, 14);
  f.w.c("Chalt").setValue(1);
  f.w.c("Chsunny").setValue(1);
  f.stopAtCycle(1);
  f.go();
  const SimState& s = f.s;
  const double x = s.screenX[1] - 500, y = s.screenY[1] + 500;
  EXPECT_EQ(f.w.surface.point(x, y), dotColour(s, 1, true));
  EXPECT_EQ(f.w.surface.point(x, y), alternateColour(s, 1));
  const double sx = s.screenX[0] - 500, sy = s.screenY[0] + 500;
  EXPECT_EQ(f.w.surface.point(sx, sy), bodyColour(s, 0));
  EXPECT_EQ(f.w.surface.point(sx + 30, sy), quarterColour(s, 0));
  EXPECT_EQ(f.w.surface.point(sx, sy - 30), quarterColour(s, 0));
}

}  // namespace
}  // namespace orbits
