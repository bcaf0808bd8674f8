#include "form/panel.h"

#include <gtest/gtest.h>

namespace orbits {
namespace {

TEST(Panel, OptionsAreExclusiveWithinTheirArrayAndRunTheirHandlerOnce) {
  Panel p;
  for (int i = 0; i < 3; ++i) p.add(Kind::Option, "OpCl", i);
  p.add(Kind::Option, "OpDate", 0);
  int clicks = 0, last = -1;
  p.onClick("OpCl", [&](int i) { ++clicks, last = i; });
  p.at("OpDate", 0).setValue(1);
  p.at("OpCl", 1).setValue(1);
  p.at("OpCl", 1).setValue(1);  // unchanged: nothing runs
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(last, 1);
  p.at("OpCl", 2).setValue(1);
  EXPECT_FALSE(p.at("OpCl", 1).selected());
  EXPECT_TRUE(p.at("OpCl", 2).selected());
  EXPECT_TRUE(p.at("OpDate", 0).selected()) << "another array is not touched";
  EXPECT_EQ(clicks, 2);
}

TEST(Panel, UnchangedValuesRunNoHandlerButButtonsAlwaysDo) {
  Panel p;
  Control& box = p.add(Kind::CheckBox, "Chend");
  Control& txt = p.add(Kind::TextBox, "TXref");
  Control& bar = p.add(Kind::HScroll, "HStheta");
  Control& btn = p.add(Kind::Button, "CDstop");
  int n = 0;
  box.onClick = txt.onChange = bar.onChange = btn.onClick = [&](int) { ++n; };
  box.setValue(0);
  txt.setText("");
  bar.setValue(0);
  EXPECT_EQ(n, 0);
  box.setValue(1);
  txt.setText("6");
  bar.setValue(5);
  EXPECT_EQ(n, 3);
  btn.setVisible(false);
  btn.setEnabled(false);
  btn.press();
  EXPECT_EQ(n, 4) << "a button pressed in code runs even when hidden";
}

TEST(Panel, HiddenAndDisabledControlsKeepTheirValues) {
  Panel p;
  Control& box = p.add(Kind::CheckBox, "CheckZero");
  box.setValue(1);
  box.setVisible(false);
  box.setEnabled(false);
  EXPECT_TRUE(box.checked());
  Control& txt = p.add(Kind::TextBox, "TXn");
  txt.setText("8");
  txt.setVisible(false);
  EXPECT_EQ(txt.text(), "8");
}

TEST(Panel, TypingRespectsLockAndMaximumLength) {
  Panel p;
  Control& t = p.add(Kind::TextBox, "TXref");
  t.setMaxLength(3);
  t.typeText("12345");
  EXPECT_EQ(t.text(), "123");
  t.setLocked(true);
  t.typeText("9");
  EXPECT_EQ(t.text(), "123");
  t.setText("45678");  // code is not limited
  EXPECT_EQ(t.text(), "45678");
}

TEST(Panel, FindsControlsByReference) {
  Panel p;
  p.add(Kind::Option, "OpDist", 3);
  p.add(Kind::CheckBox, "Chend");
  EXPECT_NE(p.findRef("OpDist(3)"), nullptr);
  EXPECT_NE(p.findRef("Chend"), nullptr);
  EXPECT_EQ(p.findRef("OpDist(4)"), nullptr);
  EXPECT_EQ(p.findRef("OpDist"), nullptr);
  EXPECT_EQ(p.findRef("OpDist(x)"), nullptr);
  EXPECT_THROW(p.at("Nope"), std::out_of_range);
}

TEST(Panel, ScrollValuesStayInsideTheRange) {
  Panel p;
  Control& bar = p.add(Kind::HScroll, "Hsp", 0);
  bar.setRange(0, 100);
  bar.setValue(500);
  EXPECT_EQ(bar.value(), 100);
  bar.setMax(50);
  EXPECT_EQ(bar.value(), 50);
}

}  // namespace
}  // namespace orbits
