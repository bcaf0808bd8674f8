#include "qt/window_options.h"

#include <QCommandLineParser>
#include <QDir>

namespace orbits::qt {

bool parseWindowOptions(const QStringList& arguments, WindowOptions& out, QString& error) {
  QCommandLineOption dataDir{"data-dir",
                             "Directory of the data files (default: the program's own).", "DIR"};
  QCommandLineOption preset{"preset", "Start preset scenario N right after start-up.", "N"};
  QCommandLineOption help{{"h", "help"}, "Show this help."};
  QCommandLineOption version{{"v", "version"}, "Show the version."};
  // Hidden: they serve measurements and the tools that drive the window.
  QCommandLineOption cycles{"cycles", "Stop the started run after C cycles.", "C"};
  QCommandLineOption then{"then", "Change a control at the first cycle of the run.", "NAME=VALUE"};
  QCommandLineOption reportSpeed{"report-speed", "Print the run's cycles per second at its end."};
  QCommandLineOption charts{"charts", "Open the charts window at start-up."};
  QCommandLineOption listControls{"list-controls",
                                  "Print each control's place on the window at 100% and end."};
  for (QCommandLineOption* hidden : {&cycles, &then, &reportSpeed, &charts, &listControls})
    hidden->setFlags(QCommandLineOption::HiddenFromHelp);
  QCommandLineParser parser;
  parser.setApplicationDescription("Solar System Orbits: the simulator's window.");
  parser.addOptions(
      {dataDir, preset, help, version, cycles, then, reportSpeed, charts, listControls});

  out = WindowOptions{};
  out.helpText = parser.helpText();
  auto fail = [&error](const QString& why) {
    error = why;
    return false;
  };
  if (!parser.parse(arguments)) return fail(parser.errorText());
  auto unexpected = [&] {
    return fail("unexpected argument '" + parser.positionalArguments().front() + "'");
  };
  // --help and --version are answered whatever the other options say.
  out.help = parser.isSet(help);
  out.version = parser.isSet(version);
  if (out.help || out.version) return parser.positionalArguments().isEmpty() || unexpected();
  // An option given no value takes the next option as its value: say which one lacks it.
  for (const QString& name : parser.optionNames())
    for (const QString& v : parser.values(name))
      if (v.startsWith("--")) return fail("--" + name + " needs a value");
  if (!parser.positionalArguments().isEmpty()) return unexpected();
  if (parser.isSet(dataDir)) {
    if (parser.value(dataDir).isEmpty()) return fail("--data-dir needs a directory");
    out.dataDir = QDir(parser.value(dataDir)).absolutePath();
  }
  if (parser.isSet(preset)) {
    bool ok = false;
    out.preset = parser.value(preset).toInt(&ok);
    if (!ok || out.preset < 1) return fail("--preset takes a preset number");
  }
  if (parser.isSet(cycles)) {
    bool ok = false;
    out.cycles = parser.value(cycles).toLong(&ok);
    if (!ok || out.cycles < 1) return fail("--cycles takes a whole number of at least 1");
  }
  out.thens = parser.values(then);
  out.reportSpeed = parser.isSet(reportSpeed);
  out.charts = parser.isSet(charts);
  out.listControls = parser.isSet(listControls);
  if ((out.cycles || out.reportSpeed || !out.thens.isEmpty()) && !out.preset)
    return fail("--cycles, --then and --report-speed need --preset");
  return true;
}

}  // namespace orbits::qt
