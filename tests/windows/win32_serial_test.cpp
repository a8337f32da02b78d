// The Windows serial line's own parts: COM port paths, the DCB of each settings text, the
// timeouts, what the system's error codes mean, and its refusals in the user's words.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "platform/win32/WideText.h"
#include "serial/LineSettings.h"
#include "serial/LineSettingsTable.h"
#include "serial/PortList.h"
#include "serial/PortName.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"
#include "serial/win32/ComLine.h"

using namespace kt::serial;
using namespace kt::serial::win32;

namespace {

EnvironmentLookup Environment(const std::map<std::string, std::string>& variables) {
  return [variables](const std::string& name) {
    const auto found = variables.find(name);
    return found == variables.end() ? std::nullopt : std::optional(found->second);
  };
}

// The refusal SetPortOpen throws for `port` with `environment`; fails the test without one.
SerialError OpenRefusal(const std::map<std::string, std::string>& environment, int16_t port = 1) {
  SerialLine line;
  const EnvironmentLookup lookup = Environment(environment);
  line.SetEnvironment(lookup);
  line.SetPortSources(PortSources{.environment = lookup});
  line.SetCommPort(port);
  try {
    line.SetPortOpen(true);
  } catch (const SerialError& e) {
    EXPECT_FALSE(line.GetPortOpen());
    return e;
  }
  ADD_FAILURE() << "the port opened";
  return SerialError(SerialErrorKind::IoError, "", "");
}

}  // namespace

// Port N is COM<N> whatever the machine has, unless KT7340_COM<N> names another device.
TEST(PortNumbersOnWindows, NameTheirComPortOrTheOverride) {
  const PortSources none{.environment = Environment({})};
  for (const int16_t n : {int16_t{1}, int16_t{9}, int16_t{10}, int16_t{12}, int16_t{256}}) {
    SCOPED_TRACE(n);
    const PortDevice device = ResolvePort(n, none);
    EXPECT_EQ(device.path, "COM" + std::to_string(n));
    EXPECT_EQ(FindPortDevice(device, none), device.path);
  }
  const PortSources overridden{.environment = Environment({{"KT7340_COM3", "COM7"}})};
  EXPECT_EQ(ResolvePort(3, overridden).path, "COM7");
  EXPECT_EQ(ResolvePort(4, overridden).path, "COM4");
  EXPECT_THROW(ResolvePort(0, none), SerialError);
}

// COM1 to COM9 open by their plain names on Windows, COM10 and above only in the device
// namespace: every name gets it, and a name already in it is not given it twice.
TEST(ComDevicePath, PutsEveryPortInTheDeviceNamespace) {
  EXPECT_EQ(ComDevicePath("COM1"), L"\\\\.\\COM1");
  EXPECT_EQ(ComDevicePath("COM10"), L"\\\\.\\COM10");
  EXPECT_EQ(ComDevicePath("COM256"), L"\\\\.\\COM256");
  EXPECT_EQ(ComDevicePath("\\\\.\\COM12"), L"\\\\.\\COM12");
}

// Every accepted settings text, from a DCB with every field set: the rate, 8 data bits, the
// parity with its stop bits, and nothing that would translate, drop or hold back a byte.
TEST(MakeRawDcb, GivesEachSettingsTextItsLineAndNoFlowControl) {
  struct ParityCase {
    const char* suffix;
    BYTE parity;
    BYTE stopBits;
  };
  const ParityCase parities[] = {
      {"N,8,2", NOPARITY, TWOSTOPBITS},
      {"O,8,1", ODDPARITY, ONESTOPBIT},
      {"E,8,1", EVENPARITY, ONESTOPBIT},
  };
  for (const BaudRow& baud : kBaudRows) {
    for (const ParityCase& p : parities) {
      const std::string text = std::to_string(baud.baudRate) + p.suffix;
      SCOPED_TRACE(text);
      DCB dcb;
      std::memset(&dcb, 0xFF, sizeof dcb);
      MakeRawDcb(dcb, ParseLineSettings(text, "COM1"));
      EXPECT_EQ(std::tuple(dcb.DCBlength, dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits),
                std::tuple(DWORD{sizeof dcb}, static_cast<DWORD>(baud.baudRate), BYTE{8}, p.parity,
                           p.stopBits));
      // Binary, then no parity check, flow control, translation, dropped byte or stop on errors
      // (the flags promoted to int).
      EXPECT_EQ(std::tuple(+dcb.fBinary, +dcb.fParity, +dcb.fOutxCtsFlow, +dcb.fOutxDsrFlow,
                           +dcb.fDsrSensitivity, +dcb.fOutX, +dcb.fInX, +dcb.fErrorChar, +dcb.fNull,
                           +dcb.fAbortOnError),
                std::tuple(1, 0, 0, 0, 0, 0, 0, 0, 0, 0));
      EXPECT_EQ(std::tuple(+dcb.fDtrControl, +dcb.fRtsControl),
                std::tuple(DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE));
    }
  }
}

// Reads never wait; a write waits its bound, and a bound of 0 or less still ends (a write
// timeout of 0 would wait for ever).
TEST(LineTimeouts, ReadsReturnAtOnceAndEveryWriteHasAnEnd) {
  const struct {
    int asked;
    DWORD set;
  } cases[] = {{-5, 1}, {0, 1}, {1, 1}, {108, 108}, {1000, 1000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.asked);
    const COMMTIMEOUTS t = LineTimeouts(c.asked);
    EXPECT_EQ(t.ReadIntervalTimeout, MAXDWORD);
    EXPECT_EQ(t.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(t.WriteTotalTimeoutConstant, c.set);
  }
}

// Opening: a missing port, a port another program holds. During transfers: the codes a pulled
// USB adapter gives (and wine's for a terminal gone) are a lost device; anything else is a plain
// failure.
TEST(ComErrors, OpeningAndTransfersMapTheSystemCodes) {
  EXPECT_EQ(OpenResultOf(ERROR_FILE_NOT_FOUND), TransportResult::NoDevice);
  EXPECT_EQ(OpenResultOf(ERROR_PATH_NOT_FOUND), TransportResult::NoDevice);
  EXPECT_EQ(OpenResultOf(ERROR_ACCESS_DENIED), TransportResult::InUse);
  EXPECT_EQ(OpenResultOf(ERROR_SHARING_VIOLATION), TransportResult::InUse);
  EXPECT_EQ(OpenResultOf(ERROR_INVALID_PARAMETER), TransportResult::Failed);
  for (const DWORD pulled :
       {ERROR_ACCESS_DENIED, ERROR_DEVICE_NOT_CONNECTED, ERROR_OPERATION_ABORTED, ERROR_GEN_FAILURE,
        ERROR_BAD_COMMAND, ERROR_NOT_READY}) {
    SCOPED_TRACE(pulled);
    EXPECT_EQ(TransferResultOf(pulled), TransportResult::DeviceGone);
  }
  EXPECT_EQ(TransferResultOf(ERROR_INVALID_PARAMETER), TransportResult::Failed);
  EXPECT_EQ(TransferResultOf(ERROR_SUCCESS), TransportResult::Failed);
}

// The compiler's own UTF-16 of a Chinese text is what the conversion gives, both ways; a byte
// that is no UTF-8 becomes U+FFFD instead of ending the text.
TEST(WideText, ConvertsChineseBothWaysAndReplacesInvalidBytes) {
  const std::string utf8 = "串口 COM3 已断开";
  const std::wstring utf16 = L"串口 COM3 已断开";
  EXPECT_EQ(kt::platform::win32::WideFromUtf8(utf8), utf16);
  EXPECT_EQ(kt::platform::win32::Utf8FromWide(utf16), utf8);
  EXPECT_EQ(kt::platform::win32::WideFromUtf8("a\xFF"
                                              "b"),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(kt::platform::win32::WideFromUtf8(""), L"");
  EXPECT_EQ(kt::platform::win32::Utf8FromWide(L""), "");
}

// The system's message fills the one bracket after the Chinese words, on one line and with
// its code, so that it can be looked up.
TEST(SerialErrorTextOnWindows, PutsTheSystemsMessageInTheOneBracket) {
  const SerialError inUse(SerialFault{.kind = SerialErrorKind::PortInUse,
                                      .operation = SerialOperation::Open,
                                      .device = "COM3",
                                      .systemError = ERROR_ACCESS_DENIED});
  const std::string text = SerialErrorText(inUse);
  EXPECT_TRUE(text.starts_with("串口 COM3 已被其他程序占用（")) << text;
  EXPECT_TRUE(text.ends_with("，错误码 5）")) << text;
  const size_t open = text.find("（");
  EXPECT_EQ(text.find("（", open + 1), std::string::npos) << text;
  EXPECT_GT(text.size(), std::string("串口 COM3 已被其他程序占用（，错误码 5）").size()) << text;
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_EQ(text.find(".，"), std::string::npos) << text;

  // A code the system has no message for still names its number.
  const SerialError unknown(SerialFault{.kind = SerialErrorKind::IoError,
                                        .operation = SerialOperation::Read,
                                        .device = "COM3",
                                        .systemError = 0x2FFFFFFF});
  EXPECT_EQ(SerialErrorText(unknown), "串口 COM3 接收失败（错误码 805306367）");
}

// The whole line on a port that is not there, a device server by name, and RS-485: each
// refused with its kind and the port stays closed.
TEST(SerialLineOnWindows, RefusesMissingPortsNamedServersAndRs485) {
  const SerialError missing = OpenRefusal({{"KT7340_COM1", "COM250"}});
  EXPECT_EQ(missing.kind(), SerialErrorKind::NoSuchPort);
  EXPECT_EQ(missing.systemError(), static_cast<int>(ERROR_FILE_NOT_FOUND));
  EXPECT_TRUE(SerialErrorText(missing).starts_with("串口 COM250 不存在（"))
      << SerialErrorText(missing);

  // A device server by a name only a lookup could give is refused (win32_tcp_line_test
  // has the servers).
  const SerialError named = OpenRefusal({{"KT7340_COM1", "tcp://meter.invalid:5020"}});
  EXPECT_EQ(named.kind(), SerialErrorKind::BadAddress);
  EXPECT_EQ(SerialErrorText(named),
            "串口 tcp://meter.invalid:5020 地址无效（应为 tcp://数字地址:端口 或 "
            "tcp://localhost:端口）");

  // RS-485 is the adapter driver's on Windows: refused before the port is looked at, in words
  // that say what to do, with no system message.
  const SerialError rs485 = OpenRefusal({{"KT7340_COM1", "COM250"}, {"KT7340_RS485", "1"}});
  EXPECT_EQ(rs485.kind(), SerialErrorKind::Rs485ByDriver);
  EXPECT_EQ(SerialErrorText(rs485),
            "串口 COM250 不支持 RS-485 模式（Windows 上由串口适配器的驱动切换收发方向，请去掉 "
            "KT7340_RS485）");
  // Only "1" asks for it, as on Linux.
  EXPECT_EQ(OpenRefusal({{"KT7340_COM1", "COM250"}, {"KT7340_RS485", "0"}}).kind(),
            SerialErrorKind::NoSuchPort);
}

// This machine's list from SetupAPI and the registry: COM ports only, each by its own number,
// each once, and the list and the open agree on every number.
TEST(PortListOnWindows, ListsEachComPortOnceByItsNumber) {
  const std::vector<PortInfo> ports = ListSerialPorts();
  std::set<int32_t> numbers;
  for (const PortInfo& p : ports) {
    SCOPED_TRACE(p.device + "  " + p.description);
    EXPECT_GT(p.number, 0);
    EXPECT_EQ(p.device, "COM" + std::to_string(p.number));
    EXPECT_TRUE(numbers.insert(p.number).second);
    const PortSources none{.environment = Environment({})};
    EXPECT_EQ(DevicePathForPort(static_cast<int16_t>(p.number), none), p.device);
  }
  const std::vector<std::string> lines = FormatPortList(ListPorts(ports, Environment({})));
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  EXPECT_EQ(lines.size(), std::max<size_t>(ports.size(), 1));
}
