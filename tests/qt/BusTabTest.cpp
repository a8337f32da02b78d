// The tab "总线" in Qt: addresses typed and added through its widgets, the poller started with its
// button, and the rows read back through the accessibility interface, a failed meter's in red.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "../bus/BusOnLine.h"
#include "bus/BusTabModel.h"
#include "qt/workbench/BusTab.h"

namespace kt::testing {
namespace {

QString CellName(QAccessibleTableInterface* table, int row, int column) {
  QAccessibleInterface* cell = table->cellAt(row, column);
  return cell != nullptr ? cell->text(QAccessible::Name) : QString();
}

TEST(QtBusTab, ShowsTheRowsOfTheMetersAddedToScreenReaders) {
  // Meter 9 is listed but not on the line.
  BusOnLine line{{MeterAt(3, 350, 60, 20), MeterAt(17, 100, 40, 120)}};
  BusListSettings settings;
  bus::BusTabModel model(*line.scheduler, line.h.clock, settings);
  model.AttachTo(*line.h.dialog);
  ui::qt::BusTab tab(model);
  tab.show();

  auto* edit = tab.findChild<QLineEdit*>(QStringLiteral("busAddresses"));
  auto* add = tab.findChild<QPushButton*>(QStringLiteral("busAdd"));
  auto* startStop = tab.findChild<QPushButton*>(QStringLiteral("busStartStop"));
  auto* table = tab.findChild<QTableWidget*>(QStringLiteral("busTable"));
  ASSERT_TRUE(edit && add && startStop && table);
  QTest::keyClicks(edit, QStringLiteral("3,9,17"));
  add->click();
  startStop->click();
  EXPECT_EQ(startStop->text(), QStringLiteral("停止"));
  for (int t = 0; t < 6000; t += 10) {
    line.h.RunFor(10);
    model.Tick();
  }
  tab.Refresh();

  QAccessibleInterface* a = QAccessible::queryAccessibleInterface(table);
  ASSERT_NE(a, nullptr);
  QAccessibleTableInterface* cells = a->tableInterface();
  ASSERT_NE(cells, nullptr);
  ASSERT_EQ(cells->rowCount(), 3);
  ASSERT_EQ(cells->columnCount(), 10);
  EXPECT_EQ(CellName(cells, 0, 0), QStringLiteral("3"));
  EXPECT_EQ(CellName(cells, 1, 0), QStringLiteral("9"));
  EXPECT_EQ(CellName(cells, 2, 0), QStringLiteral("17"));
  EXPECT_EQ(CellName(cells, 0, 2), QStringLiteral("正常"));
  EXPECT_EQ(CellName(cells, 1, 2), QStringLiteral("无应答"));
  // 220 V secondary times meter 3's PT of 350: 77 kV on phase A.
  EXPECT_NEAR(CellName(cells, 0, 3).split('/')[0].toDouble(), 77000.0, 770.0);
  EXPECT_EQ(table->item(1, 2)->foreground().color(), QColor(200, 0, 0));
  EXPECT_EQ(table->item(0, 2)->foreground().style(), Qt::NoBrush);
}

}  // namespace
}  // namespace kt::testing
