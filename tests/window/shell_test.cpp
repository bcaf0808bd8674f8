#include "window/shell.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel/wired_window.h"
#include "window/main_window.h"

namespace orbits {
namespace {

struct FakeHost : Host {
  std::vector<std::string> opened, messages, titles;
  std::vector<MessageIcon> icons;
  bool browser = true;
  int quits = 0;
  void yield() override {}
  void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
    messages.push_back(text);
    titles.push_back(title);
    icons.push_back(icon);
  }
  bool openAddress(const std::string& address) override {
    opened.push_back(address);
    return browser;
  }
  text::DateTime now() override { return {}; }
  void quit() override { ++quits; }
  std::string dataDir() override { return "."; }
};

// The main panel may not hold the shell's buttons in every build stage; add what is missing.
void ensureShellControls(MainWindow& w) {
  for (const char* name : {"Command1", "Command3", "Command5"})
    if (!w.panel.find(name)) w.panel.add(Kind::Button, name);
  if (!w.panel.find("Label1")) w.panel.add(Kind::Label, "Label1");
  wireShell(w);
}

TEST(Shell, ExitHidesTheMainWindowAndShowsTheSplashWithoutEnding) {
  FakeHost host;
  WiredWindow w(host);
  ASSERT_NE(w.panel.find("Command1"), nullptr) << "no Exit button in the panel";
  uint64_t before = w.shell.revision;
  w.c("Command1").press();
  EXPECT_FALSE(w.shell.mainVisible);
  EXPECT_TRUE(w.shell.splashVisible);
  EXPECT_FALSE(w.shell.ending);
  EXPECT_GT(w.shell.revision, before);
  EXPECT_EQ(host.quits, 0);
  EXPECT_TRUE(host.messages.empty());
  w.c("Command1").press();  // already shown: no change
  EXPECT_TRUE(w.shell.splashVisible);
}

TEST(Shell, TheSplashWindowHoldsItsControls) {
  FakeHost host;
  WiredWindow w(host);
  Panel& s = w.shell.splash;
  EXPECT_EQ(s.at("Picture1").picture(), "splash");
  EXPECT_EQ(s.at("Picture1").tooltip(), "See the starship that will take us to Alpha Centauri");
  EXPECT_EQ(s.at("Command1").tooltip(), "Visit the Website");
  EXPECT_EQ(s.at("Command1").text().rfind("visit:    ", 0), 0u);
  for (int i = 0; i < 2; ++i) {
    Control& x = s.at("Command2", i);
    EXPECT_EQ(x.text(), "x");
    EXPECT_LE(x.left() + x.width(), kSplashWidth);
    EXPECT_EQ(x.height(), 33 * kUnitsPerPixel);
  }
  EXPECT_EQ(s.at("Command2", 1).left(), 420 * kUnitsPerPixel);
  EXPECT_EQ(s.at("Command1").top() + s.at("Command1").height(), kSplashHeight);
}

TEST(Shell, EachXButtonEndsTheProgramOnce) {
  for (int i = 0; i < 2; ++i) {
    FakeHost host;
    WiredWindow w(host);
    showSplash(w);
    w.shell.splash.at("Command2", i).press();
    EXPECT_TRUE(w.shell.ending);
    EXPECT_FALSE(w.shell.splashVisible);
    EXPECT_FALSE(w.shell.mainVisible);
    EXPECT_EQ(host.quits, 1);
    w.shell.splash.at("Command2", 1 - i).press();
    EXPECT_EQ(host.quits, 1) << "a second end does nothing";
    showSplash(w);
    EXPECT_FALSE(w.shell.splashVisible) << "nothing is shown once the program ends";
  }
}

TEST(Shell, MainWindowButtonsExitOpenTheHelpPageAndEnd) {
  FakeHost host;
  WiredWindow w(host);
  ensureShellControls(w);
  EXPECT_EQ(w.c("Label1").text(), versionText());
  EXPECT_NE(versionText().find(ORBITS_VERSION), std::string::npos);
  EXPECT_FALSE(w.c("Command3").picture().empty()) << "a graphical button";

  w.c("Command3").press();
  ASSERT_EQ(host.opened.size(), 1u);
  EXPECT_EQ(host.opened[0], w.shell.homePage);
  EXPECT_TRUE(w.shell.mainVisible) << "a link hides nothing";

  w.c("Command5").press();
  EXPECT_EQ(host.quits, 1);
  EXPECT_TRUE(w.shell.ending);
  EXPECT_FALSE(w.shell.splashVisible) << "X ends without the farewell window";
}

TEST(Shell, SplashLinksOpenTheHomeAndStarshipPages) {
  FakeHost host;
  WiredWindow w(host);
  showSplash(w);
  w.shell.splash.at("Command1").press();
  w.shell.splash.at("Picture1").press();
  ASSERT_EQ(host.opened.size(), 2u);
  EXPECT_EQ(host.opened[0], w.shell.homePage);
  EXPECT_EQ(host.opened[1], w.shell.starshipPage);
  EXPECT_NE(w.shell.starshipPage.find('#'), std::string::npos) << "a section of the help page";
  EXPECT_TRUE(host.messages.empty());
  EXPECT_TRUE(w.shell.splashVisible);
}

TEST(Shell, WithoutABrowserEachLinkTellsOnceAndChangesNothingElse) {
  FakeHost host;
  host.browser = false;
  WiredWindow w(host);
  showSplash(w);
  uint64_t rev = w.shell.revision;
  w.shell.splash.at("Command1").press();
  w.shell.splash.at("Picture1").press();
  ASSERT_EQ(host.messages.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(host.titles[i], "Cannot find Browser:");
    EXPECT_EQ(host.icons[i], MessageIcon::Critical);
    EXPECT_NE(host.messages[i].find("web browser"), std::string::npos);
  }
  EXPECT_EQ(w.shell.revision, rev);
  EXPECT_TRUE(w.shell.splashVisible);
  EXPECT_EQ(host.quits, 0);
}

}  // namespace
}  // namespace orbits
