// Every control a user can see is readable: no other visible control is drawn over it, except
// where the layout means one to lie over another (the table below, with the reason).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTemporaryDir>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "qt/main_view.h"
#include "window/main_window.h"

namespace orbits::qt {
namespace {

struct StopHost : Host {
  QTemporaryDir dir;
  MainWindow* core = nullptr;
  long cycles = 0, stopAt = 0;
  void yield() override {
    if (++cycles == stopAt && core) core->c("CDstop").press();
  }
  void messageBox(const std::string&, const std::string&, MessageIcon) override {}
  bool openAddress(const std::string&) override { return true; }
  text::DateTime now() override { return {text::Date::fromYmd(2024, 1, 1), 12, 0, 0}; }
  void quit() override {}
  std::string dataDir() override { return dir.path().toStdString(); }
};

// Overlaps the layout intends: {control drawn above, control beneath}, by control name.
const std::set<std::pair<std::string, std::string>> kIntended = {
    // The blinking ring marks the body being edited in its list.
    {"Shark", "*"},
    // The ZX edge view, while the user has it shown, lies over the bottom row of frames.
    {"PiZX", "*"},
    // The dates, while shown, take the place of the error read-outs of the time frame.
    {"FraDate", "FraTime"},
    // "No complete orbits yet" stands over the period read-outs until an orbit completes.
    {"FraNo", "FraYear"},
    // With "each orbit" markers the count of perihelion moves replaces the marker count.
    {"TXpersephone", "TXperihelis"},
    // In turbo time a dark note replaces the velocity boxes.
    {"FrameDark", "TXvolight"},
    // "AVG" shows the average precession in place of the single marker's read-outs.
    {"FraaaA", "Frame6"},
    // The clearing interval is typed into the gap of its option's caption.
    {"TXref", "OpCl"},
};

struct Shown {
  std::string name;
  QWidget* w;
  QRect r;  // on the view, clipped by the frames it lies in
};

// The visible controls in the order they are painted: a later one lies above an earlier one.
using Names = std::unordered_map<QWidget*, std::string>;

std::string baseName(const std::string& ref) { return ref.substr(0, ref.find('(')); }

// Whether `high`, or a frame it lies in, is meant to lie over `low` or a frame `low` lies in.
bool intended(QWidget* high, QWidget* low, const Names& names) {
  for (QWidget* a = high; a; a = a->parentWidget()) {
    auto na = names.find(a);
    if (na == names.end()) continue;
    if (kIntended.count({baseName(na->second), "*"})) return true;
    for (QWidget* b = low; b; b = b->parentWidget())
      if (auto nb = names.find(b);
          nb != names.end() && kIntended.count({baseName(na->second), baseName(nb->second)}))
        return true;
  }
  return false;
}

Names namesOf(PanelView& view, Panel& panel) {
  Names names;
  for (Control& c : panel.all())
    if (QWidget* w = view.widgetOf(c); w && c.kind() != Kind::Image)  // images lie behind all
      names[w] = c.index() >= 0 ? c.name() + "(" + std::to_string(c.index()) + ")" : c.name();
  return names;
}

std::vector<Shown> paintOrder(PanelView& view, const Names& names) {
  std::vector<Shown> out;
  std::function<void(QWidget*, QRect)> walk = [&](QWidget* parent, QRect clip) {
    for (QObject* o : parent->children()) {
      auto* w = qobject_cast<QWidget*>(o);
      auto n = w ? names.find(w) : names.end();
      if (n == names.end() || !w->isVisibleTo(&view)) continue;
      QRect r = QRect(w->mapTo(&view, QPoint(0, 0)), w->size()) & clip;
      if (r.isEmpty()) continue;
      out.push_back({n->second, w, r});
      walk(w, r);
    }
  };
  walk(&view, view.rect());
  return out;
}

// "above covers beneath" for each unintended overlap larger than a shared border.
std::vector<std::string> coverings(PanelView& view, Panel& panel) {
  Names names = namesOf(view, panel);
  std::vector<Shown> shown = paintOrder(view, names);
  std::vector<std::string> found;
  for (size_t i = 0; i < shown.size(); ++i)
    for (size_t j = i + 1; j < shown.size(); ++j) {
      const Shown &low = shown[i], &high = shown[j];
      if (low.w->isAncestorOf(high.w)) continue;  // a control in its frame
      QRect both = low.r & high.r;
      if (both.width() < 3 || both.height() < 3) continue;
      if (intended(high.w, low.w, names)) continue;
      found.push_back(high.name + " covers " + low.name);
    }
  return found;
}

std::string joined(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& x : v) s += "\n  " + x;
  return s;
}

struct OverlapTest : ::testing::Test {
  StopHost host;
  MainWindow core{host};
  Desktop desktop{core};
  OverlapTest() {
    host.core = &core;
    desktop.show();
  }
  std::vector<std::string> afterPreset(int n) {
    host.cycles = 0;
    host.stopAt = 20000;
    core.c("CDp", n).press();
    desktop.refresh();
    return coverings(desktop.mainView(), core.panel);
  }
};

TEST_F(OverlapTest, NoVisibleControlIsCoveredAtStartOrAfterPresets) {
  EXPECT_EQ(joined(coverings(desktop.mainView(), core.panel)), "") << "at start";
  // The lab's controls, placed in free room, are among those checked.
  for (const char* lab : {"CDcharts", "ChRelativity"})
    EXPECT_TRUE(desktop.mainView().widgetOf(lab)->isVisible()) << lab;
  // 5: the average precession (AVG); 25: the dates; 3: a side view; 80: a single marker.
  for (int preset : {5, 25, 3, 80}) EXPECT_EQ(joined(afterPreset(preset)), "") << preset;
  core.c("ChZX").setValue(1);
  desktop.refresh();
  EXPECT_EQ(joined(coverings(desktop.mainView(), core.panel)), "") << "with the ZX view";
}

TEST_F(OverlapTest, TheOffScreenReportOfEveryBodyIsReadWhole) {
  std::string report;
  for (const char* body :
       {"Pluto", "Neptune", "Uranus", "Saturn", "Jupiter", "Mars", "Earth", "Venus", "Mercury"})
    report += std::string(body) + " off-screen.  ";
  core.c("LaChirp", 2).setText(report);
  for (double scale : {1.0, 2.0}) {
    desktop.mainView().setScale(scale);
    desktop.refresh();
    auto* label = qobject_cast<QLabel*>(desktop.mainView().widgetOf("LaChirp", 2));
    ASSERT_NE(label, nullptr);
    const QRect need =
        QFontMetrics(label->font())
            .boundingRect(QRect(0, 0, label->width(), 1 << 20), Qt::TextWordWrap, label->text());
    EXPECT_LE(need.height(), label->height()) << "at scale " << scale;
  }
}

}  // namespace
}  // namespace orbits::qt
