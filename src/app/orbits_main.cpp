// The desktop program: the core's main window shown through the Qt view.
#include <QApplication>
#include <QDir>
#include <QStringList>
#include <cstdio>

#include "ui/main_window.h"
#include "ui/qt/look.h"
#include "ui/qt/main_view.h"
#include "ui/qt/qt_host.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("orbits");
  QApplication::setApplicationVersion(ORBITS_VERSION);
  // The core decides when the program ends: hiding the main window for the splash window
  // must not end it.
  QApplication::setQuitOnLastWindowClosed(false);
  orbits::qt::applyLook(app);

  orbits::qt::QtHost host;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == "--data-dir" && i + 1 < args.size()) {
      host.setDataDir(QDir::toNativeSeparators(QDir(args[++i]).absolutePath()).toStdString());
    } else if (args[i] == "--version") {
      std::printf("orbits %s\n", ORBITS_VERSION);
      return 0;
    } else if (args[i] == "--help" || args[i] == "-h") {
      std::printf("usage: orbits [--data-dir DIR]\n");
      return 0;
    } else {
      std::fprintf(stderr, "orbits: unknown argument %s\n", qPrintable(args[i]));
      return 2;
    }
  }

  orbits::MainWindow core(host);
  orbits::qt::Desktop desktop(core, &host);
  desktop.show();
  if (core.shell.ending) return 0;  // ended while starting
  return QApplication::exec();
}
