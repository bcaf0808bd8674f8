#pragma once
// Starting, pausing and continuing a run, and the body-editing panel shown while paused.
namespace orbits {

class MainWindow;

void Command2_Click(MainWindow& w);  // Go
void CDstop_Click(MainWindow& w);    // Stop
void CDcont_Click(MainWindow& w);    // Continue
void PawsOn(MainWindow& w);
void PawsOff(MainWindow& w);

void wireRunControl(MainWindow& w);

}  // namespace orbits
