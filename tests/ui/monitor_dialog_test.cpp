// The main dialog's initialisation, Run/Stop, closing and the handling of failures inside
// handlers.
#include <gtest/gtest.h>

#include <cerrno>

#include "MainDialogHarness.h"
#include "modbus/RequestFrames.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using namespace kt::ui::main_ids;
using kt::serial::SerialError;
using kt::serial::SerialErrorKind;

namespace {

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

TEST_F(MonitorDialogTest, RefusedPortIsReportedAndTheDialogStillUsable) {
  port.refuseOpen = SerialError(kt::serial::SerialFault{
      .kind = SerialErrorKind::PortInUse, .device = "/dev/ttyS0", .systemError = EBUSY});
  port.keepRefusingOpen = true;
  auto& d = Open();
  ASSERT_EQ(host.Messages().size(), 1u);
  const std::string& msg = host.Messages()[0].text;
  EXPECT_NE(msg.find("/dev/ttyS0"), std::string::npos);
  EXPECT_NE(msg.find("（设备正被使用）"), std::string::npos) << msg;
  EXPECT_FALSE(port.open);
  // The steps after the refusal on the port itself are skipped; the rest still happens.
  EXPECT_EQ(port.calls.back(), "PortOpen=1");
  // Retried every second while it stays refused: no box repeats it.
  EXPECT_EQ(d.m_pollState, 0);
  EXPECT_EQ(Text(kInformationBox), "串行口: 1 \r\n\r\n波特率: 9600 \r\n\r\n校验位:无校验");
  // Polling on a closed port echoes the request and sends nothing.
  host.Type(d, kSlaveAddressEdit, "1");
  host.Click(d, kRunButton);
  host.RunFor(1000);
  EXPECT_TRUE(port.written.empty());
  const Bytes config = ReadRequest(1, 0x0300, 19);
  EXPECT_EQ(Text(kSendEcho), kt::modbus::EchoText(std::span(config).first(8)));
  EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(MonitorDialogTest, RunAndStop) {
  auto& d = Open();
  host.Type(d, kSlaveAddressEdit, "7");
  host.Click(d, kRunButton);
  EXPECT_EQ(d.m_running, 1);
  EXPECT_EQ(Text(kRunButton), "停止");
  EXPECT_EQ(d.m_slaveAddress, 7);  // taken from the edit box
  EXPECT_TRUE(host.TimerRunning(d, kt::ui::kPollTimer));
  host.RunFor(500);
  EXPECT_EQ(port.written.at(0), ReadRequest(7, 0x0300, 19));

  // As if the cycle had come this far, the configuration of meter 7 read.
  d.m_pollState = 3;
  d.m_configuredAddress = 7;
  d.m_configuredPort = d.m_portNumber;
  host.Click(d, kRunButton);
  EXPECT_EQ(d.m_running, 0);
  EXPECT_EQ(Text(kRunButton), "运行");
  EXPECT_FALSE(host.TimerRunning(d, kt::ui::kPollTimer));
  host.RunFor(2000);
  EXPECT_EQ(port.written.size(), 1u);
  // Resuming goes on from the state it was in.
  host.Click(d, kRunButton);
  host.RunFor(500);
  EXPECT_EQ(port.written.back(), ReadRequest(7, 0x0000, 45));
}

TEST_F(MonitorDialogTest, RunStopEndsAnAddressSearch) {
  auto& d = Open();
  d.SetTimer(kt::ui::kProbeTimer, kt::ui::kProbePeriodMs);
  host.Click(d, kRunButton);
  EXPECT_FALSE(host.TimerRunning(d, kt::ui::kProbeTimer));
  EXPECT_TRUE(host.TimerRunning(d, kt::ui::kPollTimer));
}

TEST_F(MonitorDialogTest, EnterEndsOnlyWithAValidAddress) {
  auto& d = Open();
  host.Type(d, kSlaveAddressEdit, "300");
  host.PressEnter(d);
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, "请输入一个介于 0 和 255 之间的整数。");
  EXPECT_EQ(d.m_slaveAddress, 0);  // keeps its last valid value
  EXPECT_TRUE(host.IsOpen(d));
  EXPECT_TRUE(port.open);
  host.Type(d, kSlaveAddressEdit, "12");
  host.PressEnter(d);
  EXPECT_EQ(d.m_slaveAddress, 12);
  EXPECT_EQ(host.Messages().size(), 1u);
  EXPECT_FALSE(host.IsOpen(d));
}

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

TEST(MonitorDialogWrites, RefusedWriteStillEchoesTheFrame) {
  MainDialogHarness h;
  // Every write refused, as a device unplugged mid-run would.
  h.port.refuseOutput =
      SerialError(kt::serial::SerialFault{.kind = SerialErrorKind::IoError,
                                          .operation = kt::serial::SerialOperation::Write,
                                          .device = "/dev/ttyUSB0",
                                          .systemError = ENODEV});
  auto& d = h.Open();
  h.host.Type(d, kSlaveAddressEdit, "1");
  h.Click(kRunButton);
  h.host.RunFor(500);
  const Bytes config = ReadRequest(1, 0x0300, 19);
  EXPECT_EQ(h.Text(kSendEcho), kt::modbus::EchoText(std::span(config).first(8)));
  ASSERT_EQ(h.host.Messages().size(), 1u);
  EXPECT_EQ(h.host.Messages()[0].text, "串口 /dev/ttyUSB0 发送失败（设备已不存在）");
  EXPECT_TRUE(h.port.written.empty());
  EXPECT_EQ(d.m_pollState, 0);
}

}  // namespace
