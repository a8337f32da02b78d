// On Windows: COM ports. Device servers (tcp://) wait for the Winsock transport.
#include <windows.h>

#include "serial/PlatformTransport.h"
#include "serial/SerialError.h"
#include "serial/TcpAddress.h"
#include "serial/win32/ComTransport.h"

namespace kt::serial {

std::unique_ptr<Transport> MakePlatformTransport(const std::string& device, bool rs485) {
  if (IsTcpAddress(device)) {
    throw SerialError(SerialFault{.kind = SerialErrorKind::OpenFailed,
                                  .operation = SerialOperation::Connect,
                                  .device = device,
                                  .systemError = ERROR_NOT_SUPPORTED,
                                  .detail = "no TCP transport on Windows yet"});
  }
  return std::make_unique<win32::ComTransport>(device, rs485);
}

}  // namespace kt::serial
