#include "ui/main_window.h"

#include "analysis/calendar.h"
#include "analysis/drift.h"
#include "analysis/orbits.h"
#include "analysis/perihelia.h"
#include "analysis/precession.h"
#include "display/clearing.h"
#include "display/pair_selection.h"
#include "display/projection.h"
#include "display/side_views.h"
#include "engine/end_conditions.h"
#include "engine/run_control.h"
#include "engine/startup.h"
#include "engine/time_rate.h"
#include "persist/save_reload.h"
#include "scenarios/body_editor.h"
#include "scenarios/gravity_settings.h"
#include "scenarios/presets.h"
#include "ui/panel_table.h"

namespace orbits {

MainWindow::MainWindow(Host& h)
    : host(h), surface(kWindowWidth / kUnitsPerPixel, kWindowHeight / kUnitsPerPixel) {
  buildPanel(panel);
  wireRunControl(*this);
  wireTimeRate(*this);
  wireProjection(*this);
  wireShell(*this);
  wirePresets(*this);
  wireGravitySettings(*this);
  wireEndConditions(*this);
  wireCalendar(*this);
  wireOrbits(*this);
  wirePairSelection(*this);
  wireDrift(*this);
  wirePrecession(*this);
  wireBodyEditor(*this);
  wireSideViews(*this);
  wireClearing(*this);
  wirePersist(*this);
  wireLab(*this);
  // The load handler runs last, after every handler is wired.
  Form_Load(*this);
}

}  // namespace orbits
