// The main dialog over each kind of line: a scripted port (initialisation, failures inside
// handlers) and the simulated meter (start-up, the poll cycle on the wire, decoding and status,
// faults on the line and refusals).
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <memory>

#include "MainDialogHarness.h"
#include "modbus/RequestFrames.h"
#include "sim/SimulatedLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/MainDialogIds.h"

using kt::serial::SerialError;
using kt::serial::SerialErrorKind;
using kt::sim::MeterConfig;
using kt::sim::SimulatedLine;
using namespace kt::testing;
using namespace kt::ui::main_ids;

namespace {

// The scripted port: answers as its register map says, refuses as told.
class MonitorDialogTest : public ::testing::Test, public MainDialogHarness {};

TEST_F(MonitorDialogTest, OpeningWithThePresets) {
  auto& d = Open();
  EXPECT_EQ(Text(kSlaveAddressEdit), "0");
  // The first key press replaces the 0 rather than typing 10.
  EXPECT_EQ(host.FocusedControl(d), kSlaveAddressEdit);
  EXPECT_TRUE(host.FocusedTextSelected(d));
  EXPECT_EQ(Text(kRunButton), "运行");
  EXPECT_EQ(Text(kInformationBox), "串行口: 1 \r\n\r\n波特率: 9600 \r\n\r\n校验位:无校验");
  const std::vector<std::string> calls = {"CommPort=1", "Settings=9600N,8,2", "PortOpen=1",
                                          "InputLen=0", "InBufferCount=0"};
  EXPECT_EQ(port.calls, calls);
  EXPECT_TRUE(port.open);
  EXPECT_EQ(d.m_slaveAddress, 0);
  EXPECT_EQ(d.m_ptRatio, 1u);
  EXPECT_EQ(d.m_ctRatio, 1u);
  EXPECT_EQ(d.m_wiringMode, 0);
  EXPECT_EQ(d.m_pollState, 0);
  EXPECT_EQ(d.m_running, 0);
  EXPECT_EQ(d.m_probeAddress, 1);
  EXPECT_EQ(d.m_limitStatus, (std::array<uint8_t, 8>{}));
  EXPECT_EQ(d.m_powerMultiplier, 1);
  EXPECT_EQ(d.m_energyMultiplier, 1);
  EXPECT_EQ(d.m_accuracyClass, 0);
  // Polling does not start by itself.
  EXPECT_FALSE(host.TimerRunning(d, kt::ui::kPollTimer));
  host.RunFor(3000);
  EXPECT_TRUE(port.written.empty());
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(MonitorDialogTest, LineSettingsAndPollPeriods) {
  struct Case {
    int32_t baud, parity;
    const char* settings;
    unsigned periodMs;
    const char* parityLine;
  };
  const Case cases[] = {
      {1200, 0, "1200N,8,2", 2000, "校验位:无校验"},  {2400, 1, "2400O,8,1", 1500, "校验位:奇校验"},
      {4800, 1, "4800O,8,1", 1000, "校验位:奇校验"},  {9600, 2, "9600E,8,1", 500, "校验位:偶校验"},
      {19200, 2, "19200E,8,1", 500, "校验位:偶校验"},
  };
  for (const Case& c : cases) {
    port.calls.clear();
    auto& d = Open({3, c.baud, c.parity});
    EXPECT_EQ(port.calls.at(1), std::string("Settings=") + c.settings);
    EXPECT_EQ(port.calls.at(0), "CommPort=3");
    EXPECT_EQ(d.m_pollPeriodMs, c.periodMs);
    host.Click(d, kRunButton);
    EXPECT_EQ(host.TimerPeriod(d, kt::ui::kPollTimer), c.periodMs);
    const std::string info = Text(kInformationBox);
    EXPECT_EQ(info.substr(info.size() - std::string(c.parityLine).size()), c.parityLine);
    host.Close(d);
  }
}

// (A port refused at the start: start_refused_port_test. Run and Stop, their captions and the
// poll timer: address_search_test and link_status_test; resuming from the state the cycle was
// in: poll_cycle_test; Enter only with a valid address: start_up_test.)
TEST_F(MonitorDialogTest, TimerIdsOtherThanPollAndProbeDoNothing) {
  auto& d = Open();
  port.Arrive({1, 2, 3});
  d.OnTimer(7);
  EXPECT_TRUE(port.written.empty());
  EXPECT_EQ(port.pending.size(), 3u);
}

// A bad slave address makes the decoder's read-back prompt; the poll timer keeps ticking while
// the prompt is open, and those ticks must not open more prompts.
TEST_F(MonitorDialogTest, PromptsFromTicksDoNotStack) {
  meterOn = true;
  registers[0x0300] = 1;
  auto& d = Open();
  host.Type(d, kSlaveAddressEdit, "1");
  host.Click(d, kRunButton);
  host.RunFor(4 * 500);  // configuration, values, class; the block request is out
  ASSERT_EQ(d.m_pollState, 3);
  host.Type(d, kSlaveAddressEdit, "abc");
  int boxes = 0;
  size_t writesDuringBox = 0;
  host.OnMessageBox([&](const std::string&) {
    if (++boxes > 1) return;  // a stacked box: counted, and confirmed at once
    const size_t before = port.written.size();
    host.RunFor(5000);  // the user takes a while
    writesDuringBox = port.written.size() - before;
  });
  host.RunFor(500);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(writesDuringBox, 0u);
  EXPECT_EQ(d.m_slaveAddress, 1);
  EXPECT_FALSE(d.IsPromptOpen());
  EXPECT_FALSE(Text(kPhaseVoltageABox).empty());  // the block was decoded after the prompt
  EXPECT_EQ(d.m_pollState, 4);
  // The same bad text prompts no more with the blocks that follow; a changed one once again.
  boxes = 0;
  host.RunFor(3000);
  EXPECT_EQ(boxes, 0);
  host.Type(d, kSlaveAddressEdit, "abd");
  host.RunFor(3000);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(d.m_slaveAddress, 1);
}

TEST_F(MonitorDialogTest, FailingReadsAreReportedOnce) {
  auto& d = Open();
  host.Type(d, kSlaveAddressEdit, "1");
  host.Click(d, kRunButton);
  port.failingReads = 4;
  int boxes = 0;
  host.OnMessageBox([&](const std::string&) {
    ++boxes;
    host.RunFor(2000);  // ticks meanwhile do nothing
  });
  host.RunFor(500);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(host.Messages().at(0).text.find("/dev/ttyS0") != std::string::npos, true);
  EXPECT_TRUE(port.written.empty());  // nothing half-done: the failed ticks sent nothing
  host.RunFor(4 * 500);               // the remaining three failures, then a good read
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(port.failingReads, 0);
  EXPECT_EQ(port.written.size(), 1u);
  EXPECT_TRUE(host.TimerRunning(d, kt::ui::kPollTimer));
  // A new failure after a good tick is a new report.
  port.failingReads = 1;
  host.OnMessageBox(nullptr);
  host.RunFor(500);
  EXPECT_EQ(host.Messages().size(), 2u);
}

TEST_F(MonitorDialogTest, RefusedWriteStillEchoesTheFrame) {
  // Every write refused, as a device unplugged mid-run would.
  port.refuseOutput =
      SerialError(kt::serial::SerialFault{.kind = SerialErrorKind::IoError,
                                          .operation = kt::serial::SerialOperation::Write,
                                          .device = "/dev/ttyUSB0",
                                          .systemError = ENODEV});
  auto& d = Open();
  host.Type(d, kSlaveAddressEdit, "1");
  Click(kRunButton);
  host.RunFor(500);
  const Bytes config = ReadRequest(1, 0x0300, 19);
  EXPECT_EQ(Text(kSendEcho), kt::modbus::EchoText(std::span(config).first(8)));
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "串口 /dev/ttyUSB0 发送失败（设备已不存在）");
  EXPECT_TRUE(port.written.empty());
  EXPECT_EQ(d.m_pollState, 0);
}

// The simulated meter on the virtual clock.
const Bytes& kConfig = golden::kConfigRequest;
const Bytes& kValues = golden::kValuesRequest;
const Bytes& kClass = golden::kClassRequest;
const Bytes& kBlock = golden::kBlockRequest;
const Bytes& kMultiplier = golden::kMultiplierRequest;

class MonitorSimTest : public ::testing::Test, public MainDialogHarness {
 protected:
  std::unique_ptr<SimulatedLine>& line = meter;

  kt::ui::CMonitorDlg& Start(MeterConfig config = {}, int32_t baud = 9600, int32_t parity = 0,
                             const char* address = "1") {
    AttachMeter(config);
    auto& d = Open(StartSettings{1, baud, parity});
    host.Type(d, kSlaveAddressEdit, address);
    return d;
  }
  std::vector<Bytes> Requests() const {
    std::vector<Bytes> all;
    for (const auto& s : line->Written()) all.push_back(s.bytes);
    return all;
  }
};

// At each rate the meter answers within the poll period: the whole cycle goes on one request a
// period, a block shown from the tick after its request on.
TEST_F(MonitorSimTest, CycleOnTheWireAndADecodedBlockEverySecondTick) {
  for (const auto& [baud, periodMs] : {std::pair{9600, 500u}, std::pair{1200, 2000u}}) {
    SCOPED_TRACE(baud);
    MeterConfig c;
    c.ptRatio = 10;
    c.ctRatio = 5;
    c.baudRate = baud;
    auto& d = Start(c, baud);
    EXPECT_EQ(line->Settings(), std::to_string(baud) + "N,8,2");
    EXPECT_EQ(line->OpenCount(), 1);
    host.Click(d, kRunButton);
    std::vector<std::string> voltageAfterTick;
    for (int tick = 0; tick < 9; ++tick) {
      host.RunFor(periodMs);
      voltageAfterTick.push_back(Text(kPhaseVoltageABox));
    }
    EXPECT_EQ(Requests(), (std::vector<Bytes>{kConfig, kValues, kClass, kBlock, kMultiplier, kBlock,
                                              kMultiplier, kBlock, kMultiplier}));
    // One request per poll period.
    const auto& w = line->Written();
    for (size_t i = 1; i < w.size(); ++i) EXPECT_EQ(w[i].atMs - w[i - 1].atMs, periodMs);
    // Each block reply is shown on the tick after its request, and stays until the next.
    EXPECT_EQ(voltageAfterTick[3], "");
    EXPECT_NE(voltageAfterTick[4], "");
    EXPECT_EQ(voltageAfterTick[5], voltageAfterTick[4]);
    // The shown value is the meter's register scaled with the PT ratio it reported.
    const uint16_t raw = line->meter().lastBlockRegisters()[0];
    char expected[32];
    std::snprintf(expected, sizeof expected, "%.2f KV", raw * 10.0 / 100 / 1000);
    ASSERT_GT(raw * 10.0 / 100, 1000.0);  // 220 V on a PT of 10: shown in KV
    EXPECT_EQ(Text(kPhaseVoltageABox), expected);
    EXPECT_EQ(d.m_ptRatio, 10u);
    EXPECT_EQ(d.m_ctRatio, 5u);
    for (int id : {kPhaseVoltageTotalBox, kLineVoltageMeanBox, kCurrentTotalBox,
                   kActivePowerTotalBox, kApparentPowerTotalBox, kPowerFactorTotalBox,
                   kFrequencyBox, kZeroSequenceCurrentBox, kForwardActiveEnergyBox,
                   kReverseActiveEnergyBox, kForwardReactiveEnergyBox, kReverseReactiveEnergyBox}) {
      EXPECT_FALSE(Text(id).empty()) << id;
    }
    EXPECT_EQ(Text(kReverseActiveEnergyBox).substr(0, 1), "-");
    EXPECT_EQ(Text(kFrequencyBox).substr(Text(kFrequencyBox).size() - 3), " Hz");
    host.Close(d);
  }
}

// What the line does to the cycle, tick by tick at 9600 (500 ms): the requests sent, the state
// reached, whether a block is shown; never a message box.
// (No meter, an exception reply, stray bytes ahead of a reply and replies split across ticks:
// poll_cycle_test.)
TEST_F(MonitorSimTest, LineFaultsHoldTheCycleWhereTheyShould) {
  struct Case {
    const char* label;
    MeterConfig meter;
    std::vector<Bytes> requests;
    uint8_t state;
  };
  MeterConfig late;
  late.responseDelayMs = 600;  // a whole reply 100 ms after the next tick's read
  const Case cases[] = {
      // A late whole reply waits in the queue and is taken by the tick after the next.
      {"late reply", late, {kConfig, kConfig, kValues}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto& d = Start(c.meter);
    host.Click(d, kRunButton);
    host.RunFor(500 * static_cast<uint32_t>(c.requests.size()));
    EXPECT_EQ(Requests(), c.requests);
    EXPECT_EQ(d.m_pollState, c.state);
    EXPECT_EQ(Text(kPhaseVoltageABox).empty(), c.state < 4);
    EXPECT_TRUE(host.Messages().empty());
    host.Close(d);
  }
}

// With the status pair after the block the limit status boxes follow it (the receive echo holds
// the request and exactly the 97 bytes this read took); without it they stay as they were (95
// bytes). (Their colours and redraws: limit_status_test.)
TEST_F(MonitorSimTest, StatusTrailerDrivesTheStatusTextsAndColours) {
  for (const bool trailer : {true, false}) {
    SCOPED_TRACE(trailer);
    MeterConfig c;
    c.statusTrailer = trailer;
    c.load.phaseVoltage = {250.0, 220.0, 180.0};  // over, normal, under the 242 / 198 V limits
    c.load.noise = 0;
    auto& d = Start(c);
    host.Click(d, kRunButton);
    host.RunFor(5 * 500);
    EXPECT_NE(Text(kPhaseVoltageABox), "");
    const uint8_t v = line->meter().lastBlock().voltageStatus;
    ASSERT_NE(v, 0) << "the load should put a voltage item in alarm";
    const char* texts[] = {"正常", "欠压", "过压", "正常"};
    const int boxes[] = {kVoltageStatus1Box, kVoltageStatus2Box, kVoltageStatus3Box,
                         kVoltageStatus4Box};
    for (int i = 0; i < 4; ++i) {
      const int code = (v >> (6 - 2 * i)) & 3;
      EXPECT_EQ(Text(boxes[i]), trailer ? texts[code] : "") << i;
      EXPECT_EQ(d.m_limitStatus[i], trailer && (code == 1 || code == 2) ? 1 : 0);
    }
    const std::string echo = Text(kReceiveEcho);
    EXPECT_EQ(echo.size(), 4u * (8 + (trailer ? 97 : 95)));
    EXPECT_EQ(echo.substr(0, 32), kt::modbus::EchoText(std::span(kBlock).first(8)));
    host.Close(d);
  }
}

// A missing port, and 65537 (the low 16 bits of port 1: refused, not wrapped), are told once;
// the dialog stays usable and polling sends nothing.
TEST_F(MonitorSimTest, ARefusedPortIsReportedAndTheDialogStaysUsable) {
  for (const int32_t number : {1, 65537}) {
    SCOPED_TRACE(number);
    AttachMeter();
    line->SetPortMissing(1, number == 1);
    auto& d = Open(StartSettings{number});
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_NE(host.Messages()[0].text.find(number == 1 ? SimulatedLine::DevicePath(1) : "65537"),
              std::string::npos);
    EXPECT_FALSE(line->GetPortOpen());
    EXPECT_EQ(line->OpenCount(), 0);
    EXPECT_EQ(d.m_pollState, 0);
    EXPECT_NE(Text(kInformationBox).find("串行口: " + std::to_string(number)), std::string::npos);
    host.Type(d, kSlaveAddressEdit, "1");
    host.Click(d, kRunButton);
    host.RunFor(1000);
    for (const auto& s : line->Written()) EXPECT_FALSE(s.onWire);
    EXPECT_EQ(host.Messages().size(), 1u);
    host.Close(d);
    host.ClearMessages();
  }
}

// (Every way out closes the port: start_up_test.)

}  // namespace
