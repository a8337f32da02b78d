// A child window that paints itself through a back buffer: no flicker, and what is on the screen
// can be copied to a bitmap (the trend chart's export).
#pragma once

#include <functional>

#include "win32/workbench/ChildPanel.h"

namespace kt::ui::win32 {

class PaintedView : public ChildPanel {
 public:
  // Paints the whole client area `area` into `dc`.
  using Painter = std::function<void(HDC dc, const RECT& area)>;
  // Takes the view's other messages first (the mouse's); true when it handled one.
  using Input = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam)>;
  explicit PaintedView(Painter painter, Input input = {})
      : painter_(std::move(painter)), input_(std::move(input)) {}

  void Layout(int /*width*/, int /*height*/) override {}
  // A bitmap of the view as it would be painted now, `extraTop` pixels higher with that band
  // left white (a title goes there); the caller deletes it.
  HBITMAP Snapshot(int extraTop = 0) const;

 protected:
  void Populate() override {}
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  Painter painter_;
  Input input_;
};

}  // namespace kt::ui::win32
