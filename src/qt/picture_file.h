#pragma once
// A widget drawn into a picture file: SVG or PNG by the file's ending.
#include <QString>
#include <string>

class QWidget;

namespace orbits::qt {

// Draws `widget` at its size into `path`; "" when written, else why not.
std::string saveWidgetPicture(QWidget& widget, const QString& path, const QString& title);

}  // namespace orbits::qt
