#include "persist/write_behind.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "persist/data_dir.h"

namespace orbits::persist {

namespace {

using Failure = WriteBehind::Failure;

Failure failed(const std::string& name, const std::string& path, int err, const char* otherwise) {
  return Failure{name, path, err ? std::strerror(err) : otherwise, err};
}

// Writes all of `text`; 0 or the errno of the failure.
int writeAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;
    done += size_t(n);
  }
  return 0;
}

// Syncs and closes; 0 or the errno of the first failure. A file that cannot be synced at all
// (EINVAL: some special files) is as good as done.
int syncAndClose(int fd, int err) {
  if (err == 0 && ::fsync(fd) != 0 && errno != EINVAL) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  return err;
}

// Creates `path` afresh and exclusively, never through a symbolic link: whatever holds the name
// (the leftover of a crash, or a link planted there) is removed first, not followed.
int createFresh(const std::string& path) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(path.c_str(), kFlags, 0644);
  if (fd < 0 && errno == EEXIST && ::unlink(path.c_str()) == 0)
    fd = ::open(path.c_str(), kFlags, 0644);
  return fd;
}

std::optional<Failure> writeNew(const std::string& name, const std::string& path,
                                const std::string& text) {
  const int fd = createFresh(path);
  if (fd < 0) return failed(name, path, errno, "the file could not be created");
  if (const int err = syncAndClose(fd, writeAll(fd, text))) {
    ::unlink(path.c_str());
    return failed(name, path, err, "the file could not be written");
  }
  return std::nullopt;
}

std::optional<Failure> appendSynced(const std::string& name, const std::string& path,
                                    const std::string& text) {
  const OpenedFile log = openForWriting(path, false);
  if (log.fd < 0) return Failure{name, path, log.reason, log.err};
  if (const int err = syncAndClose(log.fd, writeAll(log.fd, text)))
    return failed(name, path, err, "the file could not be written");
  return std::nullopt;
}

std::optional<Failure> renameInto(const std::string& name, const std::string& temp,
                                  const std::string& path) {
  if (::rename(temp.c_str(), path.c_str()) == 0) return std::nullopt;
  const int err = errno;
  ::unlink(temp.c_str());
  return failed(name, path, err, "the file could not be replaced");
}

// A rename is on the disk once its directory is synced.
void syncDirectoryOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  const std::filesystem::path dir = parent.empty() ? std::filesystem::path(".") : parent;
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

WriteBehind::~WriteBehind() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  if (worker_.joinable()) worker_.join();
}

void WriteBehind::take(const Files& files, const std::string& logHeader) {
  pending_.files = files;
  if (!logHeader.empty()) {
    pending_.freshLog = true;
    pending_.logHeader = logHeader;
  }
}

void WriteBehind::append(const Files& files, std::string records, const std::string& logHeader) {
  std::lock_guard lock(mutex_);
  take(files, logHeader);
  pending_.records += records;
}

void WriteBehind::snapshot(const Files& files, std::string text, const std::string& logHeader,
                           Side side) {
  std::unique_lock lock(mutex_);
  take(files, logHeader);
  pending_.snapshot = std::move(text);
  pending_.hasSnapshot = true;
  if (side.whole) {
    pending_.side = std::move(side.text);
    pending_.sideWhole = true;
  } else {
    pending_.side += side.text;
  }
  if (started()) {
    // A worker waiting out its interval wakes by itself: no system call for it at every orbit.
    const bool wake = idle_;
    lock.unlock();
    if (wake) wake_.notify_one();
  } else {
    writePending(lock);
  }
}

bool WriteBehind::started() {
  if (worker_.joinable()) return true;
  try {
    worker_ = std::thread([this] { work(); });
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

bool WriteBehind::writable() const {
  return pending_.hasSnapshot || (!pending_.freshLog && !pending_.records.empty());
}

std::optional<WriteBehind::Failure> WriteBehind::settle() {
  std::unique_lock lock(mutex_);
  if (writable() && !started()) writePending(lock);
  flush_ = true;
  wake_.notify_one();
  done_.wait(lock, [&] { return !busy_ && !writable(); });
  flush_ = false;
  if (pending_.freshLog) pending_ = Pending{pending_.files};
  return takeFailure();
}

std::chrono::nanoseconds WriteBehind::longestWrite() {
  std::lock_guard lock(mutex_);
  return longestWrite_;
}

std::optional<WriteBehind::Failure> WriteBehind::failure() {
  std::lock_guard lock(mutex_);
  return takeFailure();
}

std::optional<WriteBehind::Failure> WriteBehind::takeFailure() {
  if (failure_) pending_ = Pending{pending_.files};
  return std::exchange(failure_, std::nullopt);
}

void WriteBehind::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    const auto next = lastWriteStart_ + kGroupInterval;
    if (writable() && (quit_ || flush_ || std::chrono::steady_clock::now() >= next)) {
      writePending(lock);
      continue;
    }
    if (quit_) return;
    done_.notify_all();  // nothing to write now
    if (writable()) {
      wake_.wait_until(lock, next);
    } else {
      idle_ = true;
      wake_.wait(lock);
      idle_ = false;
    }
  }
}

void WriteBehind::writePending(std::unique_lock<std::mutex>& lock) {
  Pending group = std::exchange(pending_, Pending{pending_.files});
  // After a failure, and until it is taken, nothing more is written.
  const bool abandon = failure_.has_value();
  busy_ = true;
  // The interval runs from the start of a write: a save that came during it waits no longer
  // than the interval and the next write, however long this one takes.
  const auto start = lastWriteStart_ = std::chrono::steady_clock::now();
  lock.unlock();
  std::optional<Failure> failed = abandon ? std::nullopt : write(group);
  const auto took = std::chrono::steady_clock::now() - start;
  lock.lock();
  longestWrite_ = std::max<std::chrono::nanoseconds>(longestWrite_, took);
  busy_ = false;
  if (failed && !failure_) failure_ = std::move(failed);
  done_.notify_all();
}

std::optional<WriteBehind::Failure> WriteBehind::write(const Pending& p) {
  const Files& f = p.files;
  // The records first: a snapshot is renamed into place only once its records are on the disk.
  const std::string logTemp = f.logPath + ".tmp";
  if (p.freshLog) {
    if (!p.hasSnapshot) return std::nullopt;  // alone it would break the pair on the disk
    if (auto e = writeNew(f.logName, logTemp, p.logHeader + p.records)) {
      e->path = f.logPath;
      return e;
    }
  } else if (!p.records.empty()) {
    if (auto e = appendSynced(f.logName, f.logPath, p.records)) return e;
  }
  if (!p.hasSnapshot) return std::nullopt;
  // The side file does not hold the snapshot back: its failure is reported after it.
  std::optional<Failure> sideFailed = writeSide(p);
  const std::string sideTemp = f.sidePath + ".tmp";
  const bool sideTempMade = p.sideWhole && !f.sidePath.empty() && !sideFailed;
  auto dropTemps = [&] {
    if (p.freshLog) ::unlink(logTemp.c_str());
    if (sideTempMade) ::unlink(sideTemp.c_str());
  };
  const std::string temp = f.snapshotPath + ".tmp";
  if (auto e = writeNew(f.snapshotName, temp, p.snapshot)) {
    dropTemps();
    e->path = f.snapshotPath;
    return e;
  }
  // A new run's log replaces the previous run's right after its first snapshot; a crash between
  // the two renames leaves the new log complete in its temporary file, where a reload finds it.
  // So does the side file written whole.
  if (auto e = renameInto(f.snapshotName, temp, f.snapshotPath)) {
    dropTemps();
    return e;
  }
  if (p.freshLog)
    if (auto e = renameInto(f.logName, logTemp, f.logPath)) {
      if (sideTempMade) ::unlink(sideTemp.c_str());
      return e;
    }
  if (sideTempMade) sideFailed = renameInto(f.sideName, sideTemp, f.sidePath);
  syncDirectoryOf(f.snapshotPath);
  return sideFailed;
}

std::optional<WriteBehind::Failure> WriteBehind::writeSide(const Pending& p) {
  const Files& f = p.files;
  if (f.sidePath.empty()) return std::nullopt;
  if (!p.sideWhole)
    return p.side.empty() ? std::nullopt : appendSynced(f.sideName, f.sidePath, p.side);
  auto e = writeNew(f.sideName, f.sidePath + ".tmp", p.side);
  if (e) e->path = f.sidePath;
  return e;
}

}  // namespace orbits::persist
