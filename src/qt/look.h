#pragma once
// The program's look: a dark, compact style for every window.
class QApplication;

namespace orbits::qt {

void applyLook(QApplication& app);

}  // namespace orbits::qt
