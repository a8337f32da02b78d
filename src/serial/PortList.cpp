// Listing serial ports from sysfs: adapters with their USB strings, on-board UARTs with a driver.
#include "serial/PortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace kt::serial {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNoPortFound = "未找到串口";
// The serial core's PORT_UNKNOWN: a UART slot the driver reserved without finding a chip.
constexpr const char* kUnknownUartType = "0";

// The first line of a sysfs attribute, without its line end; empty when it cannot be read.
std::string ReadAttribute(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
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
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const bool digitA = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
    const bool digitB = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
    if (digitA && digitB) {
      size_t endA = i;
      size_t endB = j;
      while (endA < a.size() && std::isdigit(static_cast<unsigned char>(a[endA]))) ++endA;
      while (endB < b.size() && std::isdigit(static_cast<unsigned char>(b[endB]))) ++endB;
      // Compare the runs as numbers without converting: drop leading zeros, then length, digits.
      std::string_view runA(a.data() + i, endA - i);
      std::string_view runB(b.data() + j, endB - j);
      while (runA.size() > 1 && runA.front() == '0') runA.remove_prefix(1);
      while (runB.size() > 1 && runB.front() == '0') runB.remove_prefix(1);
      if (runA.size() != runB.size()) return runA.size() < runB.size();
      if (runA != runB) return runA < runB;
      i = endA;
      j = endB;
    } else {
      if (a[i] != b[j]) return a[i] < b[j];
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
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

std::vector<std::string> FormatPortList(const std::vector<PortInfo>& ports) {
  if (ports.empty()) return {kNoPortFound};
  std::vector<std::string> lines;
  for (size_t i = 0; i < ports.size(); ++i) {
    std::string line = "COM" + std::to_string(i + 1) + "  " + ports[i].device;
    if (!ports[i].description.empty()) line += "  " + ports[i].description;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace kt::serial
