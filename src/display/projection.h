#pragma once
// The distance scale and the projection of body positions onto the drawing surfaces.
#include "physics/sim_state.h"

namespace orbits {

class MainWindow;

constexpr int kScaleCount = 17;     // OpDist(0..16)
constexpr int kLargestScale = 8;    // "1 px = 1500mkm": nothing coarser
constexpr int kUntestedScale = 16;  // no drawing-bounds test at this scale

// Kilometres per drawing unit of scale option k.
double scaleKmPerUnit(int k);
// Drawing-unit offsets of scale option k, added after scaling.
double scaleOffsetX(int k);
double scaleOffsetY(int k);
// The next coarser option the automatic expansion selects (k = 0..7 and 9..15).
int coarserScale(int k);

inline void projectBody(SimState& s, int i) {
  s.screenX[i] = s.posX[i] / s.distScale + s.viewOffsetX;
  s.screenY[i] = s.posY[i] / s.distScale + s.viewOffsetY;
  s.screenZ[i] = s.posZ[i] / s.distScale + s.viewOffsetZ;
}
// Every body 0..lastBody, in play or not.
void projectAll(SimState& s);

// Clears the main surface and both side views.
void clearDrawing(MainWindow& w);

// Handlers.
void OpDist_Click(MainWindow& w, int k);
void Chend_Click(MainWindow& w);
void wireProjection(MainWindow& w);

}  // namespace orbits
