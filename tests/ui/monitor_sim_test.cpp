// The whole monitoring road against the simulated meter: start-up, the poll cycle on the wire,
// decoding and status, faults on the line, refusals and closing.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "MainDialogHarness.h"
#include "app/CMonitorApp.h"
#include "modbus/RequestFrames.h"
#include "sim/SimulatedLine.h"
#include "ui/CMonitorDlg.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using kt::sim::MeterConfig;
using kt::sim::SimulatedLine;
using kt::ui::kPollTimer;
using namespace kt::testing;
using namespace kt::ui::main_ids;

namespace {

const Bytes& kConfig = golden::kConfigRequest;
const Bytes& kValues = golden::kValuesRequest;
const Bytes& kClass = golden::kClassRequest;
const Bytes& kBlock = golden::kBlockRequest;
const Bytes& kMultiplier = golden::kMultiplierRequest;

class MonitorSimTest : public ::testing::Test, public MainDialogHarness {
 protected:
  std::unique_ptr<SimulatedLine>& line = meter;
  std::unique_ptr<kt::ui::CMonitorDlg>& dlg = dialog;

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

TEST_F(MonitorSimTest, CycleOnTheWireAndADecodedBlockEverySecondTick) {
  MeterConfig c;
  c.ptRatio = 10;
  c.ctRatio = 5;
  auto& d = Start(c);
  EXPECT_EQ(line->Settings(), "9600N,8,2");
  EXPECT_EQ(line->OpenCount(), 1);
  host.Click(d, kRunButton);
  std::vector<uint64_t> blocksAfterTick;
  std::vector<std::string> voltageAfterTick;
  for (int tick = 0; tick < 9; ++tick) {
    host.RunFor(500);
    blocksAfterTick.push_back(line->meter().blockCount());
    voltageAfterTick.push_back(Text(kPhaseVoltageABox));
  }
  EXPECT_EQ(Requests(), (std::vector<Bytes>{kConfig, kValues, kClass, kBlock, kMultiplier, kBlock,
                                            kMultiplier, kBlock, kMultiplier}));
  // One request per poll period.
  const auto& w = line->Written();
  for (size_t i = 1; i < w.size(); ++i) EXPECT_EQ(w[i].atMs - w[i - 1].atMs, 500u);
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
  for (int id : {kPhaseVoltageTotalBox, kLineVoltageMeanBox, kCurrentTotalBox, kActivePowerTotalBox,
                 kApparentPowerTotalBox, kPowerFactorTotalBox, kFrequencyBox,
                 kZeroSequenceCurrentBox, kForwardActiveEnergyBox, kReverseActiveEnergyBox,
                 kForwardReactiveEnergyBox, kReverseReactiveEnergyBox}) {
    EXPECT_FALSE(Text(id).empty()) << id;
  }
  EXPECT_EQ(Text(kReverseActiveEnergyBox).substr(0, 1), "-");
  EXPECT_EQ(Text(kFrequencyBox).substr(Text(kFrequencyBox).size() - 3), " Hz");
}

TEST_F(MonitorSimTest, PollPeriodFollowsTheBaudRate) {
  MeterConfig c;
  c.baudRate = 1200;
  auto& d = Start(c, 1200);
  host.Click(d, kRunButton);
  host.RunFor(6000);
  ASSERT_EQ(line->Written().size(), 3u);
  EXPECT_EQ(line->Written()[1].atMs - line->Written()[0].atMs, 2000u);
  EXPECT_EQ(d.m_pollState, 2);  // a 1200-baud meter still answers within the period
}

TEST_F(MonitorSimTest, NoMeterSendsTheSameRequestEveryTick) {
  auto& d = Start();
  line->SetMeterConnected(false);
  host.Click(d, kRunButton);
  host.RunFor(3000);
  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 6u);
  for (const Bytes& r : requests) EXPECT_EQ(r, kConfig);
  EXPECT_EQ(d.m_pollState, 0);
  EXPECT_EQ(Text(kPhaseVoltageABox), "");
  EXPECT_TRUE(host.Messages().empty());
}

TEST_F(MonitorSimTest, NoiseBeforeRepliesDoesNotStopTheCycle) {
  MeterConfig c;
  c.faults.noiseBytes = 6;
  c.faults.seed = 7;
  auto& d = Start(c);
  host.Click(d, kRunButton);
  host.RunFor(5 * 500);
  EXPECT_EQ(Requests().back(), kMultiplier);
  EXPECT_NE(Text(kPhaseVoltageABox), "");
}

TEST_F(MonitorSimTest, RepliesSplitAcrossTicksAreNeverTakenWhole) {
  MeterConfig c;
  c.faults.splitGapMs = 600;  // the second half always comes after the next read
  auto& d = Start(c);
  host.Click(d, kRunButton);
  host.RunFor(4000);
  EXPECT_EQ(d.m_pollState, 0);
  EXPECT_EQ(Requests().back(), kConfig);
}

// A whole reply that lands after the next tick has read (the meter answers later than a period)
// still waits in the queue and is taken by the tick after that.
TEST_F(MonitorSimTest, WholeReplyLaterThanTheNextReadIsFoundOneTickLater) {
  MeterConfig c;
  c.responseDelayMs = 600;  // 100 ms after the next tick's read
  auto& d = Start(c);
  host.Click(d, kRunButton);
  host.RunFor(500);  // tick 1: the configuration request goes out
  host.RunFor(500);  // tick 2: nothing yet, the request goes out again
  EXPECT_EQ(d.m_pollState, 0);
  EXPECT_EQ(Requests(), (std::vector<Bytes>{kConfig, kConfig}));
  host.RunFor(500);  // tick 3: the first reply is found
  EXPECT_EQ(d.m_pollState, 1);
  EXPECT_EQ(Requests().back(), kValues);
}

TEST_F(MonitorSimTest, ExceptionReplyIsNotAMatch) {
  auto& d = Start();
  line->SetMeterConnected(false);
  host.Click(d, kRunButton);
  host.RunFor(500);
  line->InjectBytes(WithCrc({0x01, 0x83, 0x02}));
  host.RunFor(500);
  EXPECT_EQ(d.m_pollState, 0);
  EXPECT_EQ(Requests().back(), kConfig);
}

TEST_F(MonitorSimTest, StatusTrailerDrivesTheStatusTextsAndColours) {
  MeterConfig c;
  c.statusTrailer = true;
  c.load.phaseVoltage = {250.0, 220.0, 180.0};  // over, normal, under the 242 / 198 V limits
  c.load.noise = 0;
  auto& d = Start(c);
  host.Click(d, kRunButton);
  host.RunFor(5 * 500);
  const uint8_t v = line->meter().lastBlock().voltageStatus;
  ASSERT_NE(v, 0) << "the load should put a voltage item in alarm";
  const char* texts[] = {"正常", "欠压", "过压", "正常"};
  const int boxes[] = {kVoltageStatus1Box, kVoltageStatus2Box, kVoltageStatus3Box,
                       kVoltageStatus4Box};
  for (int i = 0; i < 4; ++i) {
    const int code = (v >> (6 - 2 * i)) & 3;
    EXPECT_EQ(Text(boxes[i]), texts[code]) << i;
    const bool alarm = code == 1 || code == 2;
    EXPECT_EQ(d.m_limitStatus[i], alarm ? 1 : 0);
    EXPECT_EQ(host.Control(d, boxes[i]).lastColor.textColor, alarm ? kt::ui::kRed : kt::ui::kBlack);
  }
  // The receive echo holds the request and exactly the 97 bytes this read took.
  const std::string echo = Text(kReceiveEcho);
  EXPECT_EQ(echo.size(), 4u * (8 + 97));
  EXPECT_EQ(echo.substr(0, 32), kt::modbus::EchoText(std::span(kBlock).first(8)));
}

TEST_F(MonitorSimTest, WithoutTrailerTheStatusStaysAsItWas) {
  auto& d = Start();
  host.Click(d, kRunButton);
  host.RunFor(5 * 500);
  EXPECT_NE(Text(kPhaseVoltageABox), "");
  EXPECT_EQ(Text(kVoltageStatus1Box), "");
  EXPECT_EQ(host.Control(d, kVoltageStatus1Box).repaints, 0);
  EXPECT_EQ(Text(kReceiveEcho).size(), 4u * (8 + 95));
}

TEST_F(MonitorSimTest, MissingPortIsReportedAndTheDialogStaysUsable) {
  AttachMeter();
  line->SetPortMissing(1, true);
  Open();
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_NE(host.Messages()[0].text.find(SimulatedLine::DevicePath(1)), std::string::npos);
  EXPECT_FALSE(line->GetPortOpen());
  EXPECT_EQ(dlg->m_pollState, 0);
  EXPECT_NE(Text(kInformationBox).find("串行口: 1"), std::string::npos);
  host.Type(*dlg, kSlaveAddressEdit, "1");
  host.Click(*dlg, kRunButton);
  host.RunFor(1000);
  for (const auto& s : line->Written()) EXPECT_FALSE(s.onWire);
  EXPECT_EQ(host.Messages().size(), 1u);
}

// 65537 has the low 16 bits of port 1: it must be refused, not open port 1.
TEST_F(MonitorSimTest, PortNumberBeyondSixteenBitsIsRefusedNotWrapped) {
  AttachMeter();
  Open(StartSettings{65537});
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_NE(host.Messages()[0].text.find("65537"), std::string::npos);
  EXPECT_FALSE(line->GetPortOpen());
  EXPECT_EQ(line->OpenCount(), 0);
  EXPECT_NE(Text(kInformationBox).find("串行口: 65537"), std::string::npos);
}

TEST_F(MonitorSimTest, ClosingWhilePollingStopsTheTimerAndClosesThePort) {
  auto& d = Start();
  host.Click(d, kRunButton);
  host.RunFor(1500);
  host.Close(d);
  EXPECT_FALSE(host.IsOpen(d));
  EXPECT_FALSE(host.TimerRunning(d, kPollTimer));
  EXPECT_FALSE(line->GetPortOpen());
  const size_t sent = line->Written().size();
  host.RunFor(2000);
  EXPECT_EQ(line->Written().size(), sent);
}

TEST_F(MonitorSimTest, StartUpThroughTheApplication) {
  AttachMeter();
  kt::app::CMonitorApp app(host, port, clock);
  host.ScriptModal(kt::ui::comm_set_ids::kTemplateId,
                   [&](kt::ui::Dialog& d) { host.Click(d, kt::ui::IDOK); });
  std::string info, run, address;
  host.ScriptModal(kTemplateId, [&](kt::ui::Dialog& d) {
    info = host.Control(d, kInformationBox).text;
    run = host.Control(d, kRunButton).text;
    address = host.Control(d, kSlaveAddressEdit).text;
    host.Type(d, kSlaveAddressEdit, "1");
    host.Click(d, kRunButton);
    host.RunFor(2500);
    EXPECT_NE(host.Control(d, kPhaseVoltageABox).text, "");
    host.PressEscape(d);
  });
  EXPECT_FALSE(app.InitInstance());
  EXPECT_EQ(info, "串行口: 1 \r\n\r\n波特率: 9600 \r\n\r\n校验位:无校验");
  EXPECT_EQ(run, "运行");
  EXPECT_EQ(address, "0");
  EXPECT_EQ(line->Settings(), "9600N,8,2");
  EXPECT_FALSE(line->GetPortOpen());
}

}  // namespace
