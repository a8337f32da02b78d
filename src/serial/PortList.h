// The serial ports this machine has, found in sysfs, and their one-line descriptions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kt::serial {

struct PortSources;

struct PortInfo {
  std::string name{};         // "ttyUSB0"
  std::string device{};       // "/dev/ttyUSB0", or what KT7340_COM<N> names
  std::string description{};  // "FTDI FT232R USB UART (A10K3XYZ)", or the driver's name
  // USB adapters: what tells two of the same kind apart.
  std::string vendorProduct{};  // "0403:6001"
  std::string serial{};         // the adapter's serial number, empty when it has none
  std::string byId{};           // its name under <dev>/serial/by-id, if any
  std::string byPath{};         // its name under <dev>/serial/by-path (the USB socket), if any
  // The port number it is opened by; 0: its position in the list.
  int32_t number = 0;
  // The environment variable that named it ("KT7340_COM1"), empty for a listed port.
  std::string overrideVariable{};
};

// The ports with hardware behind them: USB and ACM adapters first, then other ports whose tty
// entry has a device link (on-board UARTs). A UART whose type reads 0 (unknown) has no hardware
// and is left out, as is an entry without a device node under `devRoot`. Each group is in the
// natural order of the names (ttyUSB2 before ttyUSB10). Nothing found gives an empty list.
// Strings a device chose are cleaned (DeviceText.h).
std::vector<PortInfo> ListSerialPorts(const std::string& sysRoot = "/sys",
                                      const std::string& devRoot = "/dev");

// What each port number opens, in number order: port N is what KT7340_COM<N> names when it is
// set (for N up to kHighestListedOverride), else the N-th listed port.
inline constexpr int32_t kHighestListedOverride = 99;
std::vector<PortInfo> ListPorts(const PortSources& sources);
std::vector<PortInfo> ListPorts();

// One line per port, as the monitor numbers them: "COM1  /dev/ttyUSB0  FTDI ...  0403:6001
// usb-FTDI_...", "COM2  /dev/pts/3  (KT7340_COM2)". An empty list gives "未找到串口".
std::vector<std::string> FormatPortList(const std::vector<PortInfo>& ports);

// True when `a` comes before `b` with digit runs compared as numbers; runs of equal value
// with fewer leading zeros first, so that no two different names are equal.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace kt::serial
