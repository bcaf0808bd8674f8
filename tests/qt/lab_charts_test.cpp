#include "qt/lab_charts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "analysis/perihelia.h"
#include "panel/wired_window.h"
#include "qt/qt_host.h"
#include "window/main_window.h"

namespace orbits::qt {
namespace {

// A run's records drawn without a display: the SVG is a well-formed drawing and the PNG a
// picture of the charts' size.
TEST(LabCharts, PicturesAreWellFormed) {
  QTemporaryDir dir;
  QtHost host(dir.path().toStdString());
  WiredWindow core(host);
  for (int k = 0; k < 5; ++k) {
    ExactPerihelion p;
    p.orbit = k, p.cycle = 1000.5 * k, p.days = 88.0 * k, p.angle = 600000 + 0.5 * k;
    addPerihelion(core.lab, p, core.sim.siderealYearSecs);
    OrbitRecord r;
    r.orbit = k, r.cycle = 1000.0 * k, r.days = 88.0 * k + 10, r.periodDays = 87.97;
    r.minKm = 4.6e7, r.maxKm = 6.98e7, r.markerAngle = 600010, r.maxErrPct = 1e-6;
    addOrbitRecord(core.lab, r);
  }
  const QString svg = dir.filePath("charts.svg"), png = dir.filePath("charts.png");
  ASSERT_EQ(writeChartsPicture(core, svg.toStdString()), "");
  QFile file(svg);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  int elements = 0;
  QString root;
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement && elements++ == 0)
      root = xml.name().toString();
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(root, "svg");
  EXPECT_GT(elements, 50);

  ASSERT_EQ(writeChartsPicture(core, png.toStdString()), "");
  const QImage image(png);
  EXPECT_EQ(image.size(), QSize(1200, 1720));
}

// The main window's "Charts" button opens the window through the host; closing it leaves the run.
TEST(LabCharts, TheChartsButtonOpensTheWindow) {
  QTemporaryDir dir;
  QtHost host(dir.path().toStdString());
  WiredWindow core(host);
  ChartsWindow charts(core);
  host.setChartsOpener([&charts] { charts.open(); });
  core.c("CDcharts").press();
  EXPECT_TRUE(charts.isVisible());
  EXPECT_EQ(charts.windowTitle(), "Charts");
}

// The tab of the real sky's page.
int skyPage(const QTabWidget& pages) {
  for (int i = 0; i < pages.count(); ++i)
    if (pages.tabText(i) == "Real sky") return i;
  return -1;
}

// The window fits the smallest common screen (1366 x 768, less a panel and the window's frame),
// and before any run its sky table says there is none yet.
TEST(LabCharts, TheWindowFitsASmallScreenAndSaysWhenThereIsNoRunYet) {
  QTemporaryDir dir;
  QtHost host(dir.path().toStdString());
  WiredWindow core(host);
  ChartsWindow charts(core);
  charts.open();
  EXPECT_LE(charts.minimumSizeHint().width(), 1366);
  EXPECT_LE(charts.minimumSizeHint().height(), 768 - 100);
  auto* pages = charts.findChild<QTabWidget*>();
  ASSERT_TRUE(pages);
  pages->setCurrentIndex(skyPage(*pages));
  auto* sky = charts.findChild<QWidget*>("skyTable");
  ASSERT_TRUE(sky);
  EXPECT_EQ(sky->findChild<QLabel*>()->text(), "Against the real sky: no run yet");
}

// Runs until the watched pair has completed two orbits, then presses Stop.
struct TwoOrbitsHost : Host {
  QTemporaryDir dir;
  MainWindow* core = nullptr;
  void yield() override {
    if (core && core->sim.orbitCount >= 2 && core->sim.runState == RunState::Bat)
      core->c("CDstop").press();
  }
  void messageBox(const std::string&, const std::string&, MessageIcon) override {}
  bool openAddress(const std::string&) override { return true; }
  text::DateTime now() override { return {text::Date::fromYmd(2024, 1, 1), 12, 0, 0}; }
  void quit() override {}
  std::string dataDir() override { return dir.path().toStdString(); }
};

// After a short run the sky table lists every planet at the current date and the sky chart has
// each planet's angle per orbit; outside the theory's years the table says so and is empty.
TEST(LabCharts, TheSkyTableAndChartFollowTheRun) {
  TwoOrbitsHost host;
  WiredWindow core(host);
  host.core = &core;
  ChartsWindow charts(core);
  core.c("CDp", 1).press();  // Mercury, 1940
  charts.open();
  auto* pages = charts.findChild<QTabWidget*>();
  ASSERT_TRUE(pages);
  pages->setCurrentIndex(skyPage(*pages));
  auto* sky = charts.findChild<QWidget*>("skyTable");
  ASSERT_TRUE(sky);
  auto* table = sky->findChild<QTableWidget*>();
  ASSERT_TRUE(table);
  ASSERT_EQ(table->rowCount(), 8);
  EXPECT_EQ(table->item(0, 0)->text().toStdString(), core.sim.bodyName[1]);
  EXPECT_LT(table->item(0, 1)->text().toDouble(), 0.1);
  int plotted = 0;
  for (auto* view : charts.findChildren<QChartView*>())
    for (auto* series : view->chart()->series())
      if (auto* line = qobject_cast<QLineSeries*>(series);
          line && line->name() == QString::fromStdString(core.sim.bodyName[1]))
        plotted = int(line->count());
  EXPECT_GE(plotted, 2);

  ASSERT_TRUE(QDir().mkpath(ORBITS_SCREENSHOT_DIR));
  QApplication::processEvents();
  EXPECT_TRUE(charts.grab().save(QString(ORBITS_SCREENSHOT_DIR) + "/charts-window.png"));

  core.scenario.startDate = text::Date::fromYmd(3001, 1, 1);
  charts.open();
  EXPECT_EQ(table->rowCount(), 0);
  EXPECT_TRUE(sky->findChild<QLabel*>()->text().contains("outside the years 1000-3000"));
}

}  // namespace
}  // namespace orbits::qt
