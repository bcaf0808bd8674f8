#pragma once
// The run loop: one cycle per calculation until the run is stopped or ends.
namespace orbits {

class MainWindow;
class Control;

// What the run loop keeps between its executions.
struct RunLoopState {
  // The "too many zumas" warning was shown for the current selection of the finest 30-series
  // scale; selecting a scale again re-arms it.
  bool zumasWarned = false;
  // Cycles that ended in a numeric failure (each stopped the run).
  int numericFailures = 0;
  // The watched pair's orbit count last seen by the trail colouring, and whether it is even.
  double parityCount = 0;
  bool parityEven = true;  // fmod(0, 2) == 0
};

// Runs cycles until a cycle ends with runState other than "bat". Called by Go and Continue.
void RunLoop(MainWindow& w);

// Turns a pending end verdict (endCode 67 or 99) into its end message and ends the run.
void ApplyEndMessage(MainWindow& w);

// Writes the pair distance into TXapart: the tooltip in km, the text short or exact as ChNum
// says.
void ShowPairDistance(MainWindow& w, Control& apart);
// The same with the "Exact or simple" box already at hand.
void showPairDistance(MainWindow& w, Control& apart, const Control& simple);

// The quarter of the orbit pairBody(1) stands in around pairBody(2), from their drawing
// coordinates; `current` when they are level on either axis.
float quarterOf(double x1, double y1, double x2, double y2, bool newYear, float current);

// The message shown when a cycle produced a number that cannot be represented.
extern const char* const kNumericFailureText;
extern const char* const kNumericFailureTitle;

}  // namespace orbits
