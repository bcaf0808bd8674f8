#pragma once
// The data directory as a store the program can trust: its files are opened without following
// a symbolic link and without blocking, and written only when what was opened is a regular file
// of that one name; and one program at a time holds the directory, by a lock the kernel drops
// when the program ends however it ends.
#include <string>

namespace orbits::persist {

// The lock file every program takes before it writes into a data directory.
constexpr const char* kLockFileName = "orbits.lock";

// A file of the data directory opened for writing: its descriptor, or -1 with why not.
struct OpenedFile {
  int fd = -1;
  int err = 0;         // errno of the failure, 0 when there was none (a file of the wrong kind)
  std::string reason;  // what was wrong, for the message naming the file
};

// Opens `path` for writing, creating it when missing. A symbolic link is never followed and a
// FIFO never waited on; anything but a regular file with no other name (a hard link elsewhere
// would be written too) is refused before a byte of it changes. `replace` empties it, after
// that check; otherwise writes go to its end.
OpenedFile openForWriting(const std::string& path, bool replace);

// One program per data directory: an exclusive, non-blocking flock on kLockFileName in it,
// held until this object goes (or the process ends).
class DataDirLock {
 public:
  enum class State {
    Held,         // this program holds the directory
    InUse,        // another program holds it
    Unsafe,       // the lock file is a link or no regular file: the directory is not to be used
    Unavailable,  // no lock can be had (the directory is missing or read-only): nothing written
                  // there can mix, and the files themselves report what fails
  };

  explicit DataDirLock(const std::string& dir);
  ~DataDirLock();
  DataDirLock(const DataDirLock&) = delete;
  DataDirLock& operator=(const DataDirLock&) = delete;

  State state() const { return state_; }
  // Whether this program must leave the directory alone.
  bool refused() const { return state_ == State::InUse || state_ == State::Unsafe; }
  // Why it must, in a sentence naming the directory (empty when it need not).
  const std::string& refusal() const { return refusal_; }

 private:
  int fd_ = -1;
  State state_ = State::Unavailable;
  std::string refusal_;
};

}  // namespace orbits::persist
