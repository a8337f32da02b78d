// RS-485 mode through TIOCSRS485.
#include <linux/serial.h>
#include <sys/ioctl.h>

#include <cerrno>

#include "serial/Rs485Mode.h"

namespace kt::serial {

int EnableRs485Mode(int fd) {
  serial_rs485 rs485{};
  rs485.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;  // RTS_AFTER_SEND clear: off after
  return ::ioctl(fd, TIOCSRS485, &rs485) == 0 ? 0 : errno;
}

}  // namespace kt::serial
