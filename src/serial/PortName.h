// Which device a port number stands for.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kt::serial {

// Looks up an environment variable; nullopt when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// Where port numbers are resolved: the environment and the sysfs and /dev roots of the port list.
struct PortSources {
  EnvironmentLookup environment;  // empty: the process environment
  std::string sysRoot = "/sys";
  std::string devRoot = "/dev";
};

// The process environment as an EnvironmentLookup.
std::optional<std::string> ProcessEnvironment(const std::string& name);

// Port N is what the environment variable KT7340_COM<N> names when it is set and not empty (a
// device path, or a tcp://HOST:PORT address), else the device of the N-th port of the port list
// (PortList.h). A number below 1 throws SerialError(BadPortNumber); a number beyond the list
// throws SerialError(NoSuchPort) naming the port.
std::string DevicePathForPort(int16_t port, const PortSources& sources);
std::string DevicePathForPort(int16_t port);

// The name of the environment variable that can name port N's device: "KT7340_COM<N>".
std::string PortEnvironmentVariable(int16_t port);

}  // namespace kt::serial
