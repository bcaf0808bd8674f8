#pragma once
// The whole main window as a model: the simulation state, every control of the panel, the
// drawing surfaces and the timers. Every procedure of the system works on one MainWindow.
#include <functional>
#include <memory>
#include <string_view>

#include "form/host.h"
#include "form/line_layer.h"
#include "form/panel.h"
#include "form/surface.h"
#include "physics/sim_state.h"
#include "window/analysis_state.h"
#include "window/lab_state.h"
#include "window/run_loop_state.h"
#include "window/shell.h"

namespace orbits {

namespace persist {
class WriteBehind;
}

// The panel's rows of controls for the bodies: the body table (TXvolight, TXmass, and the pair
// scroll bars' range) has a row for each of bodies 0..8, the spare body none; the body editor
// has the fields TXTp(0..6) with their captions Label6(0..6).
constexpr int kBodyTableRows = 9;
constexpr int kBodyEditorFields = 7;

// Size of the window's client area, in drawing units (1024 x 768 pixels).
constexpr int kWindowWidth = 1024 * kUnitsPerPixel;
constexpr int kWindowHeight = 768 * kUnitsPerPixel;

class MainWindow {
 public:
  // The writer of the saves, made and destroyed by whoever builds the window.
  using SavesWriter = std::unique_ptr<persist::WriteBehind, void (*)(persist::WriteBehind*)>;

  // A window with an empty panel and no handlers: the state only. The programs and tests work
  // on a WiredWindow (panel/wired_window.h), which builds the panel, wires it and loads it.
  MainWindow(Host& host, SavesWriter saves);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  virtual ~MainWindow() = default;

  Host& host;
  SimState sim;
  Panel panel;
  Surface surface;  // the client area, the main drawing surface
  Shell shell;      // the splash window and what of the two windows is shown

  // Analysis and scenario state.
  ScenarioState scenario;
  PairStats pair;
  Clock clock;
  Periods periods;
  Markers markers;
  // The lab: exact perihelia, the fitted precession, the charts' series of the orbits.
  LabState lab;
  // Where each orbit's complete lab record goes as the orbit ends (the runner's series file),
  // if anywhere: the records themselves are not kept.
  std::function<void(const OrbitRecord&)> labRecordSink;
  // The perihelion lines last drawn on the surface, kept to draw only what changed.
  LineLayer perihelionLines;

  // The run loop's own state between its executions.
  RunLoopState run;

  // The saves of the run still being synced to the disk. The writer is a service of the
  // window, made where the window is built; the model itself needs only its name.
 private:
  SavesWriter savesOwned_;

 public:
  persist::WriteBehind& saves;

  Control& c(std::string_view name, int index = -1) { return panel.at(name, index); }
  int width() const { return width_; }
  int height() const { return height_; }

  // The window's own title.
  static constexpr const char* kTitle = "Solar System Orbits";

 private:
  int width_ = kWindowWidth;
  int height_ = kWindowHeight;
};

}  // namespace orbits
