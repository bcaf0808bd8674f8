#include "persist/write_behind.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define ORBITS_HAVE_FSYNC 1
#endif

namespace orbits::persist {

namespace {

std::string errnoText(const char* otherwise) { return errno ? std::strerror(errno) : otherwise; }

// Syncs and closes a written file; the reason of a failure, empty on success.
std::string syncAndClose(std::FILE* f) {
  std::string reason;
#ifdef ORBITS_HAVE_FSYNC
  errno = 0;
  // EINVAL: a file that cannot be synced at all (a pipe, some special files) is as good as done.
  if (::fsync(::fileno(f)) != 0 && errno != EINVAL)
    reason = errnoText("the file could not be synced");
#endif
  errno = 0;
  if (std::fclose(f) != 0 && reason.empty()) reason = errnoText("the file could not be completed");
  return reason;
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

void WriteBehind::finish(std::FILE* f, std::string name, std::string path, std::string temp) {
  Job job{f, std::move(name), std::move(path), std::move(temp)};
  {
    std::lock_guard lock(mutex_);
    if (!worker_.joinable()) {
      try {
        worker_ = std::thread([this] { work(); });
      } catch (const std::system_error&) {
        // No thread to be had: the file is finished here and now, as it would be there.
        const bool abandon = failure_.has_value();
        const std::string reason = complete(job, abandon);
        if (!reason.empty()) failure_ = Failure{job.name, job.path, reason};
        return;
      }
    }
    queue_.push_back(std::move(job));
  }
  wake_.notify_one();
}

std::optional<WriteBehind::Failure> WriteBehind::settle(std::string_view temp) {
  std::unique_lock lock(mutex_);
  done_.wait(lock, [&] {
    if (temp.empty()) return queue_.empty() && !busy_;
    if (busy_ && runningTemp_ == temp) return false;
    return std::none_of(queue_.begin(), queue_.end(), [&](const Job& j) { return j.temp == temp; });
  });
  return std::exchange(failure_, std::nullopt);
}

std::optional<WriteBehind::Failure> WriteBehind::failure() {
  std::lock_guard lock(mutex_);
  return std::exchange(failure_, std::nullopt);
}

void WriteBehind::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return quit_ || !queue_.empty(); });
    if (queue_.empty()) return;  // quit, with nothing left to finish
    Job job = std::move(queue_.front());
    queue_.pop_front();
    busy_ = true;
    runningTemp_ = job.temp;
    const bool abandon = failure_.has_value();
    lock.unlock();
    const std::string reason = complete(job, abandon);
    lock.lock();
    if (!reason.empty()) failure_ = Failure{job.name, job.path, reason};
    busy_ = false;
    runningTemp_.clear();
    done_.notify_all();
  }
}

std::string WriteBehind::complete(Job& job, bool abandon) {
  std::string reason;
  if (abandon)
    std::fclose(job.file);
  else
    reason = syncAndClose(job.file);
  if (job.temp.empty()) return reason;
  std::error_code ec;
  if (!abandon && reason.empty()) {
    std::filesystem::rename(job.temp, job.path, ec);
    if (!ec) return reason;
    reason = ec.message();
  }
  // The file it was to replace stays as it was.
  std::filesystem::remove(job.temp, ec);
  return reason;
}

}  // namespace orbits::persist
