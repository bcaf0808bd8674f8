#include "qt/qt_host.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QWidget>

namespace orbits::qt {

QtHost::QtHost(std::string dataDir) : dataDir_(std::move(dataDir)) {}

void QtHost::yield() {
  if (ending_) throw ProgramEnding{};
  if (sinceEvents_.isValid() && sinceEvents_.nsecsElapsed() < kYieldNanos) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  if (ending_) throw ProgramEnding{};
  if (refresher_) refresher_();
  sinceEvents_.restart();
}

void QtHost::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
  if (ending_) return;
  if (refresher_) refresher_();  // the box shows over the state that caused it
  QWidget* parent = QApplication::activeWindow();
  if (!parent)
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->isVisible() && !w->inherits("QMessageBox")) {
        parent = w;
        break;
      }
  QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QString::fromStdString(title), QString::fromStdString(text), QMessageBox::Ok,
                  parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
  sinceEvents_.restart();
}

QString QtHost::shippedDir(const std::string& address, const QString& programDir) {
  const QDir program(programDir);
  const QString file = QString::fromStdString(address).section('#', 0, 0);
  const QString installed = QDir::cleanPath(program.filePath(QStringLiteral(ORBITS_SHIPPED_DIR)));
  if (!program.exists(file) && QDir(installed).exists(file)) return installed;
  return program.path();
}

QUrl QtHost::resolve(const std::string& address, const QString& programDir) {
  QString a = QString::fromStdString(address);
  QUrl given(a);
  if (given.isValid() && given.scheme().size() > 1) return given;  // one letter: a drive
  QString section;
  if (qsizetype hash = a.indexOf('#'); hash >= 0) {
    section = a.mid(hash + 1);
    a.truncate(hash);
  }
  QString path = QDir::isAbsolutePath(a) ? a : QDir(programDir).filePath(a);
  QUrl url = QUrl::fromLocalFile(QDir::cleanPath(path));
  if (!section.isEmpty()) url.setFragment(section);
  return url;
}

bool QtHost::openAddress(const std::string& address) {
  if (ending_) return true;
  const QString programDir = QCoreApplication::applicationDirPath();
  QUrl url = resolve(address, shippedDir(address, programDir));
  return opener_ ? opener_(url) : QDesktopServices::openUrl(url);
}

text::DateTime QtHost::now() {
  QDateTime t = QDateTime::currentDateTime();
  QDate d = t.date();
  QTime c = t.time();
  text::DateTime r;
  r.date = text::Date::fromYmd(d.year(), d.month(), d.day());
  r.hour = c.hour();
  r.minute = c.minute();
  r.second = c.second();
  return r;
}

void QtHost::quit() {
  if (ending_) return;
  ending_ = true;
  for (QWidget* w : QApplication::topLevelWidgets()) w->hide();
  // Leaves every event loop, the main one included, once control returns to it; a run loop
  // in progress unwinds at its next yield.
  QCoreApplication::exit(0);
}

std::string QtHost::dataDir() {
  if (!dataDir_.empty()) return dataDir_;
  return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
}

}  // namespace orbits::qt
