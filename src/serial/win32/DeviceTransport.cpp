// On Windows, serial devices are COM ports.
#include "serial/PlatformTransport.h"
#include "serial/win32/ComTransport.h"

namespace kt::serial {

std::unique_ptr<Transport> MakeDeviceTransport(const std::string& device, bool rs485) {
  return std::make_unique<win32::ComTransport>(device, rs485);
}

}  // namespace kt::serial
