// Ways the simulated meter's load can be wired wrongly at the meter's inputs.
#pragma once

#include <array>

namespace kt::sim {

struct WiringFaults {
  std::array<bool, 3> reversedCt{};  // the CT of phase A, B or C is connected the wrong way round
  int swapFirst = -1, swapSecond = -1;  // the currents of these two phases reach each other's input
  std::array<bool, 3> lostVoltage{};    // no voltage at this phase's input (a blown PT fuse)
  // Phase A's load current grows by this share and phase C's shrinks by it; B stays.
  double unbalancePercent = 0;

  bool SwapsCurrents() const { return swapFirst >= 0 && swapSecond >= 0; }
};

}  // namespace kt::sim
