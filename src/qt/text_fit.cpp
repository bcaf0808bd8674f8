#include "qt/text_fit.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>

namespace orbits::qt {

namespace {

const QString kEllipsis = QString(QChar(0x2026));

// One line: a number keeps its whole part and exponent and loses fraction digits; where not
// even that fits, only "…" shows.
QString shortenedLine(const QString& text, const QFontMetrics& fm, int width) {
  if (fm.horizontalAdvance(text) <= width) return text;
  static const QRegularExpression number(R"(^(\s*[-+]?\d+)(\.\d*)?([Ee][-+]?\d+)?$)");
  const auto m = number.match(text);
  if (!m.hasMatch()) return fm.elidedText(text, Qt::ElideRight, width);
  const QString whole = m.captured(1), fraction = m.captured(2), exponent = m.captured(3);
  QString kept = fraction;
  while (!kept.isEmpty() && fm.horizontalAdvance(whole + kept + kEllipsis + exponent) > width)
    kept.chop(1);
  if (fm.horizontalAdvance(whole + kept + kEllipsis + exponent) > width) return kEllipsis;
  return whole + kept + kEllipsis + exponent;
}

// The font, from `base` down to the least, in which `fits` holds; the least when none.
template <typename Fits>
QFont largestFitting(const QFont& base, Fits fits) {
  QFont f = base;
  const double least = base.pointSizeF() * kLeastFont;
  while (!fits(f) && f.pointSizeF() > least)
    f.setPointSizeF(std::max(least, f.pointSizeF() * 0.95));
  return f;
}

}  // namespace

QString shortened(const QString& text, const QFont& font, int width, int lines) {
  const QFontMetrics fm(font);
  static const QRegularExpression lineBreak(" *\n *");
  if (lines <= 1) return shortenedLine(QString(text).replace(lineBreak, " "), fm, width);
  QString flat = text;
  flat.replace('\n', QChar::LineSeparator);
  QTextLayout layout(flat, font);
  QTextOption wrap;
  wrap.setWrapMode(QTextOption::WordWrap);
  layout.setTextOption(wrap);
  layout.beginLayout();
  QString out;
  for (int i = 0; i < lines; ++i) {
    QTextLine line = layout.createLine();
    if (!line.isValid()) break;
    line.setLineWidth(width);
    if (i == lines - 1) {
      QString rest = flat.mid(line.textStart());
      out += shortenedLine(rest.replace(QChar::LineSeparator, ' '), fm, width);
    } else {
      out += flat.mid(line.textStart(), line.textLength());
    }
  }
  layout.endLayout();
  return out.replace(QChar::LineSeparator, '\n');
}

int textRoom(const QLineEdit& e) {
  const int frame = e.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &e);
  const QMargins m = e.textMargins();
  constexpr int kInside = 2;  // the line edit's own margin each side of its text
  return e.width() - 2 * frame - m.left() - m.right() - 2 * kInside;
}

Fitted fitLine(const QLineEdit& e, const QString& text, const QFont& base) {
  const int room = textRoom(e);
  Fitted r;
  r.font = largestFitting(
      base, [&](const QFont& f) { return QFontMetrics(f).horizontalAdvance(text) <= room; });
  r.shown = shortened(text, r.font, room);
  r.cut = r.shown != text;
  return r;
}

Fitted fitLabel(const QLabel& l, const QString& text, const QFont& base) {
  const QRect room = l.contentsRect();
  auto fits = [&](const QFont& f) {
    if (text.isEmpty()) return true;
    const QRect need =
        QFontMetrics(f).boundingRect(QRect(0, 0, room.width(), 1 << 20), Qt::TextWordWrap, text);
    return need.width() <= room.width() && need.height() <= room.height();
  };
  Fitted r;
  r.font = largestFitting(base, fits);
  r.shown = text;
  if (!fits(r.font)) {
    const QFontMetrics fm(r.font);
    const int lines = std::max(1, (room.height() + fm.leading()) / fm.lineSpacing());
    r.shown = shortened(text, r.font, room.width(), lines);
    r.cut = true;
  }
  return r;
}

QString fittedCaption(QString text, const QAbstractButton& b) {
  const bool radio = qobject_cast<const QRadioButton*>(&b) != nullptr;
  const QStyle& st = *b.style();
  const int room =
      b.width() -
      st.pixelMetric(radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth) -
      st.pixelMetric(radio ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing);
  const QFontMetrics fm(b.font());
  if (room < fm.averageCharWidth()) return {};
  static const QRegularExpression gap(" {4,}");
  for (auto m = gap.match(text); m.hasMatch() && fm.horizontalAdvance(text) > room;
       m = gap.match(text))
    text.remove(m.capturedStart(), 1);
  return text;
}

QString captionLines(QString text) { return text.replace("\r\n", "\n").replace('\r', '\n'); }

}  // namespace orbits::qt
