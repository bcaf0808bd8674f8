#include "qt/look.h"

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

#include "qt/panel_view.h"

namespace orbits::qt {

void applyLook(QApplication& app) {
  if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
  QPalette p;
  p.setColor(QPalette::Window, QColor(0, 0, 0));
  p.setColor(QPalette::WindowText, QColor(220, 220, 220));
  p.setColor(QPalette::Base, QColor(24, 24, 28));
  p.setColor(QPalette::AlternateBase, QColor(36, 36, 40));
  p.setColor(QPalette::Text, QColor(230, 230, 230));
  p.setColor(QPalette::Button, QColor(64, 64, 70));
  p.setColor(QPalette::ButtonText, QColor(235, 235, 235));
  p.setColor(QPalette::BrightText, QColor(255, 80, 80));
  p.setColor(QPalette::Highlight, QColor(60, 90, 160));
  p.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
  p.setColor(QPalette::ToolTipBase, QColor(255, 255, 225));
  p.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
  p.setColor(QPalette::Light, QColor(110, 110, 120));
  p.setColor(QPalette::Midlight, QColor(80, 80, 88));
  p.setColor(QPalette::Mid, QColor(50, 50, 56));
  p.setColor(QPalette::Dark, QColor(30, 30, 34));
  p.setColor(QPalette::Shadow, QColor(0, 0, 0));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
  app.setPalette(p);
  app.setFont(PanelView::viewFont());
}

}  // namespace orbits::qt
