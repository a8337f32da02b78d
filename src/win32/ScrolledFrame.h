// A dialog taller than its screen's work area (the main dialog at 120 dpi on a 1366x768 screen):
// the window is cut to the work area and its client area scrolls, by a vertical scroll bar, the
// wheel and the keyboard focus, so that every control can be reached. Inside, the controls stay
// where the template places them.
#pragma once

#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

class ScrolledFrame {
 public:
  // Cuts `dialog` to `workArea` (screen coordinates) when its window is taller, and moves it
  // into it; returns whether it now scrolls. A dialog that fits is left as it is.
  bool FitInto(HWND dialog, const RECT& workArea);
  // The same for the work area of the dialog's own monitor.
  bool FitOnScreen(HWND dialog);
  bool Scrolls() const { return contentHeight_ > 0; }
  // The dialog's own scroll bar (WM_VSCROLL without a control) and the wheel (WM_MOUSEWHEEL);
  // true when handled.
  bool OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
  // Scrolls so that `control`, when it is one of the dialog's, is wholly in view.
  void Reveal(HWND dialog, HWND control);
  // How far the content is scrolled, in pixels.
  int Offset() const { return offset_; }

 private:
  void ScrollTo(HWND dialog, int offset);

  int contentHeight_ = 0;  // the client height the template needs; 0 while not scrolling
  int pageHeight_ = 0;     // the client height shown
  int offset_ = 0;
};

}  // namespace kt::ui::win32
