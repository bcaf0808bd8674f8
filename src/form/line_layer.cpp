#include "form/line_layer.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace orbits {

namespace {

constexpr Color kCovered = 0xFF000000u;  // never part of a colour (0x00RRGGBB)
constexpr size_t kLongestTail = 16;      // lines of the last drawing to look at for reuse

}  // namespace

void LineLayer::add(double x1, double y1, double x2, double y2, Color c) {
  next_.push_back({x1, y1, x2, y2, Surface::pixelOf(x1), Surface::pixelOf(y1), Surface::pixelOf(x2),
                   Surface::pixelOf(y2), c & ~kCovered});
}

void LineLayer::reset() { drawn_.clear(); }

// How many lines of the layer may stay. The layer holds the last drawing, lines A then B; the
// new one is A then C. Drawing C over the layer gives the new pixels exactly when every line of B
// takes the same course as some line of C: each pixel of B is then painted again by C, and every
// other pixel shows the last line of A over it, as it should.
size_t LineLayer::reusable() const {
  const size_t n = std::min(drawn_.size(), next_.size());
  size_t same = 0;
  while (same < n && drawn_[same].sameAs(next_[same])) ++same;
  if (drawn_.size() - same > kLongestTail) return 0;
  for (size_t i = same; i < drawn_.size(); ++i) {
    const auto redrawn = [&](const Stroke& s) { return s.sameCourse(drawn_[i]); };
    if (std::none_of(next_.begin() + long(same), next_.end(), redrawn)) return 0;
  }
  return same;
}

void LineLayer::drawOnLayer(const Stroke& s) {
  layer_.line(s.x1, s.y1, s.x2, s.y2, s.c | kCovered);
  if (!std::isfinite(s.px1) || !std::isfinite(s.py1) || !std::isfinite(s.px2) ||
      !std::isfinite(s.py2))
    return;  // draws nothing
  // The pixels of a line lie between its end pixels.
  const double w = layer_.widthPx() - 1, h = layer_.heightPx() - 1;
  left_ = std::min(left_, int(std::clamp(std::min(s.px1, s.px2), 0.0, w)));
  right_ = std::max(right_, int(std::clamp(std::max(s.px1, s.px2), 0.0, w)));
  top_ = std::min(top_, int(std::clamp(std::min(s.py1, s.py2), 0.0, h)));
  bottom_ = std::max(bottom_, int(std::clamp(std::max(s.py1, s.py2), 0.0, h)));
}

void LineLayer::finish(Surface& target) {
  if (layer_.widthPx() != target.widthPx() || layer_.heightPx() != target.heightPx()) {
    layer_.resize(target.widthPx(), target.heightPx(), 0);
    drawn_.clear();
  }
  const size_t from = reusable();
  if (from == 0) {
    layer_.clear();
    left_ = top_ = INT_MAX;
    right_ = bottom_ = -1;
  }
  for (size_t i = from; i < next_.size(); ++i) drawOnLayer(next_[i]);
  drawn_.swap(next_);

  if (right_ < left_ || bottom_ < top_) return;
  const int width = layer_.widthPx();
  const uint32_t* lines = layer_.pixels();
  uint32_t* to = target.pixels();
  for (int y = top_; y <= bottom_; ++y)
    for (size_t i = size_t(y) * width + left_, end = size_t(y) * width + right_; i <= end; ++i)
      if (lines[i] & kCovered) to[i] = lines[i] & ~kCovered;
  target.touch();
}

}  // namespace orbits
