#include "panel/panel_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "form/surface.h"

namespace orbits {
namespace {

constexpr int kWinW = 1024 * kUnitsPerPixel, kWinH = 768 * kUnitsPerPixel;

struct Built {
  Panel p;
  Built() { buildPanel(p); }
};

struct Abs {
  int left, top, right, bottom;
};

// Place in window units: the control's own offset plus those of its containers.
Abs absolute(Panel& p, const Control& c) {
  int x = c.left(), y = c.top();
  for (std::string in = c.container(); !in.empty();) {
    Control& f = p.at(in);
    x += f.left();
    y += f.top();
    in = f.container();
  }
  return {x, y, x + c.width(), y + c.height()};
}

// Shown when the window opens: visible itself and inside visible frames.
bool shown(Panel& p, const Control& c) {
  if (!c.visible()) return false;
  for (std::string in = c.container(); !in.empty(); in = p.at(in).container())
    if (!p.at(in).visible()) return false;
  return true;
}

TEST(PanelTable, EveryControlHasItsCaptionAndTip) {
  Built b;
  auto& p = b.p;
  struct Expect {
    const char* ref;
    const char* text;
    const char* tip;
  };
  const Expect expect[] = {
      {"Label7", "Select Scenario:", "Default 1940"},
      {"LaChirp(0)", "Optimum screen size 1024 x 768", ""},
      {"LaChirp(1)", "Scenario information may appear here.", ""},
      {"Label10(22)", "/ 20 orb avg      >spd", ""},
      {"Label10(19)", "Jupiter 77orb   ", ""},
      {"CDcon", "Load Previous Data",
       "Load then click 'Continue'. (You can pick up from where you left off last time.)"},
      {"ChorbSave", "Save orbital data",
       "Save algorithm data at end of each orbit. Select 'Load Previous Data', then 'Continue' for "
       "multiple "
       "sessions of one scenario. Program data in files \"orbit-save.txt\" and \"orbit-pp.txt\""},
      {"ChThor", "orb file",
       "See \"orb.txt\" file containing only individual perihelion angles per earth-year, and "
       "orbit #. (Easy to "
       "extract this file to a graph)"},
      {"Command3", "wwwebsite help files and discussion article", "^ Go to the website ^"},
      {"OpCl(2)", "Clear every                  seconds", ""},
      {"OpDist(0)", "1 px = 15km", ""},
      {"OpDist(11)", "1 px = 3kkm", ""},
      {"OpDist(16)", "1 px = 300mkm", ""},
      {"Optime(9)", "1s = 4mo", "1: 10 million "},
      {"Optime(10)", "1 user sec = 3 years", "1: 100 million - this will murder mercury's orbit"},
      {"Optime(18)", "18", ""},
      {"Chuser", "Scenario Time (user)",
       "Current selected time-scale will overide scenario time, if this is ticked by user.  {USE "
       "WITH CAUTION}"},
      {"Label8(7)", "Max err %",
       "The movement error % is proportional to the movement and the distance between the pair "
       "(per unit of "
       "time). Slowing the time rate improves the error margin."},
      {"TXtimErr(2)", "0", ""},
      {"OptimT(5)", "", "Turbo Time with minimal detail"},
      {"LaPlanet", "Planet: No complete orbits yet", ""},
      {"CheckZero", "Check1",
       "Ignore orbit ZERO as it is incomplete when calculating average duration of orbit."},
      {"TXstartdate", "0000/00/00", ""},
      {"LaWatch", "Recent",
       "Most recent info udated on: (Click here fore current date in process)"},
      {"TXvolight(8)", "0", ""},
      {"LabMA(4)", "x", ""},
      {"Label9",
       "Detail surpressed due to Turbo Time. To reveal velocities: alter the turbo-time option "
       "(bottom right)",
       ""},
      {"LaDrift(9)", "8", ""},
      {"LaDrift(10)", "1", ""},
      {"LaDrift(16)", "7", ""},
      {"LaDrift(0)", "0", ""},
      {"TXmarker", "1",
       "Marker of Perihelion (change this using scroll-bar below). Any of the Perihelion changes "
       "can be the "
       "Marker."},
      {"LaAnnum", "arcsec  dif:  current  -  marker", ""},
      {"ChAfile", "APP", "APP = Average Perihelion Precession to file: data-drift.txt "},
      {"TXpersephone", "~~", "Numer of times that Perihelion has moved"},
      {"TXTp(4)", "123456789", "Gravity of Planet"},
      {"TXTp(6)", "0", "Vertical Position"},
      {"Label6(6)", "Zv", ""},
      {"LabTab", "Tip: Hit TAB after making changes to the numbers in the textboxes ", ""},
      {"opGee(4)", "Option1", "Horizon Ephemeris 2018AD"},
      {"TXgexp", "2", "Gravitational Exponent:   g=m/r^[?]  Normally = 2"},
      {"Frame7", "G", "Gravitational Constant (effected at start of each scenario)"},
      {"TXTgravity", "6.67", "Gravitational Constant (effected at start of each scenario)"},
      {"Command5", "X", ""},
      {"CHproximity", "Proximity Pause", "Pause if planets are too close. (See amount above)"},
      {"TXyearLeap", "0", "Proximity limit (can be altered)"},
      {"Frame5", "Aphelion Markers - Extreme max dist.", ""},
      {"FraTime", "",
       "Increasing the time scale causes large margins of error; or in extremes, even overflow "
       "errors"},
      {"Label1", "", ""},
  };
  for (const Expect& e : expect) {
    SCOPED_TRACE(e.ref);
    Control* c = p.findRef(e.ref);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->text(), e.text);
    EXPECT_EQ(c->tooltip(), e.tip);
  }
}

TEST(PanelTable, PresetButtonsCarryTheirIndexAndOnlyTheUnofferedAreHidden) {
  Built b;
  const std::set<int> hidden = {0, 47, 48, 60, 67, 68, 69, 70, 73, 74, 75, 76, 77, 79};
  auto members = b.p.members("CDp");
  ASSERT_EQ(members.size(), 84u);
  for (Control* c : members) {
    SCOPED_TRACE(c->ref());
    EXPECT_EQ(c->text(), std::to_string(c->index()));
    EXPECT_EQ(c->tooltip(), "Preset Parameters");
    EXPECT_EQ(c->visible(), !hidden.count(c->index()));
    int h = c->index() == 57                                             ? 23
            : (c->index() == 71 || c->index() == 72 || c->index() == 78) ? 16
                                                                         : 24;
    EXPECT_EQ(c->width(), 26 * kUnitsPerPixel);
    EXPECT_EQ(c->height(), h * kUnitsPerPixel);
  }
}

TEST(PanelTable, DesignTimeStateBeforeAnyScenario) {
  Built b;
  auto& p = b.p;
  for (const char* run : {"Command2", "CDstop", "CDcont"}) EXPECT_FALSE(p(run).visible()) << run;
  for (Control* c : p.members("OpDist")) EXPECT_FALSE(c->selected()) << c->ref();
  for (Control* c : p.members("Optime")) EXPECT_FALSE(c->selected()) << c->ref();
  EXPECT_TRUE(p("OpCl", 0).selected());
  EXPECT_FALSE(p("OpCl", 1).selected());
  EXPECT_FALSE(p("OpCl", 2).selected());

  // Hidden and disabled controls keep their values.
  EXPECT_FALSE(p("TXn").visible());
  EXPECT_EQ(p("TXn").text(), "8");
  EXPECT_FALSE(p("CheckZero").enabled());
  EXPECT_TRUE(p("CheckZero").checked());
  EXPECT_EQ(p("Chon").value(), 2);
  EXPECT_FALSE(p("Chon").visible());

  for (const char* on : {"ChorbSave", "Chend", "CHquick", "Chalt", "Chsunny", "ChLR", "ChReset",
                         "Chender", "Chfiti", "ChNY", "Chdate", "ChMinMax", "CHfile", "ChStore",
                         "ChDraw", "ChAfile", "ChThor", "CHproximity"})
    EXPECT_EQ(p(on).value(), 1) << on;
  for (const char* off :
       {"ChZAxis", "ChZX", "Chuser", "ChNum", "ChAPE", "ChAvg", "ChEach", "ChSnap", "ChAAuto"})
    EXPECT_EQ(p(off).value(), 0) << off;

  EXPECT_TRUE(p("TXlatest").locked());
  EXPECT_TRUE(p("TXTOden").locked());
  EXPECT_FALSE(p("TXender").locked());
  EXPECT_FALSE(p("TXproximity").locked());

  EXPECT_EQ(p("TimTalk").interval(), 1000);
  EXPECT_TRUE(p("TimTalk").enabled());
  EXPECT_EQ(p("Tiball").interval(), 1000);
  EXPECT_FALSE(p("Tiball").enabled());
  EXPECT_EQ(p("TiF").interval(), 500);
  EXPECT_FALSE(p("TiF").enabled());

  Control& theta = p("HStheta");
  EXPECT_EQ(std::make_pair(theta.min(), theta.max()), std::make_pair(1, 9999));
  EXPECT_EQ(theta.value(), 2);
  EXPECT_EQ(theta.largeChange(), 100);
  EXPECT_EQ(p("Qui").value(), 1);
  EXPECT_EQ(p("Hsp", 1).smallChange(), 15);
  EXPECT_EQ(p("HSbeta").max(), 8);
  EXPECT_EQ(p("HSbeta").value(), 1);

  for (const char* f : {"Frame4", "FraTi", "FraYear", "FraNo", "FraMil", "FrameDark", "Frame2"})
    EXPECT_TRUE(p(f).borderless()) << f;
  EXPECT_EQ(p("CDrepair").backColor(), rgb(80, 112, 112));
  EXPECT_FALSE(p("CDrepair").visible());
  for (const char* view : {"PiZZ", "PiZX"}) {
    ASSERT_NE(p(view).surface(), nullptr);
    EXPECT_EQ(p(view).surface()->background(), rgb(8, 16, 20)) << view;  // dark blue-green
    EXPECT_EQ(p(view).surface()->widthPx() * kUnitsPerPixel, p(view).width()) << view;
  }
  EXPECT_FALSE(p("PiZX").visible());
}

TEST(PanelTable, TextBoxesCutTypingToTheirMaximumLength) {
  Built b;
  b.p("TXref").typeText("12345");
  EXPECT_EQ(b.p("TXref").text(), "123");
  b.p("TXmarker").typeText("123456");
  EXPECT_EQ(b.p("TXmarker").text(), "1234");
  b.p("TXtheta").typeText("9");  // read-only
  EXPECT_EQ(b.p("TXtheta").text(), "~");
}

TEST(PanelTable, FramesStandWhereTheLayoutPutsThem) {
  Built b;
  struct F {
    const char* name;
    int x, y, w, h;
  };
  const F frames[] = {{"FrameRing", 0, 160, 137, 413}, {"Fra12", 0, 592, 137, 169},
                      {"Frame4", 2, 108, 137, 53},     {"ImMoon", 188, 112, 640, 436},
                      {"PiZZ", 608, 80, 139, 473},     {"FraDrift", 144, 624, 145, 137},
                      {"FraDist", 296, 624, 201, 137}, {"FraTime", 504, 624, 329, 137},
                      {"FraDate", 712, 624, 129, 137}, {"Frame3", 840, 624, 181, 137},
                      {"FrameBGI", 840, 40, 97, 47},   {"Frame7", 936, 40, 85, 47},
                      {"Frame6", 840, 152, 181, 243},  {"Frame5", 840, 396, 181, 49},
                      {"Frame9", 840, 448, 181, 177},  {"PiZX", 992, 728, 697, 137}};
  for (const F& f : frames) {
    Control& c = b.p(f.name);
    EXPECT_EQ(c.container(), "") << f.name;
    EXPECT_EQ(c.left(), f.x * kUnitsPerPixel) << f.name;
    EXPECT_EQ(c.top(), f.y * kUnitsPerPixel) << f.name;
    EXPECT_EQ(c.width(), f.w * kUnitsPerPixel) << f.name;
    EXPECT_EQ(c.height(), f.h * kUnitsPerPixel) << f.name;
  }
}

TEST(PanelTable, EveryShownControlLiesInsideTheWindowAndItsFrame) {
  Built b;
  auto& p = b.p;
  for (Control& c : p.all()) {
    if (c.kind() == Kind::Timer || !shown(p, c)) continue;
    SCOPED_TRACE(c.ref());
    EXPECT_GT(c.width(), 0);
    EXPECT_GT(c.height(), 0);
    Abs a = absolute(p, c);
    EXPECT_GE(a.left, 0);
    EXPECT_GE(a.top, 0);
    EXPECT_LE(a.right, kWinW);
    EXPECT_LE(a.bottom, kWinH);
    if (!c.container().empty()) {
      Control& f = p.at(c.container());
      EXPECT_GE(c.left(), 0);
      EXPECT_GE(c.top(), 0);
      EXPECT_LE(c.left() + c.width(), f.width());
      EXPECT_LE(c.top() + c.height(), f.height());
    }
  }
  // FraDate lies over the right end of FraTime: nothing of FraTime may hide under it.
  int covered = p("FraDate").left() - p("FraTime").left();
  for (Control& c : p.all()) {
    if (c.container() == "FraTime" && c.visible()) {
      EXPECT_LE(c.left() + c.width(), covered) << c.ref();
    }
  }
}

// Pairs of shown controls that deliberately share space.
bool stackedByDesign(const std::string& a, const std::string& b) {
  auto is = [&](const char* x, const char* y) { return (a == x && b == y) || (a == y && b == x); };
  // The start-up picture fills the viewing area behind the side view, the pictures and the
  // preset buttons around its edge; it is hidden once a scenario runs.
  if (a == "ImMoon" || b == "ImMoon") return true;
  // The clearing interval is typed into the blank of the "Clear every ... seconds" caption.
  if (is("OpCl(2)", "TXref")) return true;
  // "No complete orbits yet" covers the period figures until two orbits are complete.
  if (is("FraYear", "FraNo")) return true;
  // The dates frame lies over the right end of the time frame, which its options leave free.
  if (is("FraTime", "FraDate")) return true;
  // Neighbouring frames of the layout share their border pixel.
  if (is("Frame4", "FrameRing") || is("FrameBGI", "Frame7") || is("Frame9", "Frame3") ||
      is("FraDate", "Frame3") || is("Frame9", "FraDate"))
    return true;
  return false;
}

TEST(PanelTable, NoTwoShownControlsOfOneContainerOverlap) {
  Built b;
  auto& p = b.p;
  std::vector<Control*> shownControls;
  for (Control& c : p.all())
    if (c.kind() != Kind::Timer && shown(p, c)) shownControls.push_back(&c);
  for (size_t i = 0; i < shownControls.size(); ++i)
    for (size_t j = i + 1; j < shownControls.size(); ++j) {
      Control& a = *shownControls[i];
      Control& c = *shownControls[j];
      if (a.container() != c.container()) continue;
      bool overlap = a.left() < c.left() + c.width() && c.left() < a.left() + a.width() &&
                     a.top() < c.top() + c.height() && c.top() < a.top() + a.height();
      if (overlap && !stackedByDesign(a.ref(), c.ref()))
        ADD_FAILURE() << a.ref() << " overlaps " << c.ref();
    }
}

TEST(PanelTable, PresetsStandUnderTheirHeadingsInTheirColumns) {
  Built b;
  auto& p = b.p;
  auto x = [&](int n) { return p("CDp", n).left() / kUnitsPerPixel; };
  auto y = [&](int n) { return p("CDp", n).top() / kUnitsPerPixel; };
  for (int n : {1, 8, 21, 28}) EXPECT_EQ(x(n), 140) << n;
  for (int n : {11, 18, 31, 38}) EXPECT_EQ(x(n), 166) << n;
  for (int n : {51, 54}) EXPECT_EQ(x(n), 784) << n;
  for (int n : {55, 58}) EXPECT_EQ(x(n), 813) << n;
  for (int n : {71, 72, 78, 29, 39, 20, 30, 40}) EXPECT_EQ(y(n), 536) << n;
  for (int n : {80, 83, 41, 46, 49, 50, 61, 66}) EXPECT_EQ(y(n), 576) << n;
  // Within a group the buttons run in index order, left to right or top to bottom.
  EXPECT_LT(y(1), y(2));
  EXPECT_LT(y(21), y(28));
  EXPECT_LT(x(41), x(46));
  // Each group's heading stands above its first button.
  auto heading = [&](int label, int n) {
    Control& h = p("Label10", label);
    EXPECT_LE(h.top() + h.height(), p("CDp", n).top()) << label;
    EXPECT_LE(h.left(), p("CDp", n).left()) << label;
  };
  heading(17, 1);
  heading(9, 1);
  heading(16, 21);
  heading(20, 71);
  heading(19, 29);
  heading(22, 20);
  heading(23, 80);
  heading(1, 41);
  heading(21, 49);
  heading(3, 51);
}

}  // namespace
}  // namespace orbits
