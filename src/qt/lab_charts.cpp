#include "qt/lab_charts.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>

#include "analysis/lab_file.h"
#include "analysis/perihelia.h"
#include "physics/constants.h"
#include "qt/budget_page.h"
#include "qt/picture_file.h"
#include "sky/sky.h"
#include "text/date.h"
#include "window/main_window.h"

namespace orbits::qt {

namespace {

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
    view_->setMinimumSize(360, 260);
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
  S* series(const QString& name, QColor colour, QValueAxis* y = nullptr, int markerSize = 5) {
    auto* s = new S;
    s->setName(name);
    s->setColor(colour);
    if constexpr (std::is_same_v<S, QScatterSeries>) {
      // Drawn as one picture per point within the series' own painting: a marker item per
      // point would cost a graphics item for each of the thousands.
      s->setMarkerSize(markerSize);
      s->setBorderColor(colour);
      s->setLightMarker(dot(colour, markerSize));
    }
    chart_->addSeries(s);
    s->attachAxis(x_);
    s->attachAxis(y ? y : y_);
    return s;
  }
  static QImage dot(QColor colour, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(QRectF(0, 0, size, size));
    return image;
  }

  QChart* chart_;
  QChartView* view_;
  QValueAxis *x_, *y_;
};

double years(const MainWindow& w, double days) {
  return w.sim.siderealYearSecs > 0 ? days * kSecondsPerDay / w.sim.siderealYearSecs : 0;
}

// Up to so many points a line shows its points too (one orbit is seen while there is only one).
constexpr qsizetype kFewPoints = 64;

// What a chart draws of one quantity over the buckets of the series: each bucket's smallest and
// largest value, in the order they came (one point where they are one), so that a line runs
// through both the envelope and the wobble.
struct Points {
  QList<QPointF> list;
  Range xs, ys;

  template <typename X, typename Y>
  void take(const Extent& e, X x, Y y) {
    if (e.empty()) return;
    QPointF a(x(e.loX), y(e.lo)), b(x(e.hiX), y(e.hi));
    if (e.hiX < e.loX) std::swap(a, b);
    add(a);
    if (a != b) add(b);
  }
  void add(QPointF p) {
    list.append(p);
    xs.take(p.x()), ys.take(p.y());
  }
};

// A chart draws groups of neighbouring buckets, as many as its plot is wide in pixels, so that a
// drawing costs the same at any length of the run (the series has at most so many buckets) and
// holds no more points than it can show.
size_t groupFor(const QWidget* view, size_t buckets) {
  const size_t columns = size_t(std::max(64, view->width()));
  return std::max<size_t>(1, (buckets + columns - 1) / columns);
}

// One quantity's extremes over each group of buckets.
template <typename X, typename Y>
void collect(Points& p, const ThinnedSeries& s, size_t channel, size_t group, X x, Y y) {
  for (size_t i = 0; i < s.buckets.size(); i += group) {
    Extent e;
    for (size_t j = i; j < std::min(i + group, s.buckets.size()); ++j)
      e.merge(s.buckets[j].channels[channel]);
    p.take(e, x, y);
  }
}

template <typename S>
void show(S* series, const Points& p) {
  series->replace(p.list);
  if constexpr (std::is_same_v<S, QLineSeries>)
    if (series->pointsVisible() != (p.list.size() <= kFewPoints))
      series->setPointsVisible(p.list.size() <= kFewPoints);
}

// The perihelion direction per orbit against time, the line fitted to every exact perihelion,
// and the markers' angles beside it, as arc-seconds from the first exact perihelion. The
// direction is projected on the x-y plane (the ecliptic), as the markers take it.
class PerihelionChart : public XYChart {
 public:
  PerihelionChart() : XYChart("Perihelion direction", "years", "arcsec from the first perihelion") {
    exact_ = series<QScatterSeries>("exact perihelia", QColor(200, 30, 30));
    fit_ = series<QLineSeries>("fitted line", QColor(20, 20, 20));
    markers_ = series<QScatterSeries>("markers (whole cycles)", QColor(60, 120, 220), nullptr, 4);
  }
  void refresh(const MainWindow& w) override {
    const LabState& lab = w.lab;
    const double ref = lab.fit.n > 0 ? lab.firstPerihelion.angle : 0;
    auto x = [&w](double days) { return years(w, days); };
    auto y = [ref](double arcsec) { return arcsec - ref; };
    Points exact, marks, line;
    const size_t group = groupFor(view_, lab.series.buckets.size());
    collect(exact, lab.series, kChPerihelion, group, x, y);
    if (lab.fit.n > 0) collect(marks, lab.series, kChMarker, group, x, y);
    Range xs = exact.xs, ys = exact.ys;
    xs.take(marks.xs.lo), xs.take(marks.xs.hi), ys.take(marks.ys.lo), ys.take(marks.ys.hi);
    const PrecessionFit& f = lab.fit;
    if (f.ready() && xs.lo <= xs.hi) {
      for (double at : {xs.lo, xs.hi}) line.add({at, f.intercept() + f.slope() * at - ref});
      chart_->setTitle(QString("Perihelion direction on the x-y plane: %1 \u00b1 %2 arcsec/yr (%3 "
                               "perihelia)")
                           .arg(f.slope(), 0, 'f', 3)
                           .arg(f.slopeError(), 0, 'f', 3)
                           .arg(f.n));
    } else {
      chart_->setTitle("Perihelion direction (the rate needs three perihelia)");
    }
    show(exact_, exact);
    show(fit_, line);
    show(markers_, marks);
    xs.apply(x_);
    ys.apply(y_);
  }

 private:
  QScatterSeries *exact_, *markers_;
  QLineSeries* fit_;
};

// The value of a quantity at its earliest point in the series; NaN when it has none.
double earliest(const ThinnedSeries& s, size_t channel) {
  for (const SeriesBucket& b : s.buckets)
    if (const Extent& e = b.channels[channel]; !e.empty()) return e.loX <= e.hiX ? e.lo : e.hi;
  return NAN;
}

// The longitude of perihelion of the osculating orbit at each exact perihelion, in the J2000
// ecliptic, against Julian centuries, and the line fitted to every one, as arc-seconds from the
// first.
class LongitudeChart : public XYChart {
 public:
  LongitudeChart()
      : XYChart("Longitude of perihelion", "Julian centuries", "arcsec from the first perihelion") {
    points_ = series<QScatterSeries>("longitude of perihelion", QColor(150, 40, 160));
    fit_ = series<QLineSeries>("fitted line", QColor(20, 20, 20));
  }
  void refresh(const MainWindow& w) override {
    const LabState& lab = w.lab;
    // From the first perihelion's longitude; a lab restored from a file written before the
    // longitude was measured, from the first one measured.
    double ref = lab.fit.n > 0 ? lab.firstPerihelion.varpi : NAN;
    if (!std::isfinite(ref)) ref = earliest(lab.series, kChVarpi);
    auto x = [](double days) { return days / kDaysPerJulianCentury; };
    auto y = [ref](double arcsec) { return arcsec - ref; };
    Points points, line;
    collect(points, lab.series, kChVarpi, groupFor(view_, lab.series.buckets.size()), x, y);
    const PrecessionFit& f = lab.varpiFit;
    if (f.ready() && points.xs.lo <= points.xs.hi) {
      for (double at : {points.xs.lo, points.xs.hi})
        line.add({at, f.intercept() + f.slope() * at - ref});
      chart_->setTitle(
          QString("Longitude of perihelion (J2000 ecliptic): %1 \u00b1 %2 arcsec/century (%3 "
                  "perihelia)")
              .arg(f.slope(), 0, 'f', 3)
              .arg(f.slopeError(), 0, 'f', 3)
              .arg(f.n));
    } else {
      chart_->setTitle("Longitude of perihelion, J2000 ecliptic (the rate needs three perihelia)");
    }
    show(points_, points);
    show(fit_, line);
    points.xs.apply(x_);
    points.ys.apply(y_);
  }

 private:
  QScatterSeries* points_;
  QLineSeries* fit_;
};

// A per-orbit quantity against the orbit number. The first orbit, begun before the start, has
// none.
class OrbitChart : public XYChart {
 public:
  OrbitChart(const QString& title, const QString& yTitle, LabChannel channel, QColor colour)
      : XYChart(title, "orbit", yTitle), channel_(channel) {
    line_ = series<QLineSeries>(title, colour);
    chart_->legend()->hide();
  }
  void refresh(const MainWindow& w) override {
    Points p;
    const size_t group = groupFor(view_, w.lab.series.buckets.size());
    collect(p, w.lab.series, channel_, group, std::identity{}, std::identity{});
    show(line_, p);
    p.xs.apply(x_);
    p.ys.apply(y_);
  }

 private:
  LabChannel channel_;
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
    Points near, far;
    auto million = [](double km) { return km / 1e6; };
    const size_t group = groupFor(view_, w.lab.series.buckets.size());
    collect(near, w.lab.series, kChClosest, group, std::identity{}, million);
    collect(far, w.lab.series, kChFarthest, group, std::identity{}, million);
    show(closest_, near);
    show(farthest_, far);
    Range xs = near.xs;
    xs.take(far.xs.lo), xs.take(far.xs.hi);
    xs.apply(x_);
    near.ys.apply(y_);
    far.ys.apply(far_);
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
    auto x = [&w](double days) { return years(w, days); };
    const size_t group = groupFor(view_, w.lab.sky.buckets.size());
    for (int k = 1; k <= 8; ++k) {
      Points p;
      collect(p, w.lab.sky, kChSky + size_t(k) - 1, group, x, std::identity{});
      // The legend is laid out again only when a name or a planet's presence changes.
      const QString name = QString::fromStdString(w.sim.bodyName[size_t(k)]);
      if (planets_[k]->name() != name) planets_[k]->setName(name);
      show(planets_[k], p);
      // Planets without figures stay out of the legend.
      for (QLegendMarker* m : chart_->legend()->markers(planets_[k]))
        if (m->isVisible() != !p.list.isEmpty()) m->setVisible(!p.list.isEmpty());
      any = any || !p.list.isEmpty();
      xs.take(p.xs.lo), xs.take(p.xs.hi), ys.take(p.ys.lo), ys.take(p.ys.hi);
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
    box_->setMinimumSize(360, 260);
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
    if (w.scenario.presetIndex == 0) {
      heading_->setText("Against the real sky: no run yet");
      table_->setRowCount(0);
      return;
    }
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

// A chart beside a table, as one page.
class SidePage : public LabChart {
 public:
  SidePage(std::unique_ptr<LabChart> left, std::unique_ptr<LabChart> right)
      : left_(std::move(left)), right_(std::move(right)) {
    box_ = new QWidget;
    auto* row = new QHBoxLayout(box_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(left_->widget(), 3);
    row->addWidget(right_->widget(), 2);
  }
  QWidget* widget() override { return box_; }
  bool live() const override { return left_->live() || right_->live(); }
  bool wide() const override { return true; }
  void refresh(const MainWindow& w) override {
    left_->refresh(w);
    right_->refresh(w);
  }

 private:
  std::unique_ptr<LabChart> left_, right_;
  QWidget* box_;
};

}  // namespace

LabCharts::LabCharts(Layout layout, QWidget* parent) : QWidget(parent), layout_(layout) {
  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  if (layout == Layout::Tabs) {
    tabs_ = new QTabWidget;
    box->addWidget(tabs_);
    // A page out of view is drawn when it comes into view, if it missed records meanwhile.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) {
      if (core_ && i >= 0 && size_t(i) < pages_.size() &&
          (pages_[size_t(i)].drawn != core_->lab.revision || pages_[size_t(i)].chart->live()))
        draw(pages_[size_t(i)], *core_);
    });
  } else {
    grid_ = new QGridLayout;
    box->addLayout(grid_);
  }
  addPage("Perihelion", std::make_unique<PerihelionChart>());
  addPage("Longitude", std::make_unique<LongitudeChart>());
  addPage("Distance", std::make_unique<DistanceChart>());
  addPage("Period",
          std::make_unique<OrbitChart>("Period per orbit", "days", kChPeriod, QColor(30, 140, 60)));
  addPage("Movement error", std::make_unique<OrbitChart>("Largest movement error per orbit", "%",
                                                         kChMoveError, QColor(150, 80, 20)));
  addPage("Real sky", std::make_unique<SidePage>(std::make_unique<SkyAngleChart>(),
                                                 std::make_unique<SkyTable>()));
  setAutoFillBackground(true);
}

LabCharts::~LabCharts() = default;

void LabCharts::addPage(const QString& title, std::unique_ptr<LabChart> page) {
  QWidget* widget = page->widget();
  pages_.push_back({title, std::move(page)});
  if (tabs_) {
    tabs_->addTab(widget, title);
    return;
  }
  // Two pages a row, a wide one a row of its own; a page alone in its row spans it.
  const bool wide = pages_.back().chart->wide();
  if (gridColumn_ == 1 && !wide) {
    QLayoutItem* lone = grid_->itemAtPosition(gridRow_, 0);
    grid_->removeItem(lone);
    grid_->addItem(lone, gridRow_, 0);
    grid_->addWidget(widget, gridRow_++, 1);
    gridColumn_ = 0;
    return;
  }
  if (gridColumn_ == 1) ++gridRow_;
  grid_->addWidget(widget, gridRow_, 0, 1, 2);
  gridColumn_ = wide ? 0 : 1;
  if (wide) ++gridRow_;
}

void LabCharts::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  // Drawn again for the new width, once the pages have it.
  if (!core_) return;
  for (Page& page : pages_) page.drawn = ~uint64_t(0);
  QTimer::singleShot(0, this, [this] {
    if (core_ && isVisible()) refresh(*core_);
  });
}

bool LabCharts::onView(size_t page) const { return !tabs_ || tabs_->currentIndex() == int(page); }

void LabCharts::draw(Page& page, const MainWindow& w) {
  page.chart->refresh(w);
  page.drawn = w.lab.revision;
}

void LabCharts::refresh(const MainWindow& w, bool force) {
  core_ = &w;
  for (size_t i = 0; i < pages_.size(); ++i) {
    Page& page = pages_[i];
    if (force) page.drawn = ~uint64_t(0);
    if (onView(i) && (page.drawn != w.lab.revision || page.chart->live())) draw(page, w);
  }
}

std::string LabCharts::savePicture(const QString& path) {
  return saveWidgetPicture(*this, path, "Charts");
}

namespace {

constexpr const char* kGeometryKey = "chartsWindow/geometry";
constexpr const char* kFolderKey = "chartsWindow/folder";
constexpr QSize kPreferredSize(980, 700);
// Room for a window manager's frame and title bar.
constexpr int kFrameAllowance = 40;

// The precession budget as a page of the window: it runs and redraws on its own timer, never
// from the run on screen's records.
class BudgetTab : public LabChart {
 public:
  explicit BudgetTab(BudgetPage* page) : page_(page) {}
  QWidget* widget() override { return page_; }
  void refresh(const MainWindow&) override {}

 private:
  BudgetPage* page_;
};

}  // namespace

ChartsWindow::ChartsWindow(const MainWindow& core) : core_(core) {
  setWindowTitle("Charts");
  auto* column = new QVBoxLayout(this);
  auto* actions = new QHBoxLayout;
  auto* picture = new QPushButton("Save picture");
  auto* data = new QPushButton("Save data");
  actions->addWidget(picture);
  actions->addWidget(data);
  actions->addStretch();
  column->addLayout(actions);
  charts_ = new LabCharts(LabCharts::Layout::Tabs);
  budget_ = new BudgetPage(core);
  charts_->addPage("Budget", std::make_unique<BudgetTab>(budget_));
  column->addWidget(charts_, 1);
  connect(picture, &QPushButton::clicked, this, [this] { savePicture(); });
  connect(data, &QPushButton::clicked, this, [this] { saveData(); });
  // Redrawn from the records a few times a second at most, and only when they changed.
  redraw_.setInterval(kRedrawMillis);
  connect(&redraw_, &QTimer::timeout, this, [this] { redraw(); });
  resize(kPreferredSize);
}

void ChartsWindow::open() {
  if (!placed_) placeOnScreen();
  show();  // first, so that the charts are drawn for the width they have
  charts_->refresh(core_, true);
  raise();
  activateWindow();
  redraw_.start();
}

void ChartsWindow::redraw() {
  if (!isVisible()) return;
  QElapsedTimer took;
  took.start();
  charts_->refresh(core_);
  // A redraw that takes long comes less often, so that with its painting (about as long again)
  // it never takes more than a few percent of a run.
  const qint64 millis = took.elapsed();
  redraw_.setInterval(int(std::clamp<qint64>(kRedrawCost * millis, kRedrawMillis, 2000)));
}

void ChartsWindow::placeOnScreen() {
  placed_ = true;
  const bool restored = restoreGeometry(QSettings().value(kGeometryKey).toByteArray());
  // The screen it opens on: where it was, or that of the window it is opened from.
  QScreen* screen = restored ? QGuiApplication::screenAt(geometry().center()) : nullptr;
  if (!screen && QApplication::activeWindow()) screen = QApplication::activeWindow()->screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QRect room = area.adjusted(0, kFrameAllowance, 0, 0);
  if (restored && room.contains(geometry())) return;
  QSize size = restored ? this->size() : kPreferredSize;
  size = size.boundedTo(room.size()).expandedTo(minimumSizeHint().boundedTo(room.size()));
  resize(size);
  QRect r(QPoint(0, 0), size);
  r.moveCenter(room.center());
  move(r.topLeft());
}

void ChartsWindow::remember() {
  if (isVisible()) QSettings().setValue(kGeometryKey, saveGeometry());
}

void ChartsWindow::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  remember();
}

void ChartsWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  remember();
}

QString ChartsWindow::folder() const {
  const QString last = QSettings().value(kFolderKey).toString();
  if (!last.isEmpty() && QDir(last).exists()) return last;
  const QString data = QString::fromStdString(core_.host.dataDir());
  return QDir(data.isEmpty() ? QDir::currentPath() : data).absolutePath();
}

void ChartsWindow::savePicture() {
  // On the budget's page, once it has a table, its chart; else every page of the run, as the
  // runner's --plot draws them.
  const bool budget = budget_->isVisible() && budget_->result();
  QString path = QFileDialog::getSaveFileName(
      this, "Save picture", QDir(folder()).filePath(budget ? "budget.png" : "charts.png"),
      "PNG picture (*.png);;SVG drawing (*.svg)");
  if (path.isEmpty()) return;
  QSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
  if (!path.endsWith(".png", Qt::CaseInsensitive) && !path.endsWith(".svg", Qt::CaseInsensitive))
    path += ".png";
  if (const std::string why = budget ? writeBudgetPicture(*budget_->result(), path.toStdString())
                                     : writeChartsPicture(core_, path.toStdString());
      !why.empty())
    QMessageBox::warning(this, "Save picture", path + ": " + QString::fromStdString(why));
}

void ChartsWindow::saveData() {
  // On the budget's page, once it has a table, that table; else the series the charts draw.
  const bool budget = budget_->isVisible() && budget_->result();
  const QString path = QFileDialog::getSaveFileName(
      this, "Save data", QDir(folder()).filePath(budget ? "budget.csv" : "charts-data.csv"),
      "CSV (*.csv)");
  if (path.isEmpty()) return;
  QSettings().setValue(kFolderKey, QFileInfo(path).absolutePath());
  std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
  if (budget)
    budget::writeBudgetCsv(out, *budget_->result());
  else
    writeChartsCsv(core_.lab, out);
  out.close();
  if (!out) QMessageBox::warning(this, "Save data", path + ": the file could not be written");
}

std::string writeChartsPicture(const MainWindow& w, const std::string& path) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    return "drawing charts needs the program's graphical setup";
  LabCharts charts(LabCharts::Layout::Grid);
  charts.setAttribute(Qt::WA_DontShowOnScreen);
  charts.resize(1200, 1720);  // four rows of pages
  charts.show();
  charts.refresh(w, true);
  QCoreApplication::processEvents();
  return charts.savePicture(QString::fromStdString(path));
}

}  // namespace orbits::qt
