// Which device a port number stands for, and finding that same device again.
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

// The device a port number was resolved to: what it is opened by, and for a USB adapter what
// identifies it when it comes back after being pulled (possibly under another name).
struct PortDevice {
  std::string path{};           // a device path, or a tcp://HOST:PORT address
  std::string usbSerial{};      // the adapter's serial number; empty when it has none
  std::string vendorProduct{};  // "0403:6001", for a USB adapter
  std::string usbSocket{};      // the USB socket it was in (UsbSocketOf, AdapterIdentity.h)
  bool bySocket = false;        // its serial number was not its own: the socket decides
  bool listed = false;          // found in the port list (not named by the environment)
};

// Port N is what the environment variable KT7340_COM<N> names when it is set and not empty (a
// device path, or a tcp://HOST:PORT address), else NumberedPortDevice: on POSIX the N-th port
// of the port list (PortList.h), on Windows COM<N>. A number below 1 throws
// SerialError(BadPortNumber); on POSIX a number beyond the list throws SerialError(NoSuchPort)
// naming "COM<N>" with the number of ports found.
PortDevice ResolvePort(int16_t port, const PortSources& sources);
// The device of port `port` (at least 1) without an environment override; each platform
// defines it: on POSIX the N-th port of the port list (NoSuchPort beyond it), on Windows COM<N>.
PortDevice NumberedPortDevice(int16_t port, const PortSources& sources);
std::string DevicePathForPort(int16_t port, const PortSources& sources);
std::string DevicePathForPort(int16_t port);

// Where `device` is now: a device that was not listed, or a listed one without a USB identity,
// stays at its path; a USB adapter is the listed port of the same vendor:product and serial
// number (or none), wherever its name moved, and in its USB socket when the socket decided. Of
// several with its serial number only the one in its socket is it. nullopt while it is away,
// even when another adapter took its old name or has its serial number.
std::optional<std::string> FindPortDevice(const PortDevice& device, const PortSources& sources);

// The name of the environment variable that can name port N's device: "KT7340_COM<N>".
std::string PortEnvironmentVariable(int16_t port);

}  // namespace kt::serial
