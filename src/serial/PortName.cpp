// Port numbers to device paths: an environment override per port, else the n-th ttyS device.
#include "serial/PortName.h"

#include <cstdlib>

#include "serial/SerialError.h"

namespace kt::serial {

std::string PortEnvironmentVariable(int16_t port) {
  return "KT7340_COM" + std::to_string(port);
}

std::string DevicePathForPort(int16_t port) {
  if (port < 1) {
    throw SerialError(SerialErrorKind::BadPortNumber, "",
                      "port number " + std::to_string(port) + " is below 1");
  }
  const char* named = std::getenv(PortEnvironmentVariable(port).c_str());
  if (named != nullptr && *named != '\0') return named;
  return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace kt::serial
