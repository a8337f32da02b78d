// The Windows headers as the window host uses them. windows.h makes macros of a few names that
// the dialog classes use for their own members (MessageBox, SetDlgItemText, GetDlgItemText) and
// of the command numbers the dialog layer defines itself (IDOK, IDCANCEL, with the same values);
// they are undone here, and the host calls the wide functions by their full names.
#pragma once

#include <windows.h>
// windows.h first: the common controls need its types.
#include <commctrl.h>

#undef MessageBox
#undef SetDlgItemText
#undef GetDlgItemText
#undef IDOK
#undef IDCANCEL

namespace kt::ui::win32 {

// A handle or pointer that a message parameter (or a window's or subclass's user data) carries,
// as Windows passes them: the one place where an integer becomes a pointer.
template <typename Pointer, typename Integer>
Pointer PointerFrom(Integer value) {
  return reinterpret_cast<Pointer>(value);  // NOLINT(performance-no-int-to-ptr)
}

// Enables or disables a control only when that changes it: disabling a disabled control still
// sends it WM_CANCELMODE, and a panel that sets its buttons' state at every block would pay
// for that each time.
inline void SetEnabled(HWND control, bool enabled) {
  if ((IsWindowEnabled(control) != 0) != enabled) EnableWindow(control, enabled ? TRUE : FALSE);
}

}  // namespace kt::ui::win32
