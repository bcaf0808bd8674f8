#include "qt/panel_view.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTextDocumentFragment>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "form/panel.h"
#include "form/surface.h"
#include "qt/pictures.h"
#include "qt/qt_host.h"
#include "qt/scaled_style.h"
#include "qt/text_fit.h"

namespace orbits::qt {

namespace {

// Drawing units to view pixels at a scale; edges are rounded, so that controls that touch
// at 100% still touch.
int px(int units, double scale) { return int(std::lround(double(units) * scale / kUnitsPerPixel)); }

QColor qcolor(Color c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

QString qstr(const std::string& s) { return QString::fromStdString(s); }

// Captions show an ampersand as it is, not as a keyboard mnemonic.
QString caption(const std::string& s) { return qstr(s).replace('&', "&&"); }

// A surface as an image over the same memory, without copying.
QImage imageOf(const Surface& s) {
  return QImage(reinterpret_cast<const uchar*>(s.pixels()), s.widthPx(), s.heightPx(),
                qsizetype(s.widthPx()) * 4, QImage::Format_RGB32);
}

// Check boxes and option buttons change only through the core: a click asks the core, and
// the widget then shows what the core decided.
// The whole control takes the click, not only its box and text (a short caption in a wide
// control would otherwise leave most of it dead).
class CheckWidget : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

class OptionWidget : public QRadioButton {
 public:
  using QRadioButton::QRadioButton;

 protected:
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A text box that tells once each time the user leaves it (not when the window merely loses
// the activation or a menu pops up). A text too long for it shows shortened while the user
// is not editing it.
class TextWidget : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  std::function<void()> onLeave;

  void setShortened(const QString& s) {
    if (shortened_ == s) return;
    shortened_ = s;
    update();
  }

 protected:
  void focusInEvent(QFocusEvent* e) override {
    QLineEdit::focusInEvent(e);
    update();
  }
  void focusOutEvent(QFocusEvent* e) override {
    QLineEdit::focusOutEvent(e);
    update();
    if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
    if (onLeave) onLeave();
  }
  void paintEvent(QPaintEvent* e) override {
    if (shortened_.isEmpty() || hasFocus()) return QLineEdit::paintEvent(e);
    QPainter p(this);
    QStyleOptionFrame opt;
    initStyleOption(&opt);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, &p, this);
    const int inside = (width() - textRoom(*this)) / 2;
    p.setPen(palette().color(QPalette::Text));
    p.drawText(rect().adjusted(inside, 0, -inside, 0), Qt::AlignLeft | Qt::AlignVCenter,
               shortened_);
  }

 private:
  QString shortened_;
};

// Labels, picture boxes and images take clicks.
template <typename Base>
class Clickable : public Base {
 public:
  using Base::Base;
  std::function<void()> onClick;

 protected:
  void mousePressEvent(QMouseEvent* e) override {
    if (e->button() == Qt::LeftButton) pressed_ = true;
    Base::mousePressEvent(e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override {
    bool inside = this->rect().contains(e->position().toPoint());
    if (pressed_ && e->button() == Qt::LeftButton && inside && onClick) onClick();
    pressed_ = false;
    Base::mouseReleaseEvent(e);
  }

 private:
  bool pressed_ = false;
};

class LabelWidget : public Clickable<QLabel> {
 public:
  using Clickable<QLabel>::Clickable;
};

// A picture box: its own drawing surface, or the picture it names.
class PictureWidget : public Clickable<QWidget> {
 public:
  PictureWidget(const Control& c, const PanelView& view, QWidget* parent)
      : Clickable<QWidget>(parent), c_(c), view_(view) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    const QPixmap& pic = picture(pictureNameOf(c_));
    const Surface* s = c_.surface();
    p.fillRect(e->rect(), pic.isNull() && s ? qcolor(s->background()) : Qt::black);
    p.scale(view_.scale(), view_.scale());
    if (!pic.isNull())
      p.drawPixmap(0, 0, pic);
    else if (s && s->widthPx() > 0 && s->heightPx() > 0)
      p.drawImage(0, 0, imageOf(*s));
  }

 private:
  const Control& c_;
  const PanelView& view_;
};

// An image. On the window it lies behind the drawing: the view paints its picture under the
// surface, and the widget itself paints nothing (it only takes clicks). Were it an opaque
// widget of its own, Qt would not repaint it when only the surface beneath changed, and the
// trails over it would freeze. Inside a frame it shows its picture on its own background.
class ImageWidget : public Clickable<QWidget> {
 public:
  ImageWidget(const Control& c, const PanelView& view, QWidget* parent)
      : Clickable<QWidget>(parent), c_(c), view_(view) {}

 protected:
  void paintEvent(QPaintEvent* e) override {
    if (parentWidget() == &view_) return;
    QPainter p(this);
    p.fillRect(e->rect(), qcolor(c_.backColor()));
    p.scale(view_.scale(), view_.scale());
    if (const QPixmap& pic = picture(pictureNameOf(c_)); !pic.isNull()) p.drawPixmap(0, 0, pic);
  }

 private:
  const Control& c_;
  const PanelView& view_;
};

// The shape: a small ring in the control's colour over whatever lies beneath.
class ShapeWidget : public QWidget {
 public:
  ShapeWidget(const Control& c, QWidget* parent) : QWidget(parent), c_(c) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    Color ring = c_.foreColor() != kBlack ? c_.foreColor() : c_.backColor();
    p.setPen(QPen(qcolor(ring), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
  }

 private:
  const Control& c_;
};

QColor blend(QColor a, QColor b, double t) {
  return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t),
                          float(a.greenF() * (1 - t) + b.greenF() * t),
                          float(a.blueF() * (1 - t) + b.blueF() * t));
}

void setColors(QWidget* w, Kind kind, Color fore, Color back) {
  QPalette pal = w->palette();
  QColor f = qcolor(fore), b = qcolor(back);
  // A button's caption stays readable on any colour the core gives it (a highlighted preset
  // turns its button black).
  if (kind == Kind::Button && std::abs(qGray(f.rgb()) - qGray(b.rgb())) < 96)
    f = qGray(b.rgb()) < 128 ? QColor(255, 255, 255) : QColor(0, 0, 0);
  if (kind == Kind::TextBox) {
    pal.setColor(QPalette::Base, b);
    pal.setColor(QPalette::Text, f);
  } else {
    if (kind == Kind::CheckBox || kind == Kind::Option) {
      // The box or circle in the colours a text box would have on that background.
      bool light = qGray(b.rgb()) > 128;
      pal.setColor(QPalette::Base, light ? QColor(250, 250, 250) : QColor(24, 24, 28));
      pal.setColor(QPalette::Text, light ? QColor(0, 0, 0) : QColor(235, 235, 235));
    }
    // Buttons, check boxes and options fill with the button roles, the rest with the window's.
    pal.setColor(QPalette::Button, b);
    pal.setColor(QPalette::ButtonText, f);
    pal.setColor(QPalette::Window, b);
    pal.setColor(QPalette::WindowText, f);
  }
  // Disabled controls look it: their text fades towards the background.
  const QColor faded = blend(f, b, 0.6);
  for (auto role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text})
    pal.setColor(QPalette::Disabled, role, faded);
  if (kind == Kind::Button)
    pal.setColor(QPalette::Disabled, QPalette::Button, blend(b, Qt::black, 0.25));
  w->setPalette(pal);
}

// The control's tip, and the whole of a text shown shortened.
QString tipText(const std::string& tip, const QString& whole) {
  if (tip.empty() && whole.isEmpty()) return {};
  QString html = qstr(tip).toHtmlEscaped();
  if (!whole.isEmpty())
    html += (html.isEmpty() ? "" : "<br>") + whole.toHtmlEscaped().replace('\n', "<br>");
  // Rich text, so that long tips wrap; the texts are escaped.
  return "<qt>" + html + "</qt>";
}

constexpr int kTile = 32;

}  // namespace

PanelView::PanelView(Panel& panel, const Surface* background, QWidget* parent)
    : QWidget(parent), panel_(panel), surface_(background), style_(new ScaledStyle) {
  style_->setParent(this);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(viewFont());
  build();
  refresh();
}

PanelView::~PanelView() = default;

QFont PanelView::viewFont() {
  QFont f("DejaVu Sans Condensed");
  f.setPointSizeF(7.5);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

void PanelView::build() {
  auto& all = panel_.all();
  size_t first = items_.size();
  for (size_t i = first; i < all.size(); ++i) {
    Item it;
    it.c = &all[i];
    byControl_[it.c] = items_.size();
    items_.push_back(std::move(it));
  }
  for (size_t i = first; i < items_.size(); ++i)
    if ((items_[i].w = create(items_[i]))) items_[i].w->setStyle(style_);
  for (size_t i = first; i < items_.size(); ++i) place(items_[i]);
  // A frame shown over other controls replaces them (the dates over the error read-outs, the
  // average precession over the single marker's): frames lie above the controls beside them,
  // a later frame above an earlier one. Images on the window lie under all.
  for (size_t i = first; i < items_.size(); ++i)
    if (items_[i].w && items_[i].c->kind() == Kind::Frame) items_[i].w->raise();
  // The side views, while shown, lie over the frames (the ZX view over the bottom row).
  for (size_t i = first; i < items_.size(); ++i)
    if (items_[i].w && items_[i].c->kind() == Kind::Picture) items_[i].w->raise();
  // Push buttons lie over the pictures they stand on (the farewell window's "x" buttons in the
  // corners of its picture).
  for (size_t i = first; i < items_.size(); ++i)
    if (items_[i].w && items_[i].c->kind() == Kind::Button && onPicture(*items_[i].c))
      items_[i].w->raise();
  for (size_t i = first; i < items_.size(); ++i)
    if (items_[i].w && items_[i].c->kind() == Kind::Image) items_[i].w->lower();
  for (size_t i = first; i < items_.size(); ++i) sync(items_[i]);
}

bool PanelView::onPicture(const Control& c) const {
  return std::any_of(items_.begin(), items_.end(), [&](const Item& it) {
    const Control& p = *it.c;
    return p.kind() == Kind::Picture && p.container() == c.container() &&
           placeOf(p).intersects(placeOf(c));
  });
}

QWidget* PanelView::create(Item& it) {
  Control* c = it.c;
  switch (c->kind()) {
    case Kind::Button: {
      auto* b = new QPushButton(this);
      connect(b, &QPushButton::clicked, this, [this, c] { forward([c] { c->press(); }); });
      return b;
    }
    case Kind::CheckBox: {
      auto* b = new CheckWidget(this);
      b->setTristate(true);
      b->setAutoFillBackground(true);
      connect(b, &QCheckBox::clicked, this,
              [this, c] { forward([c] { c->setValue(c->value() == 1 ? 0 : 1); }); });
      return b;
    }
    case Kind::Option: {
      auto* b = new OptionWidget(this);
      b->setAutoExclusive(false);
      b->setAutoFillBackground(true);
      connect(b, &QRadioButton::clicked, this, [this, c] { forward([c] { c->setValue(1); }); });
      return b;
    }
    case Kind::TextBox: {
      auto* e = new TextWidget(this);
      e->setTextMargins(1, 0, 1, 0);
      connect(e, &QLineEdit::textEdited, this, [this, c, e](const QString& s) {
        forward([c, s] { c->typeText(s.toStdString()); });
        // The core may refuse or cut the text: show what it holds.
        if (QString held = qstr(c->text()); held != e->text()) {
          syncing_ = true;
          e->setText(held);
          syncing_ = false;
        }
      });
      e->onLeave = [this, c] { forward([c] { c->lostFocus(); }); };
      return e;
    }
    case Kind::Label: {
      auto* l = new LabelWidget(this);
      l->setTextFormat(Qt::PlainText);
      l->setWordWrap(true);
      l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      l->setAutoFillBackground(true);
      l->onClick = [this, c] { forward([c] { c->press(); }); };
      return l;
    }
    case Kind::Frame: {
      QWidget* f;
      if (c->borderless()) {
        auto* plain = new QFrame(this);
        plain->setFrameShape(QFrame::NoFrame);
        f = plain;
      } else {
        f = new QGroupBox(this);
      }
      f->setAutoFillBackground(true);
      return f;
    }
    case Kind::HScroll: {
      auto* s = new QScrollBar(Qt::Horizontal, this);
      connect(s, &QScrollBar::valueChanged, this,
              [this, c](int v) { forward([c, v] { c->setValue(v); }); });
      return s;
    }
    case Kind::Picture: {
      auto* p = new PictureWidget(*c, *this, this);
      p->onClick = [this, c] { forward([c] { c->press(); }); };
      return p;
    }
    case Kind::Image: {
      auto* p = new ImageWidget(*c, *this, this);
      p->onClick = [this, c] { forward([c] { c->press(); }); };
      return p;
    }
    case Kind::Shape:
      return new ShapeWidget(*c, this);
    case Kind::Timer: {
      it.timer = new QTimer(this);
      it.timer->setTimerType(Qt::PreciseTimer);
      connect(it.timer, &QTimer::timeout, this, [this, c] { forward([c] { c->tick(); }); });
      return nullptr;
    }
  }
  return nullptr;
}

void PanelView::place(Item& it) {
  if (!it.w) return;
  it.container = it.c->container();
  QWidget* parent = this;
  it.orphan = false;
  if (!it.container.empty()) {
    Control* frame = panel_.find(it.container);
    auto f = frame ? byControl_.find(frame) : byControl_.end();
    // Frames hold controls, and so do the side views (their titles).
    bool holds = frame && (frame->kind() == Kind::Frame || frame->kind() == Kind::Picture);
    if (holds && f != byControl_.end() && items_[f->second].w && frame != it.c)
      parent = items_[f->second].w;
    else
      it.orphan = true;  // on a window that is never shown
  }
  if (it.w->parentWidget() != parent) it.w->setParent(parent);
}

void PanelView::sync(Item& it) {
  Control& c = *it.c;
  if (QTimer* t = it.timer) {
    bool running = c.enabled() && c.interval() > 0;
    if (t->interval() != c.interval()) t->setInterval(std::max(0, c.interval()));
    if (running && !t->isActive()) t->start();
    if (!running && t->isActive()) t->stop();
    return;
  }
  QWidget* w = it.w;
  if (!w) return;
  syncing_ = true;
  if (c.container() != it.container) place(it);
  QRect g = placeOf(c);
  const bool moved = w->geometry() != g;
  if (moved) w->setGeometry(g);
  if (!it.colored || it.fore != c.foreColor() || it.back != c.backColor()) {
    setColors(w, c.kind(), c.foreColor(), c.backColor());
    it.colored = true;
    it.fore = c.foreColor();
    it.back = c.backColor();
  }
  if (w->isEnabled() != c.enabled()) w->setEnabled(c.enabled());

  switch (c.kind()) {
    case Kind::Button: {
      auto* b = static_cast<QPushButton*>(w);
      QString text = caption(c.text());
      if (b->text() != text) b->setText(text);
      QString name = pictureNameOf(c);
      const QPixmap& pic = picture(name);
      if (name != it.pictureName) {
        b->setIcon(pic.isNull() ? QIcon() : QIcon(pic));
        it.pictureName = name;
      }
      if (!pic.isNull()) {
        int side = std::max(8, std::min(g.height() - 6, pic.height()));
        b->setIconSize(QSize(side, side));
      }
      break;
    }
    case Kind::CheckBox: {
      auto* b = static_cast<QCheckBox*>(w);
      QString text = fittedCaption(caption(c.text()), *b);
      if (b->text() != text) b->setText(text);
      Qt::CheckState s = c.value() == 1   ? Qt::Checked
                         : c.value() == 2 ? Qt::PartiallyChecked
                                          : Qt::Unchecked;
      if (b->checkState() != s) b->setCheckState(s);
      break;
    }
    case Kind::Option: {
      auto* b = static_cast<QRadioButton*>(w);
      QString text = fittedCaption(caption(c.text()), *b);
      if (b->text() != text) b->setText(text);
      if (b->isChecked() != c.selected()) b->setChecked(c.selected());
      break;
    }
    case Kind::TextBox: {
      auto* e = static_cast<QLineEdit*>(w);
      int max = c.maxLength() > 0 ? c.maxLength() : 32767;
      if (e->maxLength() != max) e->setMaxLength(max);
      if (e->isReadOnly() != c.locked()) e->setReadOnly(c.locked());
      QString text = qstr(c.text());
      if (e->text() != text) {
        e->setText(text);
        if (!e->hasFocus()) e->setCursorPosition(0);
      }
      const Fitted f = fitLine(*e, text, font());
      if (e->font() != f.font) e->setFont(f.font);
      static_cast<TextWidget*>(e)->setShortened(f.cut ? f.shown : QString());
      it.whole = f.cut ? text : QString();
      break;
    }
    case Kind::Label: {
      auto* l = static_cast<QLabel*>(w);
      QString text = captionLines(qstr(c.text()));
      if (!it.fitted || text != it.caption || moved) {
        const Fitted f = fitLabel(*l, text, font());
        if (l->font() != f.font) l->setFont(f.font);
        if (l->text() != f.shown) l->setText(f.shown);
        it.caption = text;
        it.whole = f.cut ? text : QString();
        it.fitted = true;
      }
      break;
    }
    case Kind::Frame: {
      if (auto* gb = qobject_cast<QGroupBox*>(w)) {
        QString text = qstr(c.text());
        if (gb->title() != text) gb->setTitle(text);
      }
      break;
    }
    case Kind::HScroll: {
      auto* s = static_cast<QScrollBar*>(w);
      int lo = std::min(c.min(), c.max()), hi = std::max(c.min(), c.max());
      bool inverted = c.min() > c.max();
      if (s->minimum() != lo || s->maximum() != hi) s->setRange(lo, hi);
      if (s->invertedAppearance() != inverted) {
        s->setInvertedAppearance(inverted);
        s->setInvertedControls(inverted);
      }
      if (s->singleStep() != c.smallChange()) s->setSingleStep(c.smallChange());
      if (s->pageStep() != c.largeChange()) s->setPageStep(std::max(1, c.largeChange()));
      if (s->value() != c.value()) s->setValue(c.value());
      break;
    }
    case Kind::Image:
      if (!it.orphan && w->parentWidget() == this) {
        backdropStale_ = true;
        update();
      }
      w->update();
      break;
    case Kind::Picture:
    case Kind::Shape:
      w->update();
      break;
    case Kind::Timer:
      break;
  }
  QString tip = tipText(c.tooltip(), it.whole);
  if (w->toolTip() != tip) w->setToolTip(tip);
  bool visible = c.visible() && !it.orphan;
  if (w->isVisibleTo(w->parentWidget()) != visible) w->setVisible(visible);
  syncing_ = false;
}

void PanelView::refresh() {
  if (panel_.all().size() != items_.size()) build();
  uint64_t rev = panel_.revision();
  if (rev != seen_) {
    uint64_t since = seen_;
    seen_ = rev;
    for (Item& it : items_)
      if (it.c->revision() > since) sync(it);
  }
  // Picture boxes repaint when their surface changed.
  for (Item& it : items_) {
    if (it.c->kind() != Kind::Picture || !it.w) continue;
    const Surface* s = it.c->surface();
    uint64_t r = s ? s->revision() : 0;
    if (r != it.surfaceSeen) {
      it.surfaceSeen = r;
      if (it.w->isVisible()) it.w->update();
    }
  }
  syncSurface();
}

void PanelView::syncSurface() {
  if (!surface_ || surface_->revision() == surfaceRevision_) return;
  surfaceRevision_ = surface_->revision();
  const int w = surface_->widthPx(), h = surface_->heightPx();
  const uint32_t* px = surface_->pixels();
  if (w != shadowW_ || h != shadowH_) {
    shadowW_ = w;
    shadowH_ = h;
    shadow_.assign(px, px + size_t(w) * h);
    update();
    return;
  }
  // Repaint only the tiles whose pixels changed.
  QRegion dirty;
  for (int ty = 0; ty < h; ty += kTile) {
    int th = std::min(kTile, h - ty);
    for (int tx = 0; tx < w; tx += kTile) {
      int tw = std::min(kTile, w - tx);
      bool changed = false;
      for (int y = ty; y < ty + th; ++y) {
        size_t at = size_t(y) * w + tx;
        if (std::memcmp(px + at, shadow_.data() + at, size_t(tw) * 4) != 0) {
          std::memcpy(shadow_.data() + at, px + at, size_t(tw) * 4);
          changed = true;
        }
      }
      if (changed) dirty += toView(QRect(tx, ty, tw, th));
    }
  }
  if (!dirty.isEmpty()) update(dirty);
}

QRect PanelView::placeOf(const Control& c) const {
  int l = px(c.left(), scale_), t = px(c.top(), scale_);
  return QRect(l, t, px(c.left() + c.width(), scale_) - l, px(c.top() + c.height(), scale_) - t);
}

QRect PanelView::toView(const QRect& r) const {
  return QRectF(r.x() * scale_, r.y() * scale_, r.width() * scale_, r.height() * scale_)
      .toAlignedRect();
}

QRect PanelView::toSurface(const QRect& r) const {
  int l = int(std::floor(r.left() / scale_)), t = int(std::floor(r.top() / scale_));
  int rr = int(std::ceil((r.right() + 1) / scale_)), b = int(std::ceil((r.bottom() + 1) / scale_));
  return QRect(l, t, rr - l, b - t);
}

void PanelView::setScale(double s) {
  if (s <= 0 || s == scale_) return;
  scale_ = s;
  style_->setScale(s);
  QFont f = viewFont();
  f.setPointSizeF(f.pointSizeF() * s);
  setFont(f);
  for (Item& it : items_) sync(it);
  backdropStale_ = true;
  update();
}

void PanelView::rebuildBackdrop() {
  backdropStale_ = false;
  backdropArea_ = QRegion();
  const int w = surface_->widthPx(), h = surface_->heightPx();
  if (backdrop_.size() != QSize(w, h)) backdrop_ = QImage(w, h, QImage::Format_RGB32);
  QPainter p(&backdrop_);
  // In the order Qt stacks them: the later child lies above.
  for (QObject* o : children()) {
    auto* wid = qobject_cast<QWidget*>(o);
    auto f =
        std::find_if(items_.begin(), items_.end(), [&](const Item& it) { return it.w == wid; });
    if (f == items_.end() || f->c->kind() != Kind::Image || !wid->isVisibleTo(this)) continue;
    const QPixmap& pic = picture(pictureNameOf(*f->c));
    if (pic.isNull()) continue;
    const Control& c = *f->c;
    QRect r = QRect(px(c.left(), 1), px(c.top(), 1), px(c.width(), 1), px(c.height(), 1)) &
              backdrop_.rect();
    p.setClipRect(r);
    p.drawPixmap(r.topLeft(), pic);
    backdropArea_ += r;
  }
}

// The surface's pixels of `src`, with the pictures behind it showing where nothing is drawn.
QImage PanelView::composed(const QRect& src) const {
  QImage out = imageOf(*surface_).copy(src);
  const uint32_t bg = surface_->background() & 0xFFFFFFu;
  for (const QRect& r : backdropArea_& src)
    for (int y = r.top(); y <= r.bottom(); ++y) {
      auto* d = reinterpret_cast<uint32_t*>(out.scanLine(y - src.top())) - src.left();
      const auto* b = reinterpret_cast<const uint32_t*>(backdrop_.constScanLine(y));
      for (int x = r.left(); x <= r.right(); ++x)
        if ((d[x] & 0xFFFFFFu) == bg) d[x] = b[x];
    }
  return out;
}

void PanelView::paintEvent(QPaintEvent* e) {
  QPainter p(this);
  if (!surface_ || surface_->widthPx() == 0) {
    p.fillRect(e->rect(), Qt::black);
    return;
  }
  if (backdropStale_) rebuildBackdrop();
  const QImage img = imageOf(*surface_);
  p.setClipRegion(e->region());
  for (const QRect& r : e->region()) {
    QRect src = toSurface(r) & img.rect();
    if (src.isEmpty()) {
      p.fillRect(r, qcolor(surface_->background()));
      continue;
    }
    QRectF dst(src.x() * scale_, src.y() * scale_, src.width() * scale_, src.height() * scale_);
    if (!dst.contains(QRectF(r))) p.fillRect(r, qcolor(surface_->background()));
    if (backdropArea_.intersects(src))
      p.drawImage(dst, composed(src));
    else
      p.drawImage(dst, img, src);
  }
}

void PanelView::forward(const std::function<void()>& action) {
  if (syncing_ || (gate_ && !gate_())) return;
  try {
    action();
  } catch (const ProgramEnding&) {
    // The program is ending; the run loop that was in progress has unwound.
    return;
  }
  refresh();
  emit acted();
}

QWidget* PanelView::widgetOf(const Control& c) const {
  auto f = byControl_.find(&c);
  return f == byControl_.end() ? nullptr : items_[f->second].w;
}

QWidget* PanelView::widgetOf(std::string_view name, int index) const {
  Control* c = panel_.find(name, index);
  return c ? widgetOf(*c) : nullptr;
}

QTimer* PanelView::timerOf(const Control& c) const {
  auto f = byControl_.find(&c);
  return f == byControl_.end() ? nullptr : items_[f->second].timer;
}

}  // namespace orbits::qt
