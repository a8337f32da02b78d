// A resizable dialog's controls kept at its edges as their styles say (Grown), and its smallest
// size the template's.
#pragma once

#include <vector>

#include "ui/dialog/DialogTemplate.h"
#include "win32/WindowsApi.h"

namespace kt::ui::win32 {

class EdgeLayout {
 public:
  struct Placed {
    const ControlTemplate* tmpl;
    HWND hwnd;
  };
  // Takes where each control is now, at the template's size.
  EdgeLayout(HWND dialog, const std::vector<Placed>& controls);

  // Moves the controls for the dialog's client area of `width` by `height` pixels; a table's last
  // column takes the width its others leave.
  void Apply(int width, int height) const;
  // The window may not become smaller than it was made.
  void LimitTracking(MINMAXINFO& info) const;

 private:
  struct Origin {
    Placed control;
    RECT rect;  // in the dialog's client coordinates
  };
  std::vector<Origin> origins_;
  SIZE client_{};
  SIZE window_{};
};

}  // namespace kt::ui::win32
