#include "batch/batch_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "window/main_window.h"

namespace orbits::batch {

Clocks Clocks::system() {
  Clocks c;
  c.monotonic = [] {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
  };
  c.now = [] {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    return text::DateTime{
        text::Date::fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday), local.tm_hour,
        local.tm_min, local.tm_sec};
  };
  return c;
}

BatchHost::BatchHost(std::string dataDir, std::ostream& err, Clocks clocks)
    : dataDir_(std::move(dataDir)), err_(err), clocks_(std::move(clocks)) {}

void BatchHost::beginRun(RunLimit limit, std::vector<Setting> then, bool progress,
                         bool pauseAtStart) {
  progress_ = progress;
  untilClock_ = 0;
  timers_.clear();
  if (w_) {
    script_.begin(
        *w_, limit, std::move(then),
        [this](const Setting& s) {
          err_ << "orbits-batch: --then " << s.control->ref() << ": the control takes no change "
               << "now (disabled or locked); left as it is\n";
        },
        pauseAtStart);
    for (Control& c : w_->panel.all())
      if (c.kind() == Kind::Timer) timers_.push_back({&c});
  }
  start_ = clocks_.monotonic();
  nextDraw_ = start_;
}

void BatchHost::endRun() {
  clearProgress();
  script_.end();
}

void BatchHost::yield() {
  if (!w_) return;
  script_.cycle();
  if (--untilClock_ > 0) return;
  untilClock_ = kCyclesPerClockRead;
  const std::chrono::nanoseconds t = clocks_.monotonic();
  tickTimers(t);
  if (progress_ && t >= nextDraw_) {
    drawProgress(t);
    nextDraw_ = t + kProgressEvery;
  }
}

void BatchHost::tickTimers(std::chrono::nanoseconds t) {
  for (TimerState& s : timers_) {
    Control& timer = *s.timer;
    if (!timer.enabled() || timer.interval() <= 0) {
      s.armed = false;
      continue;
    }
    const std::chrono::nanoseconds every = std::chrono::milliseconds(timer.interval());
    if (!s.armed) {
      s.armed = true;
      s.due = t + every;
      continue;
    }
    if (t < s.due) continue;
    // Ticks missed while the loop was busy collapse into one, as a window's timer does.
    s.due += every;
    if (s.due <= t) s.due = t + every;
    timer.tick();
  }
}

namespace {

std::string duration(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) return "--:--";
  const long s = long(seconds + 0.5);
  char buf[32];
  if (s >= 3600)
    std::snprintf(buf, sizeof buf, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(buf, sizeof buf, "%ld:%02ld", s / 60, s % 60);
  return buf;
}

}  // namespace

void BatchHost::drawProgress(std::chrono::nanoseconds t) {
  const double elapsed = std::chrono::duration<double>(t - start_).count();
  const long cycles = script_.cycles();
  const RunLimit& limit = script_.limit();
  const double rate = elapsed > 0 ? double(cycles) / elapsed : 0;
  double done = 0;
  char what[64];
  if (limit.by == RunLimit::By::Cycles) {
    done = double(cycles) / limit.count;
    std::snprintf(what, sizeof what, "cycle %ld/%.0f", cycles, limit.count);
  } else {
    const SimState& s = w_->sim;
    // Completed orbits and the quarters of the current one.
    const double partial = s.orbitCount > 0 ? std::clamp((s.quadrant - 1) * 0.25, 0.0, 0.75) : 0;
    const double span = limit.count - script_.orbitsAtStart();
    done = span > 0 ? (s.orbitCount - script_.orbitsAtStart() + partial) / span : 1;
    std::snprintf(what, sizeof what, "orbit %.0f/%.0f", s.orbitCount, limit.count);
  }
  done = std::clamp(done, 0.0, 1.0);
  const double left = done > 0 ? elapsed * (1 - done) / done : NAN;
  char line[256];
  std::snprintf(line, sizeof line, "\r[%3d%%] %s  %.0f cycles/s  %s  left %s\x1b[K",
                int(done * 100), what, rate, w_->c("TXcurrent").text().c_str(),
                duration(left).c_str());
  err_ << line << std::flush;
  progressShown_ = true;
}

void BatchHost::clearProgress() {
  if (!progressShown_) return;
  err_ << "\r\x1b[K" << std::flush;
  progressShown_ = false;
}

void BatchHost::messageBox(const std::string& text, const std::string& title, MessageIcon icon) {
  clearProgress();
  std::string shown = text;
  for (char& ch : shown)
    if (ch == '\r') ch = '\n';
  err_ << (icon == MessageIcon::Critical ? "[error] " : "[message] ") << title << ": " << shown
       << "\n"
       << std::flush;
  messages_.push_back(title.empty() ? text : title + ": " + text);
}

bool BatchHost::openAddress(const std::string& address) {
  clearProgress();
  err_ << "[address] " << address << " (not opened: no window)\n" << std::flush;
  return false;
}

}  // namespace orbits::batch
