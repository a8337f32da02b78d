// Phasor geometry from the per-phase voltages, currents and powers of one block.
#include "workbench/PhasorDiagram.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kt::workbench {

using measure::Quantity;

PhasorDiagram MakePhasorDiagram(const measure::MeasuredBlock& b) {
  constexpr std::array<double, 3> kVoltageAngleDeg = {0.0, -120.0, 120.0};
  constexpr std::array<Quantity, 3> kVoltage = {Quantity::PhaseVoltageA, Quantity::PhaseVoltageB,
                                                Quantity::PhaseVoltageC};
  constexpr std::array<Quantity, 3> kCurrent = {Quantity::CurrentA, Quantity::CurrentB,
                                                Quantity::CurrentC};
  constexpr std::array<Quantity, 3> kActive = {Quantity::ActivePowerA, Quantity::ActivePowerB,
                                               Quantity::ActivePowerC};
  constexpr std::array<Quantity, 3> kReactive = {Quantity::ReactivePowerA, Quantity::ReactivePowerB,
                                                 Quantity::ReactivePowerC};

  const auto mode = static_cast<measure::WiringMode>(b.wiringMode);
  const bool singlePhase = mode == measure::WiringMode::SinglePhaseTwoWire ||
                           mode == measure::WiringMode::SinglePhaseThreeWire;
  PhasorDiagram d;
  double largestVoltage = 0;
  double largestCurrent = 0;
  for (int p = 0; p < 3; ++p) {
    d.measured[p] = p == 0 || !singlePhase;
    if (!d.measured[p]) continue;
    largestVoltage = std::max(largestVoltage, std::abs(b[kVoltage[p]]));
    largestCurrent = std::max(largestCurrent, std::abs(b[kCurrent[p]]));
  }
  for (int p = 0; p < 3; ++p) {
    if (!d.measured[p]) continue;
    const double phiDeg = std::atan2(b[kReactive[p]], b[kActive[p]]) * 180.0 / std::numbers::pi;
    d.voltages[p] = {largestVoltage > 0 ? std::abs(b[kVoltage[p]]) / largestVoltage : 0.0,
                     kVoltageAngleDeg[p]};
    double currentAngle = kVoltageAngleDeg[p] - phiDeg;
    if (currentAngle > 180.0) currentAngle -= 360.0;
    if (currentAngle <= -180.0) currentAngle += 360.0;
    d.currents[p] = {largestCurrent > 0 ? std::abs(b[kCurrent[p]]) / largestCurrent : 0.0,
                     currentAngle};
  }
  return d;
}

}  // namespace kt::workbench
