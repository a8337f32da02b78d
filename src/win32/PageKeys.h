// Ctrl+Tab and Ctrl+Shift+Tab: the next or the previous page of a window with pages (the
// workbench's tabs), as Qt's tab widget takes them. The modal loop hands the key to the window it
// is for as a message of its own; a window without pages leaves the message alone.
#pragma once

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

// The message a window with pages gets; its wParam is +1 (next page) or -1 (previous page). The
// program's windows are its own, so WM_APP numbers are theirs to give out.
constexpr UINT kStepPageMessage = WM_APP + 2;

// Sends kStepPageMessage to the top-level window `msg` is for when it is Ctrl+Tab or
// Ctrl+Shift+Tab; true when it was (the key is then used up).
bool PassPageKey(const MSG& msg);

}  // namespace kt::ui::win32
