#pragma once
// The desktop's services for the core: event processing, message boxes, the browser, the
// clock, ending the program and the directory for data files.
#include <QElapsedTimer>
#include <QUrl>
#include <functional>
#include <string>

#include "form/host.h"

namespace orbits::qt {

// Thrown out of a yield once the program is ending, so that a run loop in progress unwinds
// to the user action that started it (where the view catches it) instead of running on.
// Deliberately not a std::exception: no core code catches it by accident.
struct ProgramEnding {};

class QtHost : public Host {
 public:
  explicit QtHost(std::string dataDir = {});

  void yield() override;
  void messageBox(const std::string& text, const std::string& title,
                  MessageIcon icon = MessageIcon::None) override;
  bool openAddress(const std::string& address) override;
  text::DateTime now() override;
  void quit() override;
  std::string dataDir() override;
  void showCharts() override {
    if (chartsOpener_) chartsOpener_();
  }
  void setChartsOpener(std::function<void()> f) { chartsOpener_ = std::move(f); }

  void setDataDir(std::string dir) { dataDir_ = std::move(dir); }
  bool ending() const { return ending_; }
  // Brings the windows up to date after events were processed in a yield.
  void setRefresher(std::function<void()> f) { refresher_ = std::move(f); }
  void focus(const Control& c) override {
    if (focuser_) focuser_(c);
  }
  // How a control gets the input focus (the desktop's main view).
  void setFocuser(std::function<void(const Control&)> f) { focuser_ = std::move(f); }
  // How addresses are opened; the desktop's default unless replaced (tests).
  void setOpener(std::function<bool(const QUrl&)> f) { opener_ = std::move(f); }

  // An address as the browser gets it: with a scheme it stands as it is; otherwise it names
  // a file relative to the program's own directory, optionally with a "#section".
  static QUrl resolve(const std::string& address, const QString& programDir);
  // Where the files shipped with the program lie: beside it in the build directory, in its
  // data directory (ORBITS_SHIPPED_DIR, relative to the program's) once installed.
  static QString shippedDir(const std::string& address, const QString& programDir);

  // Least time between two real event processings inside the run loop.
  static constexpr qint64 kYieldNanos = 10'000'000;

 private:
  std::string dataDir_;
  bool ending_ = false;
  QElapsedTimer sinceEvents_;
  std::function<void()> refresher_;
  std::function<void(const Control&)> focuser_;
  std::function<bool(const QUrl&)> opener_;
  std::function<void()> chartsOpener_;
};

}  // namespace orbits::qt
