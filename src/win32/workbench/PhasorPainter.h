// The phasor diagram drawn with GDI+: a reference circle and its axes, the voltages as solid
// arrows and the currents as dashed ones in their phase's colour, and the legend below.
#pragma once

#include "win32/WindowsApi.h"
#include "workbench/PhasorDiagram.h"

namespace kt::ui::win32 {

// How far the voltages reach when painted over `area`, in pixels (10 or less: no arrows).
float PhasorRadius(const RECT& area);

// Paints into `dc` over `area` (white first); `diagram` nullptr: no block yet.
void PaintPhasors(HDC dc, const RECT& area, const workbench::PhasorDiagram* diagram, HFONT font);

}  // namespace kt::ui::win32
