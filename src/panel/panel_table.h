#pragma once
#include "form/panel.h"

namespace orbits {

// Creates every control of the main window with its design-time state and place.
void buildPanel(Panel& panel);

}  // namespace orbits
