#include "analysis/data_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "window/main_window.h"

#include <fcntl.h>
#include <sys/stat.h>
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
  auto fault = [](const char* otherwise) {
    return WriteFault{errno ? std::strerror(errno) : otherwise, errno};
  };
  errno = 0;
  // Without blocking, and only into a regular file: a FIFO of this name would hold the run.
  const int fd =
      ::open(path.c_str(),
             O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | (replace ? O_TRUNC : O_APPEND), 0666);
  if (fd < 0) return fault("the file could not be opened");
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    errno = 0;
    ::close(fd);
    return fault("it is not a regular file");
  }
  std::FILE* f = ::fdopen(fd, replace ? "wb" : "ab");
  if (!f) {
    ::close(fd);
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
  const std::vector<std::string>& broken = w.scenario.unwritableFiles;
  return std::any_of(broken.begin(), broken.end(),
                     [&](const std::string& b) { return b == name || b == kWholeDirectory; });
}

void dataFileFailed(MainWindow& w, std::string_view name, const std::string& path,
                    const std::string& reason, int err, const std::string& fileMessage) {
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
