#include "analysis/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "window/main_window.h"

namespace orbits {

namespace {

// Writes the whole text and closes the file; the reason of a failure, empty on success.
std::string writeAll(const std::string& path, std::string_view text, bool replace) {
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), replace ? "wb" : "ab");
  if (!f) return errno ? std::strerror(errno) : "the file could not be opened";
  std::string reason;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size())
    reason = errno ? std::strerror(errno) : "the file could not be written";
  errno = 0;
  if (std::fclose(f) != 0 && reason.empty())
    reason = errno ? std::strerror(errno) : "the file could not be completed";
  return reason;
}

}  // namespace

std::string dataFilePath(MainWindow& w, std::string_view name) {
  std::string dir = w.host.dataDir();
  if (dir.empty()) return std::string(name);
  return dir + "/" + std::string(name);
}

std::string dataFileFailureText(const std::string& path, const std::string& reason) {
  return "The file " + path + " could not be written (" + reason +
         "). The run goes on without it until the next scenario.";
}

bool writeDataFile(MainWindow& w, std::string_view name, std::string_view text, bool replace) {
  std::vector<std::string>& broken = w.scenario.unwritableFiles;
  if (std::find(broken.begin(), broken.end(), name) != broken.end()) return false;
  const std::string path = dataFilePath(w, name);
  const std::string reason = writeAll(path, text, replace);
  if (reason.empty()) return true;
  broken.emplace_back(name);
  const std::string message = dataFileFailureText(path, reason);
  if (Control* chirp = w.panel.find("LaChirp", 1)) chirp->setText(message);
  w.host.messageBox(message, MainWindow::kTitle);
  return false;
}

void ResetDataFiles(MainWindow& w) { w.scenario.unwritableFiles.clear(); }

}  // namespace orbits
