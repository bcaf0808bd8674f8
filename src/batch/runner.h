#pragma once
// orbits-batch: runs a preset scenario, or continues a saved run, with no window, until an
// orbit count or a number of cycles, and reports what the window would show.
#include <ostream>
#include <string>
#include <vector>

#include "batch/batch_options.h"

namespace orbits::batch {

// Runs the command line `args` (without the program's name): the report goes to `out`, the
// messages, progress and usage errors to `err`. Returns the exit status.
int runBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const BatchEnv& env = {});

// What the runner would refuse in the controls and the preset that `o` names, checked against
// the panel of `w` without running anything; "" when it would take them.
std::string scriptError(MainWindow& w, const BatchOptions& o);

}  // namespace orbits::batch
