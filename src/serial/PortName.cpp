// Port numbers to devices: an environment override per port, else the n-th listed port.
#include "serial/PortName.h"

#include <cstdlib>
#include <vector>

#include "serial/PortList.h"
#include "serial/SerialError.h"

namespace kt::serial {
namespace {

bool HasUsbIdentity(const PortDevice& d) {
  return !d.usbSerial.empty() || !d.byPath.empty();
}

bool SameAdapter(const PortDevice& d, const PortInfo& p) {
  if (p.vendorProduct != d.vendorProduct) return false;
  return d.usbSerial.empty() ? p.serial.empty() && p.byPath == d.byPath : p.serial == d.usbSerial;
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
  for (const PortInfo& p : ListSerialPorts(sources.sysRoot, sources.devRoot)) {
    if (SameAdapter(device, p)) return p.device;
  }
  return std::nullopt;
}

}  // namespace kt::serial
