// The bus tab's model on a simulated line of three meters: the list typed, refused, remembered
// per port, and a row made the main dialog's meter.
#include <gtest/gtest.h>

#include <string>

#include "BusOnLine.h"
#include "Frames.h"
#include "bus/BusTabModel.h"
#include "ui/MainDialogIds.h"

namespace kt::testing {
namespace {

using bus::BusColumn;

// Secondary values of the simulated load (sim/MeterConfig.h), before the meters' ratios.
constexpr double kPhaseAVolts = 220.0;
constexpr double kPhaseAAmps = 1.50;

// Phase A's value of a cell "A/B/C".
double PhaseA(const std::string& cell) {
  return std::stod(cell.substr(0, cell.find('/')));
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
  BusOnLine line{{MeterAt(3, 350, 60, 20), MeterAt(17, 100, 40, 250), MeterAt(200, 1, 200, 90)}};
  BusListSettings settings;
  bus::BusTabModel model{*line.scheduler, line.h.clock, settings};
};

TEST_F(BusTab, AddedMetersShowTheirOwnRatiosWithinTenSeconds) {
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

  // Stopped: nothing more is asked of the line.
  model.StartStop();
  const size_t written = line.h.meter->Written().size();
  Run(2000);
  EXPECT_EQ(line.h.meter->Written().size(), written);
  EXPECT_FALSE(model.NeedsTicks());  // the front end's timer then stops
}

TEST_F(BusTab, BadTextIsRefusedAndTheListIsKeptPerPort) {
  ASSERT_EQ(model.Add("1-4"), "");
  model.Remove(1);                         // address 2
  ASSERT_EQ(model.Add("3, 17，247"), "");  // 3 is listed already
  const std::string refused = model.Add("3,abc");
  EXPECT_EQ(refused, bus::ParseAddressList("3,abc").error);
  // Just outside the addresses a meter may have: the message names the range.
  EXPECT_NE(model.Add("0").find("1 到 247"), std::string::npos);
  EXPECT_NE(model.Add("248").find("1 到 247"), std::string::npos);
  model.Remove(9);  // no such row
  EXPECT_EQ(settings.texts, (std::map<std::string, std::string>{{"bus/port1", "1,3,4,17,247"}}));

  // Another port has its own list; back on the first, its list is read again from the settings.
  settings.texts["bus/port2"] = "200";
  line.h.dialog->m_portNumber = 2;
  ASSERT_EQ(model.Rows().size(), 1u);
  EXPECT_EQ(model.Rows()[0][BusColumn::Address], "200");
  line.h.dialog->m_portNumber = 1;
  std::vector<std::string> listed;
  for (const bus::BusTableRow& r : model.Rows()) listed.push_back(r[BusColumn::Address]);
  EXPECT_EQ(listed, (std::vector<std::string>{"1", "3", "4", "17", "247"}));
}

TEST_F(BusTab, AChosenRowBecomesTheMainDialogsMeter) {
  ASSERT_EQ(model.Add("3,17,200"), "");
  const size_t from = line.h.meter->Written().size();
  model.Choose(2);
  model.Choose(7);  // no such row: nothing
  Run(3000);
  EXPECT_EQ(line.h.host.GetText(*line.h.dialog, ui::main_ids::kSlaveAddressEdit), "200");
  const auto& w = line.h.meter->Written();
  ASSERT_GE(w.size(), from + 5);
  EXPECT_EQ(w[from].bytes, ReadRequest(200, 0x0300, 19));  // its configuration first
  for (size_t i = from; i < w.size(); ++i) EXPECT_EQ(w[i].bytes[0], 200) << i;
}

}  // namespace
}  // namespace kt::testing
