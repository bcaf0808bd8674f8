#pragma once
// The files of the saves: reading them within bounds, and handing the saves to the writer
// behind the run.
#include <string>

namespace orbits {

class MainWindow;
struct Loaded;

// Reads a whole file, refusing what no valid save is: anything but a regular file and a file
// larger than `limit`. Throws persist::FormatError naming the file `name`.
std::string readBounded(const std::string& path, const char* name, long limit);

// Reads the perihelion records of the save read into `L`.
void readRecordsOfTheSave(MainWindow& w, Loaded& L);

}  // namespace orbits
