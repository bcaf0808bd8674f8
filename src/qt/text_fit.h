#pragma once
// How the view shows a text in the room its control gives it. A text too long for its control
// is drawn smaller, down to kLeastFont of the view's font (where it still reads well); beyond
// that it is shortened with "…" and the control's tooltip gives it whole. A shortened number
// loses digits of its fraction only, never of its whole part or its exponent, so that what
// shows is never the text of another number.
#include <QFont>
#include <QString>

class QAbstractButton;
class QLabel;
class QLineEdit;

namespace orbits::qt {

constexpr double kLeastFont = 0.85;

struct Fitted {
  QFont font;
  QString shown;     // the text as drawn
  bool cut = false;  // shortened: the tooltip gives the whole
};

// At most `lines` lines of `width` pixels of the text, the last ending in "…" when cut.
QString shortened(const QString& text, const QFont& font, int width, int lines = 1);

// The width a text box gives its text, in pixels.
int textRoom(const QLineEdit& e);
Fitted fitLine(const QLineEdit& e, const QString& text, const QFont& base);
// A label wraps its caption at word boundaries within its place.
Fitted fitLabel(const QLabel& l, const QString& text, const QFont& base);

// The caption as a check box or option shows it. A caption with a wide gap leaves room for a
// box laid over it ("Clear every [6] seconds"); where the caption is too long for its control,
// the gap narrows (to no less than three spaces) so that the words after it stay in view. A
// bare box (a control no wider than its box) shows none.
QString fittedCaption(QString text, const QAbstractButton& b);

// A carriage return in a caption starts a new line.
QString captionLines(QString text);

}  // namespace orbits::qt
