#include "panel/wired_window.h"

#include "engine/startup.h"
#include "panel/panel_table.h"
#include "panel/panel_wiring.h"
#include "persist/write_behind.h"

namespace orbits {

namespace {

MainWindow::SavesWriter newSavesWriter() {
  return {new persist::WriteBehind, [](persist::WriteBehind* p) { delete p; }};
}

}  // namespace

WiredWindow::WiredWindow(Host& host) : MainWindow(host, newSavesWriter()) {
  buildPanel(panel);
  wirePanel(*this);
  // The load handler runs last, after every handler is wired.
  Form_Load(*this);
}

}  // namespace orbits
