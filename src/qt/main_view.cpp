#include "qt/main_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "qt/qt_host.h"
#include "window/main_window.h"

namespace orbits::qt {

TopWindow::TopWindow(Panel& panel, const Surface* background, QSize size,
                     std::function<void()> onClose)
    : onClose_(std::move(onClose)) {
  setFixedSize(size);
  view_ = new PanelView(panel, background, this);
  view_->setGeometry(QRect(QPoint(0, 0), size));
}

void TopWindow::closeEvent(QCloseEvent* e) {
  // The program ends; the core decides how (the host hides the windows and leaves the loop).
  e->ignore();
  if (onClose_) onClose_();
}

Desktop::Desktop(MainWindow& core, QtHost* host) : core_(core), host_(host) {
  auto end = [this] {
    if (!core_.shell.ending) endProgram(core_);
  };
  main_ = std::make_unique<TopWindow>(
      core.panel, &core.surface,
      QSize(core.width() / kUnitsPerPixel, core.height() / kUnitsPerPixel), end);
  main_->setWindowTitle(MainWindow::kTitle);
  PanelView& view = main_->view();
  view.setGate([this] { return !core_.shell.ending; });
  connect(&view, &PanelView::acted, this, &Desktop::refresh);
  if (host_) host_->setRefresher([this] { refreshIfDue(); });
  poll_.setInterval(int(kRefreshNanos / 1'000'000));
  connect(&poll_, &QTimer::timeout, this, &Desktop::refreshIfDue);
  poll_.start();
  sinceRefresh_.start();
}

Desktop::~Desktop() {
  if (host_) host_->setRefresher({});
}

void Desktop::ensureSplash() {
  if (splash_) return;
  auto end = [this] {
    if (!core_.shell.ending) endProgram(core_);
  };
  splash_ = std::make_unique<TopWindow>(
      core_.shell.splash, nullptr,
      QSize(kSplashWidth / kUnitsPerPixel, kSplashHeight / kUnitsPerPixel), end);
  splash_->setWindowTitle(Shell::kSplashTitle);
  splash_->setWindowFlag(Qt::FramelessWindowHint);
  PanelView& view = splash_->view();
  view.setGate([this] { return !core_.shell.ending; });
  connect(&view, &PanelView::acted, this, &Desktop::refresh);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect r(QPoint(0, 0), splash_->size());
    r.moveCenter(screen->availableGeometry().center());
    splash_->move(r.topLeft());
  }
}

void Desktop::syncShell() {
  const Shell& s = core_.shell;
  if (s.revision == shellSeen_) return;
  shellSeen_ = s.revision;
  if (!shown_) return;
  if (s.splashVisible) {
    ensureSplash();
    splash_->view().refresh();
    splash_->show();
    splash_->raise();
  } else if (splash_) {
    splash_->hide();
  }
  main_->setVisible(s.mainVisible);
}

void Desktop::refresh() {
  sinceRefresh_.restart();
  main_->view().refresh();
  if (splash_) splash_->view().refresh();
  syncShell();
}

void Desktop::refreshIfDue() {
  if (sinceRefresh_.nsecsElapsed() >= kRefreshNanos) refresh();
}

void Desktop::show() {
  shown_ = true;
  shellSeen_ = ~uint64_t(0);
  refresh();
}

}  // namespace orbits::qt
