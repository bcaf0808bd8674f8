#pragma once
// The time rate (simulated seconds per calculation) and the turbo options.
namespace orbits {

class MainWindow;

constexpr int kRateCount = 18;  // Optime(0..17) choose a rate
constexpr int kInertRate = 18;  // Optime(18) does nothing

// A time-rate option chosen: rescales the velocities and recomputes the derived quantities.
void Optime_Click(MainWindow& w, int i);
// A turbo option chosen (4: some detail, 5: minimal detail).
void OptimT_Click(MainWindow& w, int index);
// Rewrites the captions and tooltips of the time-rate options.
void TurboCharge(MainWindow& w);
// The "Scenario Time (user)" check box changed.
void Chuser_Click(MainWindow& w);

void wireTimeRate(MainWindow& w);

}  // namespace orbits
