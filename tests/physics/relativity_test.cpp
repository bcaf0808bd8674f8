// The relativity option in the run loop: off, the loop's trajectory is the Newtonian physics to
// the bit; on, exactly the physics with the Sun's relativistic term added.
#include <gtest/gtest.h>

#include "../support/run_fixture.h"
#include "physics/gravity.h"

namespace orbits {
namespace {

using testing::RunFixture;

// The bodies after 300 cycles of the run loop, and after the same cycles of the bare physics
// continued from the loop's state after its first cycle.
void expectLoopIsPhysics(bool relativity) {
  RunFixture f;
  f.w.c("ChRelativity").setValue(relativity ? 1 : 0);
  ASSERT_EQ(f.s.relativity, relativity);
  f.choose(4, 7, 14);
  SimState copy;
  f.host.onYield = [&](long n) {
    if (n == 1) copy = f.s;
    if (n == 300) f.w.c("CDstop").press();
  };
  f.go();
  ASSERT_EQ(f.s.cycleCount, 300);
  Accelerations a;
  ProximityReport close;
  for (int c = 2; c <= 300; ++c) {
    moveBodies(copy);
    computeAccelerations(copy, a, close);
    if (relativity) addRelativity(copy, a);
    for (int k = 0; k <= copy.lastBody; ++k) updateVelocity(copy, a, k);
  }
  for (int k = 0; k <= 1; ++k) {
    EXPECT_EQ(f.s.posX[k], copy.posX[k]) << k;
    EXPECT_EQ(f.s.posY[k], copy.posY[k]) << k;
    EXPECT_EQ(f.s.velX[k], copy.velX[k]) << k;
    EXPECT_EQ(f.s.velY[k], copy.velY[k]) << k;
  }
}

TEST(Relativity, OffTheLoopIsTheNewtonianPhysicsOnItAddsExactlyTheTerm) {
  expectLoopIsPhysics(false);
  expectLoopIsPhysics(true);
}

}  // namespace
}  // namespace orbits
