// On POSIX: termios for devices, a socket for device servers.
#include "serial/PlatformTransport.h"

#include "serial/SerialError.h"
#include "serial/TcpAddress.h"
#include "serial/posix/SocketTransport.h"
#include "serial/posix/TermiosTransport.h"

namespace kt::serial {

std::unique_ptr<Transport> MakePlatformTransport(const std::string& device, bool rs485) {
  if (!IsTcpAddress(device)) return std::make_unique<posix::TermiosTransport>(device, rs485);
  const auto address = SplitHostPort(device.substr(std::string(kTcpScheme).size()));
  if (!address) {
    throw SerialError(SerialFault{.kind = SerialErrorKind::BadAddress,
                                  .operation = SerialOperation::Connect,
                                  .device = device,
                                  .detail = "not tcp://HOST:PORT"});
  }
  return std::make_unique<posix::SocketTransport>(*address);
}

}  // namespace kt::serial
