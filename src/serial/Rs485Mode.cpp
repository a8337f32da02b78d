// RS-485 mode through TIOCSRS485.
#include "serial/Rs485Mode.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace kt::serial {

bool Rs485Requested(const EnvironmentLookup& environment) {
  const EnvironmentLookup& lookup =
      environment ? environment : EnvironmentLookup(ProcessEnvironment);
  const std::optional<std::string> value = lookup(kRs485Variable);
  return value && *value == "1";
}

int EnableRs485Mode(int fd) {
  serial_rs485 rs485{};
  rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;  // RTS_AFTER_SEND clear: off after
  return ::ioctl(fd, TIOCSRS485, &rs485) == 0 ? 0 : errno;
}

}  // namespace kt::serial
