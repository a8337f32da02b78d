// The scrolling frame of a dialog that does not fit its screen.
#include "win32/ScrolledFrame.h"

#include <algorithm>

#include "ui/dialog/FrameFit.h"
#include "win32/ScreenPlacement.h"

namespace kt::ui::win32 {
namespace {

// A line of the scroll bar's arrows and a third of a wheel notch, in pixels.
constexpr int kLinePixels = 16;
constexpr int kWheelLines = 3;

}  // namespace

bool ScrolledFrame::FitInto(HWND dialog, const RECT& workArea) {
  RECT window{};
  RECT client{};
  if (Scrolls() || !GetWindowRect(dialog, &window) || !GetClientRect(dialog, &client)) {
    return Scrolls();
  }
  const FittedFrame fitted =
      FitFrame(PixelRectOf(window), PixelRectOf(workArea), GetSystemMetrics(SM_CXVSCROLL));
  // Only the vertical bar is drawn: no screen is narrower than a dialog of this program.
  if (!fitted.scrollsDown) return false;
  contentHeight_ = client.bottom;
  SetWindowLongPtrW(dialog, GWL_STYLE, GetWindowLongPtrW(dialog, GWL_STYLE) | WS_VSCROLL);
  const PixelRect& frame = fitted.frame;
  SetWindowPos(dialog, nullptr, frame.left, frame.top, frame.width, frame.height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  GetClientRect(dialog, &client);
  pageHeight_ = client.bottom;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMin = 0;
  info.nMax = contentHeight_ - 1;
  info.nPage = static_cast<UINT>(pageHeight_);
  info.nPos = 0;
  SetScrollInfo(dialog, SB_VERT, &info, TRUE);
  return true;
}

bool ScrolledFrame::FitOnScreen(HWND dialog) {
  MONITORINFO screen{};
  screen.cbSize = sizeof screen;
  if (!GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &screen)) return false;
  return FitInto(dialog, screen.rcWork);
}

bool ScrolledFrame::OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!Scrolls()) return false;
  if (message == WM_MOUSEWHEEL) {
    const int notches = GET_WHEEL_DELTA_WPARAM(wParam);
    ScrollTo(dialog, offset_ - notches * kWheelLines * kLinePixels / WHEEL_DELTA);
    return true;
  }
  if (message != WM_VSCROLL || lParam != 0) return false;  // a scroll bar control's own
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      ScrollTo(dialog, offset_ - kLinePixels);
      break;
    case SB_LINEDOWN:
      ScrollTo(dialog, offset_ + kLinePixels);
      break;
    case SB_PAGEUP:
      ScrollTo(dialog, offset_ - pageHeight_);
      break;
    case SB_PAGEDOWN:
      ScrollTo(dialog, offset_ + pageHeight_);
      break;
    case SB_TOP:
      ScrollTo(dialog, 0);
      break;
    case SB_BOTTOM:
      ScrollTo(dialog, contentHeight_);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      if (GetScrollInfo(dialog, SB_VERT, &info)) ScrollTo(dialog, info.nTrackPos);
      break;
    }
    default:
      break;
  }
  return true;
}

void ScrolledFrame::Reveal(HWND dialog, HWND control) {
  if (!Scrolls() || control == nullptr || !IsChild(dialog, control)) return;
  RECT r{};
  if (!GetWindowRect(control, &r)) return;
  MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
  if (r.top < 0) {
    ScrollTo(dialog, offset_ + r.top - kRevealMarginPixels);
  } else if (r.bottom > pageHeight_) {
    ScrollTo(dialog, offset_ + r.bottom - pageHeight_ + kRevealMarginPixels);
  }
}

void ScrolledFrame::ScrollTo(HWND dialog, int offset) {
  const int to = std::clamp(offset, 0, std::max(0, contentHeight_ - pageHeight_));
  if (to == offset_) return;
  ScrollWindowEx(dialog, 0, offset_ - to, nullptr, nullptr, nullptr, nullptr,
                 SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
  offset_ = to;
  SetScrollPos(dialog, SB_VERT, offset_, TRUE);
}

}  // namespace kt::ui::win32
