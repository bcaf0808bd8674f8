// orbits-sweep: many runs of orbits-batch, planned, run and merged.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "sweep/sweep.h"

int main(int argc, char** argv) {
  orbits::sweep::SweepEnv env;
  std::error_code ec;
  env.programDir = std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string();
  if (const char* path = std::getenv("PATH")) env.path = path;
  env.errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  return orbits::sweep::runSweepCommand(std::vector<std::string>(argv + 1, argv + argc), std::cout,
                                        std::cerr, env);
}
