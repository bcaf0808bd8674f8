#pragma once
// The lab's records on disk: the per-orbit series as CSV (a row written as each orbit ends), the
// charts' data as CSV, and "orbit-lab.txt" beside the saves, from which a reload restores the
// lab. The file holds a summary of the lab at one save (the two fits' running sums, the latest
// perihelion and orbit, the charts' bounded series) followed by the records of the saves since;
// it is written whole again once those outgrow twice the summary, so its size stays within about
// three times that of the summary (a few megabytes) however long the run.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "persist/write_behind.h"
#include "window/lab_state.h"

namespace orbits {

class MainWindow;

constexpr const char* kLabFileName = "orbit-lab.txt";
// The files this program writes stay far below this; files of earlier versions (one record per
// orbit, never summarised) are read up to it.
constexpr long kMaxLabBytes = 64L * 1024 * 1024;
// The records appended since the file was last written whole may reach twice the whole file's
// size, and at least this, before it is written whole again.
constexpr size_t kLabAppendAllowance = 512 * 1024;

// One column of the series: its header and its value for an orbit. Further columns are added to
// seriesColumns().
struct SeriesColumn {
  std::string name;
  std::function<double(const OrbitRecord&)> value;
};
const std::vector<SeriesColumn>& seriesColumns();

// The series file: its header row, and one orbit's row.
void writeSeriesHeader(std::ostream& out);
void writeSeriesRow(const OrbitRecord& r, std::ostream& out);

// The charts' data as CSV: one row per bucket of the series (one orbit each while the run is
// short), each quantity's smallest and largest value over its orbits.
void writeChartsCsv(const LabState& lab, std::ostream& out);

// The lab's part of a save: the records since the last save, or the whole file when that is due
// (a new run, a reload, records dropped, the appended records grown past the allowance).
persist::WriteBehind::Side labSaveText(MainWindow& w);
// The whole file for the current state.
std::string labWholeText(const MainWindow& w);

// What a reload should restore the lab to: the saved run's identity (0: unknown), cycle count and
// orbit count.
struct LabTarget {
  uint64_t runId = 0;
  double cycleCount = 0;
  int64_t orbits = 0;
  double siderealYearSecs = 0;
};

// The lab read from the file's text, up to the target's cycle; `problem` says why not all of it
// was restored, empty when it was.
LabState readLabFile(const std::string& content, const LabTarget& target, std::string& problem);

// Restores the lab of the reloaded run. When it cannot be restored in full (a damaged, missing,
// too large or foreign file) the window says once how much was restored and why; the reload and
// the run are not affected, and the file is written afresh with the next save.
void reloadLabRecords(MainWindow& w);

// The message shown when a reload restored the lab only in part.
std::string labRestoreText(const LabState& lab);

}  // namespace orbits
