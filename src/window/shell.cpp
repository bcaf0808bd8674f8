#include "window/shell.h"

#include "window/main_window.h"

namespace orbits {

namespace {

Control& place(Control& c, int leftPx, int topPx, int widthPx, int heightPx) {
  c.move(leftPx * kUnitsPerPixel, topPx * kUnitsPerPixel, widthPx * kUnitsPerPixel,
         heightPx * kUnitsPerPixel);
  return c;
}

void changed(Shell& s) { ++s.revision; }

}  // namespace

std::string versionText() { return "Version " ORBITS_VERSION; }

void buildSplash(Panel& p) {
  Control& pic = place(p.add(Kind::Picture, "Picture1"), 0, 0, 449, 625);
  pic.setPicture("splash");
  pic.setTooltip("See the starship that will take us to Alpha Centauri");

  Control& visit = place(p.add(Kind::Button, "Command1"), 0, 623, 445, 33);
  visit.setText("visit:    help page of Solar System Orbits");
  visit.setTooltip("Visit the Website");
  visit.setBackColor(rgb(0, 0, 255));
  visit.setForeColor(kWhite);

  for (int i = 0; i < 2; ++i) {
    Control& x = place(p.add(Kind::Button, "Command2", i), i == 0 ? 0 : 420, 0, 25, 33);
    x.setText("x");
    x.setBackColor(rgb(255, 255, 192));
    x.setForeColor(kBlack);
  }
}

void wireShell(MainWindow& w) {
  Shell& s = w.shell;
  Panel& p = w.panel;
  if (Control* exit = p.find("Command1")) exit->onClick = [&w](int) { showSplash(w); };
  if (Control* web = p.find("Command3")) {
    web->onClick = [&w](int) { openPage(w, w.shell.homePage); };
    if (web->picture().empty()) web->setPicture("web");
  }
  if (Control* x = p.find("Command5")) x->onClick = [&w](int) { endProgram(w); };
  if (Control* version = p.find("Label1")) version->setText(versionText());

  if (s.splash.all().empty()) buildSplash(s.splash);
  s.splash.at("Picture1").onClick = [&w](int) { openPage(w, w.shell.starshipPage); };
  s.splash.at("Command1").onClick = [&w](int) { openPage(w, w.shell.homePage); };
  s.splash.onClick("Command2", [&w](int) { endProgram(w); });
}

void showSplash(MainWindow& w) {
  Shell& s = w.shell;
  if (s.ending || (!s.mainVisible && s.splashVisible)) return;
  s.mainVisible = false;
  s.splashVisible = true;
  changed(s);
}

void endProgram(MainWindow& w) {
  Shell& s = w.shell;
  if (s.ending) return;
  s.ending = true;
  s.mainVisible = false;
  s.splashVisible = false;
  changed(s);
  w.host.quit();
}

void openPage(MainWindow& w, const std::string& address) {
  if (w.shell.ending) return;
  if (!w.host.openAddress(address))
    w.host.messageBox(Shell::kBrowserText, Shell::kBrowserTitle, MessageIcon::Critical);
}

}  // namespace orbits
