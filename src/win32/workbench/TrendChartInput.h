// The trend chart's mouse on Windows: turns the wheel, a box dragged with the left button, a drag
// with the right or middle button, a double click and the pointer's moves into requests to zoom,
// pan, reset and tell the value under the pointer, which the trend panel carries out through the
// model. Positions are the chart's client pixels.
#pragma once

#include <functional>
#include <optional>

#include "win32/WindowsApi.h"
#include "workbench/TrendModel.h"

namespace kt::ui::win32 {

class TrendChartInput {
 public:
  // Zoom by `factor` (below 1 narrows) around the time at `x`.
  std::function<void(double factor, double x)> onWheelZoom;
  std::function<void(const workbench::PlotBox& box)> onBoxZoom;
  // Move the view by the pixels the mouse moved.
  std::function<void(double dx, double dy)> onPan;
  std::function<void()> onReset;
  // The pointer moved to a point, or left the chart (nullopt).
  std::function<void(std::optional<POINT> at)> onPointer;
  // The box being dragged changed (drawn over the chart).
  std::function<void()> onBoxMoved;

  // Handles a message of the chart window `chart`; false when it is none of the mouse's.
  bool Handle(HWND chart, UINT message, WPARAM wParam, LPARAM lParam);
  // The box being dragged, if any.
  std::optional<RECT> Box() const;

 private:
  bool boxing_ = false;
  bool panning_ = false;
  bool tracking_ = false;  // Windows tells when the pointer leaves
  POINT start_{};
  POINT last_{};
};

}  // namespace kt::ui::win32
