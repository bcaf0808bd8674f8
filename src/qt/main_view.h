#pragma once
// The desktop program's two windows over the core: the main window and the farewell (splash)
// window, kept in step with the core's state.
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "qt/panel_view.h"

namespace orbits {
class MainWindow;
}

namespace orbits::qt {

class QtHost;

// A top-level window holding one panel view; closing it by the window manager asks the core
// to end the program. A scalable window can take any size: the view keeps the panel's aspect
// ratio, fills the window and leaves black bars on the spare sides; Ctrl+0 restores 100%.
class TopWindow : public QWidget {
 public:
  TopWindow(Panel& panel, const Surface* background, QSize size, std::function<void()> onClose,
            bool scalable = false);
  PanelView& view() { return *view_; }

  // The panel's size at 100%.
  QSize baseSize() const { return base_; }
  // The size it opens at: its last size (when it still fits the screen), else the largest
  // that fits the screen's available area.
  void openAtPreferredSize();
  // The largest size of the aspect ratio within `area`, leaving room for a window frame.
  static QSize largestWithin(QSize base, QSize area);
  // Escape closes it as the window manager's close does (the farewell window has no frame).
  void setEscapeCloses(bool on) { escapeCloses_ = on; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  PanelView* view_;
  std::function<void()> onClose_;
  QSize base_;
  bool scalable_;
  bool escapeCloses_ = false;
};

class Desktop : public QObject {
  Q_OBJECT

 public:
  // With a Qt host, the host's yield refreshes the windows; without one (tests) only user
  // actions and the refresh timer do.
  Desktop(MainWindow& core, QtHost* host = nullptr);
  ~Desktop() override;

  // Brings both windows up to date now.
  void refresh();
  // The same, at most about 60 times a second.
  void refreshIfDue();
  // Shows what the core says is shown.
  void show();

  TopWindow& mainWindow() { return *main_; }
  PanelView& mainView() { return main_->view(); }
  // The splash window; none until the core first shows it.
  TopWindow* splashWindow() { return splash_.get(); }

  static constexpr qint64 kRefreshNanos = 16'000'000;

 private:
  void ensureSplash();
  void syncShell();

  MainWindow& core_;
  QtHost* host_;
  std::unique_ptr<TopWindow> main_;
  std::unique_ptr<TopWindow> splash_;
  uint64_t shellSeen_ = ~uint64_t(0);
  bool shown_ = false;
  QElapsedTimer sinceRefresh_;
  QTimer poll_;
};

}  // namespace orbits::qt
