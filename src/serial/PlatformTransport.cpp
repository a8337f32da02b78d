// A device server by its tcp:// address on the platform's socket, else the platform's device.
#include "serial/PlatformTransport.h"

#include "serial/SerialError.h"
#include "serial/Socket.h"
#include "serial/SocketTransport.h"
#include "serial/TcpAddress.h"

namespace kt::serial {

std::unique_ptr<Transport> MakePlatformTransport(const std::string& device, bool rs485) {
  if (!IsTcpAddress(device)) return MakeDeviceTransport(device, rs485);
  const auto address = SplitHostPort(device.substr(std::string(kTcpScheme).size()));
  if (!address) {
    throw SerialError(SerialFault{.kind = SerialErrorKind::BadAddress,
                                  .operation = SerialOperation::Connect,
                                  .device = device,
                                  .detail = "not tcp://HOST:PORT"});
  }
  return std::make_unique<SocketTransport>(*address, MakePlatformSocket());
}

}  // namespace kt::serial
