#pragma once
// The physics of one calculation: move, accelerations, velocity update, and the movement
// error of the watched pair.
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>

#include "physics/sim_state.h"

namespace orbits {

// Accelerations of the current run, km per calculation per calculation. Zeroed whenever the
// run loop is entered; entries of switched-off bodies keep what they held.
struct Accelerations {
  BodyArray<double> accelX{}, accelY{}, accelZ{};
};

// An ordered pair (i, j) found closer than the proximity limit, in the order the
// acceleration loops meet it (i from lastBody down to 0, j likewise).
struct ClosePair {
  int16_t i = 0, j = 0;
};
struct ProximityReport {
  static constexpr int kMax = kMaxBodies * (kMaxBodies - 1);
  std::array<ClosePair, kMax> pairs{};
  int count = 0;
};

// Stage 1: every body in play moves by its velocity (lastBody down to 0).
void moveBodies(SimState& s);

// Stage 2: the accelerations from the positions just moved. The fast kernel the program
// runs; bit-identical to accelerationsReference. Stores gravFactor as the loop does.
void computeAccelerations(SimState& s, Accelerations& a, ProximityReport& close);

// The ways of running the kernel: a vector width, and a division of the pair terms by the
// division instruction or by fused multiply-adds (physics/fused_division.h). Every way gives the
// same bits. The fastest on the processor at hand is chosen when the kernel first runs, by
// timing each for a few thousand cycles; tests and benchmarks select one to compare them.
enum class KernelWidth { kPortable, kSse2, kAvx, kAvx512 };
enum class KernelDivision { kDivider, kFused };
struct KernelVariant {
  KernelWidth width = KernelWidth::kPortable;
  KernelDivision division = KernelDivision::kDivider;
  friend bool operator==(const KernelVariant&, const KernelVariant&) = default;
};
constexpr KernelVariant kKernelVariants[] = {{KernelWidth::kPortable, KernelDivision::kDivider},
                                             {KernelWidth::kSse2, KernelDivision::kDivider},
                                             {KernelWidth::kAvx, KernelDivision::kDivider},
                                             {KernelWidth::kAvx, KernelDivision::kFused},
                                             {KernelWidth::kAvx512, KernelDivision::kDivider},
                                             {KernelWidth::kAvx512, KernelDivision::kFused}};
constexpr int kKernelVariantCount = int(std::size(kKernelVariants));

bool kernelSupported(KernelVariant v);
bool setKernel(KernelVariant v);          // false, changing nothing, when not supported
KernelVariant kernelVariant();            // the way in force
const char* kernelName(KernelVariant v);  // "avx512", "avx+fma", ...

// What the choice at start-up measured: each variant's fastest cycle of nine bodies (0 where the
// processor lacks it), the variant chosen, and how long the choice took.
struct KernelChoice {
  std::array<double, kKernelVariantCount> nsPerCycle{};
  KernelVariant chosen;
  double seconds = 0;
};
const KernelChoice& kernelChoice();

// The straightforward loop over all ordered pairs, kept as the reference for the kernel.
void accelerationsReference(SimState& s, Accelerations& a, ProximityReport& close);

// The first post-Newtonian correction of the Sun's (body 0's) pull, in its potential form: on
// every other body k in play, -6 (G M)^2 r / (c^2 |r|^4), r the position of k from the Sun. Added
// to the Newtonian accelerations when the relativity option is on; c is taken per calculation at
// the time rate in force, as G is.
void addRelativity(const SimState& s, Accelerations& a);

// Whether the positions of the bodies 0..lastBody, and the velocities stage 3 will give them,
// are all finite, the positions also within kPositionLimit: the run loop stops before anything
// non-finite is drawn, measured or saved. A position beyond the limit counts as an overflow
// too: the distances to it would be infinite, which pulls with no force and would let the run
// go on with nonsense.
bool motionFinite(const SimState& s, const Accelerations& a);

// Stage 3 for one body (the run loop tests the drawing bounds between bodies).
inline void updateVelocity(SimState& s, const Accelerations& a, int k) {
  s.velX[k] += a.accelX[k];
  s.velY[k] += a.accelY[k];
  s.velZ[k] += a.accelZ[k];
}

// Movement error of pair body b (1 or 2): accelMag and moveErrPct, when errPairDist != 0.
// Returns false when nothing was computed (errPairDist = 0). Inline: it runs twice a cycle.
inline bool movementError(SimState& s, const Accelerations& a, int b) {
  if (s.errPairDist == 0) return false;
  const int k = s.pairBody[b];
  if (k < 0 || k >= kMaxBodies) return false;
  s.accelMag[b] =
      std::sqrt(a.accelX[k] * a.accelX[k] + a.accelY[k] * a.accelY[k] + a.accelZ[k] * a.accelZ[k]);
  s.moveErrPct[b] = s.accelMag[b] * 125.68 / s.errPairDist;
  return true;
}

// The error-limit test: strictly above the limit ("5" lets exactly 5 pass).
inline bool errorAboveLimit(double moveErrPct, double limit) { return moveErrPct > limit; }

}  // namespace orbits
