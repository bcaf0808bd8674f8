#pragma once
// The desktop program's command line, read into one struct before anything is shown.
#include <QString>
#include <QStringList>

namespace orbits::qt {

struct WindowOptions {
  bool help = false, version = false;
  QString helpText;  // the text --help prints
  QString dataDir;   // absolute; empty: the program's own
  int preset = 0;    // 0: none
  // Measurements: stop the started run after `cycles` cycles (0: never), change controls at its
  // first cycle (NAME=VALUE each), print its speed, open the charts, list the controls' places.
  long cycles = 0;
  QStringList thens;
  bool reportSpeed = false, charts = false, listControls = false;
};

// Reads `arguments` (the program's name first). False with `error` set when they cannot be
// run; the caller prints the usage message.
bool parseWindowOptions(const QStringList& arguments, WindowOptions& out, QString& error);

}  // namespace orbits::qt
