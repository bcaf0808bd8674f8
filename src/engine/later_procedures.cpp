#include "engine/later_procedures.h"

namespace orbits {

void SavePerPre(MainWindow&) {}
void SaveOrbit(MainWindow&) {}

void Ocean(MainWindow&, int) {}
void Asgard(MainWindow&) {}

}  // namespace orbits
