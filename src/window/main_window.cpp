#include "window/main_window.h"

#include <utility>

namespace orbits {

MainWindow::MainWindow(Host& h, SavesWriter writer)
    : host(h),
      surface(kWindowWidth / kUnitsPerPixel, kWindowHeight / kUnitsPerPixel),
      savesOwned_(std::move(writer)),
      saves(*savesOwned_) {}

}  // namespace orbits
