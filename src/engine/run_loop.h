#pragma once
// The run loop: one cycle per calculation until the run is stopped or ends.
namespace orbits {

class MainWindow;
class Control;

// Runs cycles until a cycle ends with runState other than Bat. Called by Go and Continue.
void RunLoop(MainWindow& w);

// Writes the pair distance into TXapart: the tooltip in km, the text short or exact as ChNum
// says.
void ShowPairDistance(MainWindow& w, Control& apart);
// The same with the "Exact or simple" box already at hand.
void showPairDistance(MainWindow& w, Control& apart, const Control& simple);

// The message shown when a cycle produced a number that cannot be represented.
extern const char* const kNumericFailureText;
extern const char* const kNumericFailureTitle;

}  // namespace orbits
