// "tcp://HOST:PORT" port names and the HOST:PORT part of them.
#pragma once

#include <optional>
#include <string>

namespace kt::serial {

// The prefix that makes a port name a TCP connection to a serial device server.
inline constexpr const char* kTcpScheme = "tcp://";

struct HostPort {
  std::string host;  // a name or an address; an IPv6 address without its brackets
  std::string port;  // decimal, 0..65535
  // "host:port", with brackets around an IPv6 address.
  std::string Text() const;
};

bool IsTcpAddress(const std::string& portName);

// Splits "HOST:PORT" or "[IPV6]:PORT"; nullopt when either part is missing, the host holds a
// bracket of its own, or the port is not a number from 0 to 65535.
std::optional<HostPort> SplitHostPort(const std::string& text);

}  // namespace kt::serial
