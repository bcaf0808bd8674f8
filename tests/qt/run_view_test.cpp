// What a user sees of a run: the trail of the watched planet, the side views, the zodiac
// background and the body editor's marker after Stop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "panel/wired_window.h"
#include "qt/main_view.h"
#include "window/main_window.h"

namespace orbits::qt {
namespace {

// Runs a scenario for a fixed number of cycles, then presses Stop as a user would.
struct RunHost : Host {
  QTemporaryDir dir;
  MainWindow* core = nullptr;
  long cycles = 0, stopAt = 0;
  std::vector<std::string> messages;
  void yield() override {
    if (++cycles == stopAt && core) core->c("CDstop").press();
  }
  void messageBox(const std::string& text, const std::string&, MessageIcon) override {
    messages.push_back(text);
  }
  bool openAddress(const std::string&) override { return true; }
  text::DateTime now() override { return {text::Date::fromYmd(2024, 1, 1), 12, 0, 0}; }
  void quit() override {}
  std::string dataDir() override { return dir.path().toStdString(); }
};

int pixelsOf(const QImage& img, QColor a, QColor b) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      QColor c = img.pixelColor(x, y);
      n += (c == a || c == b);
    }
  return n;
}

void save(const QImage& shot, const char* name) {
  ASSERT_TRUE(QDir().mkpath(ORBITS_SCREENSHOT_DIR));
  EXPECT_TRUE(shot.save(QString(ORBITS_SCREENSHOT_DIR) + "/" + name));
}

struct RunViewTest : ::testing::Test {
  RunHost host;
  WiredWindow core{host};
  Desktop desktop{core};
  RunViewTest() {
    host.core = &core;
    desktop.show();
  }
  QImage shot() {
    desktop.refresh();
    QApplication::processEvents();
    return desktop.mainWindow().grab().toImage();
  }
};

TEST_F(RunViewTest, JupitersTrailGrowsAroundTheSun) {
  host.stopAt = 150000;  // about 7 years of the preset's time rate
  core.c("CDp", 5).press();
  ASSERT_EQ(core.sim.runState, RunState::Stop);
  QImage img = shot();
  save(img, "preset-5-jupiter.png");
  // Jupiter's dots, in its colour or the alternate shade of even orbits.
  EXPECT_GT(pixelsOf(img, QColor(255, 255, 0), QColor(102, 102, 0)), 100);
  EXPECT_TRUE(host.messages.empty());
}

TEST_F(RunViewTest, SideViewsZodiacAndTheEditorAfterStop) {
  host.stopAt = 60000;
  core.c("OpDate", 3).setValue(1);
  core.c("CDp", 3).press();  // Earth: the panel shows its own side-view settings
  core.c("ChZAxis").setValue(1);
  core.c("ChZX").setValue(1);
  core.c("OpDate", 3).setValue(1);
  host.stopAt = host.cycles + 60000;
  core.c("CDcont").press();
  ASSERT_EQ(core.sim.runState, RunState::Stop);
  EXPECT_TRUE(core.c("PiZZ").visible());
  EXPECT_TRUE(core.c("PiZX").visible());
  EXPECT_TRUE(core.c("Frame2").visible()) << "Stop opens the body editor";
  EXPECT_TRUE(core.c("TiF").enabled()) << "the editor's marker blinks";
  for (int i = 0; i < 3; ++i) core.c("TiF").tick();
  save(shot(), "side-views-zodiac-editor.png");
}

}  // namespace
}  // namespace orbits::qt
