#pragma once
// A window with a scripted host and a small two-body system on a circular orbit, ready to run:
// the Sun at the origin and one massless planet at 1 AU moving on the circle.
#include <cmath>

#include "panel/wired_window.h"
#include "test_host.h"
#include "window/main_window.h"

namespace orbits::testing {

struct RunFixture {
  TestHost host;
  WiredWindow w{host};
  SimState& s = w.sim;

  static constexpr double kAu = 1.496e8;           // km
  static constexpr double kGravConstant = 2986.0;  // G x solar mass x (0.00015 s)^2, km^3

  RunFixture() {
    // What start-up would have set, should it not have run.
    if (s.prevTimeFactor == 0) s.prevTimeFactor = 1.0;
    if (s.altShade == 0) s.altShade = 0.4;
    if (s.lightSpeed == 0) s.lightSpeed = 299792.458;
    if (s.solarMass == 0) s.solarMass = 1.988544;
    s.gravConstant = kGravConstant;
    s.lastBody = 1;
    s.pairBody = {0, 1, 0};
    s.bodyName[0] = "Sun";
    s.bodyName[1] = "Earth";
    s.bodyMass = {};
    s.bodyMass[0] = 1;
    s.bodyRed[0] = 255, s.bodyGreen[0] = 207, s.bodyBlue[0] = 159;
    s.bodyRed[1] = 0, s.bodyGreen[1] = 191, s.bodyBlue[1] = 255;
    placeBodies();
  }

  // Positions, and velocities in km per calculation at a time factor of 1 (Go scales them).
  void placeBodies() {
    s.posX = {}, s.posY = {}, s.posZ = {}, s.velX = {}, s.velY = {}, s.velZ = {};
    s.posX[1] = kAu;
    s.velY[1] = -std::sqrt(kGravConstant / kAu);
  }

  // Selects turbo option, time rate and scale through the controls, then loads the bodies, in
  // the order a scenario does.
  void choose(int turbo, int rate, int scale) {
    w.c("OptimT", turbo).setValue(1);
    w.c("Optime", rate).setValue(1);
    placeBodies();
    w.c("OpDist", scale).setValue(1);
  }
  // The end of a scenario selection: run state "bat", then Go pressed in code.
  void go() {
    s.runState = RunState::Bat;
    w.c("Command2").press();
  }
  // Stop pressed from inside the yield of the given cycle.
  void stopAtCycle(long cycle) {
    host.onYield = [this, cycle](long n) {
      if (n == cycle) w.c("CDstop").press();
    };
  }
};

}  // namespace orbits::testing
