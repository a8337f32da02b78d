// Where the workbench window opens and the frame it remembers, by its whole frame (title bar
// included): the default and least client sizes, the placement beside the main dialog, the
// frame read back from the settings (clamped), and the frame shown or moved to, written back when
// the window is closed or the program ends. A frame is remembered only as it was shown, so it
// does not creep from one start to the next.
#pragma once

#include <optional>

#include "workbench/WindowPlacement.h"
#include "workbench/WorkbenchSettings.h"

namespace kt::workbench {

// The window's client area at first, and the least it can be made, in logical pixels.
inline constexpr ScreenSize kWorkbenchClientSize{760, 520};
inline constexpr ScreenSize kWorkbenchLeastClientSize{560, 400};

class WindowFrameModel {
 public:
  explicit WindowFrameModel(WorkbenchSettings& settings) : settings_(settings) {}

  // Where the window goes on the screen area `available` beside the main dialog's frame
  // (nothing when there is none yet), with `margins` around the client area and at least
  // `leastClient`: its remembered frame when that lies on the screen and clear of the main
  // dialog, else beside the main dialog (PlaceBesideMain) with the remembered or default size.
  // The front end sets the window's frame and, when it changed, the main dialog's place.
  // `firstClient` is the default size in the front end's pixels (scaled where they are not
  // logical).
  WindowPlacement Place(const ScreenRect& available, const std::optional<ScreenRect>& mainDialog,
                        const FrameMargins& margins, ScreenSize leastClient,
                        ScreenSize firstClient = kWorkbenchClientSize) const;

  // The frame the window was shown at, or moved or resized to by the user.
  void Shown(const ScreenRect& frame);
  // Writes the last frame shown to the settings (a window never shown writes nothing).
  void Remember();
  // The last frame shown, if any.
  const std::optional<ScreenRect>& LastFrame() const { return last_; }

 private:
  WorkbenchSettings& settings_;
  std::optional<ScreenRect> last_;
};

}  // namespace kt::workbench
