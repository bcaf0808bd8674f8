#pragma once

// The physical and calendar constants of the system, each once, with its unit and where it
// comes from. The figures the simulation itself uses are its own fixed values (a run made
// anywhere must give the same bits); where they round a modern figure, the comment says so.

#include <numbers>

namespace orbits {

// Time.
constexpr double kSecondsPerDay = 86400;  // s per day of 86400 SI seconds (the day of the dates)
// Mean tropical year in days (a round figure of the year of the seasons, about J2000), by which
// a scenario's start, a fraction of a day, becomes a fraction of a year.
constexpr double kDaysPerTropicalYear = 365.242189;
// Sidereal year in s (the year of the orbit against the stars, 365.25636 days): the year in which
// elapsed time and precession rates are shown.
constexpr double kSiderealYearSeconds = 31558149.54;
constexpr double kDaysPerJulianYear = 365.25;  // days, by definition (IAU)
// Days per Julian century, by definition: the unit of time of the literature's precession rates.
constexpr double kDaysPerJulianCentury = 36525;

// Lengths and angles.
constexpr double kSpeedOfLightKmPerS = 299792.458;  // km/s, exact by the definition of the metre
constexpr double kKmPerAu = 149597870.7;            // km per astronomical unit (IAU 2012, exact)
constexpr double kArcsecPerRadian = 180 * 3600 / std::numbers::pi;
// The system's own pi and 2 pi, to 15 digits: the figures its angles were first worked out with.
constexpr double kPi15 = 3.14159265358979, kTwoPi15 = 6.28318530717958;

// Mass and gravity.
// The Sun's mass in 10^30 kg: its gravitational parameter 1.32712440018e20 m^3/s^2 over
// G = 6.67384e-11 m^3 kg^-1 s^-2 (CODATA 2010), used at every scenario's start.
constexpr double kSolarMass = 1.988544;
// The same mass rounded to 1.98855, as the gravity options have always used it.
constexpr double kGravityOptionSolarMass = 1.98855;
// G is typed in 10^-11 m^3 kg^-1 s^-2 and masses are in 10^30 kg, so G times a mass is in
// 10^19 m^3/s^2 = 10^10 km^3/s^2; one calculation at the base rate is 0.00015 s, and
// 10^10 x 0.00015^2 = 225 turns that into km^3 per calculation squared.
constexpr double kGravityToKmPerCalc = 225;

}  // namespace orbits
