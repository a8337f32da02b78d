// The link status group of the main dialog: its texts, counters and colours for what the line
// does, the grey of stale values, and the lost port that comes back by itself.
#include <gtest/gtest.h>

#include <algorithm>

#include <functional>
#include <string>

#include "MainDialogHarness.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::serial::SerialError;
using kt::serial::SerialErrorKind;
namespace ids = kt::ui::main_ids;

namespace {

Bytes ConfigReply() {
  return ReadReply(1, std::vector<uint16_t>(19, 1));
}

struct LineCase {
  const char* name;
  // Scripts the port before Run; `port` answers every request from then on.
  std::function<void(FakeSerialPort& port)> script;
  const char* state;
  const char* counters;  // after three poll ticks: two requests judged, the third out
  bool red;
};

class LinkStatusOnLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(LinkStatusOnLine, ShowsStateCountersAndColour) {
  const LineCase& c = GetParam();
  MainDialogHarness h;
  c.script(h.port);
  h.host.OnMessageBox([](const std::string&) {});
  auto& d = h.Open();
  EXPECT_EQ(h.Text(ids::kLinkStateBox), h.port.open ? "未运行" : "串口未打开");
  if (!h.port.open) {
    EXPECT_EQ(h.Text(ids::kLinkDeviceBox), "串口 /dev/ttyUSB0 不存在");  // what, and why
  }
  h.host.Type(d, ids::kSlaveAddressEdit, "1");
  h.Click(ids::kRunButton);
  h.host.RunFor(d.m_pollPeriodMs * 3);

  EXPECT_EQ(h.Text(ids::kLinkStateBox), c.state);
  EXPECT_EQ(h.Text(ids::kLinkCounterBox), c.counters);
  const auto colour = d.OnCtlColor(ids::kLinkStateBox, kt::ui::CtlColorType::Static);
  EXPECT_EQ(!colour.useDefault && colour.textColor == kt::ui::kRed, c.red);
  // The colour changed to red by itself: the box was redrawn with it.
  if (c.red) {
    EXPECT_EQ(h.host.Control(d, ids::kLinkStateBox).lastColor.textColor, kt::ui::kRed);
  }
}

const LineCase kLineCases[] = {
    {"SilentMeter", [](FakeSerialPort&) {}, "无应答", "请求 3  应答 0  无应答 2  无效 0", true},
    {"Noise",
     [](FakeSerialPort& p) { p.onWrite = [&p](const Bytes&) {
                               p.Arrive({0x55, 0xAA, 0x13});
                             }; },
     "应答无效", "请求 3  应答 0  无应答 0  无效 2", true},
    {"BadCrc",
     [](FakeSerialPort& p) {
       p.onWrite = [&p](const Bytes&) {
         Bytes reply = ConfigReply();
         reply.back() ^= 0x01;
         p.Arrive(reply);
       };
     },
     "应答无效", "请求 3  应答 0  无应答 0  无效 2", true},
    {"ExceptionReply",
     [](FakeSerialPort& p) {
       p.onWrite = [&p](const Bytes&) { p.Arrive(WithCrc({0x01, 0x83, 0x0B})); };
     },
     "异常应答 0x0B 网关目标设备响应失败", "请求 3  应答 2  无应答 0  无效 0", true},
    {"ValidReply",
     [](FakeSerialPort& p) {
       // Every read request gets as many registers as it asked for.
       p.onWrite = [&p](const Bytes& frame) {
         p.Arrive(ReadReply(frame[0], std::vector<uint16_t>(frame[5], 1)));
       };
     },
     "正常", "请求 3  应答 2  无应答 0  无效 0", false},
    {"PortNotOpen",
     [](FakeSerialPort& p) {
       p.refuseOpen = SerialError(SerialErrorKind::NoSuchPort, "/dev/ttyUSB0", "No such device");
       p.keepRefusingOpen = true;
     },
     "串口未打开", "请求 0  应答 0  无应答 0  无效 0", true},
};

INSTANTIATE_TEST_SUITE_P(Lines, LinkStatusOnLine, ::testing::ValuesIn(kLineCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(LinkStatus, NormalWithTheMeterAndTheDeviceAndTimeOfTheLastBlock) {
  MainDialogHarness p(SimulatedMeter());
  EXPECT_EQ(p.Text(ids::kLinkLastDataBox), "");
  ASSERT_TRUE(p.PollUntil(3));
  p.host.RunFor(p.Dlg().m_pollPeriodMs * 2);
  EXPECT_EQ(p.Text(ids::kLinkStateBox), "正常");
  EXPECT_FALSE(p.Text(ids::kLinkDeviceBox).empty());
  EXPECT_EQ(p.Text(ids::kLinkLastDataBox).size(), 8u) << p.Text(ids::kLinkLastDataBox);
  EXPECT_EQ(p.Text(ids::kLinkLastDataBox)[2], ':');
  p.Click(ids::kRunButton);
  EXPECT_EQ(p.Text(ids::kLinkStateBox), "未运行");
}

TEST(LinkStatus, PollingRestartedByACommandIsShownAsRunning) {
  // "运行" was never pressed, or pressed twice: a command restarts the poll timer all the same.
  for (const int runClicks : {0, 2}) {
    SCOPED_TRACE(runClicks);
    MainDialogHarness p(SimulatedMeter());
    for (int i = 0; i < runClicks; ++i) p.Click(ids::kRunButton);
    ASSERT_EQ(p.Dlg().m_running, 0);
    EXPECT_EQ(p.Text(ids::kLinkStateBox), "未运行");
    p.Command(ids::kRefreshUrgButton);
    ASSERT_TRUE(p.PollTimerRunning());
    p.host.RunFor(p.Dlg().m_pollPeriodMs * 3);
    EXPECT_EQ(p.Text(ids::kLinkStateBox), "正常");
    EXPECT_EQ(p.Text(ids::kRunButton), "运行");
    // The first press now sets the running flag: the timer keeps running and so does the state.
    p.Click(ids::kRunButton);
    EXPECT_EQ(p.Text(ids::kLinkStateBox), "正常");
    p.Click(ids::kRunButton);
    EXPECT_EQ(p.Text(ids::kLinkStateBox), "未运行");
  }
}

TEST(LinkStatus, StaleValuesTurnGreyAfterSixSilentPeriodsAndBlackAgainAfterABlock) {
  kt::sim::MeterConfig config;
  config.statusTrailer = true;
  MainDialogHarness p(SimulatedMeter(config));
  ASSERT_TRUE(p.PollUntil(3));
  p.host.RunFor(p.Dlg().m_pollPeriodMs * 2);
  const auto colourOf = [&](int id) {
    return p.Dlg().OnCtlColor(id, kt::ui::CtlColorType::Static);
  };
  const auto grey = [&](int id) {
    const auto c = colourOf(id);
    return !c.useDefault && c.textColor == kt::ui::kGrey;
  };
  ASSERT_FALSE(grey(ids::kPhaseVoltageABox));
  ASSERT_FALSE(grey(ids::kVoltageStatus1Box));

  p.Meter().SetMeterConnected(false);
  p.host.RunFor(p.Dlg().m_pollPeriodMs * 5);
  EXPECT_FALSE(grey(ids::kPhaseVoltageABox)) << "grey before six periods";
  p.host.RunFor(p.Dlg().m_pollPeriodMs * 3);
  for (int id : {ids::kPhaseVoltageABox, ids::kFrequencyBox, ids::kReverseReactiveEnergyBox,
                 ids::kVoltageStatus1Box, ids::kCurrentStatus4Box}) {
    EXPECT_TRUE(grey(id)) << id;
    EXPECT_EQ(p.host.Control(p.Dlg(), id).lastColor.textColor, kt::ui::kGrey)
        << "not redrawn " << id;
  }
  EXPECT_FALSE(p.Text(ids::kPhaseVoltageABox).empty()) << "the texts stay";

  p.Meter().SetMeterConnected(true);
  p.host.RunFor(p.Dlg().m_pollPeriodMs * 3);
  EXPECT_FALSE(grey(ids::kPhaseVoltageABox));
  EXPECT_FALSE(grey(ids::kVoltageStatus1Box));
  EXPECT_EQ(p.host.Control(p.Dlg(), ids::kPhaseVoltageABox).lastColor.textColor, kt::ui::kBlack);
}

TEST(LinkStatus, ALostPortClosesWithoutABoxAndOpensAgainBySelf) {
  MainDialogHarness h;
  auto& d = h.Open();
  h.host.Type(d, ids::kSlaveAddressEdit, "1");
  h.Click(ids::kRunButton);
  h.host.RunFor(d.m_pollPeriodMs);
  h.port.refuseOutput = SerialError(SerialErrorKind::Disconnected, "/dev/ttyUSB0", "I/O error");
  const size_t callsBeforeLoss = h.port.calls.size();
  h.host.RunFor(d.m_pollPeriodMs);
  EXPECT_EQ(h.Text(ids::kLinkStateBox), "串口已断开");
  EXPECT_TRUE(h.host.Messages().empty());
  EXPECT_FALSE(h.port.open);
  EXPECT_TRUE(h.PollTimerRunning());

  // Polling goes on in the send echo while the device is away; the first attempt fails.
  h.port.refuseOutput.reset();
  h.port.refuseOpen = SerialError(SerialErrorKind::NoSuchPort, "/dev/ttyUSB0", "No such file");
  h.host.Type(d, ids::kSendEcho, "");
  h.host.RunFor(kt::ui::kReopenPeriodMs);
  EXPECT_FALSE(h.Text(ids::kSendEcho).empty());
  EXPECT_EQ(h.Text(ids::kLinkStateBox), "串口已断开");
  EXPECT_FALSE(h.port.open);
  h.host.RunFor(kt::ui::kReopenPeriodMs);
  EXPECT_TRUE(h.port.open);
  EXPECT_EQ(h.Text(ids::kLinkStateBox), "等待应答");
  EXPECT_TRUE(h.host.Messages().empty());
  // Opened with the same settings, and no more attempts once open. The port number is not
  // selected again: that would ask for whatever device has the number now.
  EXPECT_EQ(h.port.calls[h.port.calls.size() - 4], "Settings=9600N,8,2");
  EXPECT_EQ(std::count(h.port.calls.begin() + static_cast<std::ptrdiff_t>(callsBeforeLoss),
                       h.port.calls.end(), "CommPort=1"),
            0);
  const size_t calls = h.port.calls.size();
  h.host.RunFor(kt::ui::kReopenPeriodMs * 3);
  EXPECT_EQ(h.port.calls.size(), calls);
  EXPECT_EQ(h.Text(ids::kLinkStateBox), "无应答");
}

TEST(LinkStatus, AStalledOutputWarnsWithoutABoxAndClearsWhenOutputFlows) {
  MainDialogHarness h;
  auto& d = h.Open();
  h.host.Type(d, ids::kSlaveAddressEdit, "1");
  h.Click(ids::kRunButton);
  h.port.refuseOutput = SerialError(SerialErrorKind::OutputStalled, "/dev/ttyUSB0", "no room");
  h.host.RunFor(d.m_pollPeriodMs * 3);
  EXPECT_EQ(h.Text(ids::kLinkStateBox), "串口输出受阻");
  EXPECT_TRUE(h.host.Messages().empty());
  EXPECT_TRUE(h.port.open);
  EXPECT_TRUE(h.PollTimerRunning());
  h.port.refuseOutput.reset();
  h.host.RunFor(d.m_pollPeriodMs);
  EXPECT_EQ(h.Text(ids::kLinkStateBox), "等待应答");
}

}  // namespace
