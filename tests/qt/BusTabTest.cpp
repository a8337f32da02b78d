// The tab "总线" in the Qt workbench window: addresses and a name typed and added with Enter, the
// poller started with its button and turned by the tab's own timer, the rows read back through
// the accessibility interface (a silent meter's red, all grey a while after "停止"), the selected
// row's wiring check, and "生成报告…" through the window's report steps.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include "../bus/BusOnLine.h"
#include "bus/BusTabModel.h"
#include "qt/workbench/BusTab.h"
#include "qt/workbench/WorkbenchWindow.h"

namespace kt::testing {
namespace {

QString CellName(QAccessibleTableInterface* table, int row, int column) {
  QAccessibleInterface* cell = table->cellAt(row, column);
  return cell != nullptr ? cell->text(QAccessible::Name) : QString();
}

TEST(QtBusTab, ShowsTheMetersToScreenReadersAndGreysThemAfterStop) {
  // Meter 9 is listed but not on the line.
  BusOnLine line{{MeterAt(3, 350, 60, 20), MeterAt(17, 100, 40, 120)}};
  QSettings().remove(QString::fromStdString(bus::BusListKey(1)));
  ui::qt::WorkbenchWindow window;
  window.AddBusTab(*line.scheduler, line.h.clock);
  window.Attach(*line.h.dialog);
  ui::qt::BusTab& tab = *window.Bus();
  window.show();
  tab.show();
  auto* edit = tab.findChild<QLineEdit*>(QStringLiteral("busAddresses"));
  auto* startStop = tab.findChild<QPushButton*>(QStringLiteral("busStartStop"));
  auto* report = tab.findChild<QPushButton*>(QStringLiteral("busReport"));
  auto* table = tab.findChild<QTableWidget*>(QStringLiteral("busTable"));
  auto* check = tab.findChild<QTableWidget*>(QStringLiteral("busCheck"));
  auto* checkTitle = tab.findChild<QLabel*>(QStringLiteral("busCheckTitle"));
  auto* timer = tab.findChild<QTimer*>();
  ASSERT_TRUE(edit && startStop && report && table && check && checkTitle && timer);
  // The tab's timer fired as time passes on the line's clock.
  auto run = [&](int ms) {
    for (int t = 0; t < ms; t += static_cast<int>(bus::kBusTickMs)) {
      line.h.RunFor(bus::kBusTickMs);
      if (!timer->isActive() || (t + static_cast<int>(bus::kBusTickMs)) % timer->interval() != 0) {
        continue;
      }
      QTimerEvent fired(timer->timerId());
      QCoreApplication::sendEvent(timer, &fired);
    }
  };
  std::vector<std::string> told;
  window.Reports().front.tell = [&](const std::string& text) { told.push_back(text); };

  edit->setText(QStringLiteral("3,9,17=进线柜"));
  QTest::keyClick(edit, Qt::Key_Return);
  QTest::mouseClick(report, Qt::LeftButton);  // no data yet
  EXPECT_EQ(told, std::vector<std::string>{bus::kBusNoDataForReport});
  startStop->click();
  EXPECT_EQ(startStop->text(), QStringLiteral("停止"));
  EXPECT_EQ(timer->interval(), static_cast<int>(bus::kBusTickMs));
  run(6000);

  QAccessibleTableInterface* cells = QAccessible::queryAccessibleInterface(table)->tableInterface();
  ASSERT_NE(cells, nullptr);
  ASSERT_EQ(cells->rowCount(), 3);
  EXPECT_EQ(CellName(cells, 2, 0) + CellName(cells, 2, 1), QStringLiteral("17进线柜"));
  EXPECT_EQ(CellName(cells, 1, 2), QStringLiteral("无应答"));
  EXPECT_EQ(table->item(1, 2)->foreground().color(), QColor(200, 0, 0));

  // The selected meter's wiring check below the table.
  table->setCurrentCell(2, 0);
  EXPECT_EQ(checkTitle->text(), QStringLiteral("接线检查：地址 17（进线柜）"));
  EXPECT_GT(check->rowCount(), 0);

  // Stopped, the shown tab still redraws on its slower timer: its values turn grey.
  startStop->click();
  run(600);
  EXPECT_EQ(timer->interval(), static_cast<int>(bus::kBusRedrawMs));
  run(4000);
  EXPECT_EQ(table->item(0, 3)->foreground().color(), QColor(128, 128, 128));
  tab.hide();
  EXPECT_FALSE(timer->isActive());
  tab.show();  // the window ends open, its tab drawing until it goes
}

}  // namespace
}  // namespace kt::testing
