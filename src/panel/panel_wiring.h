#pragma once
// Every control of the main window wired to its handler, subsystem by subsystem.
namespace orbits {

class MainWindow;

// Wires the handlers of every subsystem to the panel's controls; the order is the one the load
// handler relies on. Wiring again is harmless.
void wirePanel(MainWindow& w);

}  // namespace orbits
