// Listing serial ports from sysfs: adapters with their USB strings, on-board UARTs with a driver.
#include "serial/PortList.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "serial/DeviceText.h"
#include "serial/PortName.h"

namespace kt::serial {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoPortFound = "未找到串口";
// The serial core's PORT_UNKNOWN: a UART slot the driver reserved without finding a chip.
constexpr const char* kUnknownUartType = "0";

// Attributes are short; a longer one is cut, so that no file can make the list grow.
constexpr size_t kAttributeLimit = 256;

// The first line of a sysfs attribute (at most kAttributeLimit bytes), without its line end
// and cleaned of what a terminal would act on; empty when it cannot be read.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::array<char, kAttributeLimit> buffer{};
  in.read(buffer.data(), buffer.size());
  std::string line(buffer.data(), static_cast<size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  if (const size_t end = line.find('\n'); end != std::string::npos) line.resize(end);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return CleanDeviceText(line);
}

// The names under `folder` (by-id, by-path) whose link leads to `device`.
std::string LinkNameFor(const fs::path& folder, const fs::path& device) {
  std::error_code ec;
  const fs::path target = fs::weakly_canonical(device, ec);
  for (const fs::directory_entry& link : fs::directory_iterator(folder, ec)) {
    std::error_code linkError;
    if (fs::weakly_canonical(link.path(), linkError) == target && !linkError) {
      return CleanDeviceText(link.path().filename().string());
    }
  }
  return {};
}

bool IsAdapter(const std::string& name) {
  return name.starts_with("ttyUSB") || name.starts_with("ttyACM");
}

// The USB device folder above a tty's device: the first ancestor that has idVendor.
fs::path UsbDeviceFolder(fs::path folder, const fs::path& sysRoot) {
  std::error_code ec;
  const fs::path root = fs::weakly_canonical(sysRoot, ec);
  while (!folder.empty() && folder != root && folder != folder.root_path()) {
    if (fs::exists(folder / "idVendor", ec)) return folder;
    folder = folder.parent_path();
  }
  return {};
}

std::string UsbDescription(const fs::path& usb) {
  std::string text;
  for (const char* attribute : {"manufacturer", "product"}) {
    const std::string value = ReadAttribute(usb / attribute);
    if (value.empty()) continue;
    if (!text.empty()) text += ' ';
    text += value;
  }
  const std::string serial = ReadAttribute(usb / "serial");
  if (!serial.empty()) text += text.empty() ? serial : " (" + serial + ")";
  return text;
}

// The driver behind a port. Newer kernels put the serial core's own port and controller devices
// (bus serial-base) between the tty and the hardware; their drivers say nothing to a user.
std::string DriverName(fs::path device) {
  for (int level = 0; level < 4 && !device.empty(); ++level) {
    std::error_code ec;
    const fs::path driver = fs::read_symlink(device / "driver", ec);
    if (ec) return {};
    if (driver.string().find("/serial-base/") == std::string::npos) {
      return driver.filename().string();
    }
    device = device.parent_path();
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

std::vector<PortInfo> ListSerialPorts(const std::string& sysRoot, const std::string& devRoot) {
  std::vector<PortInfo> adapters;
  std::vector<PortInfo> others;
  std::error_code ec;
  const fs::path classDir = fs::path(sysRoot) / "class" / "tty";
  for (const fs::directory_entry& entry : fs::directory_iterator(classDir, ec)) {
    const std::string name = entry.path().filename().string();
    const fs::path& tty = entry.path();
    std::error_code linkError;
    const fs::path device = fs::canonical(tty / "device", linkError);
    if (linkError) continue;  // virtual terminals, pseudo-terminals, the console
    if (fs::exists(tty / "type", linkError) && ReadAttribute(tty / "type") == kUnknownUartType) {
      continue;
    }
    PortInfo info{name, (fs::path(devRoot) / name).string(), ""};
    if (!fs::exists(info.device, linkError)) continue;
    if (const fs::path usb = UsbDeviceFolder(device, sysRoot); !usb.empty()) {
      info.description = UsbDescription(usb);
      const std::string vendor = ReadAttribute(usb / "idVendor");
      const std::string product = ReadAttribute(usb / "idProduct");
      if (!vendor.empty()) info.vendorProduct = vendor + ":" + product;
      info.serial = ReadAttribute(usb / "serial");
      info.byId = LinkNameFor(fs::path(devRoot) / "serial" / "by-id", info.device);
      info.byPath = LinkNameFor(fs::path(devRoot) / "serial" / "by-path", info.device);
    }
    if (info.description.empty()) info.description = DriverName(device);
    (IsAdapter(name) ? adapters : others).push_back(std::move(info));
  }
  const auto byName = [](const PortInfo& x, const PortInfo& y) {
    return NaturalLess(x.name, y.name);
  };
  std::sort(adapters.begin(), adapters.end(), byName);
  std::sort(others.begin(), others.end(), byName);
  adapters.insert(adapters.end(), others.begin(), others.end());
  return adapters;
}

std::vector<PortInfo> ListPorts(const PortSources& sources) {
  std::vector<PortInfo> listed = ListSerialPorts(sources.sysRoot, sources.devRoot);
  const EnvironmentLookup& lookup =
      sources.environment ? sources.environment : EnvironmentLookup(ProcessEnvironment);
  std::vector<PortInfo> ports;
  const auto highest =
      std::max<int32_t>(kHighestListedOverride, static_cast<int32_t>(listed.size()));
  for (int32_t number = 1; number <= highest; ++number) {
    const std::string variable = PortEnvironmentVariable(static_cast<int16_t>(number));
    if (const auto named = lookup(variable); named && !named->empty()) {
      PortInfo info;
      info.device = CleanDeviceText(*named);
      info.number = number;
      info.overrideVariable = variable;
      ports.push_back(std::move(info));
    } else if (static_cast<size_t>(number) <= listed.size()) {
      PortInfo info = listed[static_cast<size_t>(number) - 1];
      info.number = number;
      ports.push_back(std::move(info));
    }
  }
  return ports;
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
    std::string line = "COM" + std::to_string(number) + "  " + p.device;
    for (const std::string& part : {p.description, p.vendorProduct}) {
      if (!part.empty()) line += "  " + part;
    }
    // The by-id name holds the serial number; without one, the USB socket tells them apart.
    const std::string& link = p.serial.empty() ? p.byPath : p.byId;
    if (!link.empty()) line += "  " + link;
    if (!p.overrideVariable.empty()) line += "  (" + p.overrideVariable + ")";
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace kt::serial
