#pragma once
// The time rate (simulated seconds per calculation) and the turbo options.
namespace orbits {

class MainWindow;

constexpr int kRateCount = 18;  // Optime(0..17) choose a rate
constexpr int kInertRate = 18;  // Optime(18) does nothing

// The time factor of rate i (10^i), 0 for none.
double timeFactorOf(int i);

// A time-rate option chosen: rescales the velocities and recomputes the derived quantities.
// A rate at which a velocity would be beyond the range of doubles is refused: the rate in
// force stays selected and a message says why.
void Optime_Click(MainWindow& w, int i);

// The message of a refused rate.
extern const char* const kRateRefusedText;
// A turbo option chosen (4: some detail, 5: minimal detail).
void OptimT_Click(MainWindow& w, int index);
// Rewrites the captions and tooltips of the time-rate options.
void TurboCharge(MainWindow& w);
// The "Scenario Time (user)" check box changed.
void Chuser_Click(MainWindow& w);

void wireTimeRate(MainWindow& w);

}  // namespace orbits
