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

void Surface::line(double x1, double y1, double x2, double y2, Color c) {
  // Bresenham over pixels, clipped per point.
  int ax = toPixel(x1), ay = toPixel(y1), bx = toPixel(x2), by = toPixel(y2);
  if (ax == -1 || ay == -1 || bx == -1 || by == -1) {
    // Ends far outside: clip coarsely by walking in drawing units.
    double len = std::hypot(x2 - x1, y2 - y1) / kUnitsPerPixel;
    if (!(len < 1e5)) return;
    int n = int(len) + 1;
    for (int i = 0; i <= n; ++i) setPoint(x1 + (x2 - x1) * i / n, y1 + (y2 - y1) * i / n, c);
    return;
  }
  int dx = std::abs(bx - ax), sx = ax < bx ? 1 : -1;
  int dy = -std::abs(by - ay), sy = ay < by ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (ax >= 0 && ay >= 0 && ax < width_ && ay < height_) px_[size_t(ay) * width_ + ax] = c;
    if (ax == bx && ay == by) break;
    int e2 = 2 * err;
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
