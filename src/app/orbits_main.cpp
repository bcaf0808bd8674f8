// The desktop program: the core's main window shown through the Qt view.
#include <QAbstractButton>
#include <QApplication>
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
#include "panel/wired_window.h"
#include "persist/data_dir.h"
#include "qt/lab_charts.h"
#include "qt/look.h"
#include "qt/main_view.h"
#include "qt/qt_host.h"
#include "qt/window_options.h"
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
  orbits::qt::WindowOptions o;
  QString error;
  if (!orbits::qt::parseWindowOptions(QCoreApplication::arguments(), o, error)) return usage(error);
  if (o.help)
    std::printf("%s", qPrintable(o.helpText));
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

  orbits::qt::WindowOptions opt;
  QString error;
  if (!orbits::qt::parseWindowOptions(QApplication::arguments(), opt, error)) return usage(error);

  orbits::qt::applyLook(app);
  CountingHost host;
  if (!opt.dataDir.isEmpty()) {
    if (!QDir().mkpath(opt.dataDir))
      std::fprintf(stderr, "orbits: cannot create the data directory %s\n",
                   qPrintable(opt.dataDir));
    host.setDataDir(QDir::toNativeSeparators(opt.dataDir).toStdString());
  }

  orbits::WiredWindow core(host);
  if (opt.listControls) {
    printControls(core.panel);
    return 0;
  }
  // One program per data directory; a second one runs, but writes nothing there.
  const orbits::persist::DataDirLock lock(host.dataDir());
  if (opt.preset) {
    orbits::Control* button = core.panel.find("CDp", opt.preset);
    if (!button || !button->visible())
      return usage(QString("there is no preset %1").arg(opt.preset));
  }
  std::vector<orbits::Setting> thens;
  for (const QString& arg : opt.thens) {
    orbits::Setting s;
    std::string error;
    if (!orbits::resolveSetting(core.panel, arg.toStdString(), s, error))
      return usage("--then " + QString::fromStdString(error));
    thens.push_back(s);
  }
  host.script.begin(core, {orbits::RunLimit::By::Cycles, double(opt.cycles)}, std::move(thens));
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
  if (opt.charts) chartsWindow.open();
  // Once the window is up: why it writes nothing, when it does not; then the preset, pressed as
  // the user presses it, through its button (after the message is answered).
  QTimer::singleShot(0, &desktop, [&] {
    if (lock.refused())
      orbits::RefuseDataDir(core, lock.refusal() +
                                      " This window writes no data files or saves there. To keep "
                                      "this run's data, start it with --data-dir and a directory "
                                      "of its own.");
    if (!opt.preset || host.ending()) return;
    auto* button = qobject_cast<QAbstractButton*>(desktop.mainView().widgetOf("CDp", opt.preset));
    if (!button) return;
    QElapsedTimer run;
    run.start();
    button->click();  // returns when the run stops or ends
    const double seconds = double(run.nsecsElapsed()) / 1e9;
    if (opt.reportSpeed)
      std::printf("cycles %ld seconds %.6f cycles_per_second %.0f\n", host.script.cycles(), seconds,
                  seconds > 0 ? double(host.script.cycles()) / seconds : 0.0);
    std::fflush(stdout);
    if (opt.cycles > 0 && !host.ending()) QCoreApplication::exit(0);
  });
  return QApplication::exec();
}
