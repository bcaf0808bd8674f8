#pragma once
// The end conditions the run loop does not test itself: the status timer with its off-screen
// report, the limits of the proximity box, and the end messages of the verdicts the loop leaves.
namespace orbits {

class MainWindow;

constexpr double kProximityMinKm = 100000;
constexpr double kProximityMaxKm = 10000000;

// TimTalk, every second: the orbit-limit and fastest-rate notices and the off-screen report.
void TimTalk_Timer(MainWindow& w);
// The user leaves TXproximity: the limit is kept within 100000..10000000 km and put in force.
void TXproximity_LostFocus(MainWindow& w);

// Turns a pending end verdict (beyond range, or the error limit) into its end message and ends
// the run; called by the clock.
void ApplyEndMessage(MainWindow& w);

void wireEndConditions(MainWindow& w);

}  // namespace orbits
