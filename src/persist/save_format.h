#pragma once
// The layout of "orbit-save.txt" and of the records of "orbit-pp.txt": what a reload reads
// from them, before any of it is applied to the window.
#include <array>
#include <cstdint>
#include <string>

#include "engine/sim_state.h"
#include "persist/record_format.h"
#include "window/analysis_state.h"

namespace orbits {

class MainWindow;

// The name that leads the relativity option's line after the 32 lines of the save.
constexpr const char* kRelativityField = "ChRelativity";
constexpr int kLastPresetButton = 83;
constexpr int kLatestMarker = kMarkerSlots - 1;  // slot 9999 mirrors the latest marker
constexpr const char* kPerihelionHeader = "Perihelion Precession details follow:";

// What a reload restores: a fresh copy of the state, filled from the files, and the values of
// the window that are set once both files were read.
struct Loaded {
  SimState sim;
  ScenarioState scenario;
  PairStats pair;
  Clock clock;
  Periods periods;
  Markers markers;
  int16_t markerNo = 0;
  double gravityText = 0;
  int32_t periMarkers = 0, aphMarkers = 0;
  int chEach = 0, chEnd = 0, chZX = 0, chZAxis = 0, chAlt = 0, chAvg = 0, chSnap = 0;
  int chQuick = 0, chAPE = 0, chDraw = 0;
  int relativity = 0;  // a save without the line was made with the option off
  double prevMin = 0, prevMax = 0;
  std::string startText, startTip, currentText, currentTip;
  int laterRecords = 0;  // perihelion records of orbits after the save, left out
  // The velocities as saved, before the division by the saved time factor.
  std::array<double, kMaxBodies> savedVelX{}, savedVelY{}, savedVelZ{};
};

// Reads the text of "orbit-save.txt" into `L`; throws persist::FormatError naming what is
// wrong and where.
void readSave(const std::string& content, Loaded& L);

// Perihelion records of another run than the save's.
struct OtherRun : persist::FormatError {
  using FormatError::FormatError;
};

// Reads the text of "orbit-pp.txt" into `L`, whose save was read before.
void readPerihelia(const std::string& content, Loaded& L);

// The record of "orbit-pp.txt" for marker slot `slot`, and the file's header naming the run.
std::string perihelionRecord(const Markers& m, size_t slot);
std::string perihelionHeader(uint64_t runId);

}  // namespace orbits
