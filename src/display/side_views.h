#pragma once
// The two edge-on views: the ZY strip PiZZ at the left or right edge, sharing the top view's
// rows, and the ZX strip PiZX along the bottom, sharing its columns. The run loop plots into
// them; these handlers show, hide, place and size them.
namespace orbits {

class MainWindow;

// Places of the ZY strip, in drawing units: at the right edge (ChLR unticked) and at the left.
struct StripPlace {
  int left, top, width, height;
};
constexpr StripPlace kZYRight{12600, 600, 2775, 8775};
constexpr StripPlace kZYLeft{0, 1200, 2085, 7095};

void ChZAxis_Click(MainWindow& w);
void ChZX_Click(MainWindow& w);
void ChLR_Click(MainWindow& w);

void wireSideViews(MainWindow& w);

}  // namespace orbits
