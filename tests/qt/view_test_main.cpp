// The view tests run without a display, with the program's own look, and keep their settings
// (the window's last size) in a test location, away from the user's own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "qt/look.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  orbits::qt::applyLook(app);
  return RUN_ALL_TESTS();
}
