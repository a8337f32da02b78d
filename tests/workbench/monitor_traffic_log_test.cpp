// The traffic log on the main dialog: a "发" line for each frame the port took and no other, a
// missed reply only where a request awaited one, and the port's own events.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "MainDialogHarness.h"
#include "commands/AddrDialogIds.h"
#include "workbench/TrafficLog.h"

using namespace kt::testing;
using kt::serial::SerialError;
using kt::serial::SerialErrorKind;
using kt::workbench::TrafficKind;
using kt::workbench::TrafficLog;

namespace {

namespace ids = kt::ui::main_ids;
namespace addr_ids = kt::ui::addr_ids;

// The dialog with a traffic log attached before it starts, as the application attaches it.
class MonitorTrafficLogTest : public MainDialogTest {
 protected:
  MonitorTrafficLogTest() {
    beforeInit = [this](kt::ui::CMonitorDlg& d) { d.AddListener(log); };
  }
  TrafficLog log;

  std::vector<Bytes> SentLines() const {
    std::vector<Bytes> sent;
    for (const auto& line : log.Lines()) {
      if (line.kind == TrafficKind::Sent) sent.push_back(line.bytes);
    }
    return sent;
  }
  // "收 无应答", "串口 串口已断开 /dev/ttyUSB0": direction and reading of the lines from `from`.
  std::vector<std::string> Readings(uint64_t from, TrafficKind kind) const {
    std::vector<std::string> readings;
    for (uint64_t n = std::max(from, log.First()); n < log.End(); ++n) {
      const auto& line = log.Line(n);
      if (line.kind == kind) readings.push_back(line.Columns().direction + " " + line.reading);
    }
    return readings;
  }
};

// The simulated meter answers everything; nothing is missed, though reads without a request
// behind them happen: the first tick after "运行", the tick after a command and after the
// broadcast address write. A silent meter then gives one missed reply a request (each tied to
// its request: traffic_log_test).
TEST_F(MonitorTrafficLogTest, AMissedReplyOnlyWhereARequestAwaitedOne) {
  AttachMeter();
  auto& d = Open();
  host.Type(d, ids::kSlaveAddressEdit, "1");
  ASSERT_TRUE(PollUntil(3));
  Command(ids::kReadParametersCommand);
  RunFor(d.m_pollPeriodMs * 3);
  host.ScriptModal(addr_ids::kTemplateId, [this](kt::ui::Dialog& dlg) {
    host.Type(dlg, addr_ids::kNewAddressEdit, "1");
    host.Click(dlg, kt::ui::IDOK);
  });
  Click(ids::kChangeSlaveAddressButton);
  RunFor(d.m_pollPeriodMs * 3);
  Click(ids::kRunButton);  // stopped
  Click(ids::kRunButton);  // and on again
  RunFor(d.m_pollPeriodMs * 2);
  for (const auto kind : {TrafficKind::Received, TrafficKind::Event}) {
    for (const auto& r : Readings(0, kind)) EXPECT_EQ(r.find("无应答"), std::string::npos) << r;
  }
  EXPECT_GE(Readings(0, TrafficKind::Received).size(), 10u);
  EXPECT_EQ(SentLines(), port.written);

  // The meter goes silent right after a request: that one and the next are missed.
  const uint64_t silentFrom = log.End();
  Meter().SetMeterConnected(false);
  RunFor(d.m_pollPeriodMs * 2);
  EXPECT_EQ(Readings(silentFrom, TrafficKind::Received),
            (std::vector<std::string>{"收 无应答", "收 无应答"}));
  EXPECT_EQ(SentLines(), port.written);
}

// While the port is gone nothing is sent and nothing is missed: one line says it went, one that
// it came back; then frames are logged again as the port takes them.
TEST_F(MonitorTrafficLogTest, ALostPortIsTwoEventLinesAndNoFramesWhileAway) {
  auto& d = Open();
  d.SetPortDeviceName([] { return std::string("/dev/ttyUSB0"); });
  host.Type(d, ids::kSlaveAddressEdit, "1");
  Click(ids::kRunButton);
  RunFor(d.m_pollPeriodMs * 3);
  ASSERT_EQ(SentLines().size(), 3u);

  const uint64_t lostFrom = log.End();
  port.refuseOutput = SerialError(SerialErrorKind::Disconnected, "/dev/ttyUSB0", "gone");
  port.refuseOpen = SerialError(SerialErrorKind::NoSuchPort, "/dev/ttyUSB0", "No such file");
  port.keepRefusingOpen = true;
  RunFor(kt::ui::kReopenPeriodMs * 3);
  EXPECT_EQ(SentLines().size(), 3u);
  // The tick that met the loss judged the previous request; after it, no read is a line.
  EXPECT_EQ(Readings(lostFrom, TrafficKind::Received), std::vector<std::string>{"收 无应答"});
  EXPECT_EQ(Readings(lostFrom, TrafficKind::Event),
            std::vector<std::string>{"串口 串口已断开 /dev/ttyUSB0"});

  const uint64_t backFrom = log.End();
  port.refuseOutput.reset();
  port.refuseOpen.reset();
  RunFor(kt::ui::kReopenPeriodMs);
  EXPECT_EQ(Readings(backFrom, TrafficKind::Event),
            std::vector<std::string>{"串口 串口已重新打开 /dev/ttyUSB0"});
  RunFor(d.m_pollPeriodMs * 2);
  EXPECT_GT(SentLines().size(), 3u);
  EXPECT_EQ(SentLines(), port.written);
  EXPECT_TRUE(host.Messages().empty());
}

// A stalled output is one line while it lasts; a new stall after the output flowed is another.
TEST_F(MonitorTrafficLogTest, AStalledOutputIsOneLineUntilItFlowsAgain) {
  auto& d = Open();
  host.Type(d, ids::kSlaveAddressEdit, "1");
  Click(ids::kRunButton);
  RunFor(d.m_pollPeriodMs * 2);
  const uint64_t from = log.End();
  const auto stall = [this, &d] {
    port.refuseOutput =
        SerialError(kt::serial::SerialFault{.kind = SerialErrorKind::OutputStalled,
                                            .operation = kt::serial::SerialOperation::Write,
                                            .device = "/dev/ttyUSB0",
                                            .value = 0,
                                            .total = 100});
    RunFor(d.m_pollPeriodMs * 4);
    port.refuseOutput.reset();
    RunFor(d.m_pollPeriodMs * 2);
  };
  stall();
  EXPECT_EQ(Readings(from, TrafficKind::Event),
            std::vector<std::string>{
                "串口 串口输出受阻：串口 /dev/ttyUSB0 输出受阻（100 毫秒内只发出 0 字节）"});
  stall();
  EXPECT_EQ(Readings(from, TrafficKind::Event).size(), 2u);
  EXPECT_EQ(SentLines(), port.written);
}

// A good reply that comes late for the poll request is that reply in the log, also when the
// command opened meanwhile throws it away with what else was pending; noise is still "丢弃".
TEST_F(MonitorTrafficLogTest, ALateReplyDroppedByACommandIsLoggedAsTheReply) {
  meterOn = true;
  auto& d = Open();
  host.Type(d, ids::kSlaveAddressEdit, "1");
  ASSERT_TRUE(PollUntil(3));
  const auto answer = std::exchange(port.onWrite, nullptr);
  RunFor(d.m_pollPeriodMs);  // a request goes out; its reply is not in by the next tick
  answer(port.LastWritten());
  const std::string reply = "收 应答 (" + std::to_string(port.pending.size()) + " 字节)";
  uint64_t from = log.End();
  Command(ids::kReadParametersCommand);
  EXPECT_EQ(Readings(from, TrafficKind::Discarded), std::vector<std::string>{});
  EXPECT_EQ(Readings(from, TrafficKind::Received).front(), reply);

  RunFor(d.m_pollPeriodMs * 3);
  from = log.End();
  port.Arrive({0x01, 0x03, 0x26, 0x00});  // no reply to the request awaited
  Command(ids::kReadParametersCommand);
  EXPECT_EQ(Readings(from, TrafficKind::Discarded), std::vector<std::string>{"丢弃 4 字节"});
}

}  // namespace
