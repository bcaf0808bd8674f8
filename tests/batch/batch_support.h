#pragma once
// Running orbits-batch in-process with fixed clocks and a fresh data directory.
#include <sstream>
#include <string>
#include <vector>

#include "../support/files.h"
#include "batch/runner.h"

namespace orbits::batch::testing {

using orbits::testing::linesOf;
using orbits::testing::readFile;
using orbits::testing::TempDir;

// A clock that never moves: no timer ticks, no progress drawn, no speed measured.
inline BatchEnv fixedEnv(const std::string& programDir = {}) {
  BatchEnv env;
  env.clocks.monotonic = [] { return std::chrono::nanoseconds(0); };
  env.clocks.now = [] { return text::DateTime{text::Date::fromYmd(2024, 3, 1), 12, 0, 0}; };
  env.programDir = programDir;
  return env;
}

struct Outcome {
  int status = -1;
  std::string out, err;
};

inline Outcome runWith(const std::vector<std::string>& args, const BatchEnv& env = fixedEnv()) {
  std::ostringstream out, err;
  Outcome r;
  r.status = runBatch(args, out, err, env);
  r.out = out.str();
  r.err = err.str();
  return r;
}

}  // namespace orbits::batch::testing
