// A window centred over its owner, and RECT as PixelRect.
#include "win32/ScreenPlacement.h"

namespace kt::ui::win32 {

PixelRect PixelRectOf(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void CentreOverOwner(HWND window, HWND owner) {
  RECT windowFrame{};
  RECT ownerFrame{};
  MONITORINFO screen{};
  screen.cbSize = sizeof screen;
  if (!GetWindowRect(window, &windowFrame) || !GetWindowRect(owner, &ownerFrame) ||
      !GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &screen)) {
    return;
  }
  const PixelRect size = PixelRectOf(windowFrame);
  const PixelRect at =
      CentredOnOwner(PixelRectOf(ownerFrame), size.width, size.height, PixelRectOf(screen.rcWork));
  SetWindowPos(window, nullptr, at.left, at.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace kt::ui::win32
