#include "display/pair_selection.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../support/test_host.h"
#include "display/colours.h"
#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

using testing::TestHost;

struct PairSelection : ::testing::Test {
  TestHost host;
  WiredWindow w{host};
  SimState& s = w.sim;
  PairStats& p = w.pair;

  PairSelection() {
    // The body table after start-up: names, colours, resonance figures.
    const char* names[] = {"Sun",     "Mercury", "Venus",  "Earth",  "Mars",
                           "Jupiter", "Saturn",  "Uranus", "Neptune"};
    const int colours[9][3] = {{255, 207, 159}, {255, 127, 0}, {255, 0, 255},
                               {0, 159, 255},   {255, 0, 0},   {255, 255, 0},
                               {159, 127, 255}, {0, 255, 0},   {0, 255, 255}};
    for (int i = 0; i < 9; ++i) {
      s.bodyName[i] = names[i];
      s.bodyRed[i] = float(colours[i][0]), s.bodyGreen[i] = float(colours[i][1]),
      s.bodyBlue[i] = float(colours[i][2]);
    }
    p.orbitRatio = {0, 984, 385, 237, 126, 77, 31, 23, 8};
    ColPlan(w);
    s.posX[0] = 10, s.posY[0] = 20, s.posZ[0] = 5e7;
    s.posX[3] = 30010, s.posY[3] = 40020, s.posZ[3] = -5e7;
    s.posX[5] = 1e8, s.posY[5] = 0, s.posZ[5] = 0;
  }
  void distancesAre(double d) {
    p.orbitMinDist = p.orbitMaxDist = p.prevOrbitMinDist = p.prevOrbitMaxDist = d;
  }
};

TEST_F(PairSelection, FirstBodyRenamesRecoloursAndRestartsTheDistancesInTheXYPlane) {
  w.c("HSbeta").setValue(0);
  distancesAre(1);
  w.c("HSalpha").setValue(3);
  EXPECT_EQ(s.pairBody[1], 3);
  EXPECT_EQ(w.c("TXalpha").text(), "3");
  EXPECT_EQ(w.c("TXname", 1).text(), "Earth");
  EXPECT_EQ(w.c("TXname", 1).backColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("PiAlpha").top(), w.c("TXmass", 3).top());
  EXPECT_EQ(w.c("PiAlpha").backColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("LaDark", 1).text(), "3");
  EXPECT_EQ(w.c("LaDark", 1).foreColor(), w.c("LabWH", 3).foreColor());
  EXPECT_EQ(w.c("TXtimErr", 1).foreColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("TxMerr", 1).backColor(), w.c("TXvolight", 3).backColor());
  // 30000 by 40000 km apart in X and Y; the 10^8 km in Z are not counted.
  EXPECT_EQ(p.orbitMinDist, 50000);
  EXPECT_EQ(p.orbitMaxDist, 50000);
  EXPECT_EQ(p.prevOrbitMinDist, 50000);
  EXPECT_EQ(p.prevOrbitMaxDist, 50000);
}

TEST_F(PairSelection, SecondBodyLeavesTheDistancesAndShowsItsOwnColours) {
  distancesAre(7);
  w.c("HSbeta").setValue(1);  // the design value: nothing runs
  EXPECT_EQ(w.c("TXbeta").text(), "1");
  w.c("HSbeta").setValue(3);
  EXPECT_EQ(p.orbitMinDist, 7);
  EXPECT_EQ(p.prevOrbitMaxDist, 7);
  EXPECT_EQ(s.pairBody[2], 3);
  EXPECT_EQ(w.c("TXbeta").text(), "3");
  EXPECT_EQ(w.c("TXname", 2).text(), "Earth");
  EXPECT_EQ(w.c("Laborb").text(), "Orbit count for Earth");
  EXPECT_EQ(w.c("LaQd").foreColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("TXlaps").backColor(), w.c("TXvolight", 3).backColor());
  EXPECT_EQ(w.c("FraYear").backColor(), w.c("TXvolight", 3).backColor());
  EXPECT_EQ(w.c("PiBeta").top(), w.c("TXmass", 3).top());
  EXPECT_EQ(w.c("LaDark", 2).text(), "3");
  EXPECT_EQ(w.c("TXyearLeap").foreColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("FraNo").backColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("LaPlanet").text(), "Earth\rNo complete orbits yet.");
  EXPECT_EQ(w.c("LaOrb").text(), "237");
  // The precession read-outs: the body's colour scaled by 0.33 behind white figures.
  EXPECT_EQ(w.c("TXarc").backColor(), rgb(0, 52, 84));  // 52.47, 84.15
  EXPECT_EQ(w.c("TXarc").foreColor(), w.c("Command1").backColor());
  EXPECT_EQ(w.c("TXannum").backColor(), rgb(0, 52, 84));
  EXPECT_EQ(w.c("TXannum").foreColor(), rgb(0, 159, 255));
  EXPECT_EQ(w.c("TXasER").backColor(), rgb(0, 52, 84));
  EXPECT_EQ(w.c("LaArcErr").foreColor(), w.c("TXarc").foreColor());
  EXPECT_EQ(w.c("LaARCs").foreColor(), rgb(0, 159, 255));
  // Pale captions lie on the body's dark colour, not on grey.
  EXPECT_EQ(w.c("LaARCs").backColor(), w.c("TXvolight", 3).backColor());
  EXPECT_EQ(w.c("LaQd").backColor(), w.c("FraYear").backColor());
  EXPECT_EQ(w.c("LaAnnum").backColor(), rgb(0, 52, 84));
}

TEST_F(PairSelection, OrbitDataCaptionNamesTheSecondBodyFirst) {
  w.c("HSalpha").setValue(5);
  w.c("HSbeta").setValue(3);
  EXPECT_EQ(w.c("Fra12").text(), "Orbit data: Earth + Jupiter");
  w.c("HSalpha").setValue(0);
  EXPECT_EQ(w.c("Fra12").text(), "Orbit data: Earth + Sun");
}

TEST_F(PairSelection, ExtremesOfTheOrbitInWholeKilometres) {
  p.orbitMinDist = 123456.789;
  p.orbitMaxDist = 987654321.5;
  Slick(w);
  EXPECT_EQ(w.c("TXmin").text(), "123456");
  EXPECT_EQ(w.c("TXmin").tooltip(), " 123456.789 km total low");
  EXPECT_EQ(w.c("TXmax").text(), "987654321");
  EXPECT_EQ(w.c("TXmax").tooltip(), " 987654321.5 km total hi");
}

}  // namespace
}  // namespace orbits
