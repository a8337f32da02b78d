// Ctrl+Tab for windows with pages.
#include "win32/PageKeys.h"

namespace kt::ui::win32 {

bool PassPageKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || msg.hwnd == nullptr) return false;
  if ((GetKeyState(VK_CONTROL) & 0x8000) == 0) return false;
  const WPARAM step = (GetKeyState(VK_SHIFT) & 0x8000) != 0 ? static_cast<WPARAM>(-1) : 1;
  SendMessageW(GetAncestor(msg.hwnd, GA_ROOT), kStepPageMessage, step, 0);
  return true;
}

}  // namespace kt::ui::win32
