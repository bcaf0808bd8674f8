#include "qt/scaled_style.h"

#include <QApplication>
#include <QStyleFactory>
#include <algorithm>
#include <cmath>

namespace orbits::qt {

ScaledStyle::ScaledStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

int ScaledStyle::pixelMetric(PixelMetric m, const QStyleOption* option,
                             const QWidget* widget) const {
  auto scaled = [&](int v) { return v > 0 ? std::max(1, int(std::lround(v * scale_))) : v; };
  switch (m) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
    case PM_ExclusiveIndicatorWidth:
    case PM_ExclusiveIndicatorHeight:
      return scaled(kIndicator);
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
      return scaled(kSpacing);
    case PM_DefaultFrameWidth:
    case PM_ButtonMargin:
    case PM_ButtonDefaultIndicator:
    case PM_FocusFrameHMargin:
    case PM_FocusFrameVMargin:
    case PM_ScrollBarExtent:
    case PM_ScrollBarSliderMin:
    case PM_TextCursorWidth:
      return scaled(QProxyStyle::pixelMetric(m, option, widget));
    default:
      return QProxyStyle::pixelMetric(m, option, widget);
  }
}

}  // namespace orbits::qt
