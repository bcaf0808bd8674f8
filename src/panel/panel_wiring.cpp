#include "panel/panel_wiring.h"

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
#include "engine/time_rate.h"
#include "persist/save_reload.h"
#include "scenarios/body_editor.h"
#include "scenarios/gravity_settings.h"
#include "scenarios/presets.h"
#include "window/shell.h"

namespace orbits {

void wirePanel(MainWindow& w) {
  wireRunControl(w);
  wireTimeRate(w);
  wireProjection(w);
  wireShell(w);
  wirePresets(w);
  wireGravitySettings(w);
  wireEndConditions(w);
  wireCalendar(w);
  wireOrbits(w);
  wirePairSelection(w);
  wireDrift(w);
  wirePrecession(w);
  wireBodyEditor(w);
  wireSideViews(w);
  wireClearing(w);
  wirePersist(w);
  wireLab(w);
}

}  // namespace orbits
