// Binary values under the workbench's key: four ints for the frame, a double for the frequency
// and one for the CTs' rated secondary.
#include "win32/workbench/RegistrySettings.h"

#include <array>
#include <cstdint>

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

template <typename T>
void Write(const wchar_t* name, const T& value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;  // not remembered: the next start places the window afresh
  }
  RegSetValueExW(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(key);
}

}  // namespace

std::optional<workbench::ScreenRect> RememberedFrame() {
  const auto v = Read<std::array<int32_t, 4>>(kGeometryValue);
  if (!v || (*v)[2] <= 0 || (*v)[3] <= 0) return std::nullopt;
  return workbench::ScreenRect{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}

void RememberFrame(const workbench::ScreenRect& frame) {
  Write(kGeometryValue, std::array<int32_t, 4>{frame.x, frame.y, frame.width, frame.height});
}

std::optional<double> RememberedNominalHz() {
  return Read<double>(kNominalHzValue);
}

void RememberNominalHz(double hz) {
  Write(kNominalHzValue, hz);
}

std::optional<double> RememberedCtSecondaryA() {
  return Read<double>(kCtSecondaryValue);
}

void RememberCtSecondaryA(double amps) {
  Write(kCtSecondaryValue, amps);
}

}  // namespace kt::ui::win32
