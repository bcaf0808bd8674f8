// orbits-batch: the simulator's core driven from the command line, with no window.
#include <unistd.h>
#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "batch/runner.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::vector<std::string> args(argv + 1, argv + argc);
  orbits::batch::BatchEnv env;
  env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  env.programDir = QCoreApplication::applicationDirPath().toStdString();
  std::ios::sync_with_stdio(false);
  return orbits::batch::runBatch(args, std::cout, std::cerr, env);
}
