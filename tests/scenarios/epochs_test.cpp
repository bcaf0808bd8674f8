#include "scenarios/epochs.h"

#include <gtest/gtest.h>

namespace orbits {
namespace {

SimState loaded(int16_t epoch, int preset, float timeRateIndex) {
  SimState s;
  s.timeRateIndex = timeRateIndex;
  EXPECT_TRUE(loadEpoch(s, epoch, preset));
  return s;
}

void expectSunVelocity(const SimState& s, double vx, double vy, double vz) {
  EXPECT_EQ(s.velX[0], vx);
  EXPECT_EQ(s.velY[0], vy);
  EXPECT_EQ(s.velZ[0], vz);
}

TEST(Epochs, SunVelocityAfterTheMomentumStepOfEachEpoch) {
  expectSunVelocity(loaded(kEpoch1900, 51, 7), -9.812083039174677e-07, 1.911580115162916e-06,
                    -4.545841819360045e-08);
  expectSunVelocity(loaded(kEpoch1773, 21, 7), 1.4768077757267063e-06, -6.449199312605946e-07,
                    1.631630065238982e-08);
  const SimState s = loaded(kEpoch1940, 1, 7);
  expectSunVelocity(s, 2.2323630948913e-06, -8.203855483934075e-07, 9.370486571374768e-09);
  EXPECT_EQ(s.velX[5], -0.001980879926821918);
}

TEST(Epochs, SunAtRestAtTheOriginAndPlanetsKeepTheirStoredPositions) {
  const SimState s = loaded(kEpoch1773, 21, 7);
  EXPECT_EQ(s.bodyMass[0], 1.0);
  EXPECT_EQ(s.posX[0], 0);
  EXPECT_EQ(s.posZ[0], 0);
  EXPECT_EQ(s.posX[6], -170708001.73564);
  EXPECT_EQ(s.posY[8], 4473441736.91111);
  EXPECT_EQ(s.bodyMass[6], 0.000285824445);
  // Each planet ends with v * (1 + m), written as v - (-(v * m)).
  EXPECT_EQ(s.velY[3], 0.00454041889622179 - -(0.00454041889622179 * 3.04032586558e-06));
}

TEST(Epochs, MercuryOf1940DependsOnTheTimeRateAtIndexFive) {
  const double slowVx = -0.00251486294947062, fastVx = -0.00251487458280801;
  const double m = 1.6600739e-07;
  EXPECT_EQ(loaded(kEpoch1940, 3, 5).velX[1], slowVx - -(slowVx * m));
  EXPECT_EQ(loaded(kEpoch1940, 3, 0).velX[1], slowVx - -(slowVx * m));
  EXPECT_EQ(loaded(kEpoch1940, 3, 6).velX[1], fastVx - -(fastVx * m));
  EXPECT_EQ(loaded(kEpoch1940, 3, 5.0001f).velX[1], fastVx - -(fastVx * m));
}

TEST(Epochs, PresetAlternativesApplyOnlyToTheirPresetsAndEpoch) {
  const double m5 = 0.000956535, m4 = 3.227034774e-07, m1 = 1.6600739e-07;
  auto planetVx = [](double v, double mass) { return v - -(v * mass); };
  EXPECT_EQ(loaded(kEpoch1773, 29, 7).velX[5], planetVx(-0.00198452563273621, m5));
  EXPECT_EQ(loaded(kEpoch1773, 39, 7).velX[5], planetVx(-0.00198452563273621, m5));
  EXPECT_EQ(loaded(kEpoch1773, 20, 7).velX[5], planetVx(-0.00198450027844639, m5));
  EXPECT_EQ(loaded(kEpoch1773, 30, 7).velY[5], planetVx(0.000528948374391526, m5));
  EXPECT_EQ(loaded(kEpoch1773, 21, 7).velX[5], planetVx(-0.00198451050886537, m5));
  EXPECT_EQ(loaded(kEpoch1773, 80, 7).velX[4], planetVx(-0.00121561926011008, m4));
  EXPECT_EQ(loaded(kEpoch1773, 83, 7).velZ[4], planetVx(6.64380029194463e-05, m4));
  EXPECT_EQ(loaded(kEpoch1900, 62, 7).velX[1], planetVx(0.0062350738097922, m1));
  EXPECT_EQ(loaded(kEpoch1900, 51, 7).velX[1], planetVx(0.00623501537193477, m1));
  // Preset numbers of one epoch mean nothing to another.
  EXPECT_EQ(loaded(kEpoch1940, 29, 7).velX[5], planetVx(-0.00197898695653345, m5));
}

TEST(Epochs, RogueAndUnknownEpochsAreLeftAlone) {
  SimState s;
  s.posX[9] = 123;
  s.velY[9] = 4;
  s.bodyMass[9] = 0.5;
  s.velX[3] = 9;
  ASSERT_TRUE(loadEpoch(s, kEpoch1900, 51));
  EXPECT_EQ(s.posX[9], 123);
  EXPECT_EQ(s.velY[9], 4);
  EXPECT_EQ(s.bodyMass[9], 0.5);

  SimState t;
  t.velX[3] = 9;
  EXPECT_FALSE(loadEpoch(t, 1940, 5));  // the 1940 set is coded 19402
  EXPECT_EQ(t.velX[3], 9);
  EXPECT_EQ(t.bodyMass[0], 0);
}

}  // namespace
}  // namespace orbits
