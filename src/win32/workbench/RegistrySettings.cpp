// Values under the workbench's key: four ints for the frame and a double for each number, in
// binary; the export folder and the report's title fields as text.
#include "win32/workbench/RegistrySettings.h"

#include <array>
#include <cstdint>
#include <vector>

#include "platform/win32/WideText.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {
namespace {

template <typename T>
std::optional<T> Read(const wchar_t* name) {
  T value{};
  DWORD size = sizeof(value);
  DWORD type = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_BINARY, &type, &value,
                   &size) != ERROR_SUCCESS ||
      size != sizeof(value)) {
    return std::nullopt;
  }
  return value;
}

void WriteBytes(const wchar_t* name, DWORD type, const BYTE* bytes, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;  // not remembered: the next start uses the defaults
  }
  RegSetValueExW(key, name, 0, type, bytes, size);
  RegCloseKey(key);
}

template <typename T>
void Write(const wchar_t* name, const T& value) {
  WriteBytes(name, REG_BINARY, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

const wchar_t* NameOf(workbench::NumberSetting which) {
  return which == workbench::NumberSetting::NominalHz ? kNominalHzValue : kCtSecondaryValue;
}

std::string ReadText(const wchar_t* name) {
  DWORD size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
          ERROR_SUCCESS ||
      size < sizeof(wchar_t)) {
    return "";
  }
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, text.data(),
                   &size) != ERROR_SUCCESS) {
    return "";
  }
  return platform::win32::Utf8FromWide(text.data());
}

void WriteText(const wchar_t* name, const std::string& value) {
  const std::wstring wide = platform::win32::WideFromUtf8(value);
  WriteBytes(name, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
             static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

std::optional<workbench::ScreenRect> RegistrySettings::Frame() const {
  const auto v = Read<std::array<int32_t, 4>>(kGeometryValue);
  if (!v) return std::nullopt;
  return workbench::ScreenRect{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}

void RegistrySettings::SetFrame(const workbench::ScreenRect& frame) {
  Write(kGeometryValue, std::array<int32_t, 4>{frame.x, frame.y, frame.width, frame.height});
}

std::optional<double> RegistrySettings::Number(workbench::NumberSetting which) const {
  return Read<double>(NameOf(which));
}

void RegistrySettings::SetNumber(workbench::NumberSetting which, double value) {
  Write(NameOf(which), value);
}

std::string RegistrySettings::ExportFolder() const {
  return ReadText(kExportFolderValue);
}

void RegistrySettings::SetExportFolder(const std::string& folder) {
  WriteText(kExportFolderValue, folder);
}

std::string RegistrySettings::Text(const std::string& key) const {
  return ReadText(platform::win32::WideFromUtf8(key).c_str());
}

void RegistrySettings::SetText(const std::string& key, const std::string& value) {
  WriteText(platform::win32::WideFromUtf8(key).c_str(), value);
}

}  // namespace kt::ui::win32
