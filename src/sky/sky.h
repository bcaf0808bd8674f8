#pragma once
// The real sky beside the simulated one: where the planets really were at the simulated date,
// from the planetary theory of the astronomy library, in the simulation's axes, and how far
// each simulated planet is from its real self.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "sky/frame.h"
#include "text/date.h"

namespace orbits {
class MainWindow;
struct ScenarioState;
struct Clock;
struct SimState;
}  // namespace orbits

namespace orbits::sky {

// A Julian date (days, TT) in two parts, as the library takes it: the start of a day (a
// half-integer) and the time since.
struct JulianDate {
  double day = 0, fraction = 0;
  double value() const { return day + fraction; }
};

// The day `date` and the time of day `dayFraction` (of that day, or more days on).
JulianDate julianDate(text::Date date, double dayFraction);
// The calendar day and time of day of a Julian date; nullopt before 4800 BC.
struct CalendarInstant {
  text::Date date;
  double dayFraction = 0;
};
std::optional<CalendarInstant> calendarInstant(JulianDate jd);

// The simulated instant: the scenario's start date, its begin time (the time of day it starts
// at) and the elapsed time.
JulianDate simulatedDate(const ScenarioState& scenario, const Clock& clock);

// Heliocentric positions of bodies 1..8 in km, in the simulation's axes (element 0, the Sun,
// is the origin), the Earth's being the Earth-Moon barycentre's; nullopt outside the years the
// theory covers (1000 to 3000).
std::optional<std::array<Vec3, 9>> realPositions(JulianDate jd);

// One planet against its real self, both seen from the Sun.
struct PlanetSky {
  int body = 0;
  std::string name;
  double angleDeg = 0;              // between the simulated and the real direction
  double distanceErrorPercent = 0;  // (simulated - real) / real distance
};

// Every planet in play (bodies 1..8 switched on, up to the last body) at date `jd`; nullopt
// outside the theory's years. Figures are NaN where the simulated state is not finite.
std::optional<std::vector<PlanetSky>> compareWithSky(const SimState& s, JulianDate jd);
// The same for the window's current state and simulated date.
std::optional<std::vector<PlanetSky>> skyComparison(const MainWindow& w);

}  // namespace orbits::sky
