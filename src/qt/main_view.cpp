#include "qt/main_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QSettings>
#include <QShortcut>

#include "qt/qt_host.h"
#include "window/main_window.h"

namespace orbits::qt {

namespace {

constexpr const char* kSizeKey = "mainWindow/size";
// Room for a window manager's frame and title bar around the client area.
constexpr int kFrameAllowance = 40;

}  // namespace

TopWindow::TopWindow(Panel& panel, const Surface* background, QSize size,
                     std::function<void()> onClose, bool scalable)
    : onClose_(std::move(onClose)), base_(size), scalable_(scalable) {
  view_ = new PanelView(panel, background, this);
  view_->setGeometry(QRect(QPoint(0, 0), size));
  if (!scalable) {
    setFixedSize(size);
    return;
  }
  // The bars beside the letterboxed view.
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  setAutoFillBackground(true);
  setMinimumSize(size / 4);
  resize(size);
  auto* full = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_0), this);
  connect(full, &QShortcut::activated, this, [this] {
    if (isMaximized() || isFullScreen()) showNormal();
    resize(base_);
  });
}

QSize TopWindow::largestWithin(QSize base, QSize area) {
  QSize room(area.width(), std::max(1, area.height() - kFrameAllowance));
  return base.scaled(room, Qt::KeepAspectRatio);
}

void TopWindow::openAtPreferredSize() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QSize size = QSettings().value(kSizeKey).toSize();
  if (!size.isValid() || size.width() > area.width() ||
      size.height() + kFrameAllowance > area.height())
    size = largestWithin(base_, area.size());
  resize(size);
  QRect r(QPoint(0, 0), size);
  r.moveCenter(area.center());
  r.moveTop(std::max(area.top(), r.top() - kFrameAllowance / 2));
  move(r.topLeft());
}

void TopWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (!scalable_) return;
  QSize fit = base_.scaled(size(), Qt::KeepAspectRatio);
  view_->setScale(double(fit.width()) / base_.width());
  QRect r(QPoint(0, 0), fit);
  r.moveCenter(rect().center());
  view_->setGeometry(r);
  if (isVisible()) QSettings().setValue(kSizeKey, size());
}

void TopWindow::keyPressEvent(QKeyEvent* e) {
  if (escapeCloses_ && e->key() == Qt::Key_Escape && onClose_) return onClose_();
  QWidget::keyPressEvent(e);
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
      QSize(core.width() / kUnitsPerPixel, core.height() / kUnitsPerPixel), end, true);
  main_->setWindowTitle(MainWindow::kTitle);
  PanelView& view = main_->view();
  view.setGate([this] { return !core_.shell.ending; });
  connect(&view, &PanelView::acted, this, &Desktop::refresh);
  if (host_) host_->setRefresher([this] { refreshIfDue(); });
  if (host_)
    host_->setFocuser([this](const Control& c) {
      main_->view().refresh();  // the control shows its latest state first
      if (QWidget* w = main_->view().widgetOf(c); w && w->isVisible())
        w->setFocus(Qt::OtherFocusReason);
    });
  poll_.setInterval(int(kRefreshNanos / 1'000'000));
  connect(&poll_, &QTimer::timeout, this, &Desktop::refreshIfDue);
  poll_.start();
  sinceRefresh_.start();
}

Desktop::~Desktop() {
  if (host_) host_->setFocuser({});
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
  splash_->setEscapeCloses(true);
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
    splash_->activateWindow();  // so that Escape reaches it
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
