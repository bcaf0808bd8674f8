#pragma once
// A drawing surface: a pixel buffer addressed in drawing units (15 to a pixel).
#include <cmath>
#include <cstdint>
#include <vector>

#include "form/color.h"

namespace orbits {

constexpr int kUnitsPerPixel = 15;

class Surface {
 public:
  Surface() = default;
  Surface(int widthPx, int heightPx, Color back = kBlack) { resize(widthPx, heightPx, back); }

  void resize(int widthPx, int heightPx, Color back);
  int widthPx() const { return width_; }
  int heightPx() const { return height_; }
  Color background() const { return back_; }
  void setBackground(Color c) { back_ = c; }

  // Points and lines in drawing units; what falls outside the buffer is ignored.
  void setPoint(double x, double y, Color c);
  Color point(double x, double y) const;  // background colour outside the buffer
  void line(double x1, double y1, double x2, double y2, Color c);
  void clear();

  // Pixel access, for the view and for pictures copied onto a surface.
  const uint32_t* pixels() const { return px_.data(); }
  uint32_t* pixels() { return px_.data(); }
  void touch() { ++revision_; }
  uint64_t revision() const { return revision_; }

  static int toPixel(double units);
  // The pixel a coordinate falls in, as a double: any finite coordinate has one.
  static double pixelOf(double units) { return std::floor(units / kUnitsPerPixel); }

 private:
  int width_ = 0, height_ = 0;
  Color back_ = kBlack;
  std::vector<uint32_t> px_;
  uint64_t revision_ = 0;
};

}  // namespace orbits
