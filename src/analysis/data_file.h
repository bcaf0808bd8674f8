#pragma once
// The plain-text data files of the program's directory ("data-drift.txt", "orb.txt"): each
// write opens the file (never through a symbolic link, only a regular file: see
// persist/data_dir.h), writes whole lines ended by "\r\n" and closes it again. A file that
// cannot be written is reported once, by a message box and the panel's message line, and is
// then left alone for the rest of the run; the run itself goes on.
#include <string>
#include <string_view>

namespace orbits {

class MainWindow;

constexpr const char* kDriftFileName = "data-drift.txt";
constexpr const char* kOrbFileName = "orb.txt";
constexpr const char* kLineEnd = "\r\n";

// The path of a data file in the host's data directory.
std::string dataFilePath(MainWindow& w, std::string_view name);

// Writes `text` (whole lines, already ended) to the file `name` of the data directory,
// replacing its content or appending to it (the file is created if missing). Returns false
// when the file was not written: it failed now (reported) or earlier in this run (silent).
bool writeDataFile(MainWindow& w, std::string_view name, std::string_view text, bool replace);

// The message shown when a data file cannot be written.
std::string dataFileFailureText(const std::string& path, const std::string& reason);

// A data file or save (`name`, at `path`) could not be written for `reason` (errno `err`, 0 if
// none): one message, then the file is left alone for the rest of the run. When the fault lies
// with the directory (missing, read-only, full, not ours), the message names the directory and
// every data file and save of it stops. `fileMessage` is the message for the file alone.
void dataFileFailed(MainWindow& w, std::string_view name, const std::string& path,
                    const std::string& reason, int err, const std::string& fileMessage);
// The file `name` is not to be written again in this run (or not at all: the directory is
// refused).
bool dataFileStopped(MainWindow& w, std::string_view name);

// Another program holds the data directory (or it cannot be trusted): `message` says so, once,
// by a message box and the message line, and nothing is written there while this program
// runs. Reading the saves stays possible.
void RefuseDataDir(MainWindow& w, const std::string& message);

// A new scenario or a reload: every data file is tried again.
void ResetDataFiles(MainWindow& w);

}  // namespace orbits
