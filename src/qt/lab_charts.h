#pragma once
// The lab's charts of the watched pair, drawn from the charts' bounded series (so each drawing
// costs the same however long the run): pages of charts, the window that shows them live, and
// the picture the runner draws without a display.
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QTabWidget;
class QGridLayout;

namespace orbits {
class MainWindow;
}

namespace orbits::qt {

// One page of the charts: a chart, or a table, or several. A new measurement is one more
// subclass, added with LabCharts::addPage.
class LabChart {
 public:
  virtual ~LabChart() = default;
  virtual QWidget* widget() = 0;
  // Redraws from the core's records.
  virtual void refresh(const MainWindow& w) = 0;
  // Whether it shows the current moment, and so is redrawn on every tick of the window's timer,
  // not only when the records change.
  virtual bool live() const { return false; }
  // Whether it needs a whole row of the grid (a chart beside a table).
  virtual bool wide() const { return false; }
};

// The pages of charts: tabs in the window, or all of them in a grid (for a picture).
class LabCharts : public QWidget {
 public:
  enum class Layout { Tabs, Grid };
  explicit LabCharts(Layout layout = Layout::Grid, QWidget* parent = nullptr);
  ~LabCharts() override;
  // Adds a page after the others (the lab's own are there from the start).
  void addPage(const QString& title, std::unique_ptr<LabChart> page);
  // Redraws the pages on view when the records changed since they were last drawn (or `force`),
  // and the live ones always; a page out of view is redrawn once it comes into view.
  void refresh(const MainWindow& w, bool force = false);
  // Writes what is drawn as a picture, PNG or SVG by the file's ending; "" or why not.
  std::string savePicture(const QString& path);

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  struct Page {
    QString title;
    std::unique_ptr<LabChart> chart;
    uint64_t drawn = ~uint64_t(0);  // the records' revision it shows
  };
  bool onView(size_t page) const;
  void draw(Page& page, const MainWindow& w);

  Layout layout_;
  QTabWidget* tabs_ = nullptr;
  QGridLayout* grid_ = nullptr;
  int gridRow_ = 0, gridColumn_ = 0;  // where the grid's next page goes
  std::vector<Page> pages_;
  const MainWindow* core_ = nullptr;  // of the last refresh, to draw a page coming into view
};

class BudgetPage;

// The "Charts" window: the pages, redrawn at most a few times a second while it is shown, the
// precession budget as a page of its own, and the actions to save the picture and the data. It
// opens within the screen it opens on and remembers its size and place.
class ChartsWindow : public QWidget {
 public:
  explicit ChartsWindow(const MainWindow& core);
  // Shows the window (again) in front, up to date.
  void open();
  // What its timer does while it is shown: redraws what changed.
  void redraw();

  static constexpr int kRedrawMillis = 500;
  // A redraw that takes t comes at most every kRedrawCost t (its painting takes about t again).
  static constexpr int kRedrawCost = 40;

 protected:
  void moveEvent(QMoveEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void placeOnScreen();
  void remember();
  // The folder the save dialogs open in: the last one used, else the data directory.
  QString folder() const;
  void savePicture();
  void saveData();

  const MainWindow& core_;
  LabCharts* charts_;
  BudgetPage* budget_;
  QTimer redraw_;
  bool placed_ = false;
};

// The charts of the run drawn into a picture file without a display (the runner's --plot).
std::string writeChartsPicture(const MainWindow& w, const std::string& path);

}  // namespace orbits::qt
