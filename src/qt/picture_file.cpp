#include "qt/picture_file.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

namespace orbits::qt {

std::string saveWidgetPicture(QWidget& widget, const QString& path, const QString& title) {
  QPainter painter;
  if (path.endsWith(".svg", Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(widget.size());
    svg.setViewBox(widget.rect());
    svg.setTitle(title);
    if (!painter.begin(&svg)) return "the file could not be written";
    widget.render(&painter);
    painter.end();
    return QFileInfo(path).size() > 0 ? "" : "the file could not be written";
  }
  QImage image(widget.size(), QImage::Format_ARGB32);
  image.fill(Qt::white);
  painter.begin(&image);
  widget.render(&painter);
  painter.end();
  return image.save(path, "PNG") ? "" : "the file could not be written";
}

}  // namespace orbits::qt
