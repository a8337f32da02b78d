// Port numbers to devices: an environment override per port, else the n-th listed port.
#include "serial/PortName.h"

#include <cstdlib>
#include <vector>

#include "serial/AdapterIdentity.h"
#include "serial/PortList.h"
#include "serial/SerialError.h"

namespace kt::serial {
namespace {

bool HasUsbIdentity(const PortDevice& d) {
  return !d.usbSerial.empty() || !d.usbSocket.empty();
}

// The same kind with the same serial number (or none), and where the socket decides, there.
bool MayBeAdapter(const PortDevice& d, const PortInfo& p) {
  if (p.vendorProduct != d.vendorProduct || p.serial != d.usbSerial) return false;
  return !d.bySocket || UsbSocketOf(p) == d.usbSocket;
}

}  // namespace

std::optional<std::string> ProcessEnvironment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string PortEnvironmentVariable(int16_t port) {
  return "KT7340_COM" + std::to_string(port);
}

PortDevice ResolvePort(int16_t port, const PortSources& sources) {
  if (port < 1) {
    throw SerialError(SerialFault{.kind = SerialErrorKind::BadPortNumber,
                                  .operation = SerialOperation::SelectPort,
                                  .value = port});
  }
  const EnvironmentLookup& lookup =
      sources.environment ? sources.environment : EnvironmentLookup(ProcessEnvironment);
  if (const auto named = lookup(PortEnvironmentVariable(port)); named && !named->empty()) {
    return PortDevice{.path = *named};
  }
  return NumberedPortDevice(port, sources);
}

std::string DevicePathForPort(int16_t port, const PortSources& sources) {
  return ResolvePort(port, sources).path;
}

std::string DevicePathForPort(int16_t port) {
  return DevicePathForPort(port, PortSources{});
}

std::optional<std::string> FindPortDevice(const PortDevice& device, const PortSources& sources) {
  if (!device.listed || !HasUsbIdentity(device)) return device.path;
  std::vector<const PortInfo*> found;
  const std::vector<PortInfo> ports = ListSerialPorts(sources.sysRoot, sources.devRoot);
  for (const PortInfo& p : ports) {
    if (MayBeAdapter(device, p)) found.push_back(&p);
  }
  if (found.size() == 1) return found.front()->device;
  // Its serial number is no longer its own (a twin was plugged in): only its socket tells.
  for (const PortInfo* p : found) {
    if (UsbSocketOf(*p) == device.usbSocket) return p->device;
  }
  return std::nullopt;
}

}  // namespace kt::serial
