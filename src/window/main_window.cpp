#include "window/main_window.h"

#include "engine/startup.h"
#include "panel/panel_table.h"
#include "panel/panel_wiring.h"
#include "persist/write_behind.h"

namespace orbits {

MainWindow::MainWindow(Host& h)
    : host(h),
      surface(kWindowWidth / kUnitsPerPixel, kWindowHeight / kUnitsPerPixel),
      savesOwned_(std::make_unique<persist::WriteBehind>()),
      saves(*savesOwned_) {
  buildPanel(panel);
  wirePanel(*this);
  // The load handler runs last, after every handler is wired.
  Form_Load(*this);
}

MainWindow::~MainWindow() = default;

}  // namespace orbits
