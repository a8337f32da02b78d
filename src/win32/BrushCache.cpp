// A brush per colour for WM_CTLCOLOR* answers: no brush is made per repaint.
#include "win32/BrushCache.h"

namespace kt::ui::win32 {

BrushCache::~BrushCache() {
  for (auto& [colour, brush] : brushes_) DeleteObject(brush);
}

HBRUSH BrushCache::Get(uint32_t colour) {
  HBRUSH& brush = brushes_[colour];
  if (brush == nullptr) brush = CreateSolidBrush(static_cast<COLORREF>(colour));
  return brush;
}

}  // namespace kt::ui::win32
