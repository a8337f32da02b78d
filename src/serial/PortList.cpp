// The port list as the monitor shows it: what each port number opens, overrides included, in
// the order the platform lists its ports, one line per port.
#include "serial/PortList.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>
#include <string_view>

#include "serial/AdapterIdentity.h"
#include "serial/DeviceText.h"

namespace kt::serial {
namespace {

constexpr const char* kNoPortFound = "未找到串口";
constexpr const char* kSerialNumberLabel = "序列号 ";

// The by-id name holds the serial number, while that is the adapter's own; else its socket.
std::string WhatTellsApart(const PortInfo& port, const std::vector<PortInfo>& ports) {
  const AdapterIdentity identity = IdentityOf(port, ports);
  switch (identity.key) {
    case AdapterKey::SerialNumber:
      return port.byId.empty() ? kSerialNumberLabel + identity.value : port.byId;
    case AdapterKey::UsbSocket:
      return identity.value;
    case AdapterKey::None:
      break;
  }
  return {};
}

}  // namespace

bool NaturalLess(const std::string& a, const std::string& b) {
  const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
  // Equal values with different leading zeros decide only when nothing else does.
  int zerosOrder = 0;
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      size_t endA = i;
      size_t endB = j;
      while (endA < a.size() && digit(a[endA])) ++endA;
      while (endB < b.size() && digit(b[endB])) ++endB;
      // Compare the runs as numbers without converting: drop leading zeros, then length, digits.
      std::string_view runA(a.data() + i, endA - i);
      std::string_view runB(b.data() + j, endB - j);
      const size_t fullA = runA.size();
      const size_t fullB = runB.size();
      while (runA.size() > 1 && runA.front() == '0') runA.remove_prefix(1);
      while (runB.size() > 1 && runB.front() == '0') runB.remove_prefix(1);
      if (runA.size() != runB.size()) return runA.size() < runB.size();
      if (runA != runB) return runA < runB;
      if (zerosOrder == 0 && fullA != fullB) zerosOrder = fullA < fullB ? -1 : 1;
      i = endA;
      j = endB;
    } else {
      const auto ca = static_cast<unsigned char>(a[i]);
      const auto cb = static_cast<unsigned char>(b[j]);
      if (ca != cb) return ca < cb;
      ++i;
      ++j;
    }
  }
  if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
  return zerosOrder < 0;
}

std::vector<PortInfo> ListPorts(std::vector<PortInfo> listed,
                                const EnvironmentLookup& environment) {
  const EnvironmentLookup& lookup =
      environment ? environment : EnvironmentLookup(ProcessEnvironment);
  // The override of `number`, as its line, if one is set.
  const auto overridden = [&lookup](int32_t number) -> std::optional<PortInfo> {
    const std::string variable = PortEnvironmentVariable(static_cast<int16_t>(number));
    const std::optional<std::string> named = lookup(variable);
    if (!named || named->empty()) return std::nullopt;
    PortInfo info;
    info.device = CleanDeviceText(*named);
    info.number = number;
    info.overrideVariable = variable;
    return info;
  };
  std::vector<PortInfo> ports;
  std::set<int32_t> numbers;
  for (size_t i = 0; i < listed.size(); ++i) {
    PortInfo& p = listed[i];
    if (p.number <= 0) p.number = static_cast<int32_t>(i) + 1;
    if (!numbers.insert(p.number).second) continue;  // a number opens one device
    std::optional<PortInfo> named = overridden(p.number);
    ports.push_back(named ? std::move(*named) : std::move(p));
  }
  for (int32_t number = 1; number <= kHighestListedOverride; ++number) {
    if (numbers.contains(number)) continue;
    if (std::optional<PortInfo> named = overridden(number)) ports.push_back(std::move(*named));
  }
  return ports;
}

std::vector<PortInfo> ListPorts(const PortSources& sources) {
  return ListPorts(ListSerialPorts(sources.sysRoot, sources.devRoot), sources.environment);
}

std::vector<PortInfo> ListPorts() {
  return ListPorts(PortSources{});
}

std::vector<std::string> FormatPortList(const std::vector<PortInfo>& ports) {
  if (ports.empty()) return {kNoPortFound};
  std::vector<std::string> lines;
  for (size_t i = 0; i < ports.size(); ++i) {
    const PortInfo& p = ports[i];
    const int64_t number = p.number > 0 ? p.number : static_cast<int64_t>(i) + 1;
    const std::string label = "COM" + std::to_string(number);
    std::string line = label;
    // A COM port listed by Windows is its own device: the name is said once.
    if (p.device != label) line += "  " + p.device;
    for (const std::string& part : {p.description, p.vendorProduct}) {
      if (!part.empty()) line += "  " + part;
    }
    const std::string told = WhatTellsApart(p, ports);
    if (!told.empty()) line += "  " + told;
    if (!p.overrideVariable.empty()) line += "  (" + p.overrideVariable + ")";
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace kt::serial
