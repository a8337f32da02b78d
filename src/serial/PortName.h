// Which device a port number stands for.
#pragma once

#include <cstdint>
#include <string>

namespace kt::serial {

// Port N is the device named by the environment variable KT7340_COM<N> when it is set and not
// empty, else /dev/ttyS<N-1>. A number below 1 throws SerialError(BadPortNumber).
std::string DevicePathForPort(int16_t port);

// The name of the environment variable that can name port N's device: "KT7340_COM<N>".
std::string PortEnvironmentVariable(int16_t port);

}  // namespace kt::serial
