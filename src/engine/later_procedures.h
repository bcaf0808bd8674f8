#pragma once
// Procedures the run cycle and run control call that other subsystems provide. Each is an
// empty placeholder here until its subsystem implements it; whoever implements one moves it
// into its own subsystem and deletes it from this list.
namespace orbits {

class MainWindow;

// Per-orbit save.
void SavePerPre(MainWindow& w);
void SaveOrbit(MainWindow& w);

// Body editor.
void Ocean(MainWindow& w, int body);
void Asgard(MainWindow& w);

}  // namespace orbits
