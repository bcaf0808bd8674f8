#pragma once
// Procedures the run cycle and run control call that other subsystems provide. Each is an
// empty placeholder here until its subsystem implements it; whoever implements one moves it
// into its own subsystem and deletes it from this list.
#include "persist/save_reload.h"
#include "scenarios/body_editor.h"

namespace orbits {

class MainWindow;

}  // namespace orbits
