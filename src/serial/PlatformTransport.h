// The transport this platform has for a device name.
#pragma once

#include <memory>
#include <string>

#include "serial/Transport.h"

namespace kt::serial {

// A tcp://HOST:PORT name gives a TCP transport on the platform's socket (Socket.h), any other
// name the platform's serial device transport (opened in RS-485 mode with `rs485`). A tcp:// name
// that is no HOST:PORT throws SerialError(BadAddress) naming it.
std::unique_ptr<Transport> MakePlatformTransport(const std::string& device, bool rs485);

// The platform's serial device transport (posix/, win32/ DeviceTransport.cpp): termios on
// POSIX, a COM port on Windows.
std::unique_ptr<Transport> MakeDeviceTransport(const std::string& device, bool rs485);

}  // namespace kt::serial
