// Windows' COM ports in the port list's order.
#include "serial/ComPortList.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <set>
#include <string_view>

#include "serial/DeviceText.h"

namespace kt::serial {
namespace {

// "0403" after `key` ("VID_") in `id`, upper or lower case hex; empty when not there.
std::string HexAfter(const std::string& id, const std::string& key) {
  std::string upper = id;
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  const size_t at = upper.find(key);
  constexpr size_t kDigits = 4;
  if (at == std::string::npos || at + key.size() + kDigits > upper.size()) return {};
  std::string hex = upper.substr(at + key.size(), kDigits);
  for (char& c : hex) {
    if (std::isxdigit(static_cast<unsigned char>(c)) == 0) return {};
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return hex;
}

}  // namespace

int32_t ComPortNumber(const std::string& portName) {
  constexpr std::string_view kPrefix = "COM";
  if (portName.size() <= kPrefix.size()) return 0;
  for (size_t i = 0; i < kPrefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(portName[i])) != kPrefix[i]) return 0;
  }
  const std::string digits = portName.substr(kPrefix.size());
  if (digits.front() == '0' || digits.size() > 5) return 0;
  int32_t number = 0;
  for (const char c : digits) {
    if (std::isdigit(static_cast<unsigned char>(c)) == 0) return 0;
    number = number * 10 + (c - '0');
  }
  return number <= std::numeric_limits<int16_t>::max() ? number : 0;
}

std::string UsbVendorProduct(const std::string& hardwareId) {
  const std::string vendor = HexAfter(hardwareId, "VID_");
  const std::string product = HexAfter(hardwareId, "PID_");
  if (vendor.empty() || product.empty()) return {};
  return vendor + ":" + product;
}

std::string SerialFromInstanceId(const std::string& instanceId) {
  const size_t first = instanceId.find('\\');
  const size_t last = instanceId.rfind('\\');
  if (first == std::string::npos || last == first) return {};
  const std::string bus = instanceId.substr(0, first);
  const std::string middle = instanceId.substr(first + 1, last - first - 1);
  std::string serial;
  if (bus == "FTDIBUS") {
    const size_t plus = middle.rfind('+');
    if (plus != std::string::npos && middle.find('+') != plus) serial = middle.substr(plus + 1);
  } else if (bus == "USB") {
    serial = instanceId.substr(last + 1);
    if (serial.find('&') != std::string::npos) serial.clear();
  }
  return CleanDeviceText(serial);
}

std::vector<PortInfo> ComPortList(const std::vector<ComPortRecord>& devices,
                                  const std::vector<ComPortRecord>& serialComm) {
  std::vector<PortInfo> adapters;
  std::vector<PortInfo> others;
  std::set<int32_t> seen;
  const auto take = [&](const ComPortRecord& r) {
    const int32_t number = ComPortNumber(r.portName);
    if (number == 0 || !seen.insert(number).second) return;
    PortInfo info;
    info.name = "COM" + std::to_string(number);
    info.device = info.name;
    info.description = CleanDeviceText(r.friendlyName.empty() ? r.kernelName : r.friendlyName);
    info.vendorProduct = UsbVendorProduct(r.hardwareId);
    if (!info.vendorProduct.empty()) {
      info.serial = SerialFromInstanceId(r.instanceId);
      info.usbLocation = CleanDeviceText(r.location);
    }
    info.number = number;
    (info.vendorProduct.empty() ? others : adapters).push_back(std::move(info));
  };
  for (const ComPortRecord& r : devices) take(r);
  for (const ComPortRecord& r : serialComm) take(r);
  const auto byNumber = [](const PortInfo& a, const PortInfo& b) { return a.number < b.number; };
  std::sort(adapters.begin(), adapters.end(), byNumber);
  std::sort(others.begin(), others.end(), byNumber);
  adapters.insert(adapters.end(), others.begin(), others.end());
  return adapters;
}

}  // namespace kt::serial
