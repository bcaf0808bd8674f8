#pragma once
// A thin Qt view of a panel of the core: one widget per control, placed as the core places
// it, painted over a drawing surface of the core. It shows the core's state and forwards the
// user's clicks, edits, focus changes, scroll movements and timer ticks to the core; it
// decides nothing on its own.
#include <QImage>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QTimer;

namespace orbits {
class Control;
class Panel;
class Surface;
}  // namespace orbits

namespace orbits::qt {

class ScaledStyle;

class PanelView : public QWidget {
  Q_OBJECT

 public:
  // `background` is painted behind the controls (black when there is none).
  PanelView(Panel& panel, const Surface* background, QWidget* parent = nullptr);
  ~PanelView() override;

  // Brings every control changed since the last refresh, and every changed surface, up to
  // date. Cheap when nothing changed.
  void refresh();

  // User actions reach the core only while this says yes (e.g. not once the program ends).
  void setGate(std::function<bool()> open) { gate_ = std::move(open); }

  // The widget of a control (none for timers and for controls outside the window).
  QWidget* widgetOf(const Control& c) const;
  QWidget* widgetOf(std::string_view name, int index = -1) const;
  QTimer* timerOf(const Control& c) const;

  // The font of the whole view at 100%.
  static QFont viewFont();

  // Shows the whole panel at this size (1 = the core's pixels); controls, text and drawing
  // scale together.
  void setScale(double s);
  double scale() const { return scale_; }

 signals:
  // A user action reached the core (other views may have to refresh too).
  void acted();

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  struct Item {
    Control* c = nullptr;
    QWidget* w = nullptr;
    QTimer* timer = nullptr;
    std::string container;  // the frame it was placed in
    bool orphan = false;    // lives on a window that is never shown
    bool colored = false;
    uint32_t fore = 0, back = 0;
    uint64_t surfaceSeen = 0;
    QString pictureName;  // shown by a graphical button
    QString caption;      // a label's caption as last fitted
    bool fitted = false;
    QString whole;  // a text shown shortened, which the tooltip gives whole
  };

  void build();
  QWidget* create(Item& it);
  void place(Item& it);
  void sync(Item& it);
  void syncSurface();
  QRect placeOf(const Control& c) const;
  bool onPicture(const Control& c) const;
  QRect toView(const QRect& surfaceRect) const;
  QRect toSurface(const QRect& viewRect) const;
  void rebuildBackdrop();
  QImage composed(const QRect& src) const;
  void forward(const std::function<void()>& action);

  Panel& panel_;
  const Surface* surface_;
  ScaledStyle* style_;  // owned as a child
  std::vector<Item> items_;
  std::unordered_map<const Control*, size_t> byControl_;
  uint64_t seen_ = 0;
  bool syncing_ = false;
  std::function<bool()> gate_;

  // The background surface as last painted, to repaint only the tiles that changed.
  uint64_t surfaceRevision_ = ~uint64_t(0);
  std::vector<uint32_t> shadow_;
  int shadowW_ = 0, shadowH_ = 0;
  double scale_ = 1.0;

  // The pictures of the images on the window, which lie behind the drawing (surface pixels).
  QImage backdrop_;
  QRegion backdropArea_;
  bool backdropStale_ = true;
};

}  // namespace orbits::qt
