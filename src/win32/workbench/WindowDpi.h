// The workbench's pixels at the window's resolution: the dots per inch of the monitor it stands
// on (GetDpiForWindow where Windows has it, else the screen's), and sizes given for 96 dpi scaled
// to them. Every page lays out and draws through these.
#pragma once

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// The resolution sizes are given for: 100 %.
inline constexpr UINT kDesignDpi = 96;

UINT WindowDpi(HWND window);
// `px` at 96 dpi, at `dpi`.
inline int ScaledPx(int px, UINT dpi) {
  return MulDiv(px, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

}  // namespace kt::ui::win32
