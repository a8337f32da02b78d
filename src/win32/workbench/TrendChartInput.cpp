// Mouse messages of the trend chart turned into the trend's gestures.
#include "win32/workbench/TrendChartInput.h"

#include <windowsx.h>

#include <algorithm>

namespace kt::ui::win32 {

std::optional<RECT> TrendChartInput::Box() const {
  if (!boxing_) return std::nullopt;
  return RECT{std::min(start_.x, last_.x), std::min(start_.y, last_.y), std::max(start_.x, last_.x),
              std::max(start_.y, last_.y)};
}

bool TrendChartInput::Handle(HWND chart, UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (message) {
    case WM_MOUSEWHEEL: {
      POINT client = at;  // the wheel's position is the screen's
      ScreenToClient(chart, &client);
      const double notches = GET_WHEEL_DELTA_WPARAM(wParam) / static_cast<double>(WHEEL_DELTA);
      if (notches != 0 && onWheelZoom) {
        onWheelZoom(workbench::TrendModel::WheelZoomFactor(notches), client.x);
      }
      return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      SetFocus(chart);  // the wheel goes to the window with the focus
      SetCapture(chart);
      boxing_ = message == WM_LBUTTONDOWN;
      panning_ = !boxing_;
      start_ = last_ = at;
      return true;
    case WM_MOUSEMOVE: {
      if (!tracking_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, chart, 0};
        tracking_ = TrackMouseEvent(&track) != 0;
      }
      const POINT before = last_;
      last_ = at;
      if (panning_ && onPan && (at.x != before.x || at.y != before.y)) {
        onPan(at.x - before.x, at.y - before.y);
      }
      if (boxing_ && onBoxMoved) onBoxMoved();
      if (onPointer) onPointer(at);
      return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const std::optional<RECT> box = Box();
      boxing_ = panning_ = false;
      ReleaseCapture();
      if (box && onBoxMoved) onBoxMoved();
      // A box too narrow is a click: the model leaves the zoom as it was.
      if (box && message == WM_LBUTTONUP && onBoxZoom) {
        onBoxZoom({static_cast<double>(box->left), static_cast<double>(box->top),
                   static_cast<double>(box->right - box->left),
                   static_cast<double>(box->bottom - box->top)});
      }
      return true;
    }
    case WM_LBUTTONDBLCLK:
      if (onReset) onReset();
      return true;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (onPointer) onPointer(std::nullopt);
      return true;
    case WM_CAPTURECHANGED:
      boxing_ = panning_ = false;
      return false;
    default:
      return false;
  }
}

}  // namespace kt::ui::win32
