// Candidate lines from the port list.
#include "finder/LineCandidates.h"

#include <string_view>

#include "serial/SerialLine.h"

namespace kt::finder {
namespace {

constexpr std::string_view kTcpPrefix = "tcp://";

CandidateLine FromPort(const serial::PortInfo& port, int32_t number) {
  return {number, port.device, !port.device.starts_with(kTcpPrefix)};
}

}  // namespace

std::vector<CandidateLine> CandidateLines(const std::vector<serial::PortInfo>& ports) {
  std::vector<CandidateLine> lines;
  for (size_t i = 0; i < ports.size(); ++i) {
    const int32_t number = ports[i].number > 0 ? ports[i].number : static_cast<int32_t>(i) + 1;
    lines.push_back(FromPort(ports[i], number));
  }
  return lines;
}

CandidateLine CandidateForPort(const std::vector<serial::PortInfo>& ports, int32_t portNumber) {
  for (const CandidateLine& line : CandidateLines(ports)) {
    if (line.portNumber == portNumber) return line;
  }
  return {portNumber, "", true};
}

LineOpener SerialLineOpener() {
  return [](const CandidateLine& line) -> std::unique_ptr<serial::SerialControl> {
    auto port = std::make_unique<serial::SerialLine>();
    port->SetCommPort(static_cast<int16_t>(line.portNumber));
    return port;
  };
}

}  // namespace kt::finder
