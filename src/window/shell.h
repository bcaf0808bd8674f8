#pragma once
// Leaving the program and its web links: the "Exit" button hides the main window and shows
// the farewell (splash) window, whose "x" buttons end the program; the help links open the
// help page shipped beside the program with the desktop's browser.
#include <cstdint>
#include <string>

#include "form/panel.h"

namespace orbits {

class MainWindow;

// Size of the splash window's client area, in drawing units (445 x 656 pixels).
constexpr int kSplashWidth = 445 * kUnitsPerPixel;
constexpr int kSplashHeight = 656 * kUnitsPerPixel;

// What the platform shows of the program's two windows, and the splash window's controls.
struct Shell {
  Panel splash;  // Picture1, Command1, Command2(0..1)
  bool mainVisible = true;
  bool splashVisible = false;
  bool ending = false;    // the program is ending: nothing more is shown or done
  uint64_t revision = 0;  // raised whenever one of the flags above changes

  // Addresses are relative to the program's own directory unless they name a scheme.
  std::string homePage = "orbits-help.html";
  std::string starshipPage = "orbits-help.html#starship";

  static constexpr const char* kSplashTitle = "Form1";
  static constexpr const char* kBrowserTitle = "Cannot find Browser:";
  static constexpr const char* kBrowserText =
      "This function requires a default web browser to be set up on this computer, to show "
      "the help page that comes with the program.";
};

// The version shown by Label1.
std::string versionText();

// Creates the splash window's controls.
void buildSplash(Panel& splash);

// Wires Command1 "Exit", Command3 (help), Command5 "X", Label1 and the splash window's controls.
// Controls the panel does not hold are skipped; wiring again is harmless.
void wireShell(MainWindow& w);

// "Exit": hides the main window and shows the splash window; nothing is stopped or saved.
void showSplash(MainWindow& w);
// Ends the program at once: no save, no question.
void endProgram(MainWindow& w);
// Opens an address with the desktop's browser; when that fails, tells the user once.
void openPage(MainWindow& w, const std::string& address);

}  // namespace orbits
