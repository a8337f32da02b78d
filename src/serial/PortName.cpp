// Port numbers to devices: an environment override per port, else the n-th listed port.
#include "serial/PortName.h"

#include <cstdlib>

#include "serial/PortList.h"
#include "serial/SerialError.h"

namespace kt::serial {

std::optional<std::string> ProcessEnvironment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

std::string PortEnvironmentVariable(int16_t port) {
  return "KT7340_COM" + std::to_string(port);
}

std::string DevicePathForPort(int16_t port, const PortSources& sources) {
  if (port < 1) {
    throw SerialError(SerialErrorKind::BadPortNumber, std::to_string(port),
                      "port number " + std::to_string(port) + " is below 1");
  }
  const EnvironmentLookup& lookup =
      sources.environment ? sources.environment : EnvironmentLookup(ProcessEnvironment);
  if (const auto named = lookup(PortEnvironmentVariable(port)); named && !named->empty()) {
    return *named;
  }
  const std::vector<PortInfo> ports = ListSerialPorts(sources.sysRoot, sources.devRoot);
  if (static_cast<size_t>(port) > ports.size()) {
    throw SerialError(SerialErrorKind::NoSuchPort, "COM" + std::to_string(port),
                      "没有串口 COM" + std::to_string(port) + "：本机找到 " +
                          std::to_string(ports.size()) + " 个串口，可用 " +
                          PortEnvironmentVariable(port) + " 指定设备");
  }
  return ports[static_cast<size_t>(port) - 1].device;
}

std::string DevicePathForPort(int16_t port) {
  return DevicePathForPort(port, PortSources{});
}

}  // namespace kt::serial
