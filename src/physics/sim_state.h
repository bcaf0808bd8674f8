#pragma once
// The one simulation state of the program: the body table, the watched pair, drawing
// geometry, the time rate, gravity, counters, run flags and constants.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>

namespace orbits {

constexpr int kMaxBodies = 10;  // body 0 the Sun, 1..8 the planets, 9 the spare "Rogue"

// The farthest a body may be from the origin on any axis, in km. Within it the squared distance
// between two bodies cannot overflow (three squares below 2^1022 each sum below 2^1024); a run
// that carries a body beyond it stops as on any other overflow.
constexpr double kPositionLimit = 0x1p510;

inline bool positionInRange(double km) { return std::abs(km) <= kPositionLimit; }

// The range of the figures a run is given and keeps (masses, the gravitational constant,
// periods, sums of distances): far from both ends of the doubles, so that the products and
// quotients a run makes of them stay finite. Zero is in range.
constexpr double kLargestFigure = 1e300, kSmallestFigure = 1e-300;
inline bool figureInRange(double v) {
  const double a = std::abs(v);
  return a <= kLargestFigure && (a == 0 || a >= kSmallestFigure);
}

// The drawing bounds, in drawing units: a body in play drawn outside them ends the run (end code
// 55) at every scale but the largest ones.
constexpr double kDrawLeft = 2640, kDrawRight = 12600;  // across
constexpr double kDrawTop = 0, kDrawBottom = 9000;      // down
constexpr double kDrawDepth = 24000;                    // deep, either way

// Whether a point lies outside the drawing bounds; for doubles and for vectors of them.
template <typename T>
[[gnu::always_inline]] inline auto outsideDrawing(T x, T y, T z) {
  return (x < kDrawLeft) | (x > kDrawRight) | (y < kDrawTop) | (y > kDrawBottom) |
         (z < -kDrawDepth) | (z > kDrawDepth);
}

template <typename T>
using BodyArray = std::array<T, kMaxBodies>;

// The run's state, read by the run loop every cycle. Each name stands for the system's own
// value, which runStateText gives back for the reports.
enum class RunState : uint8_t {
  None,     // "": no run yet
  Bat,      // "bat": running
  Stop,     // "stop": stopped (Stop, an end condition, a failure)
  Ended67,  // "67": ended by the system, its end message shown
};

constexpr const char* runStateText(RunState r) {
  switch (r) {
    case RunState::Bat:
      return "bat";
    case RunState::Stop:
      return "stop";
    case RunState::Ended67:
      return "67";
    case RunState::None:
      break;
  }
  return "";
}

// The run loop's verdict on the drawing bounds and the error limit, left for the clock, which turns
// the two final ones into end messages. The values are the system's own codes.
enum class EndCode : int16_t {
  None = 0,
  Outside = 55,        // a body outside the drawing bounds: settled within the same cycle
  BeyondRange = 67,    // outside at the largest distance scale: the run ends
  ErrorLimit = 99,     // the movement error above the user's limit: the run ends
  ScaleExpanded = 11,  // the distance scale was made coarser to bring the body back in
};

// The turbo options OptimT(4) and OptimT(5), by the index turboMode holds (and the save keeps).
enum TurboOption : int16_t {
  kTurboWithDetail = 4,    // "Turbo Time, slowed a bit by detail"
  kTurboMinimalDetail = 5  // "Turbo Time with minimal detail"
};

// How much a cycle shows: "ok" everything, "trim" the minimal detail of turbo option 5. None
// until the first run sets it; it shows as little as Trim.
enum class DetailMode : uint8_t { None, Ok, Trim };

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
  double distScale = 0;                                      // km per drawing unit
  double viewOffsetX = 0, viewOffsetY = 0, viewOffsetZ = 0;  // drawing units
  float distScaleIndex = 0;                                  // the OpDist option chosen

  // Time rate.
  float timeRateIndex = 0;      // the Optime option chosen
  double timeFactor = 0;        // calculation step over the base step of 0.00015 s (10^index)
  double prevTimeFactor = 0;    // timeFactor before the last change, same unit
  double timeFactorSq = 0;      // timeFactor squared
  double timeUnitsPerCalc = 0;  // time units of 0.00001 s per calculation
  double stepSeconds = 0;       // simulated seconds per calculation
  double calcsPerSecond = 0;    // calculations per simulated second
  double secondsPerCalc = 0;    // simulated seconds per calculation (1 / calcsPerSecond)
  double proximityKm = 0;       // km: closer pairs get the proximity warning
  std::string timeRateLog;
  int16_t turboMode = 0;  // a TurboOption: the OptimT option last chosen
  DetailMode detailMode = DetailMode::None;

  // Gravity.
  double gravConstant = 0;    // G x solar mass, km^3 per base step (0.00015 s) squared
  double gravExponent = 0;    // power of the distance in the pull (2: inverse square)
  double gravFactor = 0;      // timeFactorSq x gravConstant: km^3 per calculation squared
  int16_t gravityOption = 0;  // the opGee option last chosen
  bool relativity = false;    // the Sun's first post-Newtonian term (ChRelativity)

  // Counters and run state.
  double cycleCount = 0;        // calculations (cycles) of the run
  double calcsSinceOrbit1 = 0;  // calculations since the first orbit completed
  double calcsPerOrbit = 0;     // calculations per orbit of the watched pair
  double orbitCount = 0;
  float quadrant = 0, prevQuadrant = 0;  // 1..4, see quarterOf
  int16_t orbitSaveDue = 0;
  RunState runState = RunState::None;
  EndCode endCode = EndCode::None;
  std::string offScreenText;
  float lastPresetIndex = 0;

  // Movement error of the pair; elements 1 and 2 used.
  double errPairDist = 0;                                       // km
  std::array<double, 3> accelMag{}, moveErrPct{}, maxErrPct{};  // km per calculation^2; %

  // Physical constants, set at start-up.
  double solarMass = 0;   // 10^30 kg
  double lightSpeed = 0;  // km/s
  double piValue = 0;     // radians in half a turn
  double twoPi = 0;
  double siderealYearSecs = 0;  // s
  double altShade = 0;          // brightness of the alternate orbits' trails, 0..1

  std::string driftFilePath;
};

}  // namespace orbits
