#pragma once
// The runner's report of a finished run: one JSON object, or a short readable summary.
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_options.h"

namespace orbits::batch {

// What the run came to, beside what the window holds.
struct BatchOutcome {
  int status = kExitOk;
  std::string outcome;  // "stopped at the limit", "reload failed", ...
  std::string message;  // the message line (LaChirp(1))
  long runCycles = 0;
  bool limitReached = false;
  double wallSeconds = 0;
  double cyclesPerSecond = 0;  // NaN when the clock did not move
  std::vector<std::string> messages;
  std::vector<std::pair<std::string, std::string>> shown;  // --show NAME, and its text
};

void writeJsonReport(std::ostream& out, const MainWindow& w, const BatchOptions& o,
                     const BatchOutcome& r);
void writeTextReport(std::ostream& out, const MainWindow& w, const BatchOptions& o,
                     const BatchOutcome& r);

}  // namespace orbits::batch
