// "自动查找…" through the widgets against kt7340-sim: both meters found, the window grown keeps its
// controls at its edges, the row chosen with the keys is what "使用" takes over and the dialog
// polls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "SimulatedSession.h"
#include "ui/CommSetDialogIds.h"
#include "ui/FindMeterDialogIds.h"
#include "ui/MainDialogIds.h"

namespace kt::ui::qt::test {
namespace {

constexpr int kCommSet = comm_set_ids::kTemplateId;
constexpr int kFind = find_meter_ids::kTemplateId;
constexpr int kMain = main_ids::kTemplateId;

QTableWidget* MeterTable() {
  return ControlIn<QTableWidget>(Modal(kFind), find_meter_ids::kMeterTable);
}

TEST(FindMeterSession, FindsUsesAndPollsTheSimulatedMeter) {
  SimulatedSession session(
      {"--quiet", "--baud", "2400", "--parity", "even", "--meter", "5", "--meter", "12:pt=35"});
  ASSERT_FALSE(session.sim.path().empty()) << "kt7340-sim printed no device";

  SessionDriver user;
  QStringList row;
  QString address;
  user.Then(
      "settings dialog", [] { return Modal(kCommSet) != nullptr; },
      [] {
        // The settings last used are tried first.
        Click(kCommSet, comm_set_ids::kBaud2400Radio);
        Click(kCommSet, comm_set_ids::kEvenParityRadio);
        Click(kCommSet, comm_set_ids::kFindMeterButton);
      });
  user.Then(
      "finder dialog", [] { return Modal(kFind) != nullptr; },
      [&] {
        Click(kFind, find_meter_ids::kOnlyCurrentPort);
        Click(kFind, find_meter_ids::kStartButton);
      });
  // Addresses 1..16 at 2400 even first: within seconds.
  QRect tableBefore;
  QRect useBefore;
  user.Then(
      "both meters in the table",
      [] { return MeterTable() != nullptr && MeterTable()->rowCount() == 2; },
      [&] {
        QWidget* window = Modal(kFind);
        QTableWidget* table = MeterTable();
        auto* use = ControlIn<QPushButton>(window, find_meter_ids::kUseButton);
        tableBefore = table->geometry();
        useBefore = use->geometry();
        // Every column in view at the size it opens with, wider, and narrower than its cells.
        const auto columnsInView = [table] {
          int columns = 0;
          for (int c = 0; c < table->columnCount(); ++c) columns += table->columnWidth(c);
          return columns == table->viewport()->width();
        };
        EXPECT_TRUE(columnsInView());
        table->resize(240, table->height());
        EXPECT_TRUE(columnsInView());
        window->resize(window->width() + 120, window->height() + 80);
        EXPECT_TRUE(columnsInView());
        EXPECT_EQ(table->geometry().adjusted(0, 0, -120, -80), tableBefore);
        EXPECT_EQ(use->geometry().translated(-120, -80), useBefore);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualItemRect(table->item(0, 0)).center());
        QTest::keyClick(table, Qt::Key_Down);
        for (int c = 0; c < table->columnCount(); ++c) row << table->item(1, c)->text();
        Click(kFind, find_meter_ids::kUseButton);
      },
      60000);
  user.Then(
      "back in the settings", [] { return Modal(kCommSet) != nullptr; },
      [] {
        EXPECT_EQ(Text(kCommSet, comm_set_ids::kPortEdit), "1");
        for (int radio : {comm_set_ids::kBaud2400Radio, comm_set_ids::kEvenParityRadio}) {
          EXPECT_TRUE(ControlIn<QRadioButton>(Modal(kCommSet), radio)->isChecked()) << radio;
        }
        Click(kCommSet, IDOK);
      });
  user.Then(
      "main dialog", [] { return Modal(kMain) != nullptr; },
      [&] {
        address = Text(kMain, main_ids::kSlaveAddressEdit);
        Click(kMain, main_ids::kRunButton);
      });
  user.Then(
      "a voltage",
      [] { return Text(kMain, main_ids::kPhaseVoltageABox).endsWith(QLatin1Char('V')); },
      [] { Click(kMain, IDCANCEL); });

  user.Start();
  session.theApp.InitInstance();

  EXPECT_EQ(user.Failure(), "");
  EXPECT_TRUE(user.Done());
  EXPECT_EQ(row, (QStringList{"COM1", "2400bps", "偶校验", "12", "3相4线(非平衡)", "35", "1"}));
  EXPECT_EQ(address, "12");
}

}  // namespace
}  // namespace kt::ui::qt::test
