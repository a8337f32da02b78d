// One block seen as the meter's measuring elements: each element's voltage, current and powers,
// the angle of its voltage and the angle arithmetic the wiring check and the phasor diagram share.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "values/MeasuredBlock.h"

namespace kt::workbench {

// Four-wire modes measure each phase against N; three-wire modes two elements, U_AB with I_A
// and U_CB with I_C; single-phase modes phase A (and B opposed to it for split phase).
enum class Layout { FourWire, ThreeWire, SinglePhase };

Layout LayoutOf(uint8_t wiringCode);

double WrapDeg(double deg);                     // into (−180°, 180°]
double PhiDeg(double active, double reactive);  // atan2(Q, P) in degrees

struct ElementView {
  bool measured = false;
  double voltage = 0;  // the element's voltage: the phase voltage, or U_AB / U_CB
  double current = 0;
  double active = 0, reactive = 0, apparent = 0, powerFactor = 0;
  double voltageAngleDeg = 0;  // angle of the element's voltage, phase A's voltage at 0°
  double offsetDeg = 0;        // the element voltage's lead on its own phase voltage (±30°)

  double PhiDeg() const { return workbench::PhiDeg(active, reactive); }
  // φ of the load at this element: the element's angle less its voltage's offset.
  double LoadAngleDeg() const { return WrapDeg(PhiDeg() - offsetDeg); }
  // Where the current lies in the diagram: its voltage's angle minus φ.
  double CurrentAngleDeg() const { return WrapDeg(voltageAngleDeg - PhiDeg()); }
};

// Register resolution at the block's PT and CT (powers at the larger multiplier, 4).
struct Resolution {
  double volt, amp, watt, voltAmpere;
};

struct SiteView {
  Layout layout = Layout::FourWire;
  std::array<ElementView, 3> elements{};  // by phase; three-wire modes leave B unmeasured
  std::array<double, 3> phaseAngleDeg{};  // nominal angle of each phase's voltage
  std::vector<int> measured;              // indices of the measured elements
  Resolution lsb{};
};

SiteView MakeSiteView(const values::MeasuredBlock& block);

}  // namespace kt::workbench
