#pragma once
// The runner's command line: what it asks for, read and checked without building a window.
// (The controls it names are found in the window's panel when the run is set up.)
#include <functional>
#include <string>
#include <vector>

#include "batch/batch_host.h"

namespace orbits::budget {
struct BudgetResult;
}

namespace orbits::batch {

// Exit statuses.
constexpr int kExitOk = 0;              // the run went as asked, also when the system ended it
constexpr int kExitFailed = 1;          // the run stopped on a failure, or the reload failed
constexpr int kExitUsage = 2;           // the command line was wrong
constexpr int kExitDirectoryInUse = 2;  // another run holds the data directory: nothing ran

constexpr const char* kProgram = "orbits-batch";

struct BatchEnv {
  Clocks clocks = Clocks::system();
  // Whether standard error is a terminal (the progress line is then drawn by default).
  bool errIsTerminal = false;
  // The default data directory; the program's own directory when empty.
  std::string programDir;
  // Draws the lab's charts into a picture file (--plot); "" when written, else why not. The
  // program supplies it (it needs the chart library); without it --plot is refused.
  std::function<std::string(const MainWindow&, const std::string& path)> plotWriter;
  // Draws a precession budget's chart into a picture file, in the same way.
  std::function<std::string(const budget::BudgetResult&, const std::string& path)> budgetPlotWriter;
};

// --mass BODY=MASS: body BODY is given that mass (in solar masses) at the start of the run, as a
// user gives it: the run paused, the body chosen in the body editor, the mass typed into its
// mass box and the box left, the run continued.
struct MassEdit {
  int body = 0;
  std::string mass;  // as typed into the mass box
};

// Reads the value of --mass, "BODY=MASS": "" when the body editor would take it, else what is
// wrong.
std::string parseMassEdit(const std::string& value, MassEdit& out);

struct BatchOptions {
  // A run, or only a text to print: the help, the version, or what is wrong (a usage error).
  enum class Asked { Run, Help, Version, Usage } asked = Asked::Run;
  std::string text;

  int preset = -1;             // -1 with reload
  long long presetGiven = -1;  // as typed, for the message when there is no such preset
  bool reload = false;
  RunLimit limit;
  std::vector<std::string> set, then, show;  // NAME=VALUE; NAME
  std::vector<MassEdit> masses;              // at most one for each body
  bool json = false;
  bool progress = false;
  std::string dataDir;               // absolute
  std::string seriesFile, plotFile;  // the lab's per-orbit series (CSV) and charts (SVG, PNG)

  // --budget: the precession budget of the preset's planet over `years`, on `threads` threads
  // (0: every core); `set` applies to each of its runs.
  bool budget = false;
  double years = 100;
  int threads = 0;
};

BatchOptions parseBatchOptions(const std::vector<std::string>& args, const BatchEnv& env = {});

}  // namespace orbits::batch
