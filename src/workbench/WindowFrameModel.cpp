// The workbench window's place and remembered frame.
#include "workbench/WindowFrameModel.h"

#include <algorithm>

namespace kt::workbench {

WindowPlacement WindowFrameModel::Place(const ScreenRect& available,
                                        const std::optional<ScreenRect>& mainDialog,
                                        const FrameMargins& margins, ScreenSize leastClient,
                                        ScreenSize firstClient) const {
  const ScreenSize least =
      margins.Around({std::max(leastClient.width, 0), std::max(leastClient.height, 0)});
  // Without a main dialog the window is placed as beside one of no size at the screen's corner.
  const ScreenRect main = mainDialog.value_or(ScreenRect{available.x, available.y, 0, 0});
  // This start's own last frame first (the window was shown before), else the settings'.
  std::optional<ScreenRect> remembered = last_;
  if (!remembered) {
    if (const std::optional<ScreenRect> stored = settings_.Frame()) {
      remembered = ClampedFrame(*stored);
    }
  }
  WindowPlacement placed =
      remembered ? PlaceRemembered(available, main, *remembered, least)
                 : PlaceBesideMain(available, main, margins.Around(firstClient), least);
  if (!mainDialog) placed.mainDialog = main;
  return placed;
}

void WindowFrameModel::Shown(const ScreenRect& frame) {
  last_ = ClampedFrame(frame);
}

void WindowFrameModel::Remember() {
  if (last_) settings_.SetFrame(*last_);
}

}  // namespace kt::workbench
