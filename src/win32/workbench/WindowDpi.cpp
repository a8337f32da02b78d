// GetDpiForWindow is looked up at run time: Windows before 10 (1607) lacks it.
#include "win32/workbench/WindowDpi.h"

namespace kt::ui::win32 {

UINT WindowDpi(HWND window) {
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = [] {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    FARPROC found = user != nullptr ? GetProcAddress(user, "GetDpiForWindow") : nullptr;
    return reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(found));
  }();
  if (dpiForWindow != nullptr && window != nullptr) {
    if (const UINT dpi = dpiForWindow(window); dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace kt::ui::win32
