// A box centred on its owner, kept inside the work area.
#include "ui/dialog/BoxPlacement.h"

#include <algorithm>
#include <limits>

namespace kt::ui {
namespace {

// The start of a stretch of `size` centred on [start, start + length) and moved into
// [areaStart, areaStart + areaLength).
int CentredStart(long long start, long long length, long long size, long long areaStart,
                 long long areaLength) {
  long long at = start + (length - size) / 2;
  at = std::min(at, areaStart + areaLength - size);
  at = std::max(at, areaStart);
  return static_cast<int>(
      std::clamp<long long>(at, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

PixelRect CentredOnOwner(const PixelRect& owner, int width, int height, const PixelRect& workArea) {
  return {CentredStart(owner.left, owner.width, width, workArea.left, workArea.width),
          CentredStart(owner.top, owner.height, height, workArea.top, workArea.height), width,
          height};
}

}  // namespace kt::ui
