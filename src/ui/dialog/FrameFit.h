// What a fixed dialog shows of itself on its screen, the same in every window host: the whole
// frame where it fits the work area, else the largest frame that fits, whose client area then
// scrolls over the controls, which stay where the template places them.
#pragma once

#include "ui/dialog/BoxPlacement.h"

namespace kt::ui {

// Room kept above and below a control that the focus scrolls into view, in pixels.
inline constexpr int kRevealMarginPixels = 8;

struct FittedFrame {
  PixelRect frame;             // where the window goes, in screen pixels
  bool scrollsDown = false;    // a vertical scroll bar is needed
  bool scrollsAcross = false;  // a horizontal scroll bar is needed
  bool Scrolls() const { return scrollsDown || scrollsAcross; }
};

// `frame` is the window's whole frame (title and borders included) as the template makes it.
// A frame that fits `workArea` is left as it is. One that does not is cut to the work area,
// keeping room for the scroll bars (`scrollBarWidth` pixels) it now needs, and moved wholly
// into the work area (its left and top edges win).
FittedFrame FitFrame(const PixelRect& frame, const PixelRect& workArea, int scrollBarWidth);

}  // namespace kt::ui
