#include "scenarios/gravity_settings.h"

#include <gtest/gtest.h>

#include "../support/test_host.h"
#include "form/color.h"
#include "window/main_window.h"

namespace orbits {
namespace {

struct GravitySettingsTest : ::testing::Test {
  testing::TestHost host;
  MainWindow w{host};
  SimState& s = w.sim;
};

TEST_F(GravitySettingsTest, EachFixedOptionFillsTheTextAndTheConstantAtOnce) {
  const char* texts[] = {nullptr, "6.67408", "6.67348", "6.67312", "6.67259"};
  const double values[] = {0, 6.67408, 6.67348, 6.67312, 6.67259};
  Control& g = w.c("TXTgravity");
  for (int k : {2, 1, 3, 4}) {
    g.setForeColor(kWhite);
    w.c("opGee", k).setValue(1);
    EXPECT_EQ(g.text(), texts[k]) << k;
    EXPECT_EQ(s.gravConstant, values[k] * 1.98855 * 225) << k;
    EXPECT_EQ(s.gravityOption, k);
    EXPECT_EQ(g.foreColor(), w.c("TXTp", 4).foreColor()) << k;
  }
}

TEST_F(GravitySettingsTest, UserOptionKeepsTheTypedTextTurnsItWhiteAndUsesIt) {
  Control& g = w.c("TXTgravity");
  g.typeText("7");
  // Typing alone changes nothing in force.
  EXPECT_EQ(s.gravConstant, 6.67259 * 1.98855 * 225);
  w.c("opGee", 0).setValue(1);
  EXPECT_EQ(g.text(), "7");
  EXPECT_EQ(g.foreColor(), kWhite);
  EXPECT_EQ(s.gravConstant, 7 * 1.98855 * 225);
  EXPECT_EQ(s.gravityOption, 0);
  // Text that is no number reads as 0: no pull at all, and no failure.
  w.c("opGee", 3).setValue(1);
  g.typeText("abc");
  w.c("opGee", 0).setValue(1);
  EXPECT_EQ(s.gravConstant, 0);
}

}  // namespace
}  // namespace orbits
