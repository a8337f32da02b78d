// RS-485 mode through TIOCSRS485.
#include "serial/Rs485Mode.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>

#include "serial/SerialError.h"

namespace kt::serial {

bool Rs485Requested(const EnvironmentLookup& environment) {
  const EnvironmentLookup& lookup =
      environment ? environment : EnvironmentLookup(ProcessEnvironment);
  const std::optional<std::string> value = lookup(kRs485Variable);
  return value && *value == "1";
}

void EnableRs485Mode(int fd, const std::string& device) {
  serial_rs485 rs485{};
  rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;  // RTS_AFTER_SEND clear: off after
  if (::ioctl(fd, TIOCSRS485, &rs485) != 0) {
    const int e = errno;
    throw SerialError(SerialErrorKind::Rs485Unsupported, device, std::strerror(e));
  }
}

}  // namespace kt::serial
