#include "ui/main_window.h"

#include "ui/panel_table.h"

namespace orbits {

MainWindow::MainWindow(Host& h) : host(h), surface(kWindowWidth / kUnitsPerPixel, kWindowHeight / kUnitsPerPixel) {
  buildPanel(panel);
  wireShell(*this);
}

}  // namespace orbits
