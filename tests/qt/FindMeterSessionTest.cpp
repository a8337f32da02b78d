// "自动查找…" through the widgets against kt7340-sim on a pseudo-terminal: a meter at 2400 bit/s,
// even parity, address 117 is found, "使用" takes it over, and the main dialog polls it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "SessionDriver.h"
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
      {"--quiet", "--baud", "2400", "--parity", "even", "--address", "117", "--pt", "35"});
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
        Click(kFind, find_meter_ids::kStopAfterFirst);
        Click(kFind, find_meter_ids::kStartButton);
      });
  // Addresses 1..16 at all fifteen settings, then 17..117 at 2400 even: within a minute.
  user.Then(
      "the meter in the table",
      [] { return MeterTable() != nullptr && MeterTable()->rowCount() == 1; },
      [&] {
        QTableWidget* table = MeterTable();
        for (int c = 0; c < table->columnCount(); ++c) row << table->item(0, c)->text();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                          table->visualItemRect(table->item(0, 0)).center());
        Click(kFind, find_meter_ids::kUseButton);
      },
      90000);
  user.Then(
      "back in the settings", [] { return Modal(kCommSet) != nullptr; },
      [] {
        EXPECT_EQ(ControlIn<QLineEdit>(Modal(kCommSet), comm_set_ids::kPortEdit)->text(), "1");
        EXPECT_TRUE(
            ControlIn<QRadioButton>(Modal(kCommSet), comm_set_ids::kBaud2400Radio)->isChecked());
        EXPECT_TRUE(
            ControlIn<QRadioButton>(Modal(kCommSet), comm_set_ids::kEvenParityRadio)->isChecked());
        Click(kCommSet, IDOK);
      });
  user.Then(
      "main dialog", [] { return Modal(kMain) != nullptr; },
      [&] {
        address = ControlIn<QLineEdit>(Modal(kMain), main_ids::kSlaveAddressEdit)->text();
        Click(kMain, main_ids::kRunButton);
      });
  user.Then(
      "a voltage",
      [] {
        auto* box = ControlIn<QLineEdit>(Modal(kMain), main_ids::kPhaseVoltageABox);
        return box != nullptr && box->text().endsWith(QLatin1Char('V'));
      },
      [] { Click(kMain, IDCANCEL); });

  user.Start();
  session.theApp.InitInstance();

  EXPECT_EQ(user.Failure(), "");
  EXPECT_TRUE(user.Done());
  EXPECT_EQ(row, (QStringList{"COM1", "2400bps", "偶校验", "117", "3相4线(非平衡)", "35", "1"}));
  EXPECT_EQ(address, "117");
}

}  // namespace
}  // namespace kt::ui::qt::test
