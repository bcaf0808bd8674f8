#pragma once
// The lab's charts of the watched pair, one chart per measurement, drawn from the per-orbit
// records; the window that shows them live, and the picture the runner draws without a display.
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace orbits {
class MainWindow;
}

namespace orbits::qt {

// One chart of the grid. A new measurement is one more subclass, added in LabCharts' list.
class LabChart {
 public:
  virtual ~LabChart() = default;
  virtual QWidget* widget() = 0;
  // Redraws from the core's records.
  virtual void refresh(const MainWindow& w) = 0;
  // Whether it shows the current moment, and so is redrawn on every tick of the window's timer,
  // not only when the records change.
  virtual bool live() const { return false; }
};

// The grid of charts.
class LabCharts : public QWidget {
 public:
  explicit LabCharts(QWidget* parent = nullptr);
  ~LabCharts() override;
  // Redraws every chart when the records changed since the last call (or `force`), and the live
  // ones always.
  void refresh(const MainWindow& w, bool force = false);
  // Writes the charts as a picture, PNG or SVG by the file's ending; "" or why not.
  std::string savePicture(const QString& path);

 private:
  std::vector<std::unique_ptr<LabChart>> charts_;
  uint64_t seen_ = ~uint64_t(0);
};

// The "Charts" window: the grid, redrawn at most a few times a second while it is shown, and
// the actions to save the picture and the data.
class ChartsWindow : public QWidget {
 public:
  explicit ChartsWindow(const MainWindow& core);
  // Shows the window (again) in front, up to date.
  void open();

  static constexpr int kRedrawMillis = 333;

 private:
  void savePicture();
  void saveData();

  const MainWindow& core_;
  LabCharts* charts_;
  QTimer redraw_;
};

// The charts of the run drawn into a picture file without a display (the runner's --plot).
std::string writeChartsPicture(const MainWindow& w, const std::string& path);

}  // namespace orbits::qt
