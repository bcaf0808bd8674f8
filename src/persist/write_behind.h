#pragma once
// Writing the saves of a run away from the run loop, the way a database keeps its log and its
// snapshots: a run hands over its saves and goes on at once; a worker thread writes them.
//
// - The snapshot ("orbit-save.txt") is written whole to a temporary file created afresh,
//   synced and renamed over the previous one, so the file always holds one complete save. A
//   snapshot that arrives while another is still waiting replaces it: only the newest matters.
// - The log ("orbit-pp.txt") gets its records appended and synced in groups, always before the
//   snapshot that needs them is renamed into place: a snapshot on the disk never lacks a
//   record of its orbits. A new run starts its log anew (a temporary file renamed into place)
//   only together with its first snapshot, so the previous pair stays whole until then.
// - A side file (the lab's "orbit-lab.txt") goes with the snapshots: its records are appended
//   and synced before the snapshot is renamed, or, when it is written whole, it goes to a
//   temporary file renamed into place right after the snapshot. So the side file on the disk
//   (or, after a crash between the two renames, its temporary file) always reaches the save.
// - The worker starts a write at most every kGroupInterval, and at once when asked to settle,
//   so a crash loses at most the saves of the last interval plus the time of one write.
//
// The worker reads the steady clock itself: the one place in the core that does not take its
// time from the Host. The Host's clock is the calendar for the dates the run shows, read on the
// run's own thread; the worker needs a monotonic clock on its thread to wait on its condition
// variable, and what it times (the grouping interval, the longest write) is the disk's time,
// not the run's, so no run or test result depends on it.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace orbits::persist {

class WriteBehind {
 public:
  static constexpr std::chrono::milliseconds kGroupInterval{250};

  struct Failure {
    std::string name;  // the file's name, as the window reports it
    std::string path;
    std::string reason;
    int error = 0;  // errno, where there was one
  };
  struct Files {
    std::string snapshotName, snapshotPath, logName, logPath;
    std::string sideName{}, sidePath{};  // none: no side file
  };
  // What a snapshot brings for the side file: records to append, or the whole file anew (the
  // records of later snapshots are then appended to that).
  // (No member initialisers: `Side{}` is empty, appending nothing.)
  struct Side {
    std::string text;
    bool whole;
  };

  WriteBehind() = default;
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;
  // Writes whatever is still waiting.
  ~WriteBehind();

  // Records for the log, written with the next snapshot (or the next settle). `logHeader`,
  // when given, starts the log anew with it (a new run).
  void append(const Files& files, std::string records, const std::string& logHeader = {});
  // The newest snapshot; it replaces one still waiting.
  void snapshot(const Files& files, std::string text, const std::string& logHeader = {},
                Side side = {});

  // Waits until everything handed over is on the disk; the first failure since the last call.
  // Records of a new log that never got their snapshot are dropped: alone they would break
  // the pair on the disk.
  std::optional<Failure> settle();
  // The first failure recorded since the last call, if any, without waiting. What waited when
  // a failure is taken is dropped: its saving has stopped.
  std::optional<Failure> failure();
  // The longest a write of the worker took so far (what a crash may lose beyond the interval).
  std::chrono::nanoseconds longestWrite();

 private:
  struct Pending {
    Files files;
    std::string records{}, logHeader{}, snapshot{};
    bool hasSnapshot = false;
    bool freshLog = false;  // records go to a log started anew with logHeader
    std::string side{};     // for the side file: appended, or its whole new content
    bool sideWhole = false;
  };
  void take(const Files& files, const std::string& logHeader);
  // Starts the worker; false when no thread can be had (files are then written by the caller).
  bool started();
  bool writable() const;
  void work();
  // Writes what waits, with the lock held on entry and exit.
  void writePending(std::unique_lock<std::mutex>& lock);
  std::optional<Failure> takeFailure();
  // Writes one group; the failure, if any.
  static std::optional<Failure> write(const Pending& p);
  // The side file's records, or its whole content to its temporary file.
  static std::optional<Failure> writeSide(const Pending& p);

  std::mutex mutex_;
  std::condition_variable wake_, done_;
  Pending pending_;
  bool busy_ = false, quit_ = false, flush_ = false;
  bool idle_ = false;  // the worker waits with nothing to write
  std::chrono::steady_clock::time_point lastWriteStart_{};
  std::chrono::nanoseconds longestWrite_{0};
  std::optional<Failure> failure_;
  std::thread worker_;  // started with the first snapshot
};

}  // namespace orbits::persist
