// The geometry of a phasor diagram for one block: plain numbers, the window draws them.
#pragma once

#include <array>

#include "values/MeasuredBlock.h"

namespace kt::workbench {

struct Phasor {
  double length = 0;    // 0..1, relative to the largest of its kind
  double angleDeg = 0;  // counter-clockwise from phase A's voltage

  bool operator==(const Phasor&) const = default;
};

struct PhasorDiagram {
  // Four-wire: the phase voltages A, B, C at 0°, −120°, +120°. Three-wire: the elements' voltages
  // U_AB at 30° (slot A) and U_CB at 90° (slot C).
  std::array<Phasor, 3> voltages;
  std::array<Phasor, 3> currents;  // each at its element voltage's angle minus atan2(Q, P)
  std::array<bool, 3> measured{};  // elements the wiring mode measures
  bool lineVoltages = false;       // the voltages are U_AB and U_CB (three-wire modes)

  bool operator==(const PhasorDiagram&) const = default;
};

PhasorDiagram MakePhasorDiagram(const values::MeasuredBlock& block);

// Whether `next`, drawn with the voltages reaching `radiusPx` pixels, looks other than `shown`:
// other elements or labels, a current arrow come or gone, or an arrow's tip or its label a whole
// pixel or more away. Readings that only tremble are not painted again.
bool DrawnDifferently(const PhasorDiagram& shown, const PhasorDiagram& next, double radiusPx);

}  // namespace kt::workbench
