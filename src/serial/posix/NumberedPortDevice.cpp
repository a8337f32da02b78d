// On POSIX, port N is the N-th port of the list read from sysfs.
#include <vector>

#include "serial/AdapterIdentity.h"
#include "serial/PortList.h"
#include "serial/PortName.h"
#include "serial/SerialError.h"

namespace kt::serial {

PortDevice NumberedPortDevice(int16_t port, const PortSources& sources) {
  const std::vector<PortInfo> ports = ListSerialPorts(sources.sysRoot, sources.devRoot);
  if (static_cast<size_t>(port) > ports.size()) {
    throw SerialError(SerialFault{.kind = SerialErrorKind::NoSuchPort,
                                  .operation = SerialOperation::SelectPort,
                                  .device = "COM" + std::to_string(port),
                                  .value = static_cast<int64_t>(ports.size())});
  }
  const PortInfo& p = ports[static_cast<size_t>(port) - 1];
  return PortDevice{.path = p.device,
                    .usbSerial = p.serial,
                    .vendorProduct = p.vendorProduct,
                    .usbSocket = UsbSocketOf(p),
                    .bySocket = IdentityOf(p, ports).key == AdapterKey::UsbSocket,
                    .listed = true};
}

}  // namespace kt::serial
