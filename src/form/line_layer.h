#pragma once
// Lines drawn again and again in the same order onto a surface (the perihelion lines, redrawn at
// every orbit with one more line each time). The lines are kept on a layer of their own, so that
// a call that only adds lines draws only those, and the surface receives the layer in one pass
// over the area the lines cover. The pixels are exactly those of drawing every line in order
// with Surface::line onto the surface as it is.
#include <climits>
#include <vector>

#include "form/surface.h"

namespace orbits {

class LineLayer {
 public:
  // The lines of one drawing, in order, then onto `target`.
  void begin() { next_.clear(); }
  void add(double x1, double y1, double x2, double y2, Color c);
  void finish(Surface& target);

  // Forgets the layer: the next drawing draws every line.
  void reset();

 private:
  // A line as the pixels its ends fall in, which alone decide the pixels it covers.
  struct Stroke {
    double x1, y1, x2, y2;  // drawing units, as given
    double px1, py1, px2, py2;
    Color c;
    bool sameCourse(const Stroke& o) const {
      return px1 == o.px1 && py1 == o.py1 && px2 == o.px2 && py2 == o.py2;
    }
    bool sameAs(const Stroke& o) const { return sameCourse(o) && c == o.c; }
  };

  size_t reusable() const;
  void drawOnLayer(const Stroke& s);

  Surface layer_;  // every pixel a line covers, with kCovered set
  std::vector<Stroke> drawn_, next_;
  int left_ = INT_MAX, top_ = INT_MAX, right_ = -1, bottom_ = -1;  // covered pixels, inclusive
};

}  // namespace orbits
