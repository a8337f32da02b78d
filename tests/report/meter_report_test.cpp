// The report of the main dialog's meter from the workbench: what the main dialog and the wiring
// tab hold for the same block, and nothing before any block. (The title fields' remembering is
// tried through the buttons, tests/qt and tests/windows.)
#include <gtest/gtest.h>

#include <tuple>

#include "MainDialogHarness.h"
#include "MemorySettings.h"
#include "measure/ShownValueBoxes.h"
#include "report/MeterReport.h"
#include "report/ReportDocument.h"

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

  // The page shows the values as the main dialog's boxes do, and C's reversed CT.
  const std::string html = report::ReportHtml(*made);
  for (const int box : measure::kShownValueBoxes) {
    EXPECT_NE(html.find("data-box=\"" + std::to_string(box) + "\">" + program.Text(box) + "<"),
              std::string::npos)
        << box;
  }
  EXPECT_NE(html.find("C相电流互感器接反"), std::string::npos);
}

}  // namespace
}  // namespace kt
