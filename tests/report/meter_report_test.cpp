// The report of the main dialog's meter from the workbench: what the main dialog and the wiring
// tab hold for the same block (values and limit status as the boxes show them), and nothing
// before any block. (The title fields' remembering is
// tried through the buttons, tests/qt and tests/windows.)
#include <gtest/gtest.h>

#include <tuple>

#include "MainDialogHarness.h"
#include "MemorySettings.h"
#include "measure/LimitStatus.h"
#include "measure/ShownValueBoxes.h"
#include "report/MeterReport.h"
#include "report/ReportDocument.h"
#include "ui/MainDialogLabels.h"

namespace kt {
namespace {

TEST(MeterReport, HoldsWhatTheMainDialogAndTheWiringTabHoldForTheBlock) {
  sim::MeterConfig meter;
  meter.address = 7;
  meter.ptRatio = 35;
  meter.ctRatio = 60;
  meter.accuracyClass = 1;
  meter.baudRate = 19200;
  meter.parity = 2;
  meter.statusTrailer = true;
  meter.load.wiringFaults.reversedCt[2] = true;
  meter.load.phaseVoltage = {250.0, 220.0, 180.0};  // over, normal, under the 242 / 198 V limits
  testing::MainDialogHarness program(testing::SimulatedMeter(meter, {4, 19200, 2}));
  testing::MemorySettings settings;
  workbench::WorkbenchModel workbench(settings, workbench::SystemRecordFiles());
  workbench.AttachTo(program.Dlg(), [] {});
  workbench.Wiring().ChooseCtSecondary(1);
  workbench.Wiring().ChooseNominalHz(1);
  const report::ReportTitle title{"一号站", "3号柜", "李工", {}};

  EXPECT_FALSE(report::MakeMeterReport(workbench, program.Dlg(), title));

  ASSERT_TRUE(program.PollUntil(3));
  ASSERT_TRUE(program.MeasurementsFlow());
  const auto made = report::MakeMeterReport(workbench, program.Dlg(), title);
  ASSERT_TRUE(made);
  ASSERT_EQ(made->meters.size(), 1U);
  const report::ReportMeter& m = made->meters[0];
  EXPECT_EQ(made->title.site, "一号站");
  const report::MeterSettings& s = m.settings;
  EXPECT_EQ(std::tuple(s.portNumber, s.baudRate, s.parity, s.accuracyKnown, s.accuracyClass,
                       s.ctSecondaryA, s.nominalHz),
            std::tuple(4, 19200, 2, true, uint8_t{1}, 1.0, 60.0));
  EXPECT_EQ(std::tuple(m.block.slaveAddress, m.block.ptRatio, m.block.ctRatio),
            std::tuple(uint8_t{7}, 35U, 60U));
  ASSERT_NE(m.trend, nullptr);
  EXPECT_GE(m.trend->size(), 2U);
  // Every request the dialog wrote was counted, and each was answered but one still out.
  const size_t sent = program.port.written.size();
  const size_t answered = sent - (program.Dlg().Link().AwaitingReply() ? 1 : 0);
  EXPECT_EQ(m.linkCounters, "请求 " + std::to_string(sent) + "  应答 " + std::to_string(answered) +
                                "  无应答 0  无效 0");

  // The page shows the values and the limit status as the main dialog's boxes do, and C's
  // reversed CT.
  const std::string html = report::ReportHtml(*made);
  for (const int box : measure::kShownValueBoxes) {
    EXPECT_FALSE(program.Text(box).empty()) << box;
    EXPECT_NE(html.find("data-box=\"" + std::to_string(box) + "\">" + program.Text(box) + "<"),
              std::string::npos)
        << box;
  }
  int alarms = 0;
  for (size_t i = 0; i < values::kStatusItems.size(); ++i) {
    const std::string shown = program.Text(measure::kStatusBoxes[i]);
    const bool alarm = shown != "正常";  // in red, as the dialog draws it
    alarms += alarm ? 1 : 0;
    EXPECT_NE(html.find(std::string("<th>") + ui::main_labels::kStatusItems[i] + "</th><td" +
                        (alarm ? " class=\"alarm\">" : ">") + shown + "</td>"),
              std::string::npos)
        << i << " " << shown;
  }
  EXPECT_EQ(alarms, 2);
  EXPECT_NE(html.find("C相电流互感器接反"), std::string::npos);
}

}  // namespace
}  // namespace kt
