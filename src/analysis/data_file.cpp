#include "analysis/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "persist/data_dir.h"
#include "window/main_window.h"

#include <unistd.h>

namespace orbits {

namespace {

constexpr std::string_view kWholeDirectory = "*";  // every file of the data directory stopped

struct WriteFault {
  std::string reason;
  int err = 0;
};

// Writes the whole text and closes the file; the reason of a failure, empty on success.
WriteFault writeAll(const std::string& path, std::string_view text, bool replace) {
  const persist::OpenedFile opened = persist::openForWriting(path, replace);
  if (opened.fd < 0) return WriteFault{opened.reason, opened.err};
  auto fault = [](const char* otherwise) {
    return WriteFault{errno ? std::strerror(errno) : otherwise, errno};
  };
  errno = 0;
  std::FILE* f = ::fdopen(opened.fd, replace ? "wb" : "ab");
  if (!f) {
    ::close(opened.fd);
    return fault("the file could not be opened");
  }
  WriteFault w;
  if (!text.empty() && std::fwrite(text.data(), 1, text.size(), f) != text.size())
    w = fault("the file could not be written");
  errno = 0;
  if (std::fclose(f) != 0 && w.reason.empty()) w = fault("the file could not be completed");
  return w;
}

std::string directoryOf(const std::string& path) {
  const std::string dir = std::filesystem::path(path).parent_path().string();
  return dir.empty() ? "." : dir;
}

// Whether a failure to write a file lies with its directory rather than with the file alone.
bool directoryAtFault(const std::string& dir, int err) {
  switch (err) {
    case ENOENT:
    case ENOTDIR:
    case EROFS:
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return true;
    case EACCES:
    case EPERM:
      return ::access(dir.c_str(), W_OK) != 0;
    default:
      return false;
  }
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

bool dataFileStopped(MainWindow& w, std::string_view name) {
  if (!w.scenario.dataDirRefusal.empty()) return true;
  const std::vector<std::string>& broken = w.scenario.unwritableFiles;
  return std::any_of(broken.begin(), broken.end(),
                     [&](const std::string& b) { return b == name || b == kWholeDirectory; });
}

void dataFileFailed(MainWindow& w, std::string_view name, const std::string& path,
                    const std::string& reason, int err, const std::string& fileMessage) {
  // A fault already reported is not reported again: a write still under way behind the run
  // when the directory was found full fails the same way.
  if (dataFileStopped(w, name)) return;
  const std::string dir = directoryOf(path);
  std::string message = fileMessage;
  if (directoryAtFault(dir, err)) {
    w.scenario.unwritableFiles.emplace_back(kWholeDirectory);
    message = "The data directory " + dir + " cannot be written (" + reason +
              "). Its data files and saves stop for this run; the run goes on.";
  } else {
    w.scenario.unwritableFiles.emplace_back(name);
  }
  if (Control* chirp = w.panel.find("LaChirp", 1)) chirp->setText(message);
  w.host.messageBox(message, MainWindow::kTitle);
}

void RefuseDataDir(MainWindow& w, const std::string& message) {
  w.scenario.dataDirRefusal = message;
  if (Control* chirp = w.panel.find("LaChirp", 1)) chirp->setText(message);
  w.host.messageBox(message, MainWindow::kTitle);
}

bool writeDataFile(MainWindow& w, std::string_view name, std::string_view text, bool replace) {
  if (dataFileStopped(w, name)) return false;
  const std::string path = dataFilePath(w, name);
  const WriteFault fault = writeAll(path, text, replace);
  if (fault.reason.empty()) return true;
  dataFileFailed(w, name, path, fault.reason, fault.err, dataFileFailureText(path, fault.reason));
  return false;
}

void ResetDataFiles(MainWindow& w) { w.scenario.unwritableFiles.clear(); }

}  // namespace orbits
