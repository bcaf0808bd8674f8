#pragma once
// The program's style, with the sizes it draws (the box of a check box, the circle of an
// option, frames and margins) scaled with the view. Text and drawing scale with the window;
// were the boxes to keep their size, they would take more of their control's width the
// smaller the window, covering their captions, and the two turbo circles would overlap.
#include <QProxyStyle>

namespace orbits::qt {

class ScaledStyle : public QProxyStyle {
 public:
  ScaledStyle();
  void setScale(double s) { scale_ = s; }

  int pixelMetric(PixelMetric m, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr) const override;

  // At 100%: the box or circle, and the room between it and its caption, in pixels.
  static constexpr int kIndicator = 13;
  static constexpr int kSpacing = 4;

 private:
  double scale_ = 1;
};

}  // namespace orbits::qt
