// Windows' port list from plain data: which names are COM ports, the USB vendor and product of a
// hardware ID, the order (USB adapters first, by COM number) and the lines, overrides included.
// Built on Linux and for Windows alike.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "SerialTestHelpers.h"
#include "serial/ComPortList.h"
#include "serial/PortList.h"

using namespace kt::serial;
using kt::serial::testing::Only;

namespace {

// A laptop: two identical CH340 adapters, an FTDI adapter behind its own bus driver, the
// board's UART, a printer port, a Bluetooth link, and a port only the registry's map names
// (with COM1 there too, as the map always has it).
std::vector<ComPortRecord> Devices() {
  return {
      {"COM4", "USB-SERIAL CH340 (COM4)", "USB\\VID_1A86&PID_7523&REV_0264", "",
       "USB\\VID_1A86&PID_7523\\5&2D0A4D1&0&4", "Port_#0004.Hub_#0001"},
      {"COM1", "通讯端口 (COM1)", "ACPI\\PNP0501", ""},
      {"LPT1", "打印机端口 (LPT1)", "ACPI\\PNP0400", ""},
      {"COM10", "USB Serial Port (COM10)", "FTDIBUS\\VID_0403+PID_6001+A10K3XYZA\\0000", "",
       "FTDIBUS\\VID_0403+PID_6001+A10K3XYZA\\0000", "Port_#0001.Hub_#0003"},
      {"COM12", "蓝牙链接上的标准串行\x1b[2J (COM12)", "BTHENUM\\{00001101-0000-1000}", ""},
      {"COM3", "USB-SERIAL CH340 (COM3)", "USB\\VID_1A86&PID_7523&REV_0264", "",
       "USB\\VID_1A86&PID_7523\\5&2D0A4D1&0&3", "Port_#0003.Hub_#0001"},
  };
}
std::vector<ComPortRecord> SerialComm() {
  return {
      {"COM1", "", "", "\\Device\\Serial0"},
      {"COM20", "", "", "\\Device\\VCP0"},
      {"COM0", "", "", "\\Device\\Serial9"},
  };
}

}  // namespace

TEST(ComPortNumber, TakesComOneToThe16BitLimitAndNothingElse) {
  const std::map<std::string, int32_t> cases = {
      {"COM1", 1},     {"com3", 3},      {"Com10", 10}, {"COM32767", 32767},
      {"COM32768", 0}, {"COM123456", 0}, {"COM0", 0},   {"COM05", 0},
      {"COM3x", 0},    {"COM", 0},       {"LPT1", 0},   {"XCOM1", 0},
      {"COM-1", 0},    {"", 0},
  };
  for (const auto& [name, number] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ComPortNumber(name), number);
  }
}

TEST(UsbVendorProduct, ReadsBothFourDigitNumbersOrNothing) {
  const std::map<std::string, std::string> cases = {
      {"USB\\VID_1A86&PID_7523&REV_0264", "1a86:7523"},
      {"FTDIBUS\\VID_0403+PID_6001+A10K3XYZA\\0000", "0403:6001"},
      {"usb\\vid_067b&pid_2303", "067b:2303"},
      {"USB\\VID_1A8&PID_7523", ""},   // three digits: not a vendor
      {"USB\\VID_1A86&PID_752", ""},   // cut short
      {"USB\\VID_1A86", ""},           // no product
      {"USB\\VID_GHIJ&PID_7523", ""},  // no hex
      {"ACPI\\PNP0501", ""},
      {"", ""},
  };
  for (const auto& [id, expected] : cases) {
    SCOPED_TRACE(id);
    EXPECT_EQ(UsbVendorProduct(id), expected);
  }
}

// USB adapters first, each group by COM number (COM3 before COM10, not as text); the registry
// adds only what SetupAPI did not list; a device's own text is cleaned.
TEST(ComPortList, AdaptersFirstByNumberThenTheOthersEachPortOnce) {
  EXPECT_EQ(FormatPortList(ComPortList(Devices(), SerialComm())),
            (std::vector<std::string>{
                "COM3  USB-SERIAL CH340 (COM3)  1a86:7523  Port_#0003.Hub_#0001",
                "COM4  USB-SERIAL CH340 (COM4)  1a86:7523  Port_#0004.Hub_#0001",
                "COM10  USB Serial Port (COM10)  0403:6001  序列号 A10K3XYZA",
                "COM1  通讯端口 (COM1)",
                "COM12  蓝牙链接上的标准串行?[2J (COM12)",
                "COM20  \\Device\\VCP0",
            }));
  // Without SetupAPI (an older driver, a failed query) the registry's map is the list.
  EXPECT_EQ(FormatPortList(ComPortList({}, SerialComm())),
            (std::vector<std::string>{"COM1  \\Device\\Serial0", "COM20  \\Device\\VCP0"}));
  EXPECT_EQ(FormatPortList(ComPortList({}, {})), std::vector<std::string>{"未找到串口"});
}

// Port N is COM<N>: an override takes the place of the port of its number, and one for a
// number nothing is listed at comes after the list, as on Linux.
TEST(ComPortList, OverridesStandWhereTheirNumberIsListedOrAfterTheList) {
  const EnvironmentLookup vars = Only({{"KT7340_COM4", "tcp://127.0.0.1:5020"},
                                       {"KT7340_COM3", ""},
                                       {"KT7340_COM2", "COM20"},
                                       {"KT7340_COM99", "COM7"},
                                       {"KT7340_COM100", "COM8"}});
  EXPECT_EQ(FormatPortList(ListPorts(ComPortList(Devices(), SerialComm()), vars)),
            (std::vector<std::string>{
                "COM3  USB-SERIAL CH340 (COM3)  1a86:7523  Port_#0003.Hub_#0001",
                "COM4  tcp://127.0.0.1:5020  (KT7340_COM4)",
                "COM10  USB Serial Port (COM10)  0403:6001  序列号 A10K3XYZA",
                "COM1  通讯端口 (COM1)",
                "COM12  蓝牙链接上的标准串行?[2J (COM12)",
                "COM20  \\Device\\VCP0",
                "COM2  COM20  (KT7340_COM2)",
                "COM99  COM7  (KT7340_COM99)",
            }));
  // The numbers the dialog fills in when a line is clicked.
  std::vector<int32_t> numbers;
  for (const PortInfo& p : ListPorts(ComPortList(Devices(), SerialComm()), vars)) {
    numbers.push_back(p.number);
  }
  EXPECT_EQ(numbers, (std::vector<int32_t>{3, 4, 10, 1, 12, 20, 2, 99}));
}
