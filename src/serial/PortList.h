// The serial ports this machine has and what each port number opens, as one line each.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "serial/PortName.h"

namespace kt::serial {

struct PortInfo {
  std::string name{};         // "ttyUSB0", "COM3"
  std::string device{};       // "/dev/ttyUSB0", "COM3", or what KT7340_COM<N> names
  std::string description{};  // "FTDI FT232R USB UART (A10K3XYZ)", or the driver's name
  // USB adapters: what tells two of the same kind apart.
  std::string vendorProduct{};  // "0403:6001"
  std::string serial{};         // the adapter's serial number, empty when it has none
  std::string byId{};           // its name under <dev>/serial/by-id, if any
  std::string byPath{};         // its name under <dev>/serial/by-path (the USB socket), if any
  // Where the system puts the adapter when udev gives no by-path name: "usb 1-2:1.0" (sysfs:
  // bus 1, port 2, interface 0) on Linux, the device's location on Windows.
  std::string usbLocation{};
  // The port number it is opened by; 0: its position in the list (Linux).
  int32_t number = 0;
  // The environment variable that named it ("KT7340_COM1"), empty for a listed port.
  std::string overrideVariable{};
};

// The ports with hardware behind them, in the platform's order. Each platform defines it:
// - Linux (posix/SysfsPortList.cpp), from sysfs under `sysRoot` and `devRoot`: USB and ACM
//   adapters first, then other ports whose tty entry has a device link (on-board UARTs). A UART
//   whose type reads 0 (unknown) has no hardware and is left out, as is an entry without a
//   device node under `devRoot`. Each group is in the natural order of the names (ttyUSB2
//   before ttyUSB10); `number` is 0: port N is the N-th.
// - Windows (win32/SetupApiPortList.cpp), the roots unused: the ports of SetupAPI's class
//   Ports and of the registry's SERIALCOMM map, ordered by ComPortList (ComPortList.h);
//   `number` is the N of COM<N>.
// Nothing found gives an empty list. Strings a device chose are cleaned (DeviceText.h).
std::vector<PortInfo> ListSerialPorts(const std::string& sysRoot = "/sys",
                                      const std::string& devRoot = "/dev");

// What each port number opens: the `listed` ports in their order, port N being the one whose
// `number` is N (a 0 stands for its position from 1), each replaced in its place by the device
// KT7340_COM<N> names when that is set; then the overrides of numbers not listed (up to
// kHighestListedOverride) in number order. Empty `environment`: the process environment.
inline constexpr int32_t kHighestListedOverride = 99;
std::vector<PortInfo> ListPorts(std::vector<PortInfo> listed, const EnvironmentLookup& environment);
// The same for this machine's ports (ListSerialPorts) and `sources.environment`.
std::vector<PortInfo> ListPorts(const PortSources& sources);
std::vector<PortInfo> ListPorts();

// One line per port, as the monitor numbers them: "COM1  /dev/ttyUSB0  FTDI ...  0403:6001
// usb-FTDI_...", "COM2  /dev/pts/3  (KT7340_COM2)", "COM3  USB-SERIAL CH340 (COM3)  1a86:7523"
// (a device named as its number is not repeated). A USB adapter's line ends with what tells it
// from the others listed (AdapterIdentity.h): its by-id name (or "序列号 N") while its serial
// number is its own, else its USB socket. An empty list gives "未找到串口".
std::vector<std::string> FormatPortList(const std::vector<PortInfo>& ports);

// True when `a` comes before `b` with digit runs compared as numbers; runs of equal value
// with fewer leading zeros first, so that no two different names are equal.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace kt::serial
