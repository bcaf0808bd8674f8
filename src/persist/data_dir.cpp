#include "persist/data_dir.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orbits::persist {

namespace {

// What a descriptor just opened is not, or empty when it is a regular file of one name.
std::string notPlain(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::strerror(errno);
  if (!S_ISREG(st.st_mode)) return "it is not a regular file";
  if (st.st_nlink > 1) return "it has another name (a hard link), which writing would change too";
  return {};
}

std::string openFailure(int err) {
  // O_NOFOLLOW reports a link at the name as ELOOP; a FIFO without a reader as ENXIO.
  if (err == ELOOP) return "it is a symbolic link";
  if (err == ENXIO) return "it is not a regular file";
  return std::strerror(err);
}

}  // namespace

OpenedFile openForWriting(const std::string& path, bool replace) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  OpenedFile f;
  f.fd = ::open(path.c_str(), kFlags | (replace ? 0 : O_APPEND), 0644);
  if (f.fd < 0) {
    f.err = errno;
    f.reason = openFailure(f.err);
    return f;
  }
  f.reason = notPlain(f.fd);
  if (f.reason.empty() && replace && ::ftruncate(f.fd, 0) != 0) {
    f.err = errno;
    f.reason = std::strerror(f.err);
  }
  if (!f.reason.empty()) {
    ::close(f.fd);
    f.fd = -1;
  }
  return f;
}

DataDirLock::DataDirLock(const std::string& dir) {
  const std::string path = (dir.empty() ? std::string(".") : dir) + "/" + kLockFileName;
  constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | kFlags, 0644);
  // A read-only directory that has its lock file can still be locked: flock needs no writing.
  if (fd_ < 0 && (errno == EACCES || errno == EROFS)) fd_ = ::open(path.c_str(), O_RDONLY | kFlags);
  std::string unsafe;
  if (fd_ < 0) {
    if (errno == ELOOP || errno == ENXIO) unsafe = openFailure(errno);
  } else if (struct stat st{}; ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    unsafe = "it is not a regular file";
  } else if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
    state_ = State::Held;
    return;
  } else if (errno == EWOULDBLOCK) {
    state_ = State::InUse;
    refusal_ = "The data directory " + dir + " is in use by another run of the program.";
    return;
  }
  if (!unsafe.empty()) {
    state_ = State::Unsafe;
    refusal_ = "The data directory " + dir + " cannot be used: its lock file " + path +
               " cannot be taken (" + unsafe + ").";
  }
}

DataDirLock::~DataDirLock() {
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace orbits::persist
