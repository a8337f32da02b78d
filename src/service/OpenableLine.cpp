// A port named in the file, opened the way the monitor opens its numbered ports.
#include "service/OpenableLine.h"

#include <optional>
#include <string>
#include <string_view>

#include "serial/PortName.h"
#include "serial/TcpAddress.h"

namespace kt::service {
namespace {

constexpr std::string_view kComPrefix = "COM";
// The port number a device path or tcp:// address is given by, through the environment lookup.
constexpr int16_t kNamedPort = 1;

}  // namespace

std::unique_ptr<serial::SerialLine> OpenableLine(const LineConfig& line) {
  auto serialLine = std::make_unique<serial::SerialLine>();
  const bool numbered = line.port.starts_with(kComPrefix) && !serial::IsTcpAddress(line.port);
  const int16_t number =
      numbered ? static_cast<int16_t>(std::stoi(line.port.substr(kComPrefix.size()))) : kNamedPort;
  if (!numbered) {
    // The port's device is named the way KT7340_COM<N> names one: kept as that same device.
    serial::PortSources sources;
    const std::string variable = serial::PortEnvironmentVariable(kNamedPort);
    const std::string device = line.port;
    sources.environment = [variable, device](const std::string& name) {
      return name == variable ? std::optional<std::string>(device) : std::nullopt;
    };
    serialLine->SetPortSources(sources);
  }
  const bool rs485 = line.rs485;
  serialLine->SetEnvironment([rs485](const std::string& name) -> std::optional<std::string> {
    if (name == "KT7340_RS485" && rs485) return "1";
    return serial::ProcessEnvironment(name);
  });
  serialLine->SetCommPort(number);
  serialLine->SetSettings(SettingsText(line));
  return serialLine;
}

}  // namespace kt::service
