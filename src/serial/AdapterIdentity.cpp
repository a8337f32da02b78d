// The adapter identity rule: a serial number counts while it is unique, else the USB socket.
#include "serial/AdapterIdentity.h"

#include <algorithm>

namespace kt::serial {

std::string UsbSocketOf(const PortInfo& port) {
  return port.byPath.empty() ? port.usbLocation : port.byPath;
}

AdapterIdentity IdentityOf(const PortInfo& port, const std::vector<PortInfo>& listed) {
  if (port.vendorProduct.empty()) return {};
  if (!port.serial.empty()) {
    const auto sameSerial = [&port](const PortInfo& other) {
      return other.vendorProduct == port.vendorProduct && other.serial == port.serial;
    };
    if (std::count_if(listed.begin(), listed.end(), sameSerial) <= 1) {
      return {AdapterKey::SerialNumber, port.serial};
    }
  }
  std::string socket = UsbSocketOf(port);
  if (socket.empty()) return {};
  return {AdapterKey::UsbSocket, std::move(socket)};
}

}  // namespace kt::serial
