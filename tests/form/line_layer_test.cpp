#include "form/line_layer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace orbits {
namespace {

constexpr int kW = 160, kH = 120;

struct Line {
  double x2, y2;
  Color c;
};

// Drawings as the perihelion lines make them: a fan of lines from one start, growing by one
// each time, with a selected line drawn again and the newest in white on top; between
// drawings other pixels are set, the surface is sometimes cleared, and now and then the start,
// the scale (all ends), the selection or a colour changes. Each drawing through the layer must
// leave exactly the pixels of drawing every line directly.
TEST(LineLayer, PixelsEqualDrawingEveryLineInOrder) {
  std::mt19937 rng(16);
  std::uniform_real_distribution<double> unit(0, 1);
  Surface direct(kW, kH), layered(kW, kH);
  LineLayer layer;
  std::vector<Line> fan;
  double sx = 80 * 15 + 3, sy = 60 * 15 + 9, scale = 1;
  int selected = -1;
  for (int round = 0; round < 600; ++round) {
    const double pick = unit(rng);
    if (pick < 0.03)
      scale *= 1.5;
    else if (pick < 0.06)
      sx += 15 * 3;
    else if (pick < 0.09)
      selected = int(unit(rng) * double(fan.size() + 1)) - 1;
    else if (pick < 0.11 && !fan.empty())
      fan[size_t(unit(rng) * double(fan.size()))].c ^= 0x10;
    // Ends reach far beyond the surface now and then.
    const double reach = unit(rng) < 0.2 ? 1e6 : 2000;
    fan.push_back({(unit(rng) - 0.5) * reach, (unit(rng) - 0.5) * reach,
                   rgb(int(unit(rng) * 255), 40, int(fan.size() % 256))});
    if (unit(rng) < 0.1) {
      direct.clear();
      layered.clear();
    }
    for (int dot = 0; dot < 50; ++dot) {
      const double x = unit(rng) * kW * 15, y = unit(rng) * kH * 15;
      direct.setPoint(x, y, rgb(0, 0, 200));
      layered.setPoint(x, y, rgb(0, 0, 200));
    }
    layer.begin();
    auto draw = [&](const Line& l, Color c) {
      direct.line(sx, sy, sx + l.x2 * scale, sy + l.y2 * scale, c);
      layer.add(sx, sy, sx + l.x2 * scale, sy + l.y2 * scale, c);
    };
    for (size_t k = 0; k + 1 < fan.size(); ++k) {
      draw(fan[k], fan[k].c);
      if (int(k) == selected) draw(fan[k], rgb(255, 0, 0));
    }
    if (selected >= 0 && selected + 1 < int(fan.size()))
      draw(fan[size_t(selected)], rgb(255, 0, 0));
    draw(fan.back(), kWhite);
    layer.finish(layered);
    ASSERT_TRUE(std::equal(direct.pixels(), direct.pixels() + kW * kH, layered.pixels()))
        << "round " << round;
  }
}

}  // namespace
}  // namespace orbits
