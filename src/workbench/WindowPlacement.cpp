// Placement of the workbench beside the main dialog.
#include "workbench/WindowPlacement.h"

#include <algorithm>

namespace kt::workbench {
namespace {

// `value` held within [low, high]; `low` wins when the range is empty.
int Clamp(int value, int low, int high) {
  return std::max(low, std::min(value, high));
}

// The start of a span of `length` as near `wanted` as the range [start, start + room) allows.
int Fit(int wanted, int length, int start, int room) {
  return Clamp(wanted, start, start + room - length);
}

}  // namespace

WindowPlacement PlaceBesideMain(const ScreenRect& available, const ScreenRect& mainDialog,
                                ScreenSize wanted, ScreenSize minimum) {
  const int screenLeft = available.x;
  const int screenRight = available.Right();
  const int screenTop = available.y;
  const int screenBottom = available.Bottom();
  const int mainLeft = mainDialog.x;
  const int mainRight = mainDialog.Right();
  const int mainTop = mainDialog.y;
  const int mainBottom = mainDialog.Bottom();

  const int minWidth = std::min(minimum.width, available.width);
  const int minHeight = std::min(minimum.height, available.height);
  const int width = Clamp(wanted.width, minWidth, available.width);
  const int height = Clamp(wanted.height, minHeight, available.height);
  const int besideTop = Fit(mainTop, height, screenTop, available.height);
  const auto beside = [&](int x, int w) { return ScreenRect{x, besideTop, w, height}; };

  const int roomRight = screenRight - (mainRight + kPlacementGapPx);
  const int roomLeft = (mainLeft - kPlacementGapPx) - screenLeft;
  if (roomRight >= width) return {beside(mainRight + kPlacementGapPx, width), mainDialog};
  if (roomLeft >= width) return {beside(mainLeft - kPlacementGapPx - width, width), mainDialog};
  if (std::max(roomLeft, roomRight) >= minWidth) {
    if (roomRight >= roomLeft) return {beside(mainRight + kPlacementGapPx, roomRight), mainDialog};
    return {beside(screenLeft, roomLeft), mainDialog};
  }

  if (mainDialog.width + kPlacementGapPx + minWidth <= available.width) {
    const int w = std::min(width, available.width - mainDialog.width - kPlacementGapPx);
    ScreenRect main = mainDialog;
    const bool mainRightOfCentre = 2 * mainLeft + mainDialog.width > screenLeft + screenRight;
    if (mainRightOfCentre) {
      main.x = screenLeft + w + kPlacementGapPx;
      return {beside(screenLeft, w), main};
    }
    main.x = screenRight - w - kPlacementGapPx - mainDialog.width;
    return {beside(screenRight - w, w), main};
  }

  const int alignedLeft = Fit(mainLeft, width, screenLeft, available.width);
  const int roomBelow = screenBottom - (mainBottom + kPlacementGapPx);
  const int roomAbove = (mainTop - kPlacementGapPx) - screenTop;
  if (roomBelow >= minHeight) {
    return {
        ScreenRect{alignedLeft, mainBottom + kPlacementGapPx, width, std::min(height, roomBelow)},
        mainDialog};
  }
  if (roomAbove >= minHeight) {
    const int h = std::min(height, roomAbove);
    return {ScreenRect{alignedLeft, mainTop - kPlacementGapPx - h, width, h}, mainDialog};
  }

  const int edgeLeft = roomRight >= roomLeft ? screenRight - width : screenLeft;
  return {beside(edgeLeft, width), mainDialog};
}

std::optional<ScreenRect> ClampedFrame(const ScreenRect& stored) {
  if (stored.width <= 0 || stored.height <= 0) return std::nullopt;
  return ScreenRect{Clamp(stored.x, -kFarthestFramePx, kFarthestFramePx),
                    Clamp(stored.y, -kFarthestFramePx, kFarthestFramePx),
                    std::min(stored.width, kLargestFrameSidePx),
                    std::min(stored.height, kLargestFrameSidePx)};
}

WindowPlacement PlaceRemembered(const ScreenRect& available, const ScreenRect& mainDialog,
                                const ScreenRect& remembered, ScreenSize minimum) {
  const bool bigEnough = remembered.width >= minimum.width && remembered.height >= minimum.height;
  if (bigEnough && available.Contains(remembered) && !remembered.Intersects(mainDialog)) {
    return {remembered, mainDialog};
  }
  return PlaceBesideMain(available, mainDialog, {remembered.width, remembered.height}, minimum);
}

}  // namespace kt::workbench
