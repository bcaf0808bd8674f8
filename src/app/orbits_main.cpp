// The desktop program: the core's main window shown through the Qt view.
#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QShortcut>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <optional>
#include <vector>

#include "analysis/data_file.h"
#include "panel/control_settings.h"
#include "panel/scripted_run.h"
#include "persist/data_dir.h"
#include "qt/lab_charts.h"
#include "qt/look.h"
#include "qt/main_view.h"
#include "qt/qt_host.h"
#include "window/main_window.h"

namespace {

int usage(const QString& message) {
  std::fprintf(stderr, "orbits: %s\nTry 'orbits --help' for more.\n", qPrintable(message));
  return 2;
}

// The desktop host, counting the cycles of a run for the speed report and stopping it after a
// given number, as the user's Stop would.
class CountingHost : public orbits::qt::QtHost {
 public:
  orbits::ScriptedRun script;
  bool scripted = false;

  void yield() override {
    if (scripted) script.cycle();
    QtHost::yield();
  }
};

// The program's options; the hidden ones serve measurements: stop the started run after C
// cycles, change controls at its first cycle, print its speed and end the program.
struct Options {
  QCommandLineOption dataDir{"data-dir",
                             "Directory of the data files (default: the program's own).", "DIR"};
  QCommandLineOption preset{"preset", "Start preset scenario N right after start-up.", "N"};
  QCommandLineOption help{{"h", "help"}, "Show this help."};
  QCommandLineOption version{{"v", "version"}, "Show the version."};
  QCommandLineOption cycles{"cycles", "Stop the started run after C cycles.", "C"};
  QCommandLineOption then{"then", "Change a control at the first cycle of the run.", "NAME=VALUE"};
  QCommandLineOption reportSpeed{"report-speed", "Print the run's cycles per second at its end."};
  QCommandLineOption charts{"charts", "Open the charts window at start-up."};
  QCommandLineOption listControls{"list-controls",
                                  "Print each control's place on the window at 100% and end."};

  void addTo(QCommandLineParser& parser) {
    for (QCommandLineOption* hidden : {&cycles, &then, &reportSpeed, &charts, &listControls})
      hidden->setFlags(QCommandLineOption::HiddenFromHelp);
    parser.setApplicationDescription("Solar System Orbits: the simulator's window.");
    parser.addOptions(
        {dataDir, preset, help, version, cycles, then, reportSpeed, charts, listControls});
  }
};

// Prints "REF LEFT TOP WIDTH HEIGHT" in pixels of the window at 100%, for tools that drive the
// window as a user does.
void printControls(orbits::Panel& panel) {
  using orbits::kUnitsPerPixel;
  for (const orbits::Control& c : panel.all()) {
    if (c.kind() == orbits::Kind::Timer) continue;
    int x = c.left(), y = c.top();
    for (const orbits::Control* f = panel.find(c.container()); f && f != &c;
         f = panel.find(f->container())) {
      x += f->left();
      y += f->top();
    }
    std::string ref = c.index() >= 0 ? c.name() + "(" + std::to_string(c.index()) + ")" : c.name();
    std::printf("%s %d %d %d %d\n", ref.c_str(), x / kUnitsPerPixel, y / kUnitsPerPixel,
                c.width() / kUnitsPerPixel, c.height() / kUnitsPerPixel);
  }
}

// --help and --version need no display: the exit status when one was asked for.
std::optional<int> printedInfo(int argc, char** argv) {
  bool asked = false;
  for (int i = 1; i < argc; ++i)
    for (const char* o : {"-h", "--help", "-v", "--version"}) asked |= qstrcmp(argv[i], o) == 0;
  if (!asked) return std::nullopt;
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName("orbits");
  Options o;
  QCommandLineParser parser;
  o.addTo(parser);
  if (!parser.parse(QCoreApplication::arguments())) return usage(parser.errorText());
  if (!parser.positionalArguments().isEmpty())
    return usage("unexpected argument '" + parser.positionalArguments().front() + "'");
  if (parser.isSet(o.help))
    std::printf("%s", qPrintable(parser.helpText()));
  else
    std::printf("orbits %s\n", ORBITS_VERSION);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = printedInfo(argc, argv)) return *status;
  QApplication app(argc, argv);
  QApplication::setApplicationName("orbits");
  QApplication::setOrganizationName("orbits");
  QApplication::setApplicationVersion(ORBITS_VERSION);
  // The core decides when the program ends: hiding the main window for the splash window
  // must not end it.
  QApplication::setQuitOnLastWindowClosed(false);

  Options opt;
  QCommandLineParser parser;
  opt.addTo(parser);
  const QCommandLineOption &dataDir = opt.dataDir, &preset = opt.preset, &cycles = opt.cycles,
                           &then = opt.then, &reportSpeed = opt.reportSpeed;
  if (!parser.parse(QApplication::arguments())) return usage(parser.errorText());
  // An option given no value takes the next option as its value: say which one lacks it.
  for (const QString& name : parser.optionNames())
    for (const QString& v : parser.values(name))
      if (v.startsWith("--")) return usage("--" + name + " needs a value");
  if (!parser.positionalArguments().isEmpty())
    return usage("unexpected argument '" + parser.positionalArguments().front() + "'");
  if (parser.isSet(dataDir) && parser.value(dataDir).isEmpty())
    return usage("--data-dir needs a directory");
  int presetNumber = 0;
  if (parser.isSet(preset)) {
    bool ok = false;
    presetNumber = parser.value(preset).toInt(&ok);
    if (!ok || presetNumber < 1) return usage("--preset takes a preset number");
  }
  long cycleLimit = 0;
  if (parser.isSet(cycles)) {
    bool ok = false;
    cycleLimit = parser.value(cycles).toLong(&ok);
    if (!ok || cycleLimit < 1) return usage("--cycles takes a whole number of at least 1");
  }
  if ((parser.isSet(cycles) || parser.isSet(reportSpeed) || parser.isSet(then)) && !presetNumber)
    return usage("--cycles, --then and --report-speed need --preset");

  orbits::qt::applyLook(app);
  CountingHost host;
  if (parser.isSet(dataDir)) {
    const QString dir = QDir(parser.value(dataDir)).absolutePath();
    if (!QDir().mkpath(dir))
      std::fprintf(stderr, "orbits: cannot create the data directory %s\n", qPrintable(dir));
    host.setDataDir(QDir::toNativeSeparators(dir).toStdString());
  }

  orbits::MainWindow core(host);
  if (parser.isSet(opt.listControls)) {
    printControls(core.panel);
    return 0;
  }
  // One program per data directory; a second one runs, but writes nothing there.
  const orbits::persist::DataDirLock lock(host.dataDir());
  if (presetNumber) {
    orbits::Control* button = core.panel.find("CDp", presetNumber);
    if (!button || !button->visible())
      return usage(QString("there is no preset %1").arg(presetNumber));
  }
  std::vector<orbits::Setting> thens;
  for (const QString& arg : parser.values(then)) {
    orbits::Setting s;
    std::string error;
    if (!orbits::resolveSetting(core.panel, arg.toStdString(), s, error))
      return usage("--then " + QString::fromStdString(error));
    thens.push_back(s);
  }
  host.script.begin(core, {orbits::RunLimit::By::Cycles, double(cycleLimit)}, std::move(thens));
  host.scripted = true;

  orbits::qt::Desktop desktop(core, &host);
  // The lab's charts: from the "Charts" button or Ctrl+K.
  orbits::qt::ChartsWindow chartsWindow(core);
  host.setChartsOpener([&chartsWindow] { chartsWindow.open(); });
  QShortcut chartsKey(QKeySequence(Qt::CTRL | Qt::Key_K), &desktop.mainWindow());
  QObject::connect(&chartsKey, &QShortcut::activated, [&chartsWindow] { chartsWindow.open(); });
  desktop.mainWindow().openAtPreferredSize();
  desktop.show();
  if (core.shell.ending) return 0;  // ended while starting
  if (parser.isSet(opt.charts)) chartsWindow.open();
  // Once the window is up: why it writes nothing, when it does not; then the preset, pressed as
  // the user presses it, through its button (after the message is answered).
  QTimer::singleShot(0, &desktop, [&] {
    if (lock.refused())
      orbits::RefuseDataDir(core, lock.refusal() +
                                      " This window writes no data files or saves there. To keep "
                                      "this run's data, start it with --data-dir and a directory "
                                      "of its own.");
    if (!presetNumber || host.ending()) return;
    auto* button = qobject_cast<QAbstractButton*>(desktop.mainView().widgetOf("CDp", presetNumber));
    if (!button) return;
    QElapsedTimer run;
    run.start();
    button->click();  // returns when the run stops or ends
    const double seconds = double(run.nsecsElapsed()) / 1e9;
    if (parser.isSet(reportSpeed))
      std::printf("cycles %ld seconds %.6f cycles_per_second %.0f\n", host.script.cycles(), seconds,
                  seconds > 0 ? double(host.script.cycles()) / seconds : 0.0);
    std::fflush(stdout);
    if (cycleLimit > 0 && !host.ending()) QCoreApplication::exit(0);
  });
  return QApplication::exec();
}
