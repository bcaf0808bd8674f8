#pragma once
// The stored initial states of the Sun and the eight planets at the three epochs, the planetary
// masses, the alternative velocities single presets use, and the loading of an epoch.
#include <array>
#include <cstdint>
#include <optional>

#include "physics/sim_state.h"

namespace orbits {

// Values of epochCode. The 1940 set is coded 19402.
constexpr int16_t kEpoch1773 = 1773;
constexpr int16_t kEpoch1900 = 1900;
constexpr int16_t kEpoch1940 = 19402;

// One body's stored state: km, and km per calculation at a time factor of 1.
struct BodyState {
  double x, y, z, vx, vy, vz;
};

// Bodies 1..8 (Mercury..Neptune) of one epoch; element 0 (the Sun) is unused and zero.
using EpochTable = std::array<BodyState, 9>;

// The masses of bodies 0..8 in solar masses, the same in every epoch.
extern const std::array<double, 9> kPlanetMass;

// The stored table of an epoch, or nullptr for an unknown code.
const EpochTable* epochTable(int16_t epochCode);

// The order in which the planets are loaded and take their momentum step.
constexpr std::array<int, 8> kLoadOrder{5, 6, 7, 8, 4, 3, 2, 1};

// The velocity that replaces the epoch's own for body `body`, if one applies for the preset
// `presetIndex` at the time-rate index `timeRateIndex`.
struct Velocity {
  double vx, vy, vz;
};
std::optional<Velocity> alternativeVelocity(int16_t epochCode, int body, int presetIndex,
                                            float timeRateIndex);

// Loads the epoch into bodies 0..8: the Sun at rest at the origin with mass 1, then the planets
// in load order with their masses, stored states (or alternatives) and the momentum step, which
// leaves each planet with v * (1 + m) and the Sun with the sum of -v * m. The time rate is read
// from s.timeRateIndex, so the preset's time rate must be selected first. Body 9 is untouched.
// Returns false, changing nothing, for an unknown epoch code.
bool loadEpoch(SimState& s, int16_t epochCode, int presetIndex);

}  // namespace orbits
