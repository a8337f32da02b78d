// On POSIX, serial devices are terminals.
#include "serial/PlatformTransport.h"
#include "serial/posix/TermiosTransport.h"

namespace kt::serial {

std::unique_ptr<Transport> MakeDeviceTransport(const std::string& device, bool rs485) {
  return std::make_unique<posix::TermiosTransport>(device, rs485);
}

}  // namespace kt::serial
