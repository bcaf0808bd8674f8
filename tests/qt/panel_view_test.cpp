#include "qt/panel_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <vector>

#include "form/panel.h"
#include "form/surface.h"
#include "qt/text_fit.h"

namespace orbits::qt {
namespace {

int u(int pixels) { return pixels * kUnitsPerPixel; }

// A small panel with one control of each kind the view shows.
struct PanelViewTest : ::testing::Test {
  Panel panel;
  Surface surface{200, 150};
  std::vector<std::string> log;

  PanelViewTest() {
    Control& frame = panel.add(Kind::Frame, "FraDist");
    frame.move(u(100), u(40), u(90), u(100));
    frame.setText("Distance Scale");
    for (int i = 0; i < 3; ++i) {
      Control& o = panel.add(Kind::Option, "OpDist", i);
      o.move(u(4), u(14 + 18 * i), u(80), u(16));
      o.setContainer("FraDist");
      o.setText("1 px = " + std::to_string(i));
    }
    Control& other = panel.add(Kind::Option, "OpCl", 0);
    other.move(u(4), u(120), u(60), u(16));
    other.setValue(1);
    panel.add(Kind::Button, "CDstop").move(u(4), u(4), u(50), u(20));
    panel.at("CDstop").setText("Stop");
    Control& check = panel.add(Kind::CheckBox, "Chend");
    check.move(u(4), u(28), u(80), u(16));
    check.setText("Expand");
    Control& text = panel.add(Kind::TextBox, "TXref");
    text.move(u(4), u(48), u(40), u(18));
    text.setText("6");
    text.setMaxLength(3);
    Control& label = panel.add(Kind::Label, "LaWatch");
    label.move(u(4), u(70), u(60), u(14));
    label.setText("Recent & now");
    Control& bar = panel.add(Kind::HScroll, "HStheta");
    bar.move(u(4), u(88), u(90), u(14));
    bar.setRange(1, 9999);
    bar.setValue(2);
    panel.add(Kind::Timer, "Tiball").setInterval(1000);
    panel.at("Tiball").setEnabled(false);
    panel.add(Kind::Image, "ImMoon").move(u(60), u(4), u(30), u(20));
    Control& pic = panel.add(Kind::Picture, "PiZZ");
    pic.move(u(150), u(4), u(40), u(30));
    Control& hidden = panel.add(Kind::Button, "Command2");
    hidden.move(u(4), u(104), u(30), u(14));
    hidden.setVisible(false);
    Control& far = panel.add(Kind::Image, "ImBG", 3);
    far.setContainer("FoImages");

    panel.onClick("OpDist", [this](int i) { log.push_back("OpDist " + std::to_string(i)); });
    panel.at("CDstop").onClick = [this](int) { log.push_back("stop"); };
    panel.at("Chend").onClick = [this](int) { log.push_back("Chend"); };
    panel.at("TXref").onChange = [this](int) {
      log.push_back("change " + panel.at("TXref").text());
    };
    panel.at("TXref").onLostFocus = [this](int) { log.push_back("left"); };
    panel.at("LaWatch").onClick = [this](int) { log.push_back("watch"); };
    panel.at("HStheta").onChange = [this](int) {
      log.push_back("theta " + std::to_string(panel.at("HStheta").value()));
    };
    panel.at("Tiball").onTick = [this](int) { log.push_back("tick"); };
  }

  template <typename W>
  W* widget(PanelView& v, std::string_view name, int index = -1) {
    auto* w = qobject_cast<W*>(v.widgetOf(name, index));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
};

TEST_F(PanelViewTest, WidgetsStandWhereTheCoreSaysInsideTheirFrames) {
  PanelView view(panel, &surface);
  view.resize(200, 150);
  view.show();
  auto* frame = widget<QGroupBox>(view, "FraDist");
  EXPECT_EQ(frame->title(), "Distance Scale");
  EXPECT_EQ(frame->geometry(), QRect(100, 40, 90, 100));
  QWidget* option = view.widgetOf("OpDist", 2);
  EXPECT_EQ(option->parentWidget(), frame) << "placed relative to its frame";
  EXPECT_EQ(option->geometry(), QRect(4, 50, 80, 16));
  EXPECT_EQ(widget<QLabel>(view, "LaWatch")->text(), "Recent & now");
  EXPECT_EQ(widget<QLineEdit>(view, "TXref")->maxLength(), 3);
  EXPECT_FALSE(view.widgetOf("Command2")->isVisible()) << "hidden in the core";
  EXPECT_FALSE(view.widgetOf("ImBG", 3)->isVisible()) << "on a window never shown";
  EXPECT_EQ(view.widgetOf("Tiball"), nullptr);
  EXPECT_NE(view.timerOf(panel.at("Tiball")), nullptr);
}

TEST_F(PanelViewTest, ClicksReachTheHandlersAndCoreChangesReachTheWidgets) {
  PanelView view(panel, &surface);
  view.show();
  widget<QPushButton>(view, "CDstop")->click();
  auto* check = widget<QCheckBox>(view, "Chend");
  check->click();
  EXPECT_EQ(panel.at("Chend").value(), 1);
  EXPECT_EQ(check->checkState(), Qt::Checked);
  check->click();
  EXPECT_EQ(panel.at("Chend").value(), 0);

  // The core greys the box: the widget follows after a refresh, and sends nothing back.
  panel.at("Chend").onClick = nullptr;
  panel.at("Chend").setValue(2);
  panel.at("CDstop").setText("Halt");
  panel.at("CDstop").setVisible(false);
  log.push_back("--");
  view.refresh();
  EXPECT_EQ(check->checkState(), Qt::PartiallyChecked);
  EXPECT_EQ(widget<QPushButton>(view, "CDstop")->text(), "Halt");
  EXPECT_FALSE(view.widgetOf("CDstop")->isVisible());
  check->click();
  EXPECT_EQ(panel.at("Chend").value(), 1) << "a click on a greyed box ticks it";

  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(view.widgetOf("LaWatch"), &press);
  QApplication::sendEvent(view.widgetOf("LaWatch"), &release);
  EXPECT_EQ(log, (std::vector<std::string>{"stop", "Chend", "Chend", "--", "watch"}));
}

TEST_F(PanelViewTest, OptionsAreExclusivePerArrayAsTheCoreDecides) {
  PanelView view(panel, &surface);
  view.show();
  auto* o0 = widget<QRadioButton>(view, "OpDist", 0);
  auto* o2 = widget<QRadioButton>(view, "OpDist", 2);
  auto* cl = widget<QRadioButton>(view, "OpCl", 0);
  EXPECT_FALSE(o0->isChecked() || o2->isChecked()) << "an array with none selected shows none";
  EXPECT_TRUE(cl->isChecked());
  o2->click();
  o0->click();
  o0->click();  // already selected: stays selected, runs nothing
  EXPECT_EQ(log, (std::vector<std::string>{"OpDist 2", "OpDist 0"}));
  EXPECT_TRUE(o0->isChecked());
  EXPECT_FALSE(o2->isChecked());
  EXPECT_TRUE(cl->isChecked()) << "another array keeps its selection";
  panel.at("OpDist", 1).setValue(1);  // from code
  view.refresh();
  EXPECT_FALSE(o0->isChecked());
  EXPECT_TRUE(widget<QRadioButton>(view, "OpDist", 1)->isChecked());
  EXPECT_EQ(log.size(), 3u) << "showing the core's choice sends no click back";
}

TEST_F(PanelViewTest, TypingChangesTheTextAndLeavingRunsTheLostFocusHandlerOnce) {
  PanelView view(panel, &surface);
  view.show();
  auto* edit = widget<QLineEdit>(view, "TXref");
  edit->setFocus();
  edit->end(false);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_2, Qt::NoModifier, "2");
  QApplication::sendEvent(edit, &key);
  EXPECT_EQ(panel.at("TXref").text(), "62");
  QFocusEvent activation(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(edit, &activation);  // the window lost the activation: no leave
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(edit, &leave);
  EXPECT_EQ(log, (std::vector<std::string>{"change 62", "left"}));

  panel.at("TXref").setLocked(true);
  panel.at("TXref").onChange = nullptr;
  panel.at("TXref").setText("9");
  view.refresh();
  EXPECT_TRUE(edit->isReadOnly());
  EXPECT_EQ(edit->text(), "9");
  EXPECT_EQ(log.size(), 2u) << "a text set by the core is no edit of the user";
}

TEST_F(PanelViewTest, ClickingAButtonLeavesTheTextBoxBeforeTheButtonActs) {
  PanelView view(panel, &surface);
  view.show();
  view.activateWindow();
  auto* edit = widget<QLineEdit>(view, "TXref");
  edit->setFocus(Qt::OtherFocusReason);
  QApplication::processEvents();
  if (!edit->hasFocus()) GTEST_SKIP() << "the platform gives no keyboard focus";
  // A real click: the mouse press moves the focus, as on the screen.
  QTest::mouseClick(view.widgetOf("CDstop"), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(log, (std::vector<std::string>{"left", "stop"}));
}

TEST_F(PanelViewTest, ScrollBarsAndTimersDriveTheCore) {
  PanelView view(panel, &surface);
  view.show();
  auto* bar = widget<QScrollBar>(view, "HStheta");
  EXPECT_EQ(bar->minimum(), 1);
  EXPECT_EQ(bar->maximum(), 9999);
  EXPECT_EQ(bar->value(), 2);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(panel.at("HStheta").value(), 3);
  panel.at("HStheta").onChange = nullptr;
  panel.at("HStheta").setValue(50);
  view.refresh();
  EXPECT_EQ(bar->value(), 50);

  QTimer* timer = view.timerOf(panel.at("Tiball"));
  EXPECT_FALSE(timer->isActive());
  panel.at("Tiball").setInterval(6000);
  panel.at("Tiball").setEnabled(true);
  view.refresh();
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 6000);
  QMetaObject::invokeMethod(timer, "timeout");
  panel.at("Tiball").setInterval(0);  // an interval of 0 stops the timer
  view.refresh();
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(log, (std::vector<std::string>{"theta 3", "tick"}));
}

TEST_F(PanelViewTest, SurfacesArePaintedAndImagesLieBehindTheDrawing) {
  PanelView view(panel, &surface);
  view.resize(200, 150);
  view.show();
  Control& pic = panel.at("PiZZ");
  pic.surface()->setPoint(u(10), u(10), rgb(0, 255, 0));
  surface.setPoint(u(95), u(145), rgb(255, 0, 0));  // on the bare surface
  surface.setPoint(u(70), u(10), rgb(0, 0, 255));   // over the image ImMoon
  view.refresh();
  QImage shot = view.grab().toImage();
  EXPECT_EQ(shot.pixelColor(95, 145), QColor(255, 0, 0));
  EXPECT_EQ(shot.pixelColor(160, 14), QColor(0, 255, 0));
  EXPECT_EQ(shot.pixelColor(70, 10), QColor(0, 0, 255)) << "the drawing shows over the image";
  EXPECT_NE(shot.pixelColor(62, 6), QColor(0, 0, 0)) << "the start-up picture shows";

  // A later point on the surface reaches the window after a refresh.
  surface.setPoint(u(30), u(140), rgb(255, 255, 0));
  view.refresh();
  EXPECT_EQ(view.grab().toImage().pixelColor(30, 140), QColor(255, 255, 0));
  surface.clear();
  view.refresh();
  EXPECT_EQ(view.grab().toImage().pixelColor(30, 140), QColor(0, 0, 0));
}

}  // namespace
}  // namespace orbits::qt

namespace orbits::qt {
namespace {

// A number shown shortened must never read as another number: it loses fraction digits only.
TEST(TextFit, AShortenedNumberKeepsItsWholePartAndExponent) {
  const QFont font = PanelView::viewFont();
  const QFontMetrics fm(font);
  const QString ellipsis(QChar(0x2026));
  const int room = fm.horizontalAdvance("1.2345678E-05");
  EXPECT_EQ(shortened("1.23456789012345E-05", font, room), "1.23456" + ellipsis + "E-05");
  EXPECT_EQ(shortened("-15000000000000.00000", font, fm.horizontalAdvance("-15000000000000.0…")),
            "-15000000000000.0" + ellipsis);
  EXPECT_EQ(shortened("15000000000000.00000", font, fm.horizontalAdvance("150000")), ellipsis)
      << "not even the whole part fits";
  EXPECT_EQ(shortened("Jupiter\n New Year", font, fm.horizontalAdvance("Jupiter New")),
            fm.elidedText("Jupiter New Year", Qt::ElideRight, fm.horizontalAdvance("Jupiter New")));
  EXPECT_EQ(shortened("0.00015", font, room), "0.00015") << "what fits stays whole";
}

}  // namespace
}  // namespace orbits::qt
