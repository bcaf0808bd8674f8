#include <QApplication>
#include <QWidget>

#include "ui/main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget w;
  w.setWindowTitle(orbits::MainWindow::kTitle);
  w.setFixedSize(1024, 768);
  w.setStyleSheet("background: black;");
  w.show();
  return app.exec();
}
