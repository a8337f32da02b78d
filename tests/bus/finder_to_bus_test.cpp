// The finder's "加入总线": the meters found on two lines go onto each port's bus list, the one
// of the main dialog's port shown in the bus tab at once, names kept; without a bus the button
// is hidden.
#include <gtest/gtest.h>

#include "../finder/SimulatedLines.h"
#include "BusOnLine.h"
#include "bus/BusTabModel.h"
#include "ui/CFindMeterDlg.h"
#include "ui/FindMeterDialogIds.h"

namespace kt::testing {
namespace {

namespace find_ids = ui::find_meter_ids;
using finder::testing::Bus;

TEST(FinderToBus, TheMetersFoundGoOntoTheirPortsLists) {
  BusOnLine line{{MeterAt(3, 1, 1, 20)}};
  BusListSettings settings;
  settings.texts["bus/port1"] = "9=出线柜";
  bus::BusTabModel model(*line.scheduler, line.h.clock, settings);
  model.AttachTo(*line.h.dialog);
  // The finder's own lines: meters 3 and 9 on port 1 (answering late and early), 5 on port 2.
  Bus port1{line.h.clock, {.address = 3, .answerMs = 280}};
  port1.line.AddMeter(finder::testing::MeterAt({.address = 9, .answerMs = 30}));
  Bus port2{line.h.clock, {.address = 5, .answerMs = 120}};
  const std::vector<serial::PortInfo> ports{{.name = "ttyS0", .device = "/dev/ttyS0"},
                                            {.name = "ttyS1", .device = "/dev/ttyS1"}};
  ui::FinderSetup setup = line.h.dialog->m_finderSetup;
  setup.clock = &line.h.clock;
  setup.opener = finder::testing::OpenerOn(std::vector<Bus*>{&port1, &port2});
  ui::CFindMeterDlg find(
      line.h.host, [&] { return ports; }, setup);
  ui::InMemoryHost& host = line.h.host;
  host.ScriptModal(find_ids::kTemplateId, [&](ui::Dialog& d) {
    EXPECT_TRUE(host.Control(d, find_ids::kAddToBusButton).visible);
    host.Click(d, find_ids::kAddToBusButton);  // nothing found yet
    host.Click(d, find_ids::kStartButton);
    for (int s = 0; s < 600 && host.Control(d, find_ids::kMeterTable).lines.size() < 3; ++s) {
      host.RunFor(1000);
    }
    host.Click(d, find_ids::kStopButton);
    host.Click(d, find_ids::kAddToBusButton);
    host.Click(d, ui::IDCANCEL);
  });
  find.DoModal();

  ASSERT_EQ(host.Messages().size(), 2u);
  EXPECT_EQ(host.Messages()[0].text, bus::kBusNoFoundMeters);
  EXPECT_NE(host.Messages()[1].text.find("COM2 地址 5"), std::string::npos)
      << host.Messages()[1].text;
  EXPECT_EQ(settings.texts["bus/port2"], "5");
  std::vector<std::string> shown;
  for (const bus::BusTableRow& r : model.Rows()) {
    shown.push_back(r[bus::BusColumn::Address] + ":" + r[bus::BusColumn::Name]);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"9:出线柜", "3:"}));
  EXPECT_EQ(settings.texts["bus/port1"], "9=出线柜,3");

  // Without a bus tab behind it, the finder has no such button.
  ui::CFindMeterDlg alone(host, [&] { return ports; }, {&line.h.clock});
  host.ScriptModal(find_ids::kTemplateId, [&](ui::Dialog& d) {
    EXPECT_FALSE(host.Control(d, find_ids::kAddToBusButton).visible);
    host.Click(d, ui::IDCANCEL);
  });
  alone.DoModal();
}

}  // namespace
}  // namespace kt::testing
