#pragma once
// The main window as the programs and tests use it: the model with its panel built from the
// panel table, every handler wired and the load handler run.
#include "window/main_window.h"

namespace orbits {

class WiredWindow : public MainWindow {
 public:
  explicit WiredWindow(Host& host);
};

}  // namespace orbits
