#pragma once
// Running orbits-batch in-process with fixed clocks and a fresh data directory.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch/runner.h"

namespace orbits::batch::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "orbits-batch-test-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data())) path_ = made;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

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

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The lines of a file, each without its CR LF.
inline std::vector<std::string> linesOf(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(readFile(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace orbits::batch::testing
