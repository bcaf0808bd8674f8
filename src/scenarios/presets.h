#pragma once
// The catalogue of preset scenarios and the preset procedure behind the buttons CDp(0..83).
#include <array>
#include <cstdint>

namespace orbits {

class MainWindow;

constexpr int kPresetCount = 84;  // CDp(0..83)

// What one preset button sets on the panel. Presets that were never offered (hidden buttons)
// have no settings: their caption, scale, pair and time rate stay as they were.
struct PresetRow {
  const char* heading = nullptr;  // the label the button stands under
  // LaChirp(0): the caption always shown, and the longer one shown only while the scenario
  // chooses its own time rate (Chuser unticked); nullptr where there is none.
  const char* caption = nullptr;
  const char* scenarioCaption = nullptr;
  int8_t pair = -1;         // second body of the watched pair (the first is the Sun)
  int8_t scale = -1;        // OpDist option
  int8_t rate = -1;         // Optime option
  bool scaleFirst = false;  // scale and pair are set before the caption
  bool rateAlways = false;  // the time rate is set even when Chuser is ticked
  bool eachOrbit = false;   // ChEach 1 before, ChAPE 0 and ChDraw 0 after the caption
  int8_t soloPlanet = -1;   // control test: only the Sun and this planet stay in play
};

const std::array<PresetRow, kPresetCount>& presetCatalogue();

// The epoch data set of preset n (1773, 1900 or 19402).
int16_t presetEpoch(int n);

// The caption of the scenario's origin on TXstartdate, by epoch.
const char* beginTimeTip(int16_t epochCode);
// The time of day of the start, as a fraction of a day, by epoch (0 for an unknown epoch).
double beginTimeDaysOf(int16_t epochCode);

// The preset procedure: wipes the previous run, loads the epoch, sets the panel and presses Go.
void Preset(MainWindow& w, int n);
void CDp_Click(MainWindow& w, int n);

void wirePresets(MainWindow& w);

}  // namespace orbits
