// What tells a USB adapter apart from the others plugged in beside it. Many adapters of one kind
// leave the factory with the same serial number ("0001"), so a serial number is only trusted
// while it is unique among the adapters of its vendor:product; otherwise the USB socket decides.
#pragma once

#include <string>
#include <vector>

#include "serial/PortList.h"

namespace kt::serial {

enum class AdapterKey {
  None,          // not a USB adapter: its device name is all there is
  SerialNumber,  // the adapter follows its serial number from socket to socket
  UsbSocket,     // the adapter is the one in this USB socket
};

struct AdapterIdentity {
  AdapterKey key = AdapterKey::None;
  std::string value{};  // the serial number or the socket

  bool operator==(const AdapterIdentity&) const = default;
};

// The USB socket of a port: its <dev>/serial/by-path name, else where the system puts the
// adapter (Linux: "usb 1-2:1.0" from sysfs; Windows: the device's location).
std::string UsbSocketOf(const PortInfo& port);

// The identity of `port` among `listed` (the ports listed with it): its serial number while no
// other listed port of the same vendor:product has it, else its USB socket; None without a
// vendor:product, or with neither a serial number nor a socket.
AdapterIdentity IdentityOf(const PortInfo& port, const std::vector<PortInfo>& listed);

}  // namespace kt::serial
