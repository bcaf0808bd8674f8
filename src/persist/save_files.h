#pragma once
// The files of the saves: reading them within bounds, and handing the saves to the writer
// behind the run.
#include <string>
#include <vector>

#include "persist/save_format.h"

namespace orbits {

class MainWindow;

// Reads a whole file, refusing what no valid save is: anything but a regular file and a file
// larger than `limit`. Throws persist::FormatError naming the file `name`.
std::string readBounded(const std::string& path, const char* name, long limit);

// Reads the perihelion records of the saved run `r`; `later` counts those of orbits after it.
std::vector<PerihelionRecord> readRecordsOfTheSave(MainWindow& w, const SavedRun& r, int& later);

}  // namespace orbits
