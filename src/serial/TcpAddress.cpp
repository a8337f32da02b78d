// Splitting device server addresses into host and port.
#include "serial/TcpAddress.h"

#include <charconv>

namespace kt::serial {

std::string HostPort::Text() const {
  const bool ipv6 = host.find(':') != std::string::npos;
  return (ipv6 ? "[" + host + "]" : host) + ":" + port;
}

bool IsTcpAddress(const std::string& portName) {
  return portName.starts_with(kTcpScheme);
}

std::optional<HostPort> SplitHostPort(const std::string& text) {
  HostPort result;
  size_t colon = 0;
  if (text.starts_with("[")) {
    const size_t close = text.find(']');
    if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':') {
      return std::nullopt;
    }
    result.host = text.substr(1, close - 1);
    colon = close + 1;
  } else {
    colon = text.rfind(':');
    if (colon == std::string::npos) return std::nullopt;
    result.host = text.substr(0, colon);
    if (result.host.find(':') != std::string::npos) return std::nullopt;  // IPv6 needs brackets
  }
  result.port = text.substr(colon + 1);
  unsigned value = 0;
  const char* end = result.port.data() + result.port.size();
  const auto [stop, ec] = std::from_chars(result.port.data(), end, value);
  const bool strayBracket = result.host.find_first_of("[]") != std::string::npos;
  if (result.host.empty() || strayBracket || result.port.empty() || ec != std::errc() ||
      stop != end || value > 65535) {
    return std::nullopt;
  }
  return result;
}

}  // namespace kt::serial
