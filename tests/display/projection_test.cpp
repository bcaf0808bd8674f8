#include "display/projection.h"

#include <gtest/gtest.h>

#include "../support/run_fixture.h"

namespace orbits {
namespace {

using testing::RunFixture;

struct ProjectionTest : RunFixture, ::testing::Test {
  void scale(int k) { w.c("OpDist", k).setValue(1); }
  bool cleared(const Surface& sf) {
    for (int i = 0; i < sf.widthPx() * sf.heightPx(); ++i)
      if (sf.pixels()[i] != sf.background()) return false;
    return true;
  }
  void dirtyAll() {
    w.surface.setPoint(3000, 3000, kWhite);
    w.c("PiZZ").surface()->setPoint(300, 300, kWhite);
    w.c("PiZX").surface()->setPoint(300, 300, kWhite);
  }
  bool allCleared() {
    return cleared(w.surface) && cleared(*w.c("PiZZ").surface()) && cleared(*w.c("PiZX").surface());
  }
};

TEST_F(ProjectionTest, FinestScalePutsTheOriginJustOutsideTheTopLeftCorner) {
  scale(0);
  EXPECT_EQ(s.distScale, 1);
  EXPECT_EQ(s.screenX[0] - 500, -500);
  EXPECT_EQ(s.screenY[0] + 500, 500);
  EXPECT_EQ(s.screenX[1], kAu);
}

TEST_F(ProjectionTest, ScalesAndOffsetsAreTheQuotientsOfTheTable) {
  scale(1);
  EXPECT_EQ(s.viewOffsetX, 15360 / 2.22);
  EXPECT_EQ(s.viewOffsetY, 11520 / 2.75);
  scale(14);
  EXPECT_EQ(s.distScaleIndex, 14);
  EXPECT_EQ(s.distScale, 200000);
  EXPECT_EQ(s.viewOffsetX, 15360 / 2.00003);
  EXPECT_EQ(s.viewOffsetY, 11520 / 2.465);
  EXPECT_EQ(s.screenX[1], kAu / 200000 + 15360 / 2.00003);
  scale(9);
  EXPECT_EQ(s.viewOffsetX, 3840);
  EXPECT_EQ(s.viewOffsetY, 2304);
  EXPECT_EQ(scaleKmPerUnit(8), 1e8);
  EXPECT_EQ(scaleKmPerUnit(16), 2e7);
  EXPECT_EQ(w.c("OpDist", 9).foreColor(), w.c("Label3").foreColor());
  EXPECT_EQ(w.c("OpDist", 14).foreColor(), w.c("TXperdif").foreColor());
}

TEST_F(ProjectionTest, ChoosingAScaleReprojectsSwitchedOffBodiesAndClearsEverything) {
  s.bodyOff[1] = 1;
  scale(3);
  dirtyAll();
  scale(5);
  EXPECT_EQ(s.screenX[1], kAu / 1e5 + 15360 / 2.00002);
  EXPECT_TRUE(allCleared());
}

TEST_F(ProjectionTest, CoarserScales) {
  for (int k = 0; k < 8; ++k) EXPECT_EQ(coarserScale(k), k + 1);
  for (int k = 9; k < 16; ++k) EXPECT_EQ(coarserScale(k), k - 8);
}

struct Expansion : ProjectionTest {
  // One cycle with the planet left of the drawing area at the given scale.
  void runOneCycleOutside(int k) {
    choose(4, 7, k);
    s.posX[1] = -1e14;
    s.velY[1] = 0;
    w.c("OpDist", k).setValue(0);
    scale(k);
    dirtyAll();
    stopAtCycle(1);
    go();
  }
};

TEST_F(Expansion, ScaleThreeExpandsToFourClearingAllSurfaces) {
  runOneCycleOutside(3);
  EXPECT_EQ(s.distScaleIndex, 4);
  EXPECT_TRUE(w.c("OpDist", 4).selected());
  EXPECT_EQ(s.endCode, EndCode::ScaleExpanded);
  EXPECT_EQ(w.c("LaChirp", 1).text(), "Distance scale has changed to \r1 px = 150kkm");
  EXPECT_TRUE(allCleared());
}

TEST_F(Expansion, ThirtySeriesGoesToTheFifteenSeriesFiveTimesCoarser) {
  runOneCycleOutside(12);
  EXPECT_EQ(s.distScaleIndex, 4);
  EXPECT_EQ(w.c("LaChirp", 1).text(), "Distance scale has changed to \r1 px = 150kkm");
}

TEST_F(Expansion, PersistChangesNoScaleAndClearsNothing) {
  w.c("Chend").setValue(0);
  EXPECT_EQ(w.c("Chend").text(), "Persist");
  EXPECT_EQ(w.c("Chend").tooltip(),
            "If the object leaves the edge of the visible screen then the zoom does not change.");
  runOneCycleOutside(3);
  EXPECT_EQ(s.distScaleIndex, 3);
  EXPECT_EQ(s.endCode, EndCode::None);
  EXPECT_FALSE(allCleared());
  w.c("Chend").setValue(1);
  EXPECT_EQ(w.c("Chend").text(), "Expand");
}

TEST_F(Expansion, LargestScaleEndsTheRunBeyondRange) {
  runOneCycleOutside(8);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "Beyond Range");
  EXPECT_EQ(host.messages[0].title, "1");
  EXPECT_EQ(s.endCode, EndCode::BeyondRange);
  EXPECT_EQ(w.c("LaChirp", 1).text(), "Bodies have departed the simulator range. Scenario Ends.");
}

TEST_F(Expansion, FinestThirtyScaleWarnsOnceAndRunsOnWithoutBoundsTest) {
  choose(4, 7, 16);
  s.posX[1] = -1e14;
  stopAtCycle(20);
  go();
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].text, "too many zumas");
  EXPECT_EQ(s.distScaleIndex, 16);
  EXPECT_EQ(s.cycleCount, 20);
  scale(14);
  scale(16);
  host.onYield = nullptr;
  stopAtCycle(21);
  w.c("CDcont").press();
  EXPECT_EQ(host.messages.size(), 2u) << "a new selection of the scale warns again";
}

}  // namespace
}  // namespace orbits
