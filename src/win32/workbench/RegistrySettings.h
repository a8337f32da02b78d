// The workbench's remembered settings in the user's registry (HKCU\Software\KT7340\workbench):
// the window's last frame and the wiring check's nominal frequency and CT rated secondary, as the
// Linux window keeps them in its settings file.
#pragma once

#include <optional>

#include "workbench/WindowPlacement.h"

namespace kt::ui::win32 {

inline constexpr const wchar_t* kSettingsKey = L"Software\\KT7340\\workbench";
inline constexpr const wchar_t* kGeometryValue = L"geometry";
inline constexpr const wchar_t* kNominalHzValue = L"nominalHz";
inline constexpr const wchar_t* kCtSecondaryValue = L"ctSecondaryA";

std::optional<workbench::ScreenRect> RememberedFrame();
void RememberFrame(const workbench::ScreenRect& frame);
std::optional<double> RememberedNominalHz();
void RememberNominalHz(double hz);
std::optional<double> RememberedCtSecondaryA();
void RememberCtSecondaryA(double amps);

}  // namespace kt::ui::win32
