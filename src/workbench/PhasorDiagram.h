// The geometry of a phasor diagram for one block: plain numbers, the window draws them.
#pragma once

#include <array>

#include "measure/MeasuredBlock.h"

namespace kt::workbench {

struct Phasor {
  double length = 0;    // 0..1, relative to the largest of its kind
  double angleDeg = 0;  // counter-clockwise from phase A's voltage

  bool operator==(const Phasor&) const = default;
};

struct PhasorDiagram {
  std::array<Phasor, 3> voltages;  // A, B, C at 0°, −120°, +120°
  std::array<Phasor, 3> currents;  // each at its voltage's angle minus atan2(Q, P) of its phase
  std::array<bool, 3> measured{};  // phases the wiring mode measures

  bool operator==(const PhasorDiagram&) const = default;
};

PhasorDiagram MakePhasorDiagram(const measure::MeasuredBlock& block);

}  // namespace kt::workbench
