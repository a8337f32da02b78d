// The object a window of the workbench belongs to: CreateWindowExW's last argument, kept in the
// window's user data from WM_NCCREATE on.
#pragma once

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// Returns the window's owner, or nullptr for the messages that come before WM_NCCREATE.
template <typename Owner>
Owner* WindowOwner(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = PointerFrom<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  return PointerFrom<Owner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The window procedure of a class whose windows each belong to an Owner: the owner is told its
// window (`window`) and answers every message from WM_NCCREATE on (`answer`); Windows answers
// those that come before.
template <typename Owner, HWND Owner::*window, LRESULT (Owner::*answer)(UINT, WPARAM, LPARAM)>
LRESULT CALLBACK OwnedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* owner = WindowOwner<Owner>(hwnd, message, lParam);
  if (owner == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  owner->*window = hwnd;
  return (owner->*answer)(message, wParam, lParam);
}

}  // namespace kt::ui::win32
