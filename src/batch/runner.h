#pragma once
// orbits-batch: runs a preset scenario, or continues a saved run, with no window, until an
// orbit count or a number of cycles, and reports what the window would show.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "batch/batch_host.h"

namespace orbits::batch {

// Exit statuses.
constexpr int kExitOk = 0;      // the run went as asked, also when the system ended it
constexpr int kExitFailed = 1;  // the run stopped on a failure, or the reload failed
constexpr int kExitUsage = 2;   // the command line was wrong

struct BatchEnv {
  Clocks clocks = Clocks::system();
  // Whether standard error is a terminal (the progress line is then drawn by default).
  bool errIsTerminal = false;
  // The default data directory; the program's own directory when empty.
  std::string programDir;
  // Draws the lab's charts into a picture file (--plot); "" when written, else why not. The
  // program supplies it (it needs the chart library); without it --plot is refused.
  std::function<std::string(const MainWindow&, const std::string& path)> plotWriter;
};

// Runs the command line `args` (without the program's name): the report goes to `out`, the
// messages, progress and usage errors to `err`. Returns the exit status.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchEnv& env = {});

// The number a text shows ("43.1234", " 12"), or NaN when it shows none ("~", "n/a", "").
double numberShown(const std::string& text);

}  // namespace orbits::batch
