// Windows' rectangles in the placement rules' terms, and a window put where those rules say.
#pragma once

#include "ui/dialog/BoxPlacement.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

PixelRect PixelRectOf(const RECT& r);

// Moves `window` (its size kept) to the centre of `owner`'s frame, inside the work area of the
// owner's screen, as a message box is placed.
void CentreOverOwner(HWND window, HWND owner);

}  // namespace kt::ui::win32
