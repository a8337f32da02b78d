// A dialog's frame cut to the work area of its screen.
#include "ui/dialog/FrameFit.h"

#include <algorithm>

namespace kt::ui {
namespace {

// The start of a stretch of `size` at `start`, moved into [areaStart, areaStart + areaLength).
int Inside(int start, int size, int areaStart, int areaLength) {
  const long long last = static_cast<long long>(areaStart) + areaLength - size;
  return static_cast<int>(std::max<long long>(areaStart, std::min<long long>(start, last)));
}

}  // namespace

FittedFrame FitFrame(const PixelRect& frame, const PixelRect& workArea, int scrollBarWidth) {
  FittedFrame fitted{frame};
  fitted.scrollsDown = frame.height > workArea.height;
  const int bar = std::max(0, scrollBarWidth);
  fitted.scrollsAcross = frame.width + (fitted.scrollsDown ? bar : 0) > workArea.width;
  // A horizontal bar takes height; the frame may then need the vertical one too.
  if (fitted.scrollsAcross && !fitted.scrollsDown) {
    fitted.scrollsDown = frame.height + bar > workArea.height;
  }
  if (!fitted.Scrolls()) return fitted;
  PixelRect& f = fitted.frame;
  f.width = std::min(frame.width + (fitted.scrollsDown ? bar : 0), workArea.width);
  f.height = std::min(frame.height + (fitted.scrollsAcross ? bar : 0), workArea.height);
  f.left = Inside(frame.left, f.width, workArea.left, workArea.width);
  f.top = Inside(frame.top, f.height, workArea.top, workArea.height);
  return fitted;
}

}  // namespace kt::ui
