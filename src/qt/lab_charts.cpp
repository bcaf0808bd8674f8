#include "qt/lab_charts.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <fstream>

#include "analysis/lab_file.h"
#include "analysis/perihelia.h"
#include "qt/budget_page.h"
#include "qt/picture_file.h"
#include "sky/sky.h"
#include "text/date.h"
#include "window/main_window.h"

namespace orbits::qt {

namespace {

constexpr double kSecondsPerDay = 86400;

// The smallest and largest of a set of values, widened a little so no point sits on the frame.
struct Range {
  double lo = INFINITY, hi = -INFINITY;
  void take(double v) {
    if (std::isfinite(v)) lo = std::min(lo, v), hi = std::max(hi, v);
  }
  void apply(QValueAxis* axis) const {
    if (!(lo <= hi)) {
      axis->setRange(0, 1);
      return;
    }
    // A single value (one orbit so far) gets a range of a few percent around it, not one so
    // narrow that every label reads the same.
    const double pad = hi > lo ? (hi - lo) * 0.05 : lo != 0 ? std::fabs(lo) * 0.05 : 1;
    // Counts and times from zero do not reach below it.
    axis->setRange(lo >= 0 ? std::max(0.0, lo - pad) : lo - pad, hi + pad);
    axis->applyNiceNumbers();
  }
};

// A chart with one horizontal and one vertical value axis and its series.
class XYChart : public LabChart {
 public:
  XYChart(const QString& title, const QString& xTitle, const QString& yTitle) {
    chart_ = new QChart;
    chart_->setTitle(title);
    chart_->legend()->setAlignment(Qt::AlignBottom);
    x_ = axis(xTitle, Qt::AlignBottom);
    y_ = axis(yTitle, Qt::AlignLeft);
    view_ = new QChartView(chart_);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(360, 200);  // four rows of charts fit a 1024-pixel screen
  }
  QWidget* widget() override { return view_; }

 protected:
  QValueAxis* axis(const QString& title, Qt::Alignment where) {
    auto* a = new QValueAxis;
    a->setTitleText(title);
    a->setLabelFormat("%.6g");
    chart_->addAxis(a, where);
    return a;
  }
  template <typename S>
  S* series(const QString& name, QColor colour, QValueAxis* y = nullptr) {
    auto* s = new S;
    s->setName(name);
    s->setColor(colour);
    if constexpr (std::is_same_v<S, QScatterSeries>) {
      s->setMarkerSize(5);
      s->setBorderColor(colour);
    } else {
      s->setPointsVisible(true);  // one point per orbit, seen even while there is only one
    }
    chart_->addSeries(s);
    s->attachAxis(x_);
    s->attachAxis(y ? y : y_);
    return s;
  }

  QChart* chart_;
  QChartView* view_;
  QValueAxis *x_, *y_;
};

double years(const MainWindow& w, double days) {
  return w.sim.siderealYearSecs > 0 ? days * kSecondsPerDay / w.sim.siderealYearSecs : 0;
}

// The perihelion direction per orbit against time, the line fitted to it, and the markers'
// angles beside it, as arc-seconds from the first exact perihelion. The direction is projected
// on the x-y plane (the ecliptic), as the markers take it.
class PerihelionChart : public XYChart {
 public:
  PerihelionChart() : XYChart("Perihelion direction", "years", "arcsec from the first perihelion") {
    exact_ = series<QScatterSeries>("exact perihelia", QColor(200, 30, 30));
    fit_ = series<QLineSeries>("fitted line", QColor(20, 20, 20));
    markers_ = series<QScatterSeries>("markers (whole cycles)", QColor(60, 120, 220));
    markers_->setMarkerSize(4);
  }
  void refresh(const MainWindow& w) override {
    const LabState& lab = w.lab;
    QList<QPointF> exact, line, marks;
    Range xs, ys;
    const double ref = lab.perihelia.empty() ? 0 : lab.perihelia.front().angle;
    for (const ExactPerihelion& p : lab.perihelia) {
      exact.append({years(w, p.days), p.angle - ref});
      xs.take(exact.back().x()), ys.take(exact.back().y());
    }
    for (const OrbitRecord& r : lab.orbits) {
      if (r.markerAngle == 0 || lab.perihelia.empty()) continue;
      marks.append({years(w, r.days), unwrapArcsec(r.markerAngle, ref) - ref});
      xs.take(marks.back().x()), ys.take(marks.back().y());
    }
    const PrecessionFit& f = lab.fit;
    if (f.ready() && xs.lo <= xs.hi) {
      for (double x : {xs.lo, xs.hi}) line.append({x, f.intercept() + f.slope() * x - ref});
      chart_->setTitle(QString("Perihelion direction on the x-y plane: %1 \u00b1 %2 arcsec/yr (%3 "
                               "perihelia)")
                           .arg(f.slope(), 0, 'f', 3)
                           .arg(f.slopeError(), 0, 'f', 3)
                           .arg(lab.perihelia.size()));
    } else {
      chart_->setTitle("Perihelion direction (the rate needs three perihelia)");
    }
    exact_->replace(exact);
    fit_->replace(line);
    markers_->replace(marks);
    xs.apply(x_);
    ys.apply(y_);
  }

 private:
  QScatterSeries *exact_, *markers_;
  QLineSeries* fit_;
};

// The longitude of perihelion of the osculating orbit at each exact perihelion, in the J2000
// ecliptic, against Julian centuries, and the line fitted to it.
class LongitudeChart : public XYChart {
 public:
  LongitudeChart()
      : XYChart("Longitude of perihelion", "Julian centuries", "arcsec from the first perihelion") {
    points_ = series<QScatterSeries>("longitude of perihelion", QColor(150, 40, 160));
    fit_ = series<QLineSeries>("fitted line", QColor(20, 20, 20));
  }
  void refresh(const MainWindow& w) override {
    const LabState& lab = w.lab;
    QList<QPointF> points, line;
    Range xs, ys;
    double ref = NAN;
    for (const ExactPerihelion& p : lab.perihelia) {
      if (!std::isfinite(p.varpi)) continue;
      if (!std::isfinite(ref)) ref = p.varpi;
      points.append({p.days / kDaysPerJulianCentury, p.varpi - ref});
      xs.take(points.back().x()), ys.take(points.back().y());
    }
    const PrecessionFit& f = lab.varpiFit;
    if (f.ready() && xs.lo <= xs.hi) {
      for (double x : {xs.lo, xs.hi}) line.append({x, f.intercept() + f.slope() * x - ref});
      chart_->setTitle(
          QString("Longitude of perihelion (J2000 ecliptic): %1 \u00b1 %2 arcsec/century")
              .arg(f.slope(), 0, 'f', 3)
              .arg(f.slopeError(), 0, 'f', 3));
    } else {
      chart_->setTitle("Longitude of perihelion, J2000 ecliptic (the rate needs three perihelia)");
    }
    points_->replace(points);
    fit_->replace(line);
    xs.apply(x_);
    ys.apply(y_);
  }

 private:
  QScatterSeries* points_;
  QLineSeries* fit_;
};

// A per-orbit quantity against the orbit number. The first orbit, begun before the start, is
// left out.
class OrbitChart : public XYChart {
 public:
  using Value = double (*)(const OrbitRecord&);
  OrbitChart(const QString& title, const QString& yTitle, Value value, QColor colour)
      : XYChart(title, "orbit", yTitle), value_(value) {
    line_ = series<QLineSeries>(title, colour);
    chart_->legend()->hide();
  }
  void refresh(const MainWindow& w) override {
    QList<QPointF> points;
    Range xs, ys;
    for (const OrbitRecord& r : w.lab.orbits) {
      if (r.orbit < 1) continue;
      points.append({double(r.orbit), value_(r)});
      xs.take(points.back().x()), ys.take(points.back().y());
    }
    line_->replace(points);
    xs.apply(x_);
    ys.apply(y_);
  }

 private:
  Value value_;
  QLineSeries* line_;
};

// The closest and farthest distance per orbit, each on its own scale.
class DistanceChart : public XYChart {
 public:
  DistanceChart() : XYChart("Closest and farthest distance", "orbit", "closest, million km") {
    far_ = axis("farthest, million km", Qt::AlignRight);
    closest_ = series<QLineSeries>("closest", QColor(200, 30, 30));
    farthest_ = series<QLineSeries>("farthest", QColor(60, 120, 220), far_);
  }
  void refresh(const MainWindow& w) override {
    QList<QPointF> near, far;
    Range xs, ns, fs;
    for (const OrbitRecord& r : w.lab.orbits) {
      if (r.orbit < 1) continue;
      near.append({double(r.orbit), r.minKm / 1e6});
      far.append({double(r.orbit), r.maxKm / 1e6});
      xs.take(r.orbit), ns.take(near.back().y()), fs.take(far.back().y());
    }
    closest_->replace(near);
    farthest_->replace(far);
    xs.apply(x_);
    ns.apply(y_);
    fs.apply(far_);
  }

 private:
  QValueAxis* far_;
  QLineSeries *closest_, *farthest_;
};

// A colour for each planet, by body number, told apart on a white ground.
QColor planetColour(int body) {
  static const QColor colours[9] = {{0, 0, 0},      {120, 120, 120}, {200, 150, 20},
                                    {30, 100, 220}, {210, 50, 30},   {150, 90, 40},
                                    {190, 160, 90}, {40, 170, 170},  {90, 60, 200}};
  return colours[body];
}

// Each planet's angle against the real sky at the end of each orbit of the watched pair.
class SkyAngleChart : public XYChart {
 public:
  SkyAngleChart() : XYChart("Angle against the real sky", "years", "degrees") {
    for (int k = 1; k <= 8; ++k) planets_[k] = series<QLineSeries>("", planetColour(k));
    // Eight names fit beside the chart, not below it.
    chart_->legend()->setAlignment(Qt::AlignRight);
  }
  void refresh(const MainWindow& w) override {
    Range xs, ys;
    bool any = false;
    for (int k = 1; k <= 8; ++k) {
      QList<QPointF> points;
      for (const OrbitRecord& r : w.lab.orbits) {
        const double a = r.skyAngleDeg[size_t(k)];
        if (!std::isfinite(a)) continue;
        points.append({years(w, r.days), a});
        xs.take(points.back().x()), ys.take(a);
      }
      // The legend is laid out again only when a name or a planet's presence changes.
      const QString name = QString::fromStdString(w.sim.bodyName[size_t(k)]);
      if (planets_[k]->name() != name) planets_[k]->setName(name);
      planets_[k]->replace(points);
      // Planets without figures stay out of the legend.
      for (QLegendMarker* m : chart_->legend()->markers(planets_[k]))
        if (m->isVisible() != !points.isEmpty()) m->setVisible(!points.isEmpty());
      any = any || !points.isEmpty();
    }
    chart_->setTitle(any ? "Angle against the real sky, per orbit"
                         : "Angle against the real sky (the years 1000-3000 only)");
    if (ys.lo <= ys.hi) ys.lo = 0;
    xs.apply(x_);
    ys.apply(y_);
  }

 private:
  QLineSeries* planets_[9] = {};
};

// The planets against the real sky at the current date: angle and distance error.
class SkyTable : public LabChart {
 public:
  SkyTable() {
    box_ = new QWidget;
    box_->setObjectName("skyTable");
    auto* column = new QVBoxLayout(box_);
    heading_ = new QLabel;
    heading_->setWordWrap(true);
    table_ = new QTableWidget(0, 3);
    table_->setHorizontalHeaderLabels({"Planet", "Angle, degrees", "Distance error, %"});
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    column->addWidget(heading_);
    column->addWidget(table_, 1);
    box_->setMinimumSize(360, 200);  // four rows of charts fit a 1024-pixel screen
    // Dark text on white, as the charts beside it, whatever the desktop's colours.
    QPalette light = box_->palette();
    for (auto role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase})
      light.setColor(role, Qt::white);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      light.setColor(role, Qt::black);
    light.setColor(QPalette::Button, QColor(235, 235, 235));
    box_->setPalette(light);
    box_->setAutoFillBackground(true);
    table_->setAlternatingRowColors(true);
    light.setColor(QPalette::AlternateBase, QColor(244, 244, 248));
    table_->setPalette(light);
  }
  QWidget* widget() override { return box_; }
  bool live() const override { return true; }
  void refresh(const MainWindow& w) override {
    const sky::JulianDate jd = sky::simulatedDate(w.scenario, w.clock);
    const auto planets = sky::skyComparison(w);
    QString when;
    if (const auto instant = sky::calendarInstant(jd))
      when = QString::fromStdString(text::dateText(instant->date));
    if (!planets) {
      heading_->setText("Against the real sky: outside the years 1000-3000");
      table_->setRowCount(0);
      return;
    }
    heading_->setText("Against the real sky on " + when);
    table_->setRowCount(int(planets->size()));
    for (int row = 0; row < int(planets->size()); ++row) {
      const sky::PlanetSky& p = (*planets)[size_t(row)];
      set(row, 0, QString::fromStdString(p.name), Qt::AlignLeft);
      set(row, 1, QString::number(p.angleDeg, 'f', 4), Qt::AlignRight);
      set(row, 2, QString::number(p.distanceErrorPercent, 'f', 4), Qt::AlignRight);
    }
  }

 private:
  void set(int row, int col, const QString& text, Qt::Alignment align) {
    QTableWidgetItem* item = table_->item(row, col);
    if (!item) table_->setItem(row, col, item = new QTableWidgetItem);
    item->setText(text);
    item->setTextAlignment(align | Qt::AlignVCenter);
  }

  QWidget* box_;
  QLabel* heading_;
  QTableWidget* table_;
};

}  // namespace

LabCharts::LabCharts(QWidget* parent) : QWidget(parent) {
  charts_.push_back(std::make_unique<PerihelionChart>());
  charts_.push_back(std::make_unique<LongitudeChart>());
  charts_.push_back(std::make_unique<DistanceChart>());
  charts_.push_back(std::make_unique<OrbitChart>(
      "Period per orbit", "days", [](const OrbitRecord& r) { return r.periodDays; },
      QColor(30, 140, 60)));
  charts_.push_back(std::make_unique<OrbitChart>(
      "Largest movement error per orbit", "%", [](const OrbitRecord& r) { return r.maxErrPct; },
      QColor(150, 80, 20)));
  charts_.push_back(std::make_unique<SkyAngleChart>());
  charts_.push_back(std::make_unique<SkyTable>());
  auto* grid = new QGridLayout(this);
  for (size_t i = 0; i < charts_.size(); ++i)
    grid->addWidget(charts_[i]->widget(), int(i / 2), int(i % 2));
  setAutoFillBackground(true);
}

LabCharts::~LabCharts() = default;

void LabCharts::refresh(const MainWindow& w, bool force) {
  const bool changed = force || w.lab.revision != seen_;
  seen_ = w.lab.revision;
  for (auto& c : charts_)
    if (changed || c->live()) c->refresh(w);
}

std::string LabCharts::savePicture(const QString& path) {
  return saveWidgetPicture(*this, path, "Charts");
}

ChartsWindow::ChartsWindow(const MainWindow& core) : core_(core) {
  setWindowTitle("Charts");
  // The charts of the run on screen on one page, the precession budget on another.
  auto* pages = new QTabWidget;
  (new QVBoxLayout(this))->addWidget(pages);
  auto* measured = new QWidget;
  auto* column = new QVBoxLayout(measured);
  auto* actions = new QHBoxLayout;
  auto* picture = new QPushButton("Save picture");
  auto* data = new QPushButton("Save data");
  actions->addWidget(picture);
  actions->addWidget(data);
  actions->addStretch();
  column->addLayout(actions);
  charts_ = new LabCharts;
  column->addWidget(charts_, 1);
  pages->addTab(measured, "Charts");
  pages->addTab(new BudgetPage(core), "Budget");
  connect(picture, &QPushButton::clicked, this, [this] { savePicture(); });
  connect(data, &QPushButton::clicked, this, [this] { saveData(); });
  // Redrawn from the records a few times a second at most, and only when they changed.
  redraw_.setInterval(kRedrawMillis);
  connect(&redraw_, &QTimer::timeout, this, [this] {
    if (isVisible()) charts_->refresh(core_);
  });
  resize(1000, 960);
}

void ChartsWindow::open() {
  charts_->refresh(core_, true);
  show();
  raise();
  activateWindow();
  redraw_.start();
}

void ChartsWindow::savePicture() {
  QString path = QFileDialog::getSaveFileName(this, "Save picture", "charts.png",
                                              "PNG picture (*.png);;SVG drawing (*.svg)");
  if (path.isEmpty()) return;
  if (!path.endsWith(".png", Qt::CaseInsensitive) && !path.endsWith(".svg", Qt::CaseInsensitive))
    path += ".png";
  charts_->refresh(core_, true);
  if (const std::string why = charts_->savePicture(path); !why.empty())
    QMessageBox::warning(this, "Save picture", path + ": " + QString::fromStdString(why));
}

void ChartsWindow::saveData() {
  QString path = QFileDialog::getSaveFileName(this, "Save data", "orbit-series.csv", "CSV (*.csv)");
  if (path.isEmpty()) return;
  std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
  writeSeriesCsv(core_.lab, out);
  out.close();
  if (!out) QMessageBox::warning(this, "Save data", path + ": the file could not be written");
}

std::string writeChartsPicture(const MainWindow& w, const std::string& path) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    return "drawing charts needs the program's graphical setup";
  LabCharts charts;
  charts.setAttribute(Qt::WA_DontShowOnScreen);
  charts.resize(1200, 1290);
  charts.show();
  charts.refresh(w, true);
  QCoreApplication::processEvents();
  return charts.savePicture(QString::fromStdString(path));
}

}  // namespace orbits::qt
