#include "qt/lab_charts.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include "analysis/perihelia.h"
#include "window/main_window.h"
#include "qt/qt_host.h"

namespace orbits::qt {
namespace {

// A run's records drawn without a display: the SVG is a well-formed drawing and the PNG a
// picture of the charts' size.
TEST(LabCharts, PicturesAreWellFormed) {
  QTemporaryDir dir;
  QtHost host(dir.path().toStdString());
  MainWindow core(host);
  for (int k = 0; k < 5; ++k) {
    ExactPerihelion p;
    p.orbit = k, p.cycle = 1000.5 * k, p.days = 88.0 * k, p.angle = 600000 + 0.5 * k;
    addPerihelion(core.lab, p, core.sim.siderealYearSecs);
    OrbitRecord r;
    r.orbit = k, r.cycle = 1000.0 * k, r.days = 88.0 * k + 10, r.periodDays = 87.97;
    r.minKm = 4.6e7, r.maxKm = 6.98e7, r.markerAngle = 600010, r.maxErrPct = 1e-6;
    core.lab.orbits.push_back(r);
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
  EXPECT_EQ(image.size(), QSize(1200, 860));
}

// The main window's "Charts" button opens the window through the host; closing it leaves the run.
TEST(LabCharts, TheChartsButtonOpensTheWindow) {
  QTemporaryDir dir;
  QtHost host(dir.path().toStdString());
  MainWindow core(host);
  ChartsWindow charts(core);
  host.setChartsOpener([&charts] { charts.open(); });
  core.c("CDcharts").press();
  EXPECT_TRUE(charts.isVisible());
  EXPECT_EQ(charts.windowTitle(), "Charts");
}

}  // namespace
}  // namespace orbits::qt
