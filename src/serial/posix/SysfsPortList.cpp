// The serial ports of a Linux machine, read from sysfs: adapters with their USB strings,
// on-board UARTs with a driver.
#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "serial/DeviceText.h"
#include "serial/PortList.h"

namespace kt::serial {
namespace {

namespace fs = std::filesystem;

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

// Where sysfs puts the port when udev gives no by-path name: the USB interface the tty hangs
// from ("1-2:1.0": bus 1, port 2 of its hub chain, configuration 1, interface 0), else the
// USB device ("1-2"), with the port of a multi-port interface. Stable while the adapter stays
// in its socket, whatever tty name it gets.
std::string UsbLocation(const fs::path& device, const fs::path& usb) {
  fs::path below = device;
  while (below.has_relative_path() && below.parent_path() != usb) below = below.parent_path();
  const std::string interface = below.filename().string();
  const bool isInterface = below.parent_path() == usb && interface.find(':') != std::string::npos;
  std::string location = "usb " + (isInterface ? interface : usb.filename().string());
  if (const std::string port = ReadAttribute(device / "port_number"); !port.empty()) {
    location += " port" + port;
  }
  return CleanDeviceText(location);
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
      info.usbLocation = UsbLocation(device, usb);
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

}  // namespace kt::serial
