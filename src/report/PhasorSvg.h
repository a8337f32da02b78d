// The phasor diagram as inline SVG, drawn from the same geometry as the wiring tab's
// (workbench::MakePhasorDiagram).
#pragma once

#include <string>

#include "workbench/PhasorDiagram.h"

namespace kt::report {

// The drawing's square: its side, the centre and the radius a voltage of full length reaches.
// A phasor of length l at angle a ends at (centre + r·l·cos a, centre − r·l·sin a); currents
// reach workbench::kCurrentReach of the radius.
inline constexpr double kPhasorSide = 240;
inline constexpr double kPhasorCentre = kPhasorSide / 2;
inline constexpr double kPhasorRadius = 96;

// One <svg>: a circle, then every measured element's voltage (solid) and current (dashed) as a
// line from the centre with an arrowhead and its label ("Ua", "Uab", "Ib", ...), each line
// carrying data-phasor="<label>" and its phase's colour.
std::string PhasorSvg(const workbench::PhasorDiagram& diagram);

}  // namespace kt::report
