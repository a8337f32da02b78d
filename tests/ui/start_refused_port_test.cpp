// A port refused at the start: one message box, the reason in the link status, then an attempt
// every second without boxes until it opens, when polling reaches the meter by itself.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MainDialogHarness.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialErrorText.h"
#include "ui/CommSetDialogIds.h"
#include "ui/MainDialogIds.h"

using namespace kt::testing;
using kt::serial::SerialError;
using kt::serial::SerialErrorKind;
using kt::serial::SerialFault;
namespace ids = kt::ui::main_ids;

namespace {

// The port events as "kind detail".
class PortEvents : public kt::values::MonitorListener {
 public:
  std::vector<std::string> seen;
  void OnPortEvent(const kt::values::PortEvent& event) override {
    static constexpr const char* kKind[] = {"未打开",     "已打开", "已断开",
                                            "已重新打开", "受阻",   "已关闭"};
    seen.push_back(std::string(kKind[static_cast<int>(event.kind)]) + " " + event.detail);
  }
};

class StartRefusedPortTest : public MainDialogTest {
 protected:
  StartRefusedPortTest() {
    beforeInit = [this](kt::ui::CMonitorDlg& d) {
      d.AddListener(events);
      d.SetPortDeviceName([] { return std::string("/dev/ttyUSB0"); });
    };
  }
  void Refuse(SerialErrorKind kind, int systemError = 0) {
    port.refuseOpen = SerialError(
        SerialFault{.kind = kind, .device = "/dev/ttyUSB0", .systemError = systemError});
    port.keepRefusingOpen = true;
  }
  long OpenAttempts() const {
    return std::count(port.calls.begin(), port.calls.end(), "PortOpen=1");
  }
  PortEvents events;
};

TEST_F(StartRefusedPortTest, IsRetriedEverySecondQuietlyAndPollsOnceItOpens) {
  Refuse(SerialErrorKind::AccessDenied, EACCES);
  const std::string denied = "串口 /dev/ttyUSB0 没有访问权限（请把用户加入 dialout 组后重新登录）";
  auto& d = Open();
  ASSERT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(host.Messages()[0].text, denied);
  EXPECT_EQ(Text(ids::kLinkStateBox), "串口未打开");
  EXPECT_EQ(Text(ids::kLinkDeviceBox), denied);
  // The steps after the refusal on the port itself are skipped; the rest still happens.
  EXPECT_EQ(port.calls.back(), "PortOpen=1");
  EXPECT_EQ(d.m_pollState, 0);
  EXPECT_EQ(Text(ids::kInformationBox), "串行口: 1 \r\n\r\n波特率: 9600 \r\n\r\n校验位:无校验");
  host.Type(d, ids::kSlaveAddressEdit, "1");
  Click(ids::kRunButton);

  // An attempt a second after the start, not before; the port number is selected afresh.
  RunFor(kt::ui::kReopenPeriodMs - 1);
  EXPECT_EQ(OpenAttempts(), 1);
  const size_t callsBefore = port.calls.size();
  RunFor(1);
  EXPECT_EQ(OpenAttempts(), 2);
  EXPECT_EQ(std::vector<std::string>(port.calls.begin() + static_cast<std::ptrdiff_t>(callsBefore),
                                     port.calls.end()),
            (std::vector<std::string>{"CommPort=1", "Settings=9600N,8,2", "PortOpen=1"}));
  RunFor(kt::ui::kReopenPeriodMs * 3);
  EXPECT_EQ(OpenAttempts(), 5);
  EXPECT_EQ(host.Messages().size(), 1u);
  // Polling on a closed port echoes the request and sends nothing.
  EXPECT_TRUE(port.written.empty());
  const Bytes config = ReadRequest(1, 0x0300, 19);
  EXPECT_EQ(Text(ids::kSendEcho), kt::modbus::EchoText(std::span(config).first(8)));

  // Another reason shows at the next attempt and is told once.
  Refuse(SerialErrorKind::NoSuchPort, ENOENT);
  RunFor(kt::ui::kReopenPeriodMs * 2);
  const std::string missing = "串口 /dev/ttyUSB0 不存在（没有这个设备文件）";
  EXPECT_EQ(Text(ids::kLinkDeviceBox), missing);
  EXPECT_EQ(events.seen, (std::vector<std::string>{"未打开 " + denied, "未打开 " + missing}));

  // The device comes: opened at the next attempt, polled without the user doing anything.
  port.refuseOpen.reset();
  meterOn = true;
  registers[0x0300] = 1;  // its configuration names address 1
  RunFor(kt::ui::kReopenPeriodMs);
  EXPECT_TRUE(port.open);
  EXPECT_EQ(Text(ids::kLinkDeviceBox), "/dev/ttyUSB0");
  EXPECT_EQ(events.seen.back(), "已打开 /dev/ttyUSB0");
  const long attempts = OpenAttempts();
  RunFor(d.m_pollPeriodMs * 4);
  EXPECT_FALSE(port.written.empty());
  EXPECT_EQ(Text(ids::kLinkStateBox), "正常");
  EXPECT_EQ(OpenAttempts(), attempts);
  EXPECT_EQ(host.Messages().size(), 1u);
  EXPECT_EQ(events.seen.size(), 3u);
}

// What another attempt may mend is tried again; a wrong number, settings or device is not.
TEST_F(StartRefusedPortTest, OnlyARefusalThatMayPassIsTriedAgain) {
  struct Case {
    SerialErrorKind kind;
    bool retried;
  };
  const Case cases[] = {
      {SerialErrorKind::AccessDenied, true},     {SerialErrorKind::NoSuchPort, true},
      {SerialErrorKind::PortInUse, true},        {SerialErrorKind::OpenFailed, true},
      {SerialErrorKind::BadPortNumber, false},   {SerialErrorKind::BadSettings, false},
      {SerialErrorKind::NotSerialDevice, false}, {SerialErrorKind::BadAddress, false},
  };
  for (const Case& c : cases) {
    port.calls.clear();
    Refuse(c.kind);
    auto& d = Open();
    RunFor(kt::ui::kReopenPeriodMs * 3);
    EXPECT_EQ(OpenAttempts(), c.retried ? 4 : 1) << static_cast<int>(c.kind);
    EXPECT_EQ(Text(ids::kLinkStateBox), "串口未打开");
    host.Close(d);
  }
  EXPECT_EQ(host.Messages().size(), std::size(cases));
}

// Confirming "通讯设置" meanwhile opens the port: the attempts stop.
TEST_F(StartRefusedPortTest, TheCommunicationSettingsOpenItMeanwhile) {
  Refuse(SerialErrorKind::NoSuchPort);
  Open();
  RunFor(kt::ui::kReopenPeriodMs);
  port.refuseOpen.reset();
  ChangeLine(kt::ui::comm_set_ids::kBaud9600Radio);
  EXPECT_TRUE(port.open);
  const long attempts = OpenAttempts();
  RunFor(kt::ui::kReopenPeriodMs * 3);
  EXPECT_EQ(OpenAttempts(), attempts);
  EXPECT_FALSE(host.TimerRunning(Dlg(), kt::ui::kReopenTimer));
  EXPECT_EQ(host.Messages().size(), 1u);
}

// "使用" in the settings moves polling to another port: the log and the link status's device see
// the close of the old port and the opening of the new one; a refused new port is shown with its
// reason instead of the old device.
TEST_F(StartRefusedPortTest, APortSwitchInTheSettingsIsShownAsACloseAndAnOpening) {
  Open();
  // The line names the device it holds: /dev/ttyUSB<number - 1> of the latest port selected.
  Dlg().SetPortDeviceName([this] {
    const auto last = std::find_if(port.calls.rbegin(), port.calls.rend(),
                                   [](const std::string& c) { return c.starts_with("CommPort="); });
    return port.open ? "/dev/ttyUSB" + std::to_string(std::stoi(last->substr(9)) - 1) : "";
  });
  const auto useport = [this](const char* number) {
    host.ScriptModal(kt::ui::comm_set_ids::kTemplateId, [this, number](kt::ui::Dialog& d) {
      host.Type(d, kt::ui::comm_set_ids::kPortEdit, number);
      host.Click(d, kt::ui::IDOK);
    });
    host.Click(Dlg(), ids::kCommSettingsButton);
  };
  useport("3");
  EXPECT_EQ(events.seen, (std::vector<std::string>{"已打开 /dev/ttyUSB0", "已关闭 /dev/ttyUSB0",
                                                   "已打开 /dev/ttyUSB2"}));
  EXPECT_EQ(Text(ids::kLinkDeviceBox), "/dev/ttyUSB2");
  Refuse(SerialErrorKind::NoSuchPort);
  useport("5");
  ASSERT_EQ(events.seen.size(), 5u);
  EXPECT_EQ(events.seen[3], "已关闭 /dev/ttyUSB2");

  EXPECT_EQ("未打开 " + Text(ids::kLinkDeviceBox), events.seen[4]);
}

}  // namespace
