#include "qt/budget_page.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "qt/picture_file.h"
#include "scenarios/presets.h"
#include "window/main_window.h"

namespace orbits::qt {

namespace {

using budget::BudgetResult;
using budget::Cause;
using budget::Row;

QString figure(double v, int decimals) {
  return std::isfinite(v) ? QString::number(v, 'f', decimals) : QString();
}

QString quantityText(const BudgetResult& r) {
  const QString planet = QString::fromStdString(r.scenario.planetName);
  return QString(
             "Rate of %1's longitude of perihelion in the J2000 ecliptic, arc-seconds per Julian "
             "century, from the exact perihelia of each run. Each cause is its run's rate less "
             "that of the Sun and %1 alone (%2\u2033/century: the integration step's own "
             "drift).")
      .arg(planet, figure(r.table.step.rate, 3));
}

int cores() { return int(std::max(1u, std::thread::hardware_concurrency())); }

}  // namespace

QChart* budgetChart(const BudgetResult& r) {
  auto* chart = new QChart;
  auto* measured = new QBarSet("measured");
  auto* classical = new QBarSet("classical");
  measured->setColor(QColor(200, 30, 30));
  classical->setColor(QColor(120, 120, 120));
  QStringList causes;
  // From the bottom up, so that the causes read from the top in the table's order.
  for (auto row = r.table.rows.rbegin(); row != r.table.rows.rend(); ++row) {
    if (row->cause == Cause::SumOfPlanets) continue;
    causes << QString::fromStdString(row->name);
    *measured << (std::isfinite(row->rate) ? row->rate : 0);
    *classical << (std::isfinite(row->classical) ? row->classical : 0);
  }
  auto* bars = new QHorizontalBarSeries;
  bars->append(measured);
  if (std::isfinite(budget::classicalShare(r.scenario.planet, Cause::AllPlanets)))
    bars->append(classical);
  else
    delete classical;
  chart->addSeries(bars);
  auto* names = new QBarCategoryAxis;
  names->append(causes);
  // Every cause named in full, also where the chart is only a few hundred pixels high.
  names->setTruncateLabels(false);
  chart->addAxis(names, Qt::AlignLeft);
  bars->attachAxis(names);
  auto* values = new QValueAxis;
  values->setTitleText("arc-seconds per Julian century");
  values->setLabelFormat("%.0f");
  chart->addAxis(values, Qt::AlignBottom);
  bars->attachAxis(values);
  values->applyNiceNumbers();
  chart->setTitle(QString("%1's perihelion from %2 over %3 years: the longitude's rate by cause")
                      .arg(QString::fromStdString(r.scenario.planetName),
                           QString::fromStdString(r.scenario.startDate))
                      .arg(r.years));
  chart->legend()->setAlignment(Qt::AlignRight);  // the height to the bars
  return chart;
}

std::string writeBudgetPicture(const BudgetResult& r, const std::string& path) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
    return "drawing charts needs the program's graphical setup";
  QChartView view(budgetChart(r));
  view.setRenderHint(QPainter::Antialiasing);
  view.setAttribute(Qt::WA_DontShowOnScreen);
  view.resize(1000, 640);
  view.show();
  QCoreApplication::processEvents();
  return saveWidgetPicture(view, QString::fromStdString(path), "Precession budget");
}

BudgetPage::BudgetPage(const MainWindow& core, QWidget* parent) : QWidget(parent), core_(core) {
  setObjectName("budgetPage");
  auto* column = new QVBoxLayout(this);
  auto* controls = new QHBoxLayout;
  preset_ = new QSpinBox;
  preset_->setRange(1, kPresetCount - 1);
  preset_->setValue(51);  // Mercury from 1900, the best of the three starts
  years_ = new QDoubleSpinBox;
  years_->setRange(0.1, budget::kMaxYears);
  years_->setDecimals(1);
  years_->setValue(100);
  years_->setSuffix(" years");
  start_ = new QPushButton("Start");
  cancel_ = new QPushButton("Cancel");
  cancel_->setEnabled(false);
  controls->addWidget(new QLabel("Preset"));
  controls->addWidget(preset_);
  controls->addWidget(new QLabel("Span"));
  controls->addWidget(years_);
  controls->addWidget(start_);
  controls->addWidget(cancel_);
  controls->addStretch();
  column->addLayout(controls);
  about_ = new QLabel;
  column->addWidget(about_);
  auto* going = new QHBoxLayout;
  progress_ = new QProgressBar;
  progress_->setRange(0, 1000);
  progress_->setValue(0);
  status_ = new QLabel;
  going->addWidget(progress_, 1);
  going->addWidget(status_, 1);
  column->addLayout(going);
  heading_ = new QLabel;
  heading_->setWordWrap(true);
  column->addWidget(heading_);
  table_ = new QTableWidget(0, 6);
  table_->setHorizontalHeaderLabels(
      {"Cause", "Measured, \u2033/century", "\u00b1", "Classical", "Difference", "Note"});
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  column->addWidget(table_, 2);
  chart_ = new QChartView(new QChart);
  chart_->setRenderHint(QPainter::Antialiasing);
  chart_->setMinimumHeight(300);
  column->addWidget(chart_, 3);

  connect(start_, &QPushButton::clicked, this, [this] { start(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { cancel(); });
  connect(preset_, &QSpinBox::valueChanged, this, [this] { describe(); });
  poll_.setInterval(kPollMillis);
  connect(&poll_, &QTimer::timeout, this, [this] { poll(); });
  describe();
}

BudgetPage::~BudgetPage() {
  if (control_) control_->cancel();
  if (worker_.joinable()) worker_.join();
}

int BudgetPage::runsAllowed() const {
  const bool screenRuns = core_.sim.runState == RunState::Bat;
  return std::max(1, cores() - (screenRuns ? 1 : 0));
}

void BudgetPage::describe() {
  budget::BudgetRequest request;
  request.preset = preset_->value();
  std::string error;
  const budget::Scenario sc = budget::probeScenario(request, error);
  if (!error.empty()) {
    about_->setText(
        QString::fromStdString("Preset " + std::to_string(request.preset) + ": " + error + "."));
    start_->setEnabled(false);
    return;
  }
  about_->setText(
      QString("%1 from %2 at %3 s per calculation: %4 runs, on %5 of this "
              "computer's cores (one less while a run is going on screen).")
          .arg(QString::fromStdString(sc.planetName), QString::fromStdString(sc.startDate))
          .arg(sc.stepSeconds)
          .arg(budget::planRuns(sc).size())
          .arg(cores()));
  start_->setEnabled(!running());
}

void BudgetPage::start() {
  if (running()) return;
  budget::BudgetRequest request;
  request.preset = preset_->value();
  request.years = years_->value();
  request.threads = cores();
  control_ = std::make_unique<budget::BudgetControl>();
  control_->allowRuns(runsAllowed());
  done_ = false;
  worker_ = std::thread([this, request] {
    outcome_ = budget::runBudget(request, *control_);
    done_ = true;
  });
  start_->setEnabled(false);
  cancel_->setEnabled(true);
  preset_->setEnabled(false);
  years_->setEnabled(false);
  progress_->setValue(0);
  status_->setText("Running");
  poll_.start();
}

void BudgetPage::cancel() {
  if (!running()) return;
  control_->cancel();
  finish();
}

void BudgetPage::poll() {
  if (!running()) return;
  control_->allowRuns(runsAllowed());
  progress_->setValue(int(std::lround(1000 * control_->progress())));
  status_->setText(control_->allowedRuns() < cores() ? "Running beside the run on screen"
                                                     : "Running on every core");
  if (done_) finish();
}

void BudgetPage::finish() {
  if (!running()) return;
  worker_.join();
  poll_.stop();
  start_->setEnabled(true);
  cancel_->setEnabled(false);
  preset_->setEnabled(true);
  years_->setEnabled(true);
  if (!outcome_.error.empty()) {
    status_->setText(QString::fromStdString("Not run: " + outcome_.error));
    return;
  }
  if (outcome_.cancelled) {
    status_->setText("Cancelled");
    return;
  }
  progress_->setValue(1000);
  status_->setText(
      QString("Done: %1 runs in %2 s").arg(outcome_.runs).arg(outcome_.wallSeconds, 0, 'f', 1));
  show(outcome_);
}

void BudgetPage::show(const BudgetResult& r) {
  shown_ = r;
  heading_->setText(quantityText(r));
  std::vector<Row> rows = r.table.rows;
  if (std::isfinite(r.table.observed)) {
    Row observed;
    observed.name = "observed (the real planet)";
    observed.classical = r.table.observed;
    rows.push_back(observed);
  }
  rows.push_back(r.table.step);
  table_->setRowCount(int(rows.size()));
  for (int i = 0; i < int(rows.size()); ++i) {
    const Row& row = rows[size_t(i)];
    QString note = QString::fromStdString(row.failure);
    if (note.isEmpty() && row.cause == Cause::Relativity)
      note = "theory for this orbit " + figure(r.scenario.relativityTheory, 3);
    if (note.isEmpty() && row.cause == Cause::Step) note = "the integration step's own drift";
    const QString cells[6] = {
        QString::fromStdString(row.name), figure(row.rate, 3),         figure(row.stderr, 3),
        figure(row.classical, 2),         figure(row.difference(), 3), note};
    for (int c = 0; c < 6; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      item->setTextAlignment((c == 0 || c == 5 ? Qt::AlignLeft : Qt::AlignRight) |
                             Qt::AlignVCenter);
      table_->setItem(i, c, item);
    }
  }
  QChart* old = chart_->chart();
  chart_->setChart(budgetChart(r));
  delete old;
}

}  // namespace orbits::qt
