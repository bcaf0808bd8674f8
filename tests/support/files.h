#pragma once
// Files for tests: a fresh temporary directory removed again, and reading back what the
// program wrote (whole, or line by line without the CR LF its files end their lines with).
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace orbits::testing {

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "orbits-test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
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

inline std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The lines of a file, each without its CR LF; `crlf`, when given, tells whether every line
// ended with CR LF (a last line without any line end counts as one without).
inline std::vector<std::string> linesOf(const std::filesystem::path& path, bool* crlf = nullptr) {
  const std::string all = readFile(path);
  std::vector<std::string> lines;
  if (crlf) *crlf = true;
  for (size_t at = 0; at < all.size();) {
    size_t end = all.find('\n', at);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(at, end - at);
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    else if (crlf)
      *crlf = false;
    lines.push_back(std::move(line));
    at = end + 1;
  }
  return lines;
}

}  // namespace orbits::testing
