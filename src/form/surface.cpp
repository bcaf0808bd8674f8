#include "form/surface.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orbits {

void Surface::resize(int widthPx, int heightPx, Color back) {
  width_ = std::max(0, widthPx);
  height_ = std::max(0, heightPx);
  back_ = back;
  px_.assign(size_t(width_) * size_t(height_), back_);
  ++revision_;
}

int Surface::toPixel(double units) {
  double p = std::floor(units / kUnitsPerPixel);
  if (!(p > -1e9 && p < 1e9)) return -1;  // NaN or far away: outside any buffer
  return int(p);
}

void Surface::setPoint(double x, double y, Color c) {
  int px = toPixel(x), py = toPixel(y);
  if (px < 0 || py < 0 || px >= width_ || py >= height_) return;
  px_[size_t(py) * width_ + px] = c;
  ++revision_;
}

Color Surface::point(double x, double y) const {
  int px = toPixel(x), py = toPixel(y);
  if (px < 0 || py < 0 || px >= width_ || py >= height_) return back_;
  return px_[size_t(py) * width_ + px];
}

namespace {

// A segment between pixel positions held as doubles (whole numbers, or huge).
struct Segment {
  double x1, y1, x2, y2;
};

// Cuts the segment to the box [lo, hiX] x [lo, hiY] (Cohen-Sutherland); false when nothing of
// it is inside. An end inside stays exactly as it was; a cut end lies exactly on the edge it
// was moved to, so a level or upright segment keeps its row or column however far its ends.
bool clipTo(Segment& g, double lo, double hiX, double hiY) {
  enum : int { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };
  auto side = [&](double x, double y) {
    return (x < lo ? kLeft : x > hiX ? kRight : 0) | (y < lo ? kAbove : y > hiY ? kBelow : 0);
  };
  int a = side(g.x1, g.y1), b = side(g.x2, g.y2);
  for (int step = 0; step < 8 && (a | b); ++step) {
    if (a & b) return false;
    const bool first = a != 0;
    const int out = first ? a : b;
    const double dx = g.x2 - g.x1, dy = g.y2 - g.y1;
    double x, y;
    if (out & (kLeft | kRight)) {
      x = out & kLeft ? lo : hiX;
      y = g.y1 + dy * ((x - g.x1) / dx);
    } else {
      y = out & kAbove ? lo : hiY;
      x = g.x1 + dx * ((y - g.y1) / dy);
    }
    // The cut end becomes a pixel; should it still lie outside the box (beside a corner, or by
    // rounding), the next step cuts it again.
    x = std::round(x);
    y = std::round(y);
    if (first)
      g.x1 = x, g.y1 = y, a = side(x, y);
    else
      g.x2 = x, g.y2 = y, b = side(x, y);
  }
  return (a | b) == 0;
}

}  // namespace

void Surface::line(double x1, double y1, double x2, double y2, Color c) {
  // Pixel positions stay doubles until the segment is known to be short: an end may lie
  // anywhere a double can.
  Segment g{pixelOf(x1), pixelOf(y1), pixelOf(x2), pixelOf(y2)};
  if (!std::isfinite(g.x1) || !std::isfinite(g.y1) || !std::isfinite(g.x2) || !std::isfinite(g.y2))
    return;
  // A segment a few surfaces long is stepped whole, so its pixels do not depend on the
  // surface's size; a longer one is first cut to the surface and a pixel around it. Either way
  // the work is bounded by the surface, and every number below fits 64 bits with room.
  const double reach = 4.0 * (double(width_) + double(height_) + 2);
  if (!(std::abs(g.x2 - g.x1) <= reach && std::abs(g.y2 - g.y1) <= reach &&
        std::abs(g.x1) <= reach && std::abs(g.y1) <= reach) &&
      !clipTo(g, -1, width_, height_))
    return;
  int64_t ax = int64_t(g.x1), ay = int64_t(g.y1);
  const int64_t bx = int64_t(g.x2), by = int64_t(g.y2);
  // Bresenham over pixels, clipped per point.
  const int64_t dx = bx > ax ? bx - ax : ax - bx, sx = ax < bx ? 1 : -1;
  const int64_t dy = by > ay ? ay - by : by - ay, sy = ay < by ? 1 : -1;
  int64_t err = dx + dy;
  for (;;) {
    if (ax >= 0 && ay >= 0 && ax < width_ && ay < height_) px_[size_t(ay) * width_ + ax] = c;
    if (ax == bx && ay == by) break;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      ax += sx;
    }
    if (e2 <= dx) {
      err += dx;
      ay += sy;
    }
  }
  ++revision_;
}

void Surface::clear() {
  std::fill(px_.begin(), px_.end(), back_);
  ++revision_;
}

}  // namespace orbits
