#pragma once
// The one simulation state of the program: the body table, the watched pair, drawing
// geometry, the time rate, gravity, counters, run flags and constants.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbits {

constexpr int kMaxBodies = 10;  // body 0 the Sun, 1..8 the planets, 9 the spare "Rogue"

// The farthest a body may be from the origin on any axis, in km. Within it the squared distance
// between two bodies cannot overflow (three squares below 2^1022 each sum below 2^1024); a run
// that carries a body beyond it stops as on any other overflow.
constexpr double kPositionLimit = 0x1p510;

inline bool positionInRange(double km) { return std::abs(km) <= kPositionLimit; }

template <typename T>
using BodyArray = std::array<T, kMaxBodies>;

// Whether a run flag ("bat", "ok", ...) reads `word`, compared character by character: the run
// loop asks several times a cycle, and the library's comparison is a call.
inline bool flagIs(const std::string& flag, std::string_view word) {
  if (flag.size() != word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (flag[i] != word[i]) return false;
  return true;
}

struct SimState {
  // Body table. Distances in km, velocities in km per calculation, masses in solar masses.
  BodyArray<double> posX{}, posY{}, posZ{};
  BodyArray<double> velX{}, velY{}, velZ{};
  BodyArray<double> bodyMass{};
  BodyArray<int16_t> bodyOff{};  // 1 = switched off
  BodyArray<std::string> bodyName{};
  BodyArray<float> bodyRed{}, bodyGreen{}, bodyBlue{};
  BodyArray<double> screenX{}, screenY{}, screenZ{};  // drawing units

  int16_t lastBody = 0;               // highest body number in play, 0..9
  std::array<int16_t, 3> pairBody{};  // [1] alpha, [2] beta; [0] unused

  // Drawing geometry.
  double distScale = 0;  // km per drawing unit
  double viewOffsetX = 0, viewOffsetY = 0, viewOffsetZ = 0;
  float distScaleIndex = 0;

  // Time rate.
  float timeRateIndex = 0;
  double timeFactor = 0;
  double prevTimeFactor = 0;
  double timeFactorSq = 0;
  double timeUnitsPerCalc = 0;
  double stepSeconds = 0;
  double calcsPerSecond = 0;
  double secondsPerCalc = 0;
  double proximityKm = 0;
  std::string timeRateLog;
  int16_t turboMode = 0;
  std::string detailMode;  // "ok" or "trim"

  // Gravity.
  double gravConstant = 0;
  double gravExponent = 0;
  double gravFactor = 0;
  int16_t gravityOption = 0;  // the opGee option last chosen

  // Counters and run state.
  double cycleCount = 0;
  double calcsSinceOrbit1 = 0;
  double calcsPerOrbit = 0;
  double orbitCount = 0;
  float quadrant = 0, prevQuadrant = 0;
  int16_t orbitSaveDue = 0;
  std::string runState;  // "", "bat", "stop", "67"
  float endCode = 0;     // 0, 55, 67, 99, 11
  std::string offScreenText;
  float lastPresetIndex = 0;

  // Movement error of the pair; elements 1 and 2 used.
  double errPairDist = 0;
  std::array<double, 3> accelMag{}, moveErrPct{}, maxErrPct{};

  // Physical constants, set at start-up.
  double solarMass = 0;
  double lightSpeed = 0;
  double piValue = 0;
  double twoPi = 0;
  double siderealYearSecs = 0;
  double altShade = 0;

  std::string driftFilePath;
};

}  // namespace orbits
