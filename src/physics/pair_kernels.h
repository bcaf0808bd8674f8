#pragma once
// The fast kernel's inner work, at each vector width: from the bodies in play to the sum of
// the pulls on each. Used by physics/gravity.cpp, which packs the bodies and writes the
// accelerations back.
#include <cstdint>

#include "physics/gravity.h"
#include "physics/sim_state.h"

namespace orbits::kernel {

constexpr int kPairs = kMaxBodies * (kMaxBodies - 1) / 2;
// Rows are written and read in whole vectors of up to eight, past their ends: the last row of
// ten bodies (nine pairs, at 36) reaches slot 51.
constexpr int kPairSlots = 56;
constexpr int kBodySlots = 16;  // the bodies in play, padded to whole vectors

// The slot of the pair (i, j < i) in the flat pair arrays: row i holds the pairs of body i with
// the bodies below it.
constexpr int pairIndex(int i, int j) { return i * (i - 1) / 2 + j; }

// The bodies in play, in ascending body number: their positions (km) and gravFactor times their
// masses (km^3 per calculation^2); the slots past the last hold finite padding.
struct LiveBodies {
  alignas(64) double px[kBodySlots], py[kBodySlots], pz[kBodySlots], gm[kBodySlots];
  int body[kMaxBodies];  // the body number of each
  int m;                 // how many
};

struct PairData {
  // Inputs of the widths that go through memory: the separation (j minus i), its square, and
  // gravFactor times each mass.
  alignas(64) double dx[kPairSlots], dy[kPairSlots], dz[kPairSlots], d2[kPairSlots];
  alignas(64) double gmI[kPairSlots], gmJ[kPairSlots];
  // Outputs: the distance (km), and the terms on i from j (onI*) and on j from i (onJ*).
  alignas(64) double dist[kPairSlots];
  alignas(64) double onIx[kPairSlots], onIy[kPairSlots], onIz[kPairSlots];
  alignas(64) double onJx[kPairSlots], onJy[kPairSlots], onJz[kPairSlots];
};

// The accelerations of the bodies in play, in their dense order, km per calculation^2.
struct Sums {
  alignas(64) double x[kBodySlots], y[kBodySlots], z[kBodySlots];
};

// What a kernel found among the pairs.
constexpr int kSomePull = 1, kSomeClose = 2;

// Sums the pulls on the bodies in play with pairs closer than `prox` (km) pulling on nothing;
// returns kSomePull | kSomeClose as found. d.dist holds every pair's distance afterwards.
using PairKernel = int (*)(const LiveBodies& b, PairData& d, Sums& out, double prox);

// The kernel of a variant (the plain one for a variant not built for this processor).
PairKernel pairKernel(KernelVariant v);

}  // namespace orbits::kernel
