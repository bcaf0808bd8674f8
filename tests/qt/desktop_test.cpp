#include "qt/main_view.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <string>
#include <vector>

#include "panel/wired_window.h"
#include "qt/pictures.h"
#include "qt/qt_host.h"
#include "window/main_window.h"

namespace orbits::qt {
namespace {

struct FakeHost : Host {
  std::vector<std::string> opened, messages;
  int quits = 0;
  void yield() override {}
  void messageBox(const std::string& text, const std::string&, MessageIcon) override {
    messages.push_back(text);
  }
  bool openAddress(const std::string& address) override {
    opened.push_back(address);
    return true;
  }
  text::DateTime now() override { return {}; }
  void quit() override { ++quits; }
  std::string dataDir() override { return "."; }
};

// Whether the core shows a control: itself and every frame it lies in are visible.
bool shown(Panel& panel, const Control& c) {
  if (!c.visible() || c.kind() == Kind::Timer) return false;
  if (c.container().empty()) return true;
  Control* frame = panel.find(c.container());
  return frame && frame->kind() == Kind::Frame && frame != &c && shown(panel, *frame);
}

void click(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->click();
  QPointF at(w->width() / 2.0, w->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, at, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, at, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(w, &press);
  QApplication::sendEvent(w, &release);
}

struct DesktopTest : ::testing::Test {
  FakeHost host;
  WiredWindow core{host};
  Desktop desktop{core};
  DesktopTest() { desktop.show(); }
};

TEST_F(DesktopTest, EveryControlTheCoreShowsHasAVisibleWidgetInsideTheWindow) {
  TopWindow& win = desktop.mainWindow();
  EXPECT_TRUE(win.isVisible());
  EXPECT_EQ(win.size(), QSize(1024, 768));
  EXPECT_EQ(win.windowTitle(), MainWindow::kTitle);
  const QRect inside(0, 0, 1024, 768);
  int checked = 0;
  std::string outside, invisible;
  for (Control& c : core.panel.all()) {
    if (!shown(core.panel, c)) continue;
    QWidget* w = desktop.mainView().widgetOf(c);
    ASSERT_NE(w, nullptr) << c.ref();
    if (!w->isVisible()) invisible += c.ref() + " ";
    QRect r(w->mapTo(&win, QPoint(0, 0)), w->size());
    if (!inside.contains(r)) outside += c.ref() + " ";
    ++checked;
  }
  EXPECT_EQ(invisible, "");
  EXPECT_EQ(outside, "");
  RecordProperty("controls", checked);
}

TEST_F(DesktopTest, AClickReachesTheCoreAndTheCoreReachesTheWidget) {
  Control* target = nullptr;
  for (Control& c : core.panel.all())
    if (c.kind() == Kind::Button && shown(core.panel, c)) target = &c;
  ASSERT_NE(target, nullptr) << "the panel shows no button";
  int pressed = 0;
  target->onClick = [&](int) { ++pressed; };
  QWidget* w = desktop.mainView().widgetOf(*target);
  click(w);
  EXPECT_EQ(pressed, 1);
  target->setText("Changed");
  target->setVisible(false);
  desktop.refresh();
  EXPECT_EQ(qobject_cast<QAbstractButton*>(w)->text(), "Changed");
  EXPECT_FALSE(w->isVisible());
}

TEST_F(DesktopTest, ExitShowsTheSplashWindowAndItsXEndsTheProgram) {
  ASSERT_NE(core.panel.find("Command1"), nullptr) << "no Exit button in the panel";
  EXPECT_EQ(desktop.splashWindow(), nullptr) << "created when first needed";
  click(desktop.mainView().widgetOf("Command1"));
  ASSERT_NE(desktop.splashWindow(), nullptr);
  TopWindow& splash = *desktop.splashWindow();
  EXPECT_TRUE(splash.isVisible());
  EXPECT_FALSE(desktop.mainWindow().isVisible());
  EXPECT_EQ(splash.size(), QSize(445, 656));
  EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
  for (Control& c : core.shell.splash.all()) {
    QWidget* w = splash.view().widgetOf(c);
    ASSERT_NE(w, nullptr) << c.ref();
    EXPECT_TRUE(w->isVisible()) << c.ref();
  }
  // The "x" buttons stand in the corners, over the picture, pale yellow.
  for (int i = 0; i < 2; ++i) {
    QWidget* x = splash.view().widgetOf("Command2", i);
    const QRect place(i == 0 ? 0 : 420, 0, 25, 33);
    EXPECT_EQ(x->geometry(), place) << i;
    EXPECT_EQ(splash.view().childAt(place.center()), x) << "x " << i << " is covered";
    EXPECT_EQ(qobject_cast<QAbstractButton*>(x)->text(), "x");
    EXPECT_EQ(x->palette().color(QPalette::Button), QColor(255, 255, 192));
  }
  QImage shot = splash.grab().toImage();
  EXPECT_FALSE(QDir().mkpath(ORBITS_SCREENSHOT_DIR) == false);
  EXPECT_TRUE(shot.save(QString(ORBITS_SCREENSHOT_DIR) + "/splash-window.png"));

  click(splash.view().widgetOf("Command2", 1));
  EXPECT_EQ(host.quits, 1);
  EXPECT_FALSE(splash.isVisible());
  EXPECT_FALSE(desktop.mainWindow().isVisible());
  // Once ending, no further action reaches the core.
  click(splash.view().widgetOf("Command1"));
  EXPECT_TRUE(host.opened.empty());
}

TEST_F(DesktopTest, EscapeOnTheSplashWindowEndsTheProgram) {
  showSplash(core);
  desktop.refresh();
  ASSERT_NE(desktop.splashWindow(), nullptr);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(desktop.splashWindow(), &escape);
  EXPECT_EQ(host.quits, 1);
  EXPECT_TRUE(core.shell.ending);
}

TEST_F(DesktopTest, LinksCallTheHostsOpenAddressService) {
  showSplash(core);
  desktop.refresh();
  ASSERT_NE(desktop.splashWindow(), nullptr);
  PanelView& splash = desktop.splashWindow()->view();
  click(splash.widgetOf("Command1"));
  click(splash.widgetOf("Picture1"));
  EXPECT_EQ(host.opened, (std::vector<std::string>{core.shell.homePage, core.shell.starshipPage}));
  EXPECT_TRUE(desktop.splashWindow()->isVisible()) << "a link changes nothing else";
}

TEST_F(DesktopTest, ClosingTheWindowEndsTheProgram) {
  desktop.mainWindow().close();
  EXPECT_EQ(host.quits, 1);
  EXPECT_TRUE(core.shell.ending);
  desktop.refresh();
  EXPECT_FALSE(desktop.mainWindow().isVisible());
}

TEST_F(DesktopTest, ScreenshotOfTheMainWindow) {
  QApplication::processEvents();
  QImage shot = desktop.mainWindow().grab().toImage();
  ASSERT_EQ(shot.size(), QSize(1024, 768));
  ASSERT_TRUE(QDir().mkpath(ORBITS_SCREENSHOT_DIR));
  EXPECT_TRUE(shot.save(QString(ORBITS_SCREENSHOT_DIR) + "/main-window.png"));
}

TEST_F(DesktopTest, AResizedWindowScalesItsViewAndItsSizeIsKeptInTheTestSettings) {
  TopWindow& win = desktop.mainWindow();
  win.resize(2048, 1600);
  QApplication::processEvents();
  EXPECT_DOUBLE_EQ(desktop.mainView().scale(), 2.0);
  EXPECT_EQ(desktop.mainView().geometry(), QRect(0, 32, 2048, 1536)) << "letterboxed";
  QSettings settings;
  EXPECT_EQ(settings.value("mainWindow/size").toSize(), QSize(2048, 1600));
  EXPECT_TRUE(settings.fileName().startsWith(
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
  EXPECT_TRUE(QStandardPaths::isTestModeEnabled()) << "never the user's own settings";
  settings.remove("mainWindow/size");
}

TEST(Pictures, AreDrawnAtTheirSizesAndAreNotBlank) {
  struct Want {
    const char* name;
    QSize size;
  };
  for (Want w : {Want{"moon", {640, 436}}, Want{"zodiac", {681, 520}}, Want{"picoc", {33, 39}},
                 Want{"pico2", {51, 34}}, Want{"splash", {445, 625}}, Want{"go", {24, 24}},
                 Want{"web", {24, 24}}}) {
    const QPixmap& pm = picture(w.name);
    ASSERT_FALSE(pm.isNull()) << w.name;
    EXPECT_EQ(pm.size(), w.size) << w.name;
    QImage img = pm.toImage();
    int colored = 0;
    for (int y = 0; y < img.height(); y += 2)
      for (int x = 0; x < img.width(); x += 2)
        if (qGray(img.pixel(x, y)) > 40 && qAlpha(img.pixel(x, y)) > 0) ++colored;
    EXPECT_GT(colored, 12) << w.name;
    ASSERT_TRUE(QDir().mkpath(ORBITS_SCREENSHOT_DIR));
    img.save(QString(ORBITS_SCREENSHOT_DIR) + "/picture-" + w.name + ".png");
  }
  EXPECT_TRUE(picture("").isNull());
  EXPECT_TRUE(picture("no such picture").isNull());
}

TEST(QtHostTest, TheInstalledProgramFindsItsHelpPageInItsDataDirectory) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  const QDir prefix(root.path());
  ASSERT_TRUE(prefix.mkpath("bin") && prefix.mkpath("share/orbits"));
  const QString bin = prefix.filePath("bin"), share = prefix.filePath("share/orbits");
  EXPECT_EQ(QtHost::shippedDir("orbits-help.html", bin), bin) << "found nowhere: beside it";
  QFile(QDir(share).filePath("orbits-help.html")).open(QIODevice::WriteOnly);
  EXPECT_EQ(QtHost::shippedDir("orbits-help.html#starship", bin), share);
  QFile(QDir(bin).filePath("orbits-help.html")).open(QIODevice::WriteOnly);
  EXPECT_EQ(QtHost::shippedDir("orbits-help.html", bin), bin) << "beside it comes first";
}

TEST(QtHostTest, AddressesWithoutSchemeAreFilesBesideTheProgram) {
  QUrl page = QtHost::resolve("orbits-help.html#starship", "/opt/orbits");
  EXPECT_TRUE(page.isLocalFile());
  EXPECT_EQ(page.toLocalFile(), "/opt/orbits/orbits-help.html");
  EXPECT_EQ(page.fragment(), "starship");
  EXPECT_EQ(QtHost::resolve("https://example.org/a?b#c", "/x").toString(),
            "https://example.org/a?b#c");

  QtHost host("/tmp/data");
  std::vector<QUrl> urls;
  host.setOpener([&](const QUrl& u) {
    urls.push_back(u);
    return false;
  });
  EXPECT_FALSE(host.openAddress("orbits-help.html"));
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0].fileName(), "orbits-help.html");
  EXPECT_EQ(host.dataDir(), "/tmp/data");
  EXPECT_FALSE(QtHost().dataDir().empty());
}

TEST(QtHostTest, AfterQuitTheRunLoopUnwindsAtItsNextYield) {
  QtHost host;
  host.yield();  // before the end: returns
  host.quit();
  EXPECT_TRUE(host.ending());
  EXPECT_THROW(host.yield(), ProgramEnding);
  host.messageBox("not shown", "t");  // returns at once once ending
}

}  // namespace
}  // namespace orbits::qt

namespace orbits::qt {
namespace {

// A run loop in progress (a handler that yields once per cycle) when the user ends the
// program: the loop unwinds at its next yield, the view swallows the unwinding, and nothing
// more reaches the core.
TEST(QtHostTest, EndingDuringARunLoopUnwindsItCleanly) {
  QtHost host;
  WiredWindow core(host);
  Desktop desktop(core, &host);
  desktop.show();
  Control* go = nullptr;
  for (Control& c : core.panel.all())
    if (c.kind() == Kind::Button && c.visible() && c.container().empty()) go = &c;
  ASSERT_NE(go, nullptr);
  long cycles = 0;
  bool unwound = true;
  go->onClick = [&](int) {
    unwound = false;
    // The user ends the program while the loop runs; it arrives at the first yield.
    QMetaObject::invokeMethod(
        qApp, [&] { endProgram(core); }, Qt::QueuedConnection);
    for (;;) {
      ++cycles;
      host.yield();
      ASSERT_LT(cycles, 100'000'000) << "the loop never unwound";
    }
  };
  qobject_cast<QAbstractButton*>(desktop.mainView().widgetOf(*go))->click();
  EXPECT_TRUE(host.ending());
  EXPECT_TRUE(core.shell.ending);
  EXPECT_FALSE(unwound) << "the handler did not return normally";
  EXPECT_GE(cycles, 1);
  EXPECT_FALSE(desktop.mainWindow().isVisible());
  // Further clicks do not reach the core.
  go->onClick = [&](int) { unwound = true; };
  qobject_cast<QAbstractButton*>(desktop.mainView().widgetOf(*go))->click();
  EXPECT_FALSE(unwound);
}

}  // namespace
}  // namespace orbits::qt

namespace orbits::qt {
namespace {

// "user edit G": the user can type at once, and reads what is typed.
TEST(QtHostTest, UserEditOfGPutsTheFocusIntoTheGBox) {
  QtHost host(QDir::tempPath().toStdString());
  WiredWindow core(host);
  Desktop desktop(core, &host);
  desktop.show();
  desktop.mainWindow().activateWindow();
  auto* option = qobject_cast<QAbstractButton*>(desktop.mainView().widgetOf("opGee", 0));
  ASSERT_NE(option, nullptr);
  option->click();
  QWidget* box = desktop.mainView().widgetOf("TXTgravity");
  EXPECT_EQ(desktop.mainWindow().focusWidget(), box);
  const QPalette& pal = box->palette();
  EXPECT_GT(
      std::abs(qGray(pal.color(QPalette::Text).rgb()) - qGray(pal.color(QPalette::Base).rgb())),
      128);
}

}  // namespace
}  // namespace orbits::qt
