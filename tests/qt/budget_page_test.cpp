#include "qt/budget_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

#include "panel/wired_window.h"
#include "qt/lab_charts.h"
#include "qt/qt_host.h"
#include "window/main_window.h"

namespace orbits::qt {
namespace {

QPushButton* button(QWidget& page, const QString& text) {
  for (auto* b : page.findChildren<QPushButton*>())
    if (b->text() == text) return b;
  return nullptr;
}

// The Charts window's "Budget" page: Start runs the budget in the background and the table
// shows every cause when it is done; Cancel stops a budget at once and shows no table. The
// window on screen is never run.
TEST(BudgetPage, StartShowsTheTableCancelStopsAtOnce) {
  QTemporaryDir dir;
  QtHost host(dir.path().toStdString());
  WiredWindow core(host);
  ChartsWindow charts(core);
  auto* page = charts.findChild<BudgetPage*>();
  ASSERT_TRUE(page);
  page->findChild<QDoubleSpinBox*>()->setValue(1);  // a year of Mercury from 1900
  button(*page, "Start")->click();
  EXPECT_TRUE(page->running());
  EXPECT_FALSE(button(*page, "Start")->isEnabled());
  page->finish();
  ASSERT_TRUE(page->result());
  const auto* table = page->findChild<QTableWidget*>();
  // Seven planets, their sum, all of them, relativity, both, the observed total and the step.
  ASSERT_EQ(table->rowCount(), 13);
  EXPECT_EQ(table->item(0, 0)->text(), "Venus");
  EXPECT_EQ(table->item(12, 0)->text(), "Sun and Mercury alone");
  EXPECT_NEAR(table->item(9, 1)->text().toDouble(), page->result()->scenario.relativityTheory,
              0.05);
  EXPECT_EQ(core.sim.cycleCount, 0) << "the window on screen did not run";

  ASSERT_TRUE(QDir().mkpath(ORBITS_SCREENSHOT_DIR));
  charts.resize(1000, 1000);
  page->resize(1000, 1000);
  EXPECT_TRUE(page->grab().save(QString(ORBITS_SCREENSHOT_DIR) + "/budget-page.png"));

  page->findChild<QDoubleSpinBox*>()->setValue(1000);
  button(*page, "Start")->click();
  button(*page, "Cancel")->click();
  EXPECT_FALSE(page->running());
  EXPECT_TRUE(page->result()) << "the last budget's table stays";
  EXPECT_TRUE(button(*page, "Start")->isEnabled());
}

}  // namespace
}  // namespace orbits::qt
