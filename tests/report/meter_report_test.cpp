// The report of the main dialog's meter from the workbench: what the main dialog and the wiring
// tab hold for the same block, the refusal before any block, and the remembered title fields.
#include <gtest/gtest.h>

#include <map>

#include "MainDialogHarness.h"
#include "measure/ShownValueBoxes.h"
#include "report/MeterReport.h"
#include "report/ReportDocument.h"

namespace kt {
namespace {

using workbench::TextSetting;

struct MemorySettings : workbench::WorkbenchSettings {
  std::map<int, double> numbers;
  std::map<TextSetting, std::string> texts;
  std::optional<workbench::ScreenRect> Frame() const override { return std::nullopt; }
  void SetFrame(const workbench::ScreenRect&) override {}
  std::optional<double> Number(workbench::NumberSetting which) const override {
    const auto it = numbers.find(static_cast<int>(which));
    return it == numbers.end() ? std::nullopt : std::optional<double>(it->second);
  }
  void SetNumber(workbench::NumberSetting which, double value) override {
    numbers[static_cast<int>(which)] = value;
  }
  std::string ExportFolder() const override { return ""; }
  void SetExportFolder(const std::string&) override {}
  std::string Text(TextSetting which) const override {
    const auto it = texts.find(which);
    return it == texts.end() ? "" : it->second;
  }
  void SetText(TextSetting which, const std::string& text) override { texts[which] = text; }
};

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
  MemorySettings settings;
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
  EXPECT_EQ(m.settings.portNumber, 4);
  EXPECT_EQ(m.settings.baudRate, 19200);
  EXPECT_EQ(m.settings.parity, 2);
  EXPECT_TRUE(m.settings.accuracyKnown);
  EXPECT_EQ(m.settings.accuracyClass, 1);
  EXPECT_EQ(m.settings.ctSecondaryA, 1.0);
  EXPECT_EQ(m.settings.nominalHz, 60.0);
  EXPECT_EQ(m.block.slaveAddress, 7);
  EXPECT_EQ(m.block.ptRatio, 35U);
  EXPECT_EQ(m.block.ctRatio, 60U);
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

TEST(MeterReport, TitleFieldsRememberedAsTyped) {
  MemorySettings settings;
  const report::ReportTitle fresh = report::RememberedReportTitle(settings);
  EXPECT_EQ(fresh.site + fresh.panel + fresh.engineer, "");
  report::RememberReportTitle(settings, {"<站> & \"1\"", "", "王工", {}});
  const report::ReportTitle again = report::RememberedReportTitle(settings);
  EXPECT_EQ(again.site, "<站> & \"1\"");
  EXPECT_EQ(again.panel, "");
  EXPECT_EQ(again.engineer, "王工");
  EXPECT_EQ(report::ReportSaveQuestion(again).extension, "html");
}

}  // namespace
}  // namespace kt
