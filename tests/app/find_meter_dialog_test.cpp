// "自动查找…" in the communication settings: the dialog "自动查找仪表" on the in-memory host, its
// finder on a simulated bus of its own in virtual time, and the meter it hands to the main dialog.
#include <gtest/gtest.h>

#include <functional>

#include "../finder/SimulatedLines.h"
#include "MainDialogHarness.h"
#include "app/CMonitorApp.h"
#include "ui/CFindMeterDlg.h"
#include "ui/CommSetDialogIds.h"
#include "ui/FindMeterDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::finder::testing::Bus;
using kt::finder::testing::MeterAt;
using kt::finder::testing::OpenerOn;
using kt::ui::Dialog;
namespace comm_set_ids = kt::ui::comm_set_ids;
namespace find_ids = kt::ui::find_meter_ids;
namespace main_ids = kt::ui::main_ids;

namespace {

// Lets the sweep run until the table shows `rows` meters or the sweep is over.
void RunUntilRows(kt::ui::InMemoryHost& host, Dialog& d, size_t rows) {
  for (int second = 0; second < 3600; ++second) {
    if (host.Control(d, find_ids::kMeterTable).lines.size() >= rows) return;
    if (host.Control(d, find_ids::kStartButton).enabled) return;
    host.RunFor(1000);
  }
}

class FindMeterTest : public ::testing::Test, public MainDialogHarness {
 protected:
  FindMeterTest() {
    meterConfig.address = 117;
    meterConfig.baudRate = 2400;
    meterConfig.parity = 2;
    meterConfig.ptRatio = 35;
    AttachMeter(meterConfig);
    Meter().SetMeterPort(3);
    app.finderOpener = OpenerOn(bus);
    bus.line.SetMeterPort(3);
  }
  kt::sim::MeterConfig meterConfig;
  // The finder's own lines: the same meter, on port 3 of this machine.
  Bus bus{clock, {.address = 117, .baudRate = 2400, .parity = 2, .ptRatio = 35}};
  std::vector<kt::serial::PortInfo> ports{{.name = "ttyS0", .device = "/dev/ttyS0"},
                                          {.name = "ttyS1", .device = "/dev/ttyS1"},
                                          {.name = "ttyS2", .device = "/dev/ttyS2"}};
  kt::app::CMonitorApp app{host, port, clock, [this] { return ports; }};

  // What the main dialog shows once a meter was used: the address it starts with, its line
  // settings, and phase A's voltage after "运行" and 15 s of polling. `first` plays the user before
  // the address is read.
  struct MainDialogSeen {
    std::string address, info, voltage;
  };
  const MainDialogSeen& PollInTheMainDialog(const std::function<void(Dialog&)>& first = {}) {
    host.ScriptModal(main_ids::kTemplateId, [this, first](Dialog& d) {
      if (first) first(d);
      mainSeen.address = host.Control(d, main_ids::kSlaveAddressEdit).text;
      mainSeen.info = host.Control(d, main_ids::kInformationBox).text;
      host.Click(d, main_ids::kRunButton);
      host.RunFor(15000);
      mainSeen.voltage = host.Control(d, main_ids::kPhaseVoltageABox).text;
      host.Click(d, kt::ui::IDCANCEL);
    });
    return mainSeen;
  }
  MainDialogSeen mainSeen;
};

// The case: a meter at 2400 bit/s, even parity, address 117; "使用" fills the settings,
// the main dialog starts with its address and polls it after "运行".
TEST_F(FindMeterTest, UseTakesTheMeterIntoTheSettingsAndTheMainDialog) {
  std::vector<std::string> row;
  bool mainPortUntouched = false;
  host.ScriptModal(find_ids::kTemplateId, [&](Dialog& d) {
    EXPECT_FALSE(host.Control(d, find_ids::kOnlyCurrentPort).checked);
    EXPECT_FALSE(host.Control(d, find_ids::kStopAfterFirst).checked);
    host.Click(d, find_ids::kStartButton);
    host.RunFor(200);
    EXPECT_EQ(host.Control(d, find_ids::kAttemptText).text.rfind("COM1 9600bps 无校验 地址 ", 0),
              0u)
        << host.Control(d, find_ids::kAttemptText).text;
    EXPECT_FALSE(host.Control(d, find_ids::kStartButton).enabled);
    RunUntilRows(host, d, 1);
    const auto& lines = host.Control(d, find_ids::kMeterTable).lines;
    ASSERT_EQ(lines.size(), 1u);
    row = {lines[0]};
    mainPortUntouched = port.calls.empty();
    EXPECT_TRUE(host.ClickListLine(d, find_ids::kMeterTable, 0));
    host.Click(d, find_ids::kUseButton);
  });
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    host.Click(d, comm_set_ids::kFindMeterButton);
    EXPECT_EQ(host.Control(d, comm_set_ids::kPortEdit).text, "3");
    EXPECT_TRUE(host.Control(d, comm_set_ids::kBaud2400Radio).checked);
    EXPECT_FALSE(host.Control(d, comm_set_ids::kBaud9600Radio).checked);
    EXPECT_TRUE(host.Control(d, comm_set_ids::kEvenParityRadio).checked);
    EXPECT_FALSE(host.Control(d, comm_set_ids::kNoParityRadio).checked);
    host.Click(d, kt::ui::IDOK);
  });
  const MainDialogSeen& main = PollInTheMainDialog();
  app.InitInstance();
  EXPECT_EQ(row, std::vector<std::string>{"COM3\t2400bps\t偶校验\t117\t3相4线(非平衡)\t35\t1"});
  EXPECT_TRUE(mainPortUntouched);
  EXPECT_FALSE(bus.line.GetPortOpen());
  EXPECT_EQ(main.address, "117");
  EXPECT_EQ(port.calls.at(0), "CommPort=3");
  EXPECT_EQ(port.calls.at(1), "Settings=2400E,8,1");
  EXPECT_FALSE(main.voltage.empty());
  EXPECT_EQ(host.UnscriptedModals(), 0);
}

// From the main dialog's "通讯设置": the main dialog lends the finder its port (closes it while
// the finder has it, opens it again afterwards); without the loan the port is another program's
// to the finder. The meter runs at the settings found, so nothing is written to it; the PC
// follows, and the main dialog talks to the found address.
TEST_F(FindMeterTest, UseFromTheMainDialogsSettingsFollowsTheMeterWithoutWritingToIt) {
  app.finderOpener = [this](const kt::finder::CandidateLine& line) {
    if (line.portNumber == 3 && port.GetPortOpen()) {
      throw kt::serial::SerialError(kt::serial::SerialErrorKind::PortInUse, "/dev/ttyS2", "busy");
    }
    return OpenerOn(bus)(line);
  };
  bool closedWhileSwept = false;
  bool openAfter = false;
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    host.Type(d, comm_set_ids::kPortEdit, "3");
    host.Click(d, kt::ui::IDOK);
  });
  host.ScriptModal(find_ids::kTemplateId, [&](Dialog& d) {
    host.Click(d, find_ids::kOnlyCurrentPort);
    host.Click(d, find_ids::kStartButton);
    host.RunFor(500);
    closedWhileSwept = !port.GetPortOpen();
    RunUntilRows(host, d, 1);
    EXPECT_TRUE(host.Control(d, find_ids::kFailureList).lines.empty());
    host.ClickListLine(d, find_ids::kMeterTable, 0);
    host.Click(d, find_ids::kUseButton);
  });
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    host.Click(d, comm_set_ids::kFindMeterButton);
    openAfter = port.GetPortOpen();
    host.Click(d, kt::ui::IDOK);
  });
  size_t writesBefore = 0;
  const MainDialogSeen& main = PollInTheMainDialog([&](Dialog& d) {
    writesBefore = port.written.size();
    host.Click(d, main_ids::kCommSettingsButton);
  });
  app.InitInstance();
  EXPECT_TRUE(closedWhileSwept);
  EXPECT_TRUE(openAfter);
  EXPECT_EQ(main.address, "117");
  EXPECT_EQ(main.info, "串行口: 3 \r\n\r\n波特率: 2400 \r\n\r\n校验位:偶校验");
  for (size_t i = writesBefore; i < port.written.size(); ++i) {
    EXPECT_NE(port.written[i].at(1), 0x06) << "a line setting written to the meter";
  }
  EXPECT_FALSE(main.voltage.empty());
  EXPECT_TRUE(host.Messages().empty());
  EXPECT_EQ(host.UnscriptedModals(), 0);
}

TEST_F(FindMeterTest, StopKeepsTheTableAndClosingWithoutUseChangesNothing) {
  bus.line.AddMeter(MeterAt({.address = 4, .baudRate = 2400, .parity = 2}));
  host.ScriptModal(find_ids::kTemplateId, [&](Dialog& d) {
    host.Click(d, find_ids::kOnlyCurrentPort);
    host.Click(d, find_ids::kStartButton);
    RunUntilRows(host, d, 1);
    host.Click(d, find_ids::kStopButton);
    EXPECT_EQ(host.Control(d, find_ids::kAttemptText).text, "已停止");
    EXPECT_TRUE(host.Control(d, find_ids::kStartButton).enabled);
    EXPECT_FALSE(host.Control(d, find_ids::kStopButton).enabled);
    EXPECT_FALSE(bus.line.GetPortOpen());
    const size_t sent = bus.sent.size();
    host.RunFor(2000);
    EXPECT_EQ(bus.sent.size(), sent);
    EXPECT_EQ(host.Control(d, find_ids::kMeterTable).lines.size(), 1u);
    // Only the port of the COM box was tried.
    for (const auto& r : bus.sent) EXPECT_EQ(r.port, 3);
    // "使用" without a row asks for one and stays.
    host.Click(d, find_ids::kUseButton);
    EXPECT_TRUE(host.IsOpen(d));
    host.Click(d, kt::ui::IDCANCEL);
  });
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    host.Type(d, comm_set_ids::kPortEdit, "3");
    host.Click(d, comm_set_ids::kFindMeterButton);
    EXPECT_EQ(host.Control(d, comm_set_ids::kPortEdit).text, "3");
    EXPECT_TRUE(host.Control(d, comm_set_ids::kBaud9600Radio).checked);
    host.Click(d, kt::ui::IDCANCEL);
  });
  app.InitInstance();
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "请先在表中选择一台仪表");
  EXPECT_EQ(host.UnscriptedModals(), 0);
}

// "找到一台后停止", a double click on the row, and a port that cannot be opened listed once.
TEST_F(FindMeterTest, StopAfterTheFirstAndDoubleClick) {
  bus.line.SetPortInUse(1, true);
  std::vector<std::string> failures;
  host.ScriptModal(find_ids::kTemplateId, [&](Dialog& d) {
    host.Click(d, find_ids::kStopAfterFirst);
    host.Click(d, find_ids::kStartButton);
    RunUntilRows(host, d, 2);
    EXPECT_EQ(host.Control(d, find_ids::kAttemptText).text, "查找结束");
    EXPECT_EQ(host.Control(d, find_ids::kProgressText).text, "找到 1 台仪表");
    EXPECT_EQ(host.Control(d, find_ids::kMeterTable).lines.size(), 1u);
    failures = host.Control(d, find_ids::kFailureList).lines;
    host.ClickListLine(d, find_ids::kMeterTable, 0);
    host.Click(d, find_ids::kMeterTable);  // the double click's command
  });
  host.ScriptModal(comm_set_ids::kTemplateId, [&](Dialog& d) {
    host.Click(d, comm_set_ids::kFindMeterButton);
    EXPECT_EQ(host.Control(d, comm_set_ids::kPortEdit).text, "3");
    host.Click(d, kt::ui::IDCANCEL);
  });
  app.InitInstance();
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].rfind("COM1：串口 /dev/ttyS0 已被其他程序占用", 0), 0u) << failures[0];
}

}  // namespace
