#include "display/side_views.h"

#include <gtest/gtest.h>

#include "../support/run_fixture.h"

namespace orbits {
namespace {

using testing::RunFixture;

struct SideViewsTest : RunFixture, ::testing::Test {};

TEST_F(SideViewsTest, TheCheckBoxesShowAndHideTheStrips) {
  w.c("ChZAxis").setValue(1);
  w.c("ChZX").setValue(0);
  EXPECT_TRUE(w.c("PiZZ").visible());
  EXPECT_FALSE(w.c("PiZX").visible());
  w.c("ChZAxis").setValue(0);
  w.c("ChZX").setValue(1);
  EXPECT_FALSE(w.c("PiZZ").visible());
  EXPECT_TRUE(w.c("PiZX").visible());
}

TEST_F(SideViewsTest, ABodyInThePlaneIsDrawnOnTheCentreLineOfBothStrips) {
  w.c("ChZAxis").setValue(1);
  w.c("ChZX").setValue(1);
  w.c("CHquick").setValue(1);
  choose(4, 7, 14);
  stopAtCycle(1);
  go();
  ASSERT_EQ(s.screenZ[0], 0);
  Control &zy = w.c("PiZZ"), &zx = w.c("PiZX");
  const double drawX = s.screenX[0] - 500, drawY = s.screenY[0] + 500;
  EXPECT_NE(zy.surface()->point(zy.width() / 2.0, drawY - zy.top()), zy.surface()->background());
  EXPECT_NE(zx.surface()->point(drawX - zx.left(), zx.height() / 2.0), zx.surface()->background());
  // Off the centre line nothing is drawn.
  EXPECT_EQ(zx.surface()->point(drawX - zx.left(), zx.height() / 2.0 + 300),
            zx.surface()->background());
}

TEST_F(SideViewsTest, MovingTheZYStripResizesAndEmptiesIt) {
  Control& zy = w.c("PiZZ");
  w.c("ChLR").setValue(1);
  EXPECT_EQ(zy.left(), 0);
  EXPECT_EQ(zy.surface()->widthPx(), 139);
  EXPECT_EQ(zy.surface()->heightPx(), 473);
  zy.surface()->setPoint(300, 300, kWhite);
  w.c("ChLR").setValue(0);
  EXPECT_EQ(zy.left(), 12600);
  EXPECT_EQ(zy.top(), 600);
  EXPECT_EQ(zy.surface()->widthPx(), 185);
  EXPECT_EQ(zy.surface()->heightPx(), 585);
  EXPECT_EQ(zy.surface()->point(300, 300), zy.surface()->background());
}

}  // namespace
}  // namespace orbits
