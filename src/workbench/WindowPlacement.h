// Where the workbench window goes next to the main dialog: plain arithmetic on screen rectangles,
// the same for every front end.
#pragma once

#include <optional>

namespace kt::workbench {

// Room left between the two windows, in logical pixels.
constexpr int kPlacementGapPx = 8;

// A rectangle on the screen; its right and bottom edges are x + width and y + height (one past
// the last pixel), so rectangles that touch do not overlap.
struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
  bool Contains(const ScreenRect& r) const {
    return r.x >= x && r.y >= y && r.Right() <= Right() && r.Bottom() <= Bottom();
  }
  bool Intersects(const ScreenRect& r) const {
    return r.x < Right() && x < r.Right() && r.y < Bottom() && y < r.Bottom() && width > 0 &&
           height > 0 && r.width > 0 && r.height > 0;
  }
  bool operator==(const ScreenRect&) const = default;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

// What the window system draws around a window's client area (title bar, borders).
struct FrameMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  ScreenSize Around(ScreenSize client) const {
    return {client.width + left + right, client.height + top + bottom};
  }
  ScreenRect ClientOf(const ScreenRect& frame) const {
    return {frame.x + left, frame.y + top, frame.width - left - right, frame.height - top - bottom};
  }
};

// The farthest a remembered frame may lie from the origin, and its largest side: far beyond any
// screen, and small enough that no sum of two overflows.
inline constexpr int kFarthestFramePx = 1 << 24;
inline constexpr int kLargestFrameSidePx = 1 << 16;
// A frame read back from the settings held within those bounds; nothing when it has no area.
std::optional<ScreenRect> ClampedFrame(const ScreenRect& stored);

struct WindowPlacement {
  ScreenRect window;      // the workbench's frame
  ScreenRect mainDialog;  // the main dialog's frame: as given, or moved aside to make room
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
WindowPlacement PlaceBesideMain(const ScreenRect& available, const ScreenRect& mainDialog,
                                ScreenSize wanted, ScreenSize minimum);

// A remembered frame is used as it is when it lies wholly in `available` and clear of the main
// dialog; otherwise its size is placed anew.
WindowPlacement PlaceRemembered(const ScreenRect& available, const ScreenRect& mainDialog,
                                const ScreenRect& remembered, ScreenSize minimum);

}  // namespace kt::workbench
