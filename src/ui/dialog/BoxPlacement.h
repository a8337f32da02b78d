// Where a message box opens, the same in every window host: centred on the window that owns it,
// and moved wholly into the work area of that window's screen.
#pragma once

namespace kt::ui {

// Screen pixels; the right and bottom edges are left + width and top + height.
struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The frame of a box of `width` x `height` centred on `owner`'s frame, then moved into
// `workArea` (its left and top edges win when the box is larger). Sums are made without
// overflow for any frame the window system reports.
PixelRect CentredOnOwner(const PixelRect& owner, int width, int height, const PixelRect& workArea);

}  // namespace kt::ui
