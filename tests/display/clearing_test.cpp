#include "display/clearing.h"

#include <gtest/gtest.h>

#include "../support/run_fixture.h"

namespace orbits {
namespace {

using testing::RunFixture;

struct ClearingTest : RunFixture, ::testing::Test {
  void drawEverywhere() {
    w.surface.setPoint(3000, 3000, kWhite);
    w.c("PiZZ").surface()->setPoint(300, 300, kWhite);
    w.c("PiZX").surface()->setPoint(300, 300, kWhite);
  }
  bool allClear() {
    return w.surface.point(3000, 3000) == w.surface.background() &&
           w.c("PiZZ").surface()->point(300, 300) == w.c("PiZZ").surface()->background() &&
           w.c("PiZX").surface()->point(300, 300) == w.c("PiZX").surface()->background();
  }
};

TEST_F(ClearingTest, ClearEmptiesAllThreeSurfaces) {
  drawEverywhere();
  w.c("Command4").press();
  EXPECT_TRUE(allClear());
}

TEST_F(ClearingTest, TimedClearingFollowsTheOptionsAndTheEditor) {
  Control& timer = w.c("Tiball");
  w.c("OpCl", 2).setValue(1);
  EXPECT_TRUE(timer.enabled());
  EXPECT_EQ(timer.interval(), 6000);
  drawEverywhere();
  timer.tick();
  EXPECT_TRUE(allClear());

  // No clearing while a body is being edited.
  w.c("TXTOden").setVisible(true);
  drawEverywhere();
  timer.tick();
  EXPECT_FALSE(allClear());
  w.c("TXTOden").setVisible(false);

  // The longest period TXref holds, and texts that give no period.
  w.c("TXref").setText("999");
  w.c("TXref").lostFocus();
  EXPECT_EQ(timer.interval(), 999000);
  EXPECT_TRUE(timer.enabled());
  for (const char* none : {"0", "abc", "-5"}) {
    w.c("TXref").setText(none);
    w.c("TXref").lostFocus();
    EXPECT_FALSE(timer.enabled()) << none;
  }
  w.c("TXref").setText("2.5");
  w.c("TXref").lostFocus();
  EXPECT_EQ(timer.interval(), 2500);
  w.c("OpCl", 1).setValue(1);
  EXPECT_FALSE(timer.enabled());
}

TEST_F(ClearingTest, NoneAfterZodiacBlanksTheBackground) {
  w.c("OpDate", 3).setValue(1);
  EXPECT_FALSE(w.c("ImMoon").visible());
  EXPECT_TRUE(w.c("ImZod").visible());
  EXPECT_EQ(w.c("ImZod").picture(), "zodiac");
  w.c("OpDate", 0).setValue(1);
  EXPECT_TRUE(w.c("ImZod").visible());
  EXPECT_EQ(w.c("ImZod").picture(), "");
}

TEST_F(ClearingTest, TheRingBlinksWhileTheRunIsStopped) {
  choose(4, 7, 14);
  stopAtCycle(2);
  go();
  Control &ring = w.c("Shark"), &blink = w.c("TiF");
  ASSERT_TRUE(blink.enabled());
  const bool shown = ring.visible();
  blink.tick();
  EXPECT_NE(ring.visible(), shown);
  blink.tick();
  EXPECT_EQ(ring.visible(), shown);
  // Continuing closes the editor: the ring is hidden and stops blinking.
  bool seen = false;
  host.onYield = [&](long) {
    if (seen) return;
    seen = true;
    EXPECT_FALSE(ring.visible());
    EXPECT_FALSE(blink.enabled());
    w.c("CDstop").press();
  };
  w.c("CDcont").press();
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace orbits
