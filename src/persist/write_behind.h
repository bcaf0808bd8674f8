#pragma once
// Finishing saved files away from the run loop. A save is opened, written and flushed where it
// is made, so that a file that cannot be opened or written is reported at once. What then takes
// the disk's time - syncing it to the disk and, for a file that replaces another, the rename that
// must come after the sync - runs on a worker thread, so that a run does not wait for the disk
// at every orbit.
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace orbits::persist {

class WriteBehind {
 public:
  struct Failure {
    std::string name;  // the file's name, as the window reports it
    std::string path;
    std::string reason;
  };

  WriteBehind() = default;
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;
  // Finishes whatever is still queued.
  ~WriteBehind();

  // Takes over `f`, whose text is written and flushed: syncs it to the disk, closes it and, when
  // `temp` is given, renames `temp` to `path`. Files are finished in the order given. After a
  // failure, and until it is taken (settle, failure), later files are only closed: their
  // temporary files are removed, and nothing is renamed.
  // A temporary file's name is given again only after settle(temp): until then it may still be
  // waiting for its rename.
  void finish(std::FILE* f, std::string name, std::string path, std::string temp = {});

  // Waits until every file given is finished, or with `temp`, only those with that temporary
  // file; the first failure recorded since the last call, if any.
  std::optional<Failure> settle(std::string_view temp = {});
  // The first failure recorded since the last call, if any, without waiting.
  std::optional<Failure> failure();

 private:
  struct Job {
    std::FILE* file;
    std::string name, path, temp;
  };
  void work();
  // Finishes one file; the reason of a failure, empty on success. An abandoned file (one after
  // a failure) is only closed, and its temporary file removed.
  static std::string complete(Job& job, bool abandon);

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  std::deque<Job> queue_;
  bool busy_ = false, quit_ = false;
  std::string runningTemp_;  // the temporary file of the file being finished
  std::optional<Failure> failure_;
  std::thread worker_;  // started with the first file
};

}  // namespace orbits::persist
