// The view tests run without a display, with the program's own look.
#include <gtest/gtest.h>

#include <QApplication>

#include "qt/look.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  orbits::qt::applyLook(app);
  return RUN_ALL_TESTS();
}
