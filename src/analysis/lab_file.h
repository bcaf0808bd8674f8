#pragma once
// The lab's records on disk: the per-orbit series as CSV, and "orbit-lab.txt" beside the saves,
// from which a reload restores the exact perihelia and the per-orbit records.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "window/lab_state.h"

namespace orbits {

class MainWindow;

constexpr const char* kLabFileName = "orbit-lab.txt";
// Far above the records of any run (about 250 bytes an orbit).
constexpr long kMaxLabBytes = 64L * 1024 * 1024;

// One column of the series: its header and its value for an orbit. Further columns are added to
// seriesColumns().
struct SeriesColumn {
  std::string name;
  std::function<double(const OrbitRecord&)> value;
};
const std::vector<SeriesColumn>& seriesColumns();

// The per-orbit records as CSV: a header row, then one row per orbit.
void writeSeriesCsv(const LabState& lab, std::ostream& out);

// A new scenario: the lab's file starts empty.
void startLabFile(MainWindow& w);
// Appends the records made since the last call (called with each save of the run).
void saveLabRecords(MainWindow& w);
// Restores the records of the reloaded run: those up to its cycle count. A missing or damaged
// file leaves the lab empty (or with the records read before the damage); the run is not
// affected.
void reloadLabRecords(MainWindow& w);

// The lab's records parsed from the file's text, up to `cycleCount`.
LabState readLabRecords(const std::string& content, double cycleCount, double siderealYearSecs);

}  // namespace orbits
