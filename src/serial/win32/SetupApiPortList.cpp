// The serial ports of a Windows machine: SetupAPI's class Ports (the Device Manager's "端口
// (COM 和 LPT)"), and the registry's SERIALCOMM map for ports whose driver is not in that class.
#include <windows.h>
// initguid.h before devguid.h: the class GUIDs are defined here, not only declared.
// clang-format off
#include <initguid.h>
#include <devguid.h>
// clang-format on
#include <setupapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/WideText.h"
#include "serial/ComPortList.h"
#include "serial/PortList.h"

namespace kt::serial {
namespace {

// Names and descriptions are short; a longer value is not a port's.
constexpr DWORD kMostChars = 512;

// A REG_SZ or REG_MULTI_SZ value of `size` bytes in `buffer`: its first string.
std::string FirstString(const std::vector<wchar_t>& buffer, DWORD size) {
  const size_t chars = std::min<size_t>(size / sizeof(wchar_t), buffer.size());
  std::wstring text(buffer.data(), chars);
  if (const size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
  return platform::win32::Utf8FromWide(text);
}

std::string DeviceProperty(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD property) {
  std::vector<wchar_t> buffer(kMostChars);
  DWORD type = 0;
  DWORD size = 0;
  if (!SetupDiGetDeviceRegistryPropertyW(
          set, &device, property, &type, reinterpret_cast<BYTE*>(buffer.data()),
          static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), &size) ||
      (type != REG_SZ && type != REG_MULTI_SZ)) {
    return {};
  }
  return FirstString(buffer, size);
}

std::string PortNameOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
  const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
  if (key == INVALID_HANDLE_VALUE) return {};
  std::vector<wchar_t> buffer(kMostChars);
  DWORD type = 0;
  auto size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  const LSTATUS read = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                        reinterpret_cast<BYTE*>(buffer.data()), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || type != REG_SZ) return {};
  return FirstString(buffer, size);
}

std::string InstanceIdOf(HDEVINFO set, SP_DEVINFO_DATA& device) {
  std::vector<wchar_t> buffer(kMostChars);
  DWORD needed = 0;
  if (!SetupDiGetDeviceInstanceIdW(set, &device, buffer.data(), static_cast<DWORD>(buffer.size()),
                                   &needed)) {
    return {};
  }
  return FirstString(buffer, static_cast<DWORD>(buffer.size() * sizeof(wchar_t)));
}

std::vector<ComPortRecord> PortsClassDevices() {
  std::vector<ComPortRecord> records;
  const HDEVINFO set = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (set == INVALID_HANDLE_VALUE) return records;
  for (DWORD i = 0;; ++i) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiEnumDeviceInfo(set, i, &device)) break;
    ComPortRecord r;
    r.portName = PortNameOf(set, device);
    r.friendlyName = DeviceProperty(set, device, SPDRP_FRIENDLYNAME);
    if (r.friendlyName.empty()) r.friendlyName = DeviceProperty(set, device, SPDRP_DEVICEDESC);
    r.hardwareId = DeviceProperty(set, device, SPDRP_HARDWAREID);
    r.instanceId = InstanceIdOf(set, device);
    r.location = DeviceProperty(set, device, SPDRP_LOCATION_INFORMATION);
    records.push_back(std::move(r));
  }
  SetupDiDestroyDeviceInfoList(set);
  return records;
}

std::vector<ComPortRecord> SerialCommMap() {
  std::vector<ComPortRecord> records;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return records;
  }
  for (DWORD i = 0;; ++i) {
    std::vector<wchar_t> name(kMostChars);
    std::vector<wchar_t> data(kMostChars);
    auto nameChars = static_cast<DWORD>(name.size());
    auto dataBytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    DWORD type = 0;
    const LSTATUS read = RegEnumValueW(key, i, name.data(), &nameChars, nullptr, &type,
                                       reinterpret_cast<BYTE*>(data.data()), &dataBytes);
    if (read == ERROR_NO_MORE_ITEMS) break;
    if (read != ERROR_SUCCESS || type != REG_SZ) continue;  // too long, or no name of a port
    records.push_back(ComPortRecord{
        .portName = FirstString(data, dataBytes),
        .kernelName = platform::win32::Utf8FromWide(std::wstring_view(name.data(), nameChars)),
    });
  }
  RegCloseKey(key);
  return records;
}

}  // namespace

std::vector<PortInfo> ListSerialPorts(const std::string& /*sysRoot*/,
                                      const std::string& /*devRoot*/) {
  return ComPortList(PortsClassDevices(), SerialCommMap());
}

}  // namespace kt::serial
