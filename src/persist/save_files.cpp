#include "persist/save_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "analysis/data_file.h"
#include "analysis/lab_file.h"
#include "persist/save_format.h"
#include "persist/save_reload.h"
#include "persist/write_behind.h"
#include "window/main_window.h"

namespace orbits {

using persist::FormatError;

namespace {

bool savingStopped(MainWindow& w) {
  return dataFileStopped(w, kSaveFileName) || dataFileStopped(w, kPerihelionFileName);
}

// A save that cannot be written is reported once; saving then stops for the rest of the run
// (both files, so that they never disagree), and the run goes on.
void saveFailed(MainWindow& w, const std::string& name, const std::string& path,
                const std::string& reason, int err) {
  const std::string message = "The file " + path + " could not be written (" + reason +
                              "). Saving of orbital data stops for this run; the run goes on.";
  dataFileFailed(w, name, path, reason, err, message);
}

// A save that failed behind the run, reported as one that failed at once. The lab's file alone
// stops without the saves; whatever waited with the failure is dropped, so the lab's file is
// written whole with the next save that it gets.
void reportFailure(MainWindow& w, const std::optional<persist::WriteBehind::Failure>& failed) {
  if (!failed) return;
  w.lab.file.wholeDue = true;
  if (failed->name == kLabFileName)
    dataFileFailed(w, failed->name, failed->path, failed->reason, failed->error,
                   dataFileFailureText(failed->path, failed->reason));
  else
    saveFailed(w, failed->name, failed->path, failed->reason, failed->error);
}

persist::WriteBehind::Files saveFiles(MainWindow& w) {
  return {kSaveFileName,       dataFilePath(w, kSaveFileName),
          kPerihelionFileName, dataFilePath(w, kPerihelionFileName),
          kLabFileName,        dataFilePath(w, kLabFileName)};
}

// The header of a new "orbit-pp.txt" when this run has not started its own yet, else empty.
std::string newLogHeader(MainWindow& w) {
  return w.scenario.recordsStarted ? std::string() : perihelionHeader(w.scenario.runId);
}

}  // namespace

// Reads a whole file, refusing what no valid save is: anything but a regular file (a FIFO
// would block, a link may point anywhere) and a file larger than `limit`.
std::string readBounded(const std::string& path, const char* name, long limit) {
  auto refuse = [&](const std::string& why) {
    throw FormatError(std::string(name) + " cannot be read (" + why + ")");
  };
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) refuse(errno == ELOOP ? "it is a symbolic link" : std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) refuse(std::strerror(errno));
  if (!S_ISREG(st.st_mode)) refuse("it is not a regular file");
  const std::string tooLarge =
      "larger than " + std::to_string(limit) + " bytes, far above any valid one";
  if (st.st_size > limit) refuse(tooLarge);
  std::string out;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) refuse(std::strerror(errno));
    if (n == 0) return out;
    out.append(buf, size_t(n));
    if (long(out.size()) > limit) refuse(tooLarge);  // it grew while being read
  }
}

void settleSaves(MainWindow& w) { reportFailure(w, w.saves.settle()); }

void StartSaves(MainWindow& w) {
  // One source a thread: windows of the core may run side by side (the precession budget's).
  thread_local std::random_device entropy;
  // Kept below 2^48 so that it reads back exactly as a number.
  uint64_t id = 0;
  while (id == 0) id = ((uint64_t(entropy()) << 16) ^ entropy()) & ((uint64_t(1) << 48) - 1);
  w.scenario.runId = id;
  w.scenario.recordsStarted = false;
}

void SavePerPre(MainWindow& w) {
  // Nothing here waits for the disk; a failure of an earlier save is reported first.
  reportFailure(w, w.saves.failure());
  if (savingStopped(w)) return;
  const double orbits = w.sim.orbitCount;
  if (!(orbits >= 1 && orbits < 10000)) return;
  w.saves.append(saveFiles(w), perihelionRecord(w.markers, size_t(orbits - 1)), newLogHeader(w));
}

void SaveOrbit(MainWindow& w) {
  reportFailure(w, w.saves.failure());
  if (savingStopped(w)) return;
  // The lab's file goes with the save: a new run's is written whole and replaces the previous
  // run's only together with its first save, as its perihelion records do.
  persist::WriteBehind::Side lab{};
  if (!dataFileStopped(w, kLabFileName)) lab = labSaveText(w);
  w.saves.snapshot(saveFiles(w), saveText(w), newLogHeader(w), std::move(lab));
  w.scenario.recordsStarted = true;
}

// The records of the save. A crash between the save's rename and that of a new run's first
// records leaves those complete in their temporary file: they are taken from there, and the
// interrupted save is finished.
std::vector<PerihelionRecord> readRecordsOfTheSave(MainWindow& w, const SavedRun& r, int& later) {
  const std::string path = dataFilePath(w, kPerihelionFileName);
  try {
    return readPerihelia(readBounded(path, kPerihelionFileName, kMaxPerihelionBytes), r, later);
  } catch (const OtherRun& other) {
    const std::string temp = path + ".tmp";
    std::vector<PerihelionRecord> records;
    try {
      records =
          readPerihelia(readBounded(temp, kPerihelionFileName, kMaxPerihelionBytes), r, later);
    } catch (const FormatError&) {
      throw other;  // no records of the save's run anywhere
    }
    // Finished only by the program that holds the directory.
    if (w.scenario.dataDirRefusal.empty()) std::rename(temp.c_str(), path.c_str());
    return records;
  }
}

}  // namespace orbits
