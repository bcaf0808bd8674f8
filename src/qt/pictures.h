#pragma once
// The program's pictures, drawn once at first use: the start-up picture, the zodiac
// background, the new-year indicators, the splash picture and the button pictures.
#include <QPixmap>
#include <QRect>
#include <QString>

namespace orbits {
class Control;
}

namespace orbits::qt {

// The picture of that name ("moon", "zodiac", "picoc", "pico2", "splash", "go", "web");
// a null pixmap for an empty or unknown name.
const QPixmap& picture(const QString& name);

// Where the start-up picture ("moon") carries its hint to choose a scenario, in its pixels.
QRect startHintArea();

// The picture a control shows: the one it names, or the one its role implies when it names
// none (the start-up picture, the indicators, the graphical buttons).
QString pictureNameOf(const Control& c);

}  // namespace orbits::qt
