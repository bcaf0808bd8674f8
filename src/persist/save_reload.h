#pragma once
// Saving the whole state of a run at the end of each orbit into "orbit-save.txt" and
// "orbit-pp.txt", and reloading it ("Load Previous Data") to continue the run.
#include <string>

namespace orbits {

class MainWindow;

constexpr const char* kSaveFileName = "orbit-save.txt";
constexpr const char* kPerihelionFileName = "orbit-pp.txt";
constexpr int kSaveLines = 32;
constexpr int kSaveFields = 10;
// After the 32 lines: the run's identity, its title and the partial-orbit line of its drift
// file (a reader of the 32 lines ignores them; a save without them still reloads).
constexpr int kRunLineFields = 3;
// Far above any valid file: a larger one is refused rather than read.
constexpr long kMaxSaveBytes = 64 * 1024;
constexpr long kMaxPerihelionBytes = 8 * 1024 * 1024;

// Both saves are written at once; syncing them to the disk (and replacing the previous save)
// finishes behind the run. settleSaves waits for that and reports a save that failed there.
void settleSaves(MainWindow& w);
// A new run: its first save starts "orbit-pp.txt" anew, under a new identity.
void StartSaves(MainWindow& w);

// Hands over the perihelion record of the orbit just completed, appended to "orbit-pp.txt" with
// the next save.
void SavePerPre(MainWindow& w);
// Hands over the lines of "orbit-save.txt" (the named lines of later additions after them):
// written behind the run, replacing the previous save only once the new one (and its perihelion
// records) are complete on the disk; then appends the lab's new records to "orbit-lab.txt".
void SaveOrbit(MainWindow& w);

// The text of "orbit-save.txt" for the current state.
std::string saveText(MainWindow& w);

// The outcome of a reload: loadStatus is "" when both files were read completely, "error"
// when "orbit-save.txt" failed, "errorer" when "orbit-pp.txt" failed; problem says what and
// where.
struct ReloadResult {
  std::string loadStatus;
  std::string problem;
};

// "Load Previous Data": reads both files into a copy of the state and applies it only when
// both were read correctly; otherwise the window stays as it was and a message names the
// problem.
ReloadResult CDcon_Click(MainWindow& w);

// The message shown when a reload is not possible.
constexpr const char* kNoReloadText = "No reload available";

void wirePersist(MainWindow& w);

}  // namespace orbits
