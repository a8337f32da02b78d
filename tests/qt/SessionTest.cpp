// A whole session through the real widgets against kt7340-sim on a pseudo-terminal, step by step
// from the settings dialog to the address search; a recording has a row per decoded block.
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLabel>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "SimulatedSession.h"
#include "commands/MeterSetDialogIds.h"
#include "qt/workbench/TrafficTab.h"
#include "qt/workbench/WorkbenchWindow.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

namespace kt::ui::qt::test {
namespace {

constexpr int kSimAddress = 7;
constexpr int kMainDialog = main_ids::kTemplateId;
constexpr int kCommSetDialog = comm_set_ids::kTemplateId;
constexpr int kMeterSetDialog = meter_set_ids::kTemplateId;
constexpr int kBlocksToRecord = 3;

QMessageBox* MessageWith(const QString& text) {
  auto* box = qobject_cast<QMessageBox*>(ActiveModal());
  return box != nullptr && box->text() == text ? box : nullptr;
}

void ClickIn(QWidget* window, const char* name) {
  auto* button = window == nullptr ? nullptr : window->findChild<QAbstractButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  QTest::mouseClick(button, Qt::LeftButton);
}

size_t LinesIn(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  size_t lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  return lines;
}

// A displayed value in its base unit: "220.1V" -> 220.1, "22.01KV" -> 22010; NaN without unit.
double BaseValue(const QString& shown, const QString& unit) {
  if (!shown.endsWith(unit)) return std::nan("");
  QString number = shown.chopped(unit.size());
  const double scale = number.endsWith(QLatin1Char('K')) ? 1000 : 1;
  if (scale > 1) number.chop(1);
  bool ok = false;
  const double v = number.toDouble(&ok);
  return ok ? v * scale : std::nan("");
}

QString Main(int id) {
  return Text(main_ids::kTemplateId, id);
}
double Volts() {
  return BaseValue(Main(main_ids::kPhaseVoltageABox), "V");
}

TEST(WholeSession, MonitorsConfiguresAndFindsTheSimulatedMeterThroughTheWidgets) {
  SimulatedSession session(
      {"--status-trailer", "--quiet", "--address", std::to_string(kSimAddress)});
  ASSERT_FALSE(session.sim.path().empty()) << "kt7340-sim printed no device";
  const auto csv = std::filesystem::path(::testing::TempDir()) / "session_test.csv";
  std::filesystem::remove(csv);
  WorkbenchWindow workbench;
  session.theApp.onMainDialog = [&workbench](CMonitorDlg& dialog) { workbench.Attach(dialog); };
  int blocksWhileRecording = 0;
  workbench.SubscribeBlocks([&](const values::MeasuredBlock&) {
    if (workbench.Recorder().Recording()) ++blocksWhileRecording;
  });
  const auto log = [&workbench] { return workbench.Traffic().ShownText(); };

  SessionDriver user;
  QString firstVoltage;
  double voltageBefore = 0, currentBefore = 0, voltageAfter = 0, currentAfter = 0;
  QElapsedTimer stopped;

  user.Then(
      "settings dialog", [] { return Modal(kCommSetDialog) != nullptr; },
      [] { Click(kCommSetDialog, IDOK); });
  user.Then(
      "main dialog", [] { return Modal(kMainDialog) != nullptr; },
      [&] {
        Type(kMainDialog, main_ids::kSlaveAddressEdit, QString::number(kSimAddress));
        Click(kMainDialog, main_ids::kRunButton);
        EXPECT_FALSE(workbench.isVisible());
        Click(kMainDialog, main_ids::kWorkbenchButton);
      });
  user.Then(
      "a voltage with its unit", [] { return !std::isnan(Volts()); },
      [&] { firstVoltage = Main(main_ids::kPhaseVoltageABox); });
  user.Then(
      "the configuration exchange in the log",
      [&] { return workbench.isVisible() && log().contains(QStringLiteral("应答 (95 字节)")); },
      [&] {
        EXPECT_TRUE(
            log().contains(QStringLiteral("\t发\t7\t03\t读 0x0300 ×19\t07 03 03 00 00 13 ")))
            << log().toStdString();
        EXPECT_TRUE(log().contains(QStringLiteral("应答 (43 字节)")));
        // The window takes input while the main dialog runs modally.
        ClickIn(&workbench, "errorsOnly");
        EXPECT_FALSE(log().contains(QStringLiteral("应答 (43 字节)")));
        ClickIn(&workbench, "errorsOnly");
        ClickIn(&workbench, "startRecording");
      });
  user.Then(
      "the file dialog", [] { return qobject_cast<QFileDialog*>(ActiveModal()) != nullptr; },
      [&] {
        auto* files = qobject_cast<QFileDialog*>(ActiveModal());
        EXPECT_TRUE(files->selectedFiles().value(0).contains(QStringLiteral("kt7340-")));
        auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(csv.string()));
        static_cast<QDialog*>(files)->accept();  // as the save button does
      });
  user.Then(
      "a few blocks recorded",
      [&] { return workbench.Recorder().RowsWritten() >= kBlocksToRecord; },
      [&] {
        ClickIn(&workbench, "stopRecording");
        EXPECT_EQ(workbench.findChild<QLabel*>(QStringLiteral("recordRows"))->text(),
                  QString::number(blocksWhileRecording));
        workbench.close();
        EXPECT_FALSE(workbench.isVisible());
      });
  user.Then(
      "the values change",
      [&] { return Main(main_ids::kPhaseVoltageABox) != firstVoltage && !std::isnan(Volts()); },
      [&] {
        voltageBefore = Volts();
        currentBefore = BaseValue(Main(main_ids::kCurrentABox), "A");
        Click(kMainDialog, main_ids::kRunButton);  // stop
        stopped.start();
      });
  // A user takes a moment; a request sent while the meter still answers the last poll would go
  // unheard, as on a real half-duplex line.
  user.Then(
      "a moment later", [&] { return stopped.isValid() && stopped.elapsed() > 700; },
      [] { Click(kMainDialog, main_ids::kMeterSettingsButton); });  // opens its own modal loop
  user.Then(
      "meter settings dialog", [] { return Modal(kMeterSetDialog) != nullptr; },
      [] {
        Type(kMeterSetDialog, meter_set_ids::kPtEdit, "100");
        Type(kMeterSetDialog, meter_set_ids::kCtEdit, "5");
        Click(kMeterSetDialog, IDOK);
      });
  user.Then(
      "settings confirmed", [] { return MessageWith("设置仪表参数成功") != nullptr; },
      [] { MessageWith("设置仪表参数成功")->buttons().front()->click(); });
  // Polling goes on after the command; the next blocks carry the new ratios.
  user.Then(
      "a scaled voltage", [&] { return Volts() > 20 * voltageBefore; },
      [&] {
        voltageAfter = Volts();
        currentAfter = BaseValue(Main(main_ids::kCurrentABox), "A");
        Type(kMainDialog, main_ids::kSlaveAddressEdit, "0");
        Click(kMainDialog, main_ids::kPollAddressButton);  // address search
      });
  user.Then(
      "the address search finds the meter",
      [] { return Main(main_ids::kSlaveAddressEdit) == QString::number(kSimAddress); },
      [] {
        EXPECT_TRUE(Main(main_ids::kInformationBox).startsWith(QStringLiteral("串口:1")));
        Click(kMainDialog, IDCANCEL);
      });

  user.Start();
  EXPECT_FALSE(session.theApp.InitInstance());

  EXPECT_EQ(user.Failure(), "");
  EXPECT_TRUE(user.Done());
  EXPECT_GE(blocksWhileRecording, kBlocksToRecord);
  EXPECT_EQ(workbench.Recorder().Path(), csv.string());
  EXPECT_EQ(LinesIn(csv), 1 + static_cast<size_t>(blocksWhileRecording));  // the header first
  // PT 100 and CT 5: the load moves a little between blocks, the ratios show through.
  EXPECT_NEAR(voltageAfter / voltageBefore, 100.0, 15.0);
  EXPECT_NEAR(currentAfter / currentBefore, 5.0, 1.5);
  EXPECT_EQ(session.sim.Terminate(3000), 0);  // it ran all along and ends cleanly
  EXPECT_EQ(ActiveModal(), nullptr);          // every window has gone
}

}  // namespace
}  // namespace kt::ui::qt::test
