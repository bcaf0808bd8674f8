#include "engine/run_control.h"

#include <gtest/gtest.h>

#include "../support/run_fixture.h"

namespace orbits {
namespace {

using testing::RunFixture;

struct RunControlTest : RunFixture, ::testing::Test {
  bool presetsEnabled(int from, int to) {
    for (int i = from; i <= to; ++i)
      if (!w.c("CDp", i).enabled()) return false;
    return true;
  }
  bool presetsDisabled(int from, int to) {
    for (int i = from; i <= to; ++i)
      if (w.c("CDp", i).enabled()) return false;
    return true;
  }
  bool editorShown(bool shown) {
    for (int i = 0; i < 7; ++i)
      if (w.c("TXTp", i).visible() != shown || w.c("Label6", i).visible() != shown) return false;
    for (const char* name : {"TXTOden", "Qui", "Frame2", "Chon", "LabTab"})
      if (w.c(name).visible() != shown) return false;
    return w.c("La", 0).visible() == shown;
  }
};

TEST_F(RunControlTest, RunStatesShowTheirButtons) {
  s.lastPresetIndex = 83;
  choose(4, 7, 14);
  EXPECT_FALSE(w.c("Command2").visible());
  EXPECT_FALSE(w.c("CDstop").visible());
  EXPECT_FALSE(w.c("CDcont").visible());

  // Running: seen from inside the loop's yield.
  bool checked = false;
  host.onYield = [&](long n) {
    if (n != 3) return;
    checked = true;
    EXPECT_EQ(s.runState, RunState::Bat);
    EXPECT_TRUE(w.c("CDstop").visible());
    EXPECT_FALSE(w.c("CDcont").visible());
    EXPECT_FALSE(w.c("Command2").visible());
    EXPECT_TRUE(w.c("Command4").visible());
    EXPECT_TRUE(presetsDisabled(0, 83));
    w.c("CDstop").press();
  };
  go();
  ASSERT_TRUE(checked);

  // Paused.
  EXPECT_EQ(s.runState, RunState::Stop);
  EXPECT_FALSE(w.c("CDstop").visible());
  EXPECT_TRUE(w.c("CDcont").visible());
  EXPECT_TRUE(presetsEnabled(0, 83));
  EXPECT_TRUE(editorShown(true));
  EXPECT_TRUE(w.c("Opadd", 0).selected());
  EXPECT_TRUE(w.c("TiF").enabled());
  EXPECT_EQ(w.c("Hsp", 0).max(), w.width());
  EXPECT_EQ(w.c("Hsp", 1).max(), w.height());
  EXPECT_EQ(w.c("Qui").max(), 8);
  EXPECT_EQ(w.c("Qui").value(), 0);
  EXPECT_EQ(w.c("TXiterations").text(), "3");
  EXPECT_TRUE(w.c("TXapart").visible());
  EXPECT_EQ(s.detailMode, DetailMode::Ok);

  // Continue: running again, the editor hidden, CDp(0) left as it was.
  host.onYield = [&](long n) {
    if (n != 5) return;
    EXPECT_EQ(s.runState, RunState::Bat);
    EXPECT_TRUE(editorShown(false));
    EXPECT_FALSE(w.c("Opadd", 0).selected());
    EXPECT_FALSE(w.c("TiF").enabled());
    EXPECT_TRUE(w.c("CDp", 0).enabled());
    EXPECT_TRUE(presetsDisabled(1, 83));
    EXPECT_FALSE(w.c("CDcont").visible());
    EXPECT_TRUE(w.c("CDstop").visible());
    EXPECT_EQ(w.c("LaChirp", 1).text(), "Scenario information may appear here.");
    w.c("CDstop").press();
  };
  w.c("CDcont").press();
  EXPECT_EQ(s.cycleCount, 5);
  EXPECT_EQ(s.runState, RunState::Stop);
}

TEST_F(RunControlTest, GoScalesVelocitiesOnceAndFillsTheMassTexts) {
  choose(4, 7, 14);
  const double vy = s.velY[1];
  w.c("OpCl", 2).setValue(1);
  w.c("TXref").setText("2.5");
  stopAtCycle(1);
  // Go without the loop's cycle: compare against the velocity before the first move.
  host.onYield = [&](long) { w.c("CDstop").press(); };
  go();
  EXPECT_NEAR(s.velY[1], vy * 1e7, std::abs(vy) * 1e7 * 1e-6);
  EXPECT_EQ(w.c("Tiball").interval(), 2500);
  EXPECT_TRUE(w.c("Tiball").enabled());
  EXPECT_EQ(w.c("TXmass", 0).text(), "1.00000000000000");
  EXPECT_EQ(w.c("TXmass", 1).text(), "0.00000000000000");
  EXPECT_EQ(s.runState, RunState::Stop);
}

}  // namespace
}  // namespace orbits
