// Where the workbench window goes next to the main dialog: plain arithmetic on screen rectangles.
#pragma once

#include <QRect>
#include <QSize>

namespace kt::ui::qt {

// Room left between the two windows, in logical pixels.
constexpr int kPlacementGapPx = 8;

struct WindowPlacement {
  QRect window;      // the workbench's frame
  QRect mainDialog;  // the main dialog's frame: as given, or moved aside to make room
};

// Places a window of frame size `wanted` (at least `minimum`) in the screen's `available` area
// beside `mainDialog`. Tried in turn, each with the window narrowed or lowered to the room there
// but never below `minimum`:
//   1. right of the main dialog, then left of it, where the room takes the wanted width;
//   2. the wider of the two sides where it takes the minimum width;
//   3. when both fit side by side on the screen, the main dialog slid towards the nearer edge
//      just far enough, the window on the other side;
//   4. below the main dialog, then above it;
//   5. at the screen's edge on the side with more room, over the main dialog (a screen too small
//      for both).
// The window is always wholly inside `available` (shrunk to it when the screen is smaller than
// even its minimum); the main dialog is moved only in step 3.
WindowPlacement PlaceBesideMain(const QRect& available, const QRect& mainDialog,
                                const QSize& wanted, const QSize& minimum);

// A remembered frame is used as it is when it lies wholly in `available` and clear of the main
// dialog; otherwise its size is placed anew.
WindowPlacement PlaceRemembered(const QRect& available, const QRect& mainDialog,
                                const QRect& remembered, const QSize& minimum);

}  // namespace kt::ui::qt
