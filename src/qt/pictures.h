#pragma once
// The program's pictures, drawn once at first use: the start-up picture, the zodiac
// background, the new-year indicators, the splash picture and the button pictures.
#include <QPixmap>
#include <QString>

namespace orbits {
class Control;
}

namespace orbits::qt {

// The picture of that name ("moon", "zodiac", "picoc", "pico2", "splash", "go", "web");
// a null pixmap for an empty or unknown name.
const QPixmap& picture(const QString& name);

// The picture a control shows: the one it names, or the one its role implies when it names
// none (the start-up picture, the indicators, the graphical buttons).
QString pictureNameOf(const Control& c);

}  // namespace orbits::qt
