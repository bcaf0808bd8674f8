// Every control a user can see is readable: no other visible control is drawn over it, except
// where the layout means one to lie over another (the table below, with the reason).
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "panel/wired_window.h"
#include "qt/main_view.h"
#include "qt/pictures.h"
#include "window/main_window.h"

namespace orbits::qt {
namespace {

struct StopHost : Host {
  QTemporaryDir dir;
  MainWindow* core = nullptr;
  long cycles = 0, stopAt = 0;
  double stopAtOrbit = 0;  // 0: none
  void yield() override {
    const bool orbits = stopAtOrbit > 0 && core && core->sim.orbitCount >= stopAtOrbit;
    if ((++cycles == stopAt || orbits) && core && core->sim.runState == RunState::Bat)
      core->c("CDstop").press();
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

// Of those, the ones meant to lie over part of a control; the others hide whole controls and
// never leave a caption or a value half in view.
const std::set<std::string> kOverPart = {"Shark", "TXref"};

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
      const bool text = qobject_cast<QLabel*>(low.w) || qobject_cast<QLineEdit*>(low.w) ||
                        qobject_cast<QAbstractButton*>(low.w);
      // The control named in the table itself, not one inside it: that one covers whole.
      const bool named = std::any_of(kIntended.begin(), kIntended.end(),
                                     [&](const auto& i) { return i.first == baseName(high.name); });
      const bool part = text && named && both != low.r && !kOverPart.count(baseName(high.name));
      if (intended(high.w, low.w, names) && !part) continue;
      found.push_back(high.name + (part ? " covers part of " : " covers ") + low.name);
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
  WiredWindow core{host};
  Desktop desktop{core};
  OverlapTest() {
    host.core = &core;
    desktop.show();
  }
  std::vector<std::string> afterPreset(int n, double orbits = 0) {
    host.cycles = 0;
    host.stopAt = orbits > 0 ? 5'000'000 : 20000;
    host.stopAtOrbit = orbits;
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

TEST_F(OverlapTest, NoControlCoversTheStartPicturesHint) {
  const Control& moon = core.c("ImMoon");
  ASSERT_TRUE(desktop.mainView().widgetOf(moon)->isVisible());
  const QRect hint =
      startHintArea().translated(moon.left() / kUnitsPerPixel, moon.top() / kUnitsPerPixel);
  for (const Shown& s : paintOrder(desktop.mainView(), namesOf(desktop.mainView(), core.panel)))
    EXPECT_FALSE(s.r.intersects(hint)) << s.name;
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
    EXPECT_EQ(label->text().toStdString(), report) << "not shortened";
    const QRect need =
        QFontMetrics(label->font())
            .boundingRect(QRect(0, 0, label->width(), 1 << 20), Qt::TextWordWrap, label->text());
    EXPECT_LE(need.height(), label->height()) << "at scale " << scale;
  }
}

}  // namespace
}  // namespace orbits::qt

namespace orbits::qt {
namespace {

// Texts the layout cannot show whole, with the reason. Each shows shortened ("…"), and its
// tooltip gives it whole.
const std::map<std::string, const char*> kShortened = {
    // Seven fields share the strip above the view with their letters; a value of more than
    // about twelve characters is read whole in the tooltip, or in the field while editing it.
    {"TXTp", "the body editor's fields"},
    // The body's name and "New Year" are two lines, in a row of the dates one line high.
    {"LaNY", "the dates' new-year caption"},
};

// The whole text of a visible control, and the room its widget gives it as drawn.
struct Fit {
  QString text;
  int need = 0, room = 0;    // widths
  int needH = 0, roomH = 0;  // heights
};

int lineEditRoom(QLineEdit& e) {
  const int frame = e.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &e);
  const QMargins m = e.textMargins();
  return e.width() - 2 * frame - m.left() - m.right() - 4;  // and 2 pixels each side inside
}

std::optional<Fit> fitOf(QWidget* w, const Control& c) {
  const QFontMetrics fm(w->font());
  QStyle& st = *w->style();
  Fit f;
  if (auto* l = qobject_cast<QLabel*>(w)) {
    f.text = QString::fromStdString(c.text()).replace("\r\n", "\n").replace('\r', '\n');
    const QRect room = l->contentsRect();
    const QRect need =
        fm.boundingRect(QRect(0, 0, room.width(), 1 << 20), Qt::TextWordWrap, f.text);
    f = {f.text, need.width(), room.width(), need.height(), room.height()};
  } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
    f.text = QString::fromStdString(c.text());
    // The line is centred in the box; its ink must lie within the frame.
    const int frame = st.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e);
    const QRect inner = e->rect().adjusted(frame, frame, -frame, -frame);
    const int baseline = inner.y() + (inner.height() - fm.height() + 1) / 2 + fm.ascent();
    const QRect ink = fm.tightBoundingRect(f.text).translated(0, baseline);
    const bool within = ink.top() >= inner.top() && ink.bottom() <= inner.bottom();
    f = {f.text, fm.horizontalAdvance(f.text), lineEditRoom(*e), within ? 0 : ink.height(),
         inner.height()};
  } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    const QStyle::SubElement contents =
        qobject_cast<QPushButton*>(w) ? QStyle::SE_PushButtonContents
        : qobject_cast<QCheckBox*>(w) ? QStyle::SE_CheckBoxContents
                                      : QStyle::SE_RadioButtonContents;
    const QRect room = st.subElementRect(contents, &opt, b);
    const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
    f = {b->text(), fm.horizontalAdvance(b->text()) + icon, room.width(), fm.height(),
         room.height()};
  } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
    QStyleOptionGroupBox opt;
    opt.initFrom(g);
    opt.text = g->title();
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    opt.textAlignment = g->alignment();
    const QRect label = st.subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    f = {g->title(), label.right() + 1, g->width(), 0, 0};
  } else {
    return std::nullopt;
  }
  if (f.text.isEmpty()) return std::nullopt;
  return f;
}

// "control: what is wrong" for each visible text that is not read whole and readable.
std::vector<std::string> unreadable(PanelView& view, Panel& panel) {
  std::vector<std::string> out;
  const double least = view.font().pointSizeF() * 0.85 - 1e-9;
  std::unordered_map<QWidget*, const Control*> controls;
  for (Control& c : panel.all())
    if (QWidget* w = view.widgetOf(c)) controls[w] = &c;
  for (const Shown& s : paintOrder(view, namesOf(view, panel))) {
    const auto f = fitOf(s.w, *controls.at(s.w));
    if (!f) continue;
    const std::string what = s.name + " \"" + f->text.toStdString() + "\"";
    if (s.w->font().pointSizeF() < least)
      out.push_back(what + " in a font of " + std::to_string(s.w->font().pointSizeF()) + " pt");
    if (f->need <= f->room && f->needH <= f->roomH) continue;
    const QString tip = QTextDocumentFragment::fromHtml(s.w->toolTip()).toPlainText();
    if (kShortened.count(baseName(s.name)) && tip.simplified().contains(f->text.simplified()))
      continue;
    out.push_back(what + " needs " + std::to_string(f->need) + " x " + std::to_string(f->needH) +
                  ", has " + std::to_string(f->room) + " x " + std::to_string(f->roomH));
  }
  return out;
}

// At 95% (the window on a screen of 1366 x 768) up to 200%.
TEST_F(OverlapTest, EveryTextIsReadWholeAtEverySize) {
  auto look = [&](const std::string& when) {
    for (double scale : {0.95, 1.0, 1.25, 1.5, 2.0}) {
      desktop.mainView().setScale(scale);
      desktop.mainView().resize(QSize(1024, 768) * scale);
      desktop.refresh();
      EXPECT_EQ(joined(unreadable(desktop.mainView(), core.panel)), "")
          << when << ", at " << scale * 100 << "%";
    }
    desktop.mainView().setScale(1.0);
    desktop.mainView().resize(1024, 768);
  };
  look("at start");
  afterPreset(5);
  look("before the first orbit");
  // Three orbits, then paused with the body editor shown: 5 the averages, 25 the dates of
  // 1773, 80 Mars, 3 a side view, 71 Mercury.
  for (int preset : {5, 25, 80, 3, 71}) {
    afterPreset(preset, 3);
    look("after preset " + std::to_string(preset));
  }
  showSplash(core);
  desktop.refresh();
  ASSERT_NE(desktop.splashWindow(), nullptr);
  EXPECT_EQ(joined(unreadable(desktop.splashWindow()->view(), core.shell.splash)), "")
      << "the farewell window";
}

}  // namespace
}  // namespace orbits::qt
