#pragma once
// The "Budget" page of the Charts window: the precession budget of a preset's planet, run in the
// background on the cores the run on screen leaves free, and shown as a table and a bar chart
// against the classical values. The runs are windows of the core of their own; the run on
// screen is never touched.
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "budget/budget.h"

class QChart;
class QChartView;
class QDoubleSpinBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace orbits {
class MainWindow;
}

namespace orbits::qt {

class BudgetPage : public QWidget {
  Q_OBJECT

 public:
  explicit BudgetPage(const MainWindow& core, QWidget* parent = nullptr);
  // Cancels a budget still running and waits for its runs to stop (a few milliseconds).
  ~BudgetPage() override;

  // As the buttons do.
  void start();
  void cancel();
  bool running() const { return worker_.joinable(); }
  // Waits for the budget's runs to end and shows what they came to.
  void finish();
  const std::optional<budget::BudgetResult>& result() const { return shown_; }

  static constexpr int kPollMillis = 200;

 private:
  void describe();
  void poll();
  void show(const budget::BudgetResult& r);
  // How many of the budget's runs may go on at once: every core, less one while a run is going
  // on screen.
  int runsAllowed() const;

  const MainWindow& core_;
  QSpinBox* preset_;
  QDoubleSpinBox* years_;
  QPushButton *start_, *cancel_;
  QProgressBar* progress_;
  QLabel *about_, *status_, *heading_;
  QTableWidget* table_;
  QChartView* chart_;
  QTimer poll_;

  std::unique_ptr<budget::BudgetControl> control_;
  std::thread worker_;
  std::atomic<bool> done_{false};
  budget::BudgetResult outcome_;  // written by the worker, read once it is done
  std::optional<budget::BudgetResult> shown_;
};

// The bar chart of a budget: each cause measured against its classical value.
QChart* budgetChart(const budget::BudgetResult& r);

// The budget's chart drawn into a picture file without a display (the runner's --plot); "" or
// why not.
std::string writeBudgetPicture(const budget::BudgetResult& r, const std::string& path);

}  // namespace orbits::qt
