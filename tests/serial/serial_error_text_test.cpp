// The refusals as users read them, raised by the real throw sites: each names the device (or
// the number), says what is wrong in Chinese and gives at most one bracketed reason.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FakeSysfs.h"
#include "SerialTestHelpers.h"
#include "serial/LineSettings.h"
#include "serial/PortName.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"
#include "ui/CommPort.h"

using namespace kt::serial;
using kt::serial::testing::Only;

namespace {

template <typename Action>
std::string RefusalText(Action action) {
  const auto e = kt::serial::testing::Refusal(action);
  return e ? SerialErrorText(*e) : "(accepted)";
}

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(SerialErrorText, RefusalsFromTheirThrowSites) {
  kt::serial::testing::FakeSysfs fs;  // a machine with two ports
  fs.Device("pnp0/00:01", "pnp/drivers/serial");
  fs.Tty("ttyS0", "pnp0/00:01", "4");
  fs.Device("pnp0/00:02", "pnp/drivers/serial");
  fs.Tty("ttyS1", "pnp0/00:02", "4");
  const auto openPort = [&](int16_t number, const std::string& device) {
    SerialLine line;
    line.SetPortSources(PortSources{Only({{"KT7340_COM9", device}}), fs.sys(), fs.dev()});
    line.SetCommPort(number);
    line.SetPortOpen(true);
  };
  struct Case {
    std::string text;
    std::string expected;
  };
  const std::vector<Case> cases = {
      // Port numbers just outside either end of 1..32767, and the lowest.
      {RefusalText([] { kt::ui::CommPortOf(32768); }), "串口号 32768 超出范围（1–32767）"},
      {RefusalText([] { SerialLine().SetCommPort(0); }), "串口号 0 超出范围（1–32767）"},
      {RefusalText([] { DevicePathForPort(-1); }), "串口号 -1 超出范围（1–32767）"},
      {RefusalText([] { DevicePathForPort(-32768); }), "串口号 -32768 超出范围（1–32767）"},
      // Ports beyond the two the machine has: the next one, and the last number.
      {RefusalText([&] { openPort(3, ""); }),
       "串口 COM3 不存在（本机找到 2 个串口，可用 KT7340_COM3 指定设备）"},
      {RefusalText([&] { openPort(32767, ""); }),
       "串口 COM32767 不存在（本机找到 2 个串口，可用 KT7340_COM32767 指定设备）"},
      // (A missing device and one that is no serial port: posix_serial_port_test.)
      {RefusalText([&] { openPort(9, "tcp://[[]:5"); }),
       "串口 tcp://[[]:5 地址无效（应为 tcp://数字地址:端口 或 tcp://localhost:端口）"},
      {RefusalText([] { SerialLine().SetSettings("9600N,8,1"); }),
       "串口不支持该通讯参数（可用 1200、2400、4800、9600 或 19200 后接 N,8,2、O,8,1 或 E,8,1）"},
      {RefusalText([] { SerialLine().SetOutput({0x01}); }), "串口未打开"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.text, c.expected);
}

// Whatever the kind and the operation, the text is Chinese with one bracket at most: the
// system's reason in Chinese for the numbers expected, its own words only for others.
TEST(SerialErrorText, EveryKindHasOneBracketAndNoEnglishReason) {
  const int errnos[] = {ENOENT,       EACCES, EBUSY, ENOTTY, ECONNREFUSED, ETIMEDOUT,
                        EHOSTUNREACH, EIO,    ENXIO, EPIPE,  ECONNRESET,   0};
  for (int kind = 0; kind <= static_cast<int>(SerialErrorKind::OutputStalled); ++kind) {
    for (int operation = 0; operation <= static_cast<int>(SerialOperation::Write); ++operation) {
      for (const int e : errnos) {
        const SerialError error(SerialFault{.kind = static_cast<SerialErrorKind>(kind),
                                            .operation = static_cast<SerialOperation>(operation),
                                            .device = "/dev/ttyUSB0",
                                            .systemError = e,
                                            .detail = "developer note"});
        const std::string text = SerialErrorText(error);
        SCOPED_TRACE(text);
        EXPECT_LE(Count(text, "（"), 1u);
        EXPECT_EQ(Count(text, "（"), Count(text, "）"));
        EXPECT_EQ(text.find("note"), std::string::npos);
        if (e != 0) {
          EXPECT_EQ(text.find(std::strerror(e)), std::string::npos);
        }
      }
    }
  }
  // A number nobody expected still gets a reason, the system's own, in the one bracket.
  const std::string odd = SerialErrorText(SerialError(
      SerialFault{.kind = SerialErrorKind::IoError, .device = "/dev/ttyS0", .systemError = EDOM}));
  EXPECT_EQ(odd, std::string("串口 /dev/ttyS0 接收失败（") + std::strerror(EDOM) + "，错误码 " +
                     std::to_string(EDOM) + "）");
}
