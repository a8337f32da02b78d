// The port list over a fake sysfs tree: which ports, in which order, with which descriptions.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "FakeSysfs.h"
#include "SerialTestHelpers.h"
#include "serial/AdapterIdentity.h"
#include "serial/DeviceText.h"
#include "serial/PortList.h"
#include "serial/PortName.h"

using namespace kt::serial;
using kt::serial::testing::FakeSysfs;

namespace {

constexpr const char* kUsbBus = "pci0000:00/0000:00:14.0/usb1";

// A machine with two FTDI adapters, a third USB adapter, one without strings, one whose strings
// are long and hostile, an ACM modem, one real on-board UART (behind the serial core's port and
// controller devices), an 8250 slot without a chip, a port without a /dev node and a virtual
// terminal.
void BuildMachine(FakeSysfs& fs) {
  const std::string bus = kUsbBus;
  fs.UsbDevice("usb2/2-1", {});
  fs.Device("usb2/2-1/2-1:1.0/ttyUSB0", "usb-serial/drivers/ch341-uart");
  fs.Tty("ttyUSB0", "usb2/2-1/2-1:1.0/ttyUSB0");

  fs.UsbDevice("usb3/3-1", {{"manufacturer", std::string(10000, 'M')},
                            {"product", "\x1b]0;owned\x07UART\xff\xfe 串口"},
                            {"serial", "A\r\nB"}});
  fs.Device("usb3/3-1/ttyUSB3", "usb-serial/drivers/ftdi_sio");
  fs.Tty("ttyUSB3", "usb3/3-1/ttyUSB3");

  fs.UsbDevice(bus + "/1-2",
               {{"manufacturer", "FTDI"}, {"product", "FT232R USB UART"}, {"serial", "A10K3XYZ"}});
  fs.Device(bus + "/1-2/1-2:1.0/ttyUSB10", "usb-serial/drivers/ftdi_sio");
  fs.Tty("ttyUSB10", bus + "/1-2/1-2:1.0/ttyUSB10");

  fs.UsbDevice(bus + "/1-3", {{"product", "USB-Serial Controller"}});
  fs.Device(bus + "/1-3/1-3:1.0/ttyUSB2", "usb-serial/drivers/pl2303");
  fs.Tty("ttyUSB2", bus + "/1-3/1-3:1.0/ttyUSB2");

  fs.UsbDevice(bus + "/1-4", {{"manufacturer", "Arduino (www.arduino.cc)"},
                              {"product", "Uno"},
                              {"serial", "85036313530351E0B1A1"}});
  fs.Device(bus + "/1-4/1-4:1.0", "usb/drivers/cdc_acm");
  fs.Tty("ttyACM0", bus + "/1-4/1-4:1.0");

  fs.Device("pnp0/00:05", "pnp/drivers/serial");
  fs.Device("pnp0/00:05/00:05:0", "serial-base/drivers/ctrl");
  fs.Device("pnp0/00:05/00:05:0/00:05:0.0", "serial-base/drivers/port");
  fs.Tty("ttyS0", "pnp0/00:05/00:05:0/00:05:0.0", "4");

  fs.Device("platform/serial8250/serial8250:0/serial8250:0.1", "serial-base/drivers/port");
  fs.Tty("ttyS1", "platform/serial8250/serial8250:0/serial8250:0.1", "0");

  fs.Device("platform/amba/uart1", "amba/drivers/uart-pl011");
  fs.Tty("ttyAMA1", "platform/amba/uart1", "", /*node=*/false);

  fs.Tty("tty1", "");
}

}  // namespace

TEST(ListSerialPorts, AdaptersFirstInNaturalOrderThenUartsWithHardware) {
  FakeSysfs fs;
  BuildMachine(fs);
  const std::vector<PortInfo> ports = ListSerialPorts(fs.sys(), fs.dev());

  struct Expected {
    const char* name;
    std::string description;
  };
  const std::vector<Expected> expected = {
      {"ttyACM0", "Arduino (www.arduino.cc) Uno (85036313530351E0B1A1)"},
      {"ttyUSB0", "ch341-uart"},  // no strings: its driver
      {"ttyUSB2", "USB-Serial Controller"},
      // 256 bytes of the manufacturer, controls replaced, the serial number to its line end.
      {"ttyUSB3", std::string(256, 'M') + " ?]0;owned?UART?? 串口 (A)"},
      {"ttyUSB10", "FTDI FT232R USB UART (A10K3XYZ)"},
      {"ttyS0", "serial"},
  };
  ASSERT_EQ(ports.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(ports[i].name, expected[i].name);
    EXPECT_EQ(ports[i].device, fs.dev() + "/" + expected[i].name);
    EXPECT_EQ(ports[i].description, expected[i].description);
  }
}

TEST(ListSerialPorts, AMissingSysfsGivesNoPorts) {
  EXPECT_TRUE(ListSerialPorts("/nonexistent/kt7340-sys", "/nonexistent/kt7340-dev").empty());
}

TEST(FormatPortList, NumbersThePortsFromOneOrSaysNoneWasFound) {
  const std::vector<PortInfo> ports = {
      {"ttyUSB0", "/dev/ttyUSB0", "FTDI FT232R USB UART (A10K3XYZ)"},
      {"ttyS0", "/dev/ttyS0", "serial"},
  };
  EXPECT_EQ(FormatPortList(ports),
            (std::vector<std::string>{"COM1  /dev/ttyUSB0  FTDI FT232R USB UART (A10K3XYZ)",
                                      "COM2  /dev/ttyS0  serial"}));
  EXPECT_EQ(FormatPortList({}), std::vector<std::string>{"未找到串口"});
}

TEST(NaturalLess, ComparesDigitRunsAsNumbers) {
  // Each pair in order, strictly: the first before the second and not the other way round.
  const std::pair<const char*, const char*> ordered[] = {
      {"ttyUSB2", "ttyUSB10"},
      {"ttyACM9", "ttyUSB0"},
      {"ttyS", "ttyS0"},
      {"ttyUSB007", "ttyUSB8"},
      // Equal values: the fewer leading zeros first, never equal (one of two names would vanish
      // from a set).
      {"ttyUSB7", "ttyUSB007"},
      {"ttyUSB07", "ttyUSB007"},
      {"ttyUSB007a", "ttyUSB7b"},
      {"ttyz", "tty\xC3\xA9"}};  // bytes beyond ASCII come after it (unsigned)
  for (const auto& [a, b] : ordered) {
    SCOPED_TRACE(std::string(a) + " < " + b);
    EXPECT_TRUE(NaturalLess(a, b));
    EXPECT_FALSE(NaturalLess(b, a));
  }
  EXPECT_FALSE(NaturalLess("ttyUSB1", "ttyUSB1"));
}

// What each number opens: overrides first, up to port 99, then the listed ports by position;
// two adapters of one kind told apart by serial number (by-id) or by USB socket (by-path).
TEST(ListPorts, ShowsWhatEachNumberOpensOverridesIncluded) {
  FakeSysfs fs;
  fs.UsbAdapter("ttyUSB0", "usb1/1-1", "FT1A", "", "/dev/null");
  fs.UsbAdapter("ttyUSB1", "usb1/1-2", "FT1B", "", "/dev/null");
  fs.UsbAdapter("ttyUSB2", "usb1/1-3", "", "pci-0000:00:14.0-usb-0:3:1.0-port0", "/dev/null");
  std::filesystem::create_directories(fs.dev() + "/serial/by-id");
  std::filesystem::create_symlink("../../ttyUSB1",
                                  fs.dev() + "/serial/by-id/usb-FTDI_FT232R_USB_UART_FT1B-if00");
  fs.Device("pnp0/00:05", "pnp/drivers/serial");
  fs.Tty("ttyS0", "pnp0/00:05", "4");
  const PortSources sources{kt::serial::testing::Only({{"KT7340_COM1", "/dev/pts/3"},
                                                       {"KT7340_COM2", ""},
                                                       {"KT7340_COM99", "tcp://127.0.0.1:5020"},
                                                       {"KT7340_COM100", "/dev/ttyS9"}}),
                            fs.sys(), fs.dev()};
  const std::string dev = fs.dev();
  EXPECT_EQ(
      FormatPortList(ListPorts(sources)),
      (std::vector<std::string>{
          "COM1  /dev/pts/3  (KT7340_COM1)",
          "COM2  " + dev + "/ttyUSB1  FT1B  0403:6001  usb-FTDI_FT232R_USB_UART_FT1B-if00",
          "COM3  " + dev + "/ttyUSB2  ftdi_sio  0403:6001  pci-0000:00:14.0-usb-0:3:1.0-port0",
          "COM4  " + dev + "/ttyS0  serial",
          "COM99  tcp://127.0.0.1:5020  (KT7340_COM99)",
      }));
  // The list and the open agree on every number.
  for (const PortInfo& p : ListPorts(sources)) {
    EXPECT_EQ(DevicePathForPort(static_cast<int16_t>(p.number), sources), p.device);
  }
}

TEST(CleanDeviceText, KeepsValidUtf8AndReplacesControlsAndBrokenBytes) {
  const std::map<std::string, std::string> cases = {
      {"FT232R \xE4\xB8\xB2\xE5\x8F\xA3 \xF0\x9F\x94\x8C", "FT232R 串口 \xF0\x9F\x94\x8C"},
      {"a\x1b[2Jb\x7f", "a?[2Jb?"},
      {"\xC2\x85\xC2\xA0", "?\xC2\xA0"},  // C1 control out, no-break space kept
      {"\xC0\xAF", "??"},                 // overlong '/'
      {"\xED\xA0\x80", "???"},            // a UTF-16 surrogate
      {"\xF4\x90\x80\x80", "????"},       // beyond U+10FFFF
      {"\xE4\xB8", "??"},                 // cut short
      {"", ""},
  };
  for (const auto& [raw, clean] : cases) EXPECT_EQ(CleanDeviceText(raw), clean) << raw;
}

// Which adapter is which: a serial number only while no other adapter of its vendor:product has
// it, else the USB socket (by-path, or sysfs without udev); the list shows what decided.
TEST(AdapterIdentity, SerialNumberWhileItIsUniqueElseTheSocket) {
  FakeSysfs fs;
  const auto adapter = [&fs](const std::string& tty, const std::string& socket,
                             const std::string& kind, const std::string& serial) {
    std::map<std::string, std::string> strings{{"idVendor", kind.substr(0, 4)},
                                               {"idProduct", kind.substr(5)}};
    if (!serial.empty()) strings["serial"] = serial;
    fs.UsbDevice("usb1/" + socket, strings);
    fs.Device("usb1/" + socket + "/" + socket + ":1.0/" + tty, "usb-serial/drivers/cp210x");
    fs.Tty(tty, "usb1/" + socket + "/" + socket + ":1.0/" + tty);
  };
  const std::string byPath = "pci-0000:00:14.0-usb-0:1:1.0-port0";
  adapter("ttyUSB0", "1-1", "10c4:ea60", "0001");
  std::filesystem::create_directories(fs.dev() + "/serial/by-path");
  std::filesystem::create_symlink("../../ttyUSB0", fs.dev() + "/serial/by-path/" + byPath);
  adapter("ttyUSB1", "1-2", "10c4:ea60", "0001");  // its twin, and no udev links
  adapter("ttyUSB2", "1-3", "0403:6001", "0001");  // the same number on another kind
  adapter("ttyUSB3", "1-4", "0403:6001", "");
  const std::vector<std::pair<AdapterIdentity, std::string>> expected = {
      {{AdapterKey::UsbSocket, byPath}, byPath},
      {{AdapterKey::UsbSocket, "usb 1-2:1.0"}, "usb 1-2:1.0"},
      {{AdapterKey::SerialNumber, "0001"}, "序列号 0001"},
      {{AdapterKey::UsbSocket, "usb 1-4:1.0"}, "usb 1-4:1.0"},
  };
  const std::vector<PortInfo> ports = ListSerialPorts(fs.sys(), fs.dev());
  const std::vector<std::string> lines = FormatPortList(ports);
  ASSERT_EQ(ports.size(), expected.size());
  for (size_t i = 0; i < ports.size(); ++i) {
    SCOPED_TRACE(lines[i]);
    EXPECT_EQ(IdentityOf(ports[i], ports), expected[i].first);
    EXPECT_TRUE(lines[i].ends_with("  " + expected[i].second));
  }
}
