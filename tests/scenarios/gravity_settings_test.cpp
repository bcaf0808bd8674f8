#include "scenarios/gravity_settings.h"

#include <gtest/gtest.h>

#include "../support/test_host.h"
#include "form/color.h"
#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

struct GravitySettingsTest : ::testing::Test {
  testing::TestHost host;
  WiredWindow w{host};
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

// A G the run could not compute with, or a save not keep, is refused when the box is left; the
// text goes back to the one accepted last, typed or put there by an option.
TEST_F(GravitySettingsTest, AGBeyondWhatARunCanKeepIsRefusedWithTheReason) {
  Control& g = w.c("TXTgravity");
  g.typeText("2e297");
  g.lostFocus();
  EXPECT_EQ(g.text(), "2e297");
  EXPECT_TRUE(host.messages.empty());
  w.c("opGee", 2).setValue(1);
  for (const char* typed : {"1e309", "3e297", "-1e-301"}) {
    g.typeText(typed);
    g.lostFocus();
    EXPECT_EQ(g.text(), "6.67348") << typed;
  }
  ASSERT_EQ(host.messages.size(), 3u);
  EXPECT_EQ(host.messages[0].text.rfind("G = 1e309 is beyond the range", 0), 0u)
      << host.messages[0].text;
  EXPECT_NE(host.messages[0].text.find("G stays 6.67348."), std::string::npos);
}

}  // namespace
}  // namespace orbits
