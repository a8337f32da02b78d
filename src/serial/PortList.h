// The serial ports this machine has, found in sysfs, and their one-line descriptions.
#pragma once

#include <string>
#include <vector>

namespace kt::serial {

struct PortInfo {
  std::string name;         // "ttyUSB0"
  std::string device;       // "/dev/ttyUSB0"
  std::string description;  // "FTDI FT232R USB UART (A10K3XYZ)", or the driver's name
};

// The ports with hardware behind them: USB and ACM adapters first, then other ports whose tty
// entry has a device link (on-board UARTs). A UART whose type reads 0 (unknown) has no hardware
// and is left out, as is an entry without a device node under `devRoot`. Each group is in the
// natural order of the names (ttyUSB2 before ttyUSB10). Nothing found gives an empty list.
std::vector<PortInfo> ListSerialPorts(const std::string& sysRoot = "/sys",
                                      const std::string& devRoot = "/dev");

// One line per port, numbered as the monitor numbers them: "COM1  /dev/ttyUSB0  FTDI ...".
// An empty list gives the single line "未找到串口".
std::vector<std::string> FormatPortList(const std::vector<PortInfo>& ports);

// True when `a` comes before `b` with digit runs compared as numbers.
bool NaturalLess(const std::string& a, const std::string& b);

}  // namespace kt::serial
