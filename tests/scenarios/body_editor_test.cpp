#include "scenarios/body_editor.h"

#include <gtest/gtest.h>

#include <tuple>

#include "../support/run_fixture.h"
#include "text/number_text.h"

namespace orbits {
namespace {

using testing::RunFixture;

// A run paused after a few cycles, the body editor open on body 0.
struct BodyEditorTest : RunFixture, ::testing::Test {
  void SetUp() override {
    choose(4, 7, 14);
    stopAtCycle(3);
    go();
    ASSERT_EQ(s.runState, RunState::Stop);
    ASSERT_TRUE(w.c("TXTOden").visible());
  }
  void type(int k, const std::string& t) {
    w.c("TXTp", k).setText(t);
    w.c("TXTp", k).lostFocus();
  }
};

TEST_F(BodyEditorTest, ANegativePositionIsCorrectedInTheFieldAndNotApplied) {
  w.c("Qui").setValue(1);
  const double x = s.posX[1], sx = s.screenX[1];
  type(0, "-5");
  EXPECT_EQ(w.c("TXTp", 0).text(), "0");
  EXPECT_EQ(s.posX[1], x);
  EXPECT_EQ(s.screenX[1], sx);
  // Beyond the window: the width in the field, still not applied.
  type(0, "99999");
  EXPECT_EQ(w.c("TXTp", 0).text(), text::plain(w.width()));
  EXPECT_EQ(s.posX[1], x);
}

TEST_F(BodyEditorTest, ANewMassAppliesAtOnceAndUntouchedFieldsChangeNothing) {
  // A mass of more digits than the box shows stays exact while its text is left alone.
  s.bodyMass[1] = 1.6600739000000001e-07;
  w.c("Qui").setValue(0);
  w.c("Qui").setValue(1);
  EXPECT_EQ(w.c("TXTp", 4).text(), text::plain(s.bodyMass[1]));
  type(4, w.c("TXTp", 4).text());
  EXPECT_EQ(s.bodyMass[1], 1.6600739000000001e-07);
  const SimState before = s;
  type(4, "0.001");
  EXPECT_EQ(s.bodyMass[1], 0.001);
  EXPECT_EQ(s.posX[1], before.posX[1]);
  EXPECT_EQ(s.posY[1], before.posY[1]);
  EXPECT_EQ(s.velX[1], before.velX[1]);
  EXPECT_EQ(s.velY[1], before.velY[1]);
}

TEST_F(BodyEditorTest, WhatTheEditorCannotUseIsRefused) {
  w.c("Qui").setValue(1);
  const SimState before = s;
  w.c("TXTp", 2).setText("123");  // a motion, together with a mass that is not a number
  w.c("TXTp", 4).setText("1.5 kg");
  w.c("TXTp", 4).lostFocus();
  EXPECT_EQ(w.c("TXTp", 4).text(), text::plain(before.bodyMass[1]));
  EXPECT_EQ(s.bodyMass[1], before.bodyMass[1]);
  EXPECT_EQ(s.velX[1], before.velX[1]);
  // A body number beyond the table: the body shown stays.
  w.c("Qui").setMax(500);
  w.c("Qui").setValue(42);
  EXPECT_EQ(w.c("TXTOden").text(), "1");
  EXPECT_EQ(w.c("Qui").value(), 1);
}

TEST_F(BodyEditorTest, AValueThatWouldOverflowTheStateIsRefusedWithTheReason) {
  w.c("Qui").setValue(1);
  const SimState before = s;
  const size_t messages = host.messages.size();
  type(6, "1e308");  // a depth, times the scale: beyond any double
  EXPECT_EQ(s.posZ[1], before.posZ[1]);
  EXPECT_EQ(s.screenZ[1], before.screenZ[1]);
  EXPECT_EQ(w.c("TXTp", 6).text(), text::plain(before.screenZ[1]));
  ASSERT_EQ(host.messages.size(), messages + 1);
  EXPECT_EQ(host.messages.back().text, kEditRefusedText);
  // A motion beyond the doubles is refused like a mass that is not a number, and a mass a save
  // could not keep with the reason.
  for (const auto& [field, typed, why] :
       {std::tuple{3, "1e309", kMotionRefusedText}, {4, "1e-305", kMassRefusedText}}) {
    type(field, typed);
    EXPECT_EQ(s.velY[1], before.velY[1]) << typed;
    EXPECT_EQ(s.bodyMass[1], before.bodyMass[1]) << typed;
    EXPECT_EQ(w.c("TXTp", field).text(),
              field == 3 ? text::plain(before.velY[1]) : text::plain(before.bodyMass[1]));
    EXPECT_EQ(host.messages.back().text, why);
  }
  // A huge but finite speed is the run's to stop, not the editor's.
  type(2, "1e155");
  EXPECT_EQ(s.velX[1], 1e155);
  EXPECT_EQ(host.messages.size(), messages + 3);
}

TEST_F(BodyEditorTest, FieldsShowFifteenDigitsAndKeepTheValueExactWhileUnchanged) {
  w.c("Qui").setValue(1);
  s.velX[1] = 0.1 + 0.2;  // 0.30000000000000004
  s.screenX[1] = 7000.123456789012345;
  SetBody(w, 1);
  EXPECT_EQ(w.c("TXTp", 2).text(), "0.3");
  EXPECT_EQ(w.c("TXTp", 0).text(), "7000.12345678901");
  const SimState before = s;
  type(4, "0.5");  // applies every field
  EXPECT_EQ(s.velX[1], before.velX[1]);
  EXPECT_EQ(s.screenX[1], before.screenX[1]);
  EXPECT_EQ(s.posX[1], before.posX[1]);
  EXPECT_EQ(s.bodyMass[1], 0.5);
}

TEST_F(BodyEditorTest, ABodyOutOfPlayShowsPlanetOffAndCanBeSwitchedOn) {
  s.bodyOff[1] = 1;
  w.c("Qui").setValue(1);
  Control& on = w.c("Chon");
  EXPECT_EQ(on.value(), 1);
  EXPECT_EQ(on.text(), "Planet OFF");
  EXPECT_EQ(on.foreColor(), rgb(191, 96, 0));
  on.setValue(0);
  EXPECT_EQ(s.bodyOff[1], 0);
  EXPECT_EQ(on.text(), "Planet ON");
  EXPECT_EQ(on.foreColor(), rgb(128, 255, 191));
  EXPECT_EQ(w.c("La", 0).text(), "Earth");
  EXPECT_TRUE(w.c("Shark").visible());
}

TEST_F(BodyEditorTest, VisualModeMovesTheBodyWithTheScrollBars) {
  w.c("Qui").setValue(1);
  w.c("Opadd", 1).setValue(1);
  EXPECT_TRUE(w.c("Hsp", 0).visible());
  EXPECT_TRUE(w.c("TXTp", 0).locked());
  EXPECT_TRUE(w.c("TXTp", 3).locked());
  EXPECT_FALSE(w.c("TXTp", 4).locked());
  EXPECT_FALSE(w.c("TXTp", 5).locked());
  w.c("Hsp", 0).setValue(5000);
  EXPECT_EQ(w.c("TXTp", 0).text(), "5000");
  EXPECT_EQ(s.screenX[1], 5000);
  EXPECT_EQ(s.posX[1], (5000 - s.viewOffsetX) * s.distScale);
  // The ring follows the body.
  EXPECT_EQ(w.c("Shark").left(), 4388);  // 5000 - 112.5 - 500, halves to even
  // Back in num mode the scroll bars hide and the fields unlock.
  w.c("Opadd", 0).setValue(1);
  EXPECT_FALSE(w.c("Hsp", 0).visible());
  EXPECT_FALSE(w.c("TXTp", 0).locked());
}

TEST_F(BodyEditorTest, ABodyOutsideTheWindowLeavesTheScrollBarsAlone) {
  w.c("Qui").setValue(1);
  const int h0 = w.c("Hsp", 0).value(), h1 = w.c("Hsp", 1).value();
  s.screenX[2] = -100, s.screenY[2] = 500, s.screenZ[2] = 0;
  s.lastBody = 2;
  w.c("Qui").setMax(2);
  w.c("Qui").setValue(2);
  EXPECT_EQ(w.c("Hsp", 0).value(), h0);
  EXPECT_EQ(w.c("Hsp", 1).value(), h1);
  s.screenX[2] = 500, s.screenZ[2] = 30000;
  SetBody(w, 2);
  EXPECT_EQ(w.c("Hsp", 0).value(), h0);
}

}  // namespace
}  // namespace orbits
