#include "ui/panel_table.h"

namespace orbits {

void buildPanel(Panel& panel) { (void)panel; }

}  // namespace orbits
