// orbits-batch: the simulator's core driven from the command line, with no window.
#include <unistd.h>
#include <QApplication>
#include <QCoreApplication>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "batch/runner.h"
#include "qt/budget_page.h"
#include "qt/lab_charts.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Charts are drawn with the widget library, which needs a graphical setup even with no display.
  bool plot = false;
  for (const std::string& a : args) plot |= a == "--plot" || a.rfind("--plot=", 0) == 0;
  if (plot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  std::unique_ptr<QCoreApplication> app = plot ? std::make_unique<QApplication>(argc, argv)
                                               : std::make_unique<QCoreApplication>(argc, argv);
  orbits::batch::BatchEnv env;
  env.plotWriter = orbits::qt::writeChartsPicture;
  env.budgetPlotWriter = orbits::qt::writeBudgetPicture;
  env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  env.programDir = QCoreApplication::applicationDirPath().toStdString();
  std::ios::sync_with_stdio(false);
  return orbits::batch::runBatch(args, std::cout, std::cerr, env);
}
