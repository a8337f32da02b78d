// The bus tab's model on a simulated line of three meters: the list typed with names, refused,
// remembered per port, the stopped table turning grey, a row made the main dialog's meter, its
// wiring check, and the report of all meters.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "BusOnLine.h"
#include "Frames.h"
#include "bus/BusTabModel.h"
#include "ui/MainDialogIds.h"
#include "workbench/RecordFile.h"

namespace kt::testing {
namespace {

using bus::BusColumn;

// Phase A's value of a cell "A/B/C".
double PhaseA(const std::string& cell) {
  return std::stod(cell.substr(0, cell.find('/')));
}

sim::MeterConfig WithBsCtReversed(sim::MeterConfig c) {
  c.load.wiringFaults.reversedCt[1] = true;
  return c;
}

class BusTab : public ::testing::Test {
 protected:
  BusTab() { model.AttachTo(*line.h.dialog); }
  // Lets time pass, the front end's timer calling Tick() while the poller runs.
  void Run(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += bus::kBusTickMs) {
      line.h.RunFor(bus::kBusTickMs);
      if (model.NeedsTicks()) model.Tick();
    }
  }
  BusOnLine line{{MeterAt(3, 350, 60, 20), WithBsCtReversed(MeterAt(17, 100, 40, 250)),
                  MeterAt(200, 1, 200, 90)}};
  BusListSettings settings;
  bus::BusTabModel model{*line.scheduler, line.h.clock, settings};
};

TEST_F(BusTab, AddedMetersShowTheirOwnRatiosAndTurnGreyOnceStopped) {
  ASSERT_EQ(model.Add("3,17,200"), "");
  model.StartStop();
  Run(10000);
  const std::vector<bus::BusTableRow> rows = model.Rows();
  ASSERT_EQ(rows.size(), 3u);
  const std::map<std::string, std::pair<double, double>> ratios = {
      {"3", {350, 60}}, {"17", {100, 40}}, {"200", {1, 200}}};
  for (const bus::BusTableRow& r : rows) {
    const auto [pt, ct] = ratios.at(r[BusColumn::Address]);
    EXPECT_NEAR(PhaseA(r[BusColumn::PhaseVoltage]), kPhaseAVolts * pt, 0.01 * kPhaseAVolts * pt);
    EXPECT_NEAR(PhaseA(r[BusColumn::PhaseCurrent]), kPhaseAAmps * ct, 0.01 * kPhaseAAmps * ct);
    EXPECT_EQ(r[BusColumn::State], "正常");
    EXPECT_FALSE(r.stale || r.failed);
  }
  line.ExpectOneRequestAtATime();

  // Stopped: nothing more is asked; the front end's timer slows to the redraws while the tab is
  // shown (none while hidden), and meter 17's row is drawn grey once its block is older than the
  // stale rule allows: 3 s, or three of its cycles, after its last request and answer.
  model.StartStop();
  Run(400);
  const size_t written = line.h.meter->Written().size();
  EXPECT_EQ(model.TimerMs(false), 0u);
  std::vector<uint64_t> asked;
  for (const auto& w : line.h.meter->Written()) {
    if (w.bytes[0] == 17) asked.push_back(w.atMs);
  }
  const uint64_t rule = std::max<uint64_t>(3000, 3 * (asked.back() - asked[asked.size() - 2]));
  uint64_t grey = 0;
  for (uint64_t t = line.h.clock.GetTickCount(); grey == 0 && t < asked.back() + rule + 2000;) {
    ASSERT_EQ(model.TimerMs(true), bus::kBusRedrawMs);
    line.h.RunFor(bus::kBusRedrawMs);
    t += bus::kBusRedrawMs;
    if (model.Tick() && model.Rows()[1].stale) grey = t;
  }
  EXPECT_GT(grey, asked.back() + rule);
  EXPECT_LE(grey, asked.back() + rule + 400 + bus::kBusRedrawMs);
  EXPECT_EQ(line.h.meter->Written().size(), written);
  settings.texts["bus/port2"] = "3";  // meter 3 of another port: another meter
  line.h.dialog->m_portNumber = 2;
  model.Tick();  // the timer takes the list up, the tab shown or not
  EXPECT_FALSE(model.Poller().Meters()[0].configuration.has_value());
}

TEST_F(BusTab, TypedListsAndNamesAreCheckedAndKeptPerPort) {
  struct Step {
    const char* typed;
    const char* refusal;  // a part of the message; "" when taken
    const char* stored;
  };
  const Step steps[] = {
      {"1-4", "", "1,2,3,4"},
      {"3, 17=进线柜，247", "", "1,2,3,4,17=进线柜,247"},  // 3 is listed already
      {"17＝1号 出线柜, 2=备用", "", "1,2=备用,3,4,17=1号 出线柜,247"},
      {"17", "", "1,2=备用,3,4,17=1号 出线柜,247"},  // listed: its name stays
      {"2=", "", "1,2,3,4,17=1号 出线柜,247"},
      {"1-3=泵房", "名称只能给一个子机地址", ""},
      // Just outside the addresses a meter may have: the message names the range.
      {"0", "1 到 247", ""},
      {"248=x", "1 到 247", ""},
  };
  std::string stored;
  for (const Step& s : steps) {
    const std::string message = model.Add(s.typed);
    EXPECT_NE(message.find(s.refusal), std::string::npos) << s.typed << ": " << message;
    EXPECT_EQ(message.empty(), std::string(s.refusal).empty()) << s.typed;
    if (message.empty()) stored = s.stored;
    EXPECT_EQ(settings.texts["bus/port1"], stored) << s.typed;
  }
  model.Remove(1);  // address 2
  model.Remove(9);  // no such row
  EXPECT_EQ(settings.texts["bus/port1"], "1,3,4,17=1号 出线柜,247");

  // Another port has its own list; back on the first, its list is read again from the settings.
  settings.texts["bus/port2"] = "200";
  line.h.dialog->m_portNumber = 2;
  ASSERT_EQ(model.Rows().size(), 1u);
  EXPECT_EQ(model.Rows()[0][BusColumn::Address], "200");
  line.h.dialog->m_portNumber = 1;
  std::vector<std::string> listed;
  for (const bus::BusTableRow& r : model.Rows()) {
    listed.push_back(r[BusColumn::Address] + ":" + r[BusColumn::Name]);
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"1:", "3:", "4:", "17:1号 出线柜", "247:"}));
}

TEST_F(BusTab, AChosenRowBecomesTheMainDialogsMeter) {
  workbench::WorkbenchModel workbench(settings, workbench::SystemRecordFiles());
  workbench.AttachTo(*line.h.dialog, [] {});
  ASSERT_EQ(model.Add("3,17,200"), "");
  line.PollInMainDialog(3);
  Run(3000);
  const size_t from = line.h.meter->Written().size();
  model.Choose(2);
  model.Choose(7);  // no such row: nothing
  Run(3000);
  EXPECT_EQ(line.h.host.GetText(*line.h.dialog, ui::main_ids::kSlaveAddressEdit), "200");
  const auto& w = line.h.meter->Written();
  ASSERT_GE(w.size(), from + 5);
  EXPECT_EQ(w[from].bytes, ReadRequest(200, 0x0300, 19));  // its configuration first
  for (size_t i = from; i < w.size(); ++i) EXPECT_EQ(w[i].bytes[0], 200) << i;
  const std::vector<report::ReportMeter> pages = model.MakeBusReport(workbench, {})->meters;
  EXPECT_EQ(std::pair(!pages[0].trend, !pages[1].trend), std::pair(true, false));  // 3's, 200's
}

// The wiring check of the selected row, judged with the wiring tab's choices, and the report of
// every meter that answered.
TEST_F(BusTab, TheSelectedRowsWiringCheckAndTheReportOfAllMeters) {
  workbench::WiringModel wiring(settings);
  model.UseWiringChoices(wiring);
  ASSERT_EQ(model.Add("3=进线柜 <1#> & \"A\",17=出线柜,9"), "");  // nothing answers at 9
  std::vector<std::string> told;
  std::string opened;
  std::string chosen = ::testing::TempDir() + "kt-bus-report";  // ".html" is added
  report::ReportFrontEnd front{
      [](report::ReportTitle&) { return true; },
      [&](const workbench::SaveQuestion&, const std::string&) { return chosen; },
      [&](const std::string& path) { opened = path; },
      [&](const std::string& text) { told.push_back(text); }};
  workbench::WorkbenchModel workbench(settings, workbench::SystemRecordFiles());
  model.MakeReport(workbench, front);  // no data yet
  EXPECT_EQ(told, std::vector<std::string>{bus::kBusNoDataForReport});
  EXPECT_EQ(model.CheckTitle(std::nullopt), bus::kBusNoSelectionText);
  model.StartStop();
  Run(6000);
  EXPECT_EQ(model.CheckTitle(1), "接线检查：地址 17（出线柜）");
  EXPECT_EQ(model.CheckTitle(2), "接线检查：地址 9，尚无测量数据");
  EXPECT_TRUE(model.CheckRows(2).empty());
  // B's CT reversed at 17 is named in its rows and its verdict; 3 is healthy.
  std::string faults;
  for (const workbench::CheckRow& r : model.CheckRows(1)) {
    if (r.verdict == workbench::Verdict::Fault) faults += r.message;
  }
  EXPECT_NE(faults.find("B相"), std::string::npos) << faults;
  EXPECT_EQ(model.Rows()[1][BusColumn::Wiring], "异常");
  EXPECT_EQ(model.Rows()[0][BusColumn::Wiring], "正常");

  model.MakeReport(workbench, front);
  ASSERT_EQ(opened, chosen + ".html");
  std::stringstream html;
  html << std::ifstream(opened).rdbuf();
  const std::string text = html.str();
  std::filesystem::remove(opened);
  // The summary, then a page for 3 and for 17, none for 9.
  const size_t page = text.find("<section class=\"meter\"");
  const size_t second = text.find("<section class=\"meter\"", page + 1);
  EXPECT_LT(text.find("<section class=\"summary\""), page);
  EXPECT_NE(second, std::string::npos);
  EXPECT_EQ(text.find("<section class=\"meter\"", second + 1), std::string::npos);
  EXPECT_NE(text.find("进线柜 &lt;1#&gt; &amp; &quot;A&quot;"), std::string::npos);
  EXPECT_EQ(text.find("<td>9</td>"), std::string::npos);
  EXPECT_EQ(told.size(), 1u);

  // The load's 1.5 A secondary is beyond CTs rated 1 A, as the wiring tab is told.
  wiring.ChooseCtSecondary(1);
  EXPECT_NE(model.Rows()[0][BusColumn::Wiring], "正常");
}

}  // namespace
}  // namespace kt::testing
