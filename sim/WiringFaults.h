// How the simulated meter's site differs from a plain importing four-wire load, and the ways its
// load can be wired wrongly at the meter's inputs.
#pragma once

#include <array>

namespace kt::sim {

struct WiringFaults {
  std::array<bool, 3> reversedCt{};  // the CT of phase A, B or C is connected the wrong way round
  int swapFirst = -1, swapSecond = -1;  // the currents of these two phases reach each other's input
  // Each phase's current reaches the input of the next (A's at B, B's at C, C's at A), or of
  // the previous one when negative; 0: no rotation.
  int rotation = 0;
  std::array<bool, 3> lostVoltage{};  // no voltage at this phase's input (a blown PT fuse)
  // Three-wire: the open input settles on B's voltage (through the PT) rather than midway
  // between the other two.
  bool lostPulledToB = false;
  // Phase A's load current grows by this share and phase C's shrinks by it; B stays.
  double unbalancePercent = 0;

  // The site.
  bool exporting = false;      // the load's active power flows to the grid
  bool threeWireSite = false;  // no neutral; CTs on A and C only, B's current input stays empty
  double thirdHarmonicPercent = 0;  // third harmonic in each current, of its fundamental

  bool SwapsCurrents() const { return swapFirst >= 0 && swapSecond >= 0; }
};

}  // namespace kt::sim
