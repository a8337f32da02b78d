// The physical (primary-side) values of one measurement block, as the monitor should show them.
#pragma once

#include <array>
#include <cstdint>

namespace kt::sim {

struct MeasuredValues {
  // Index 0, 1, 2 = phases A, B, C.
  std::array<double, 3> phaseVoltage{};  // V
  // In the order of the block's columns: [0] line CA, [1] line AB, [2] line BC.
  std::array<double, 3> lineVoltage{};  // V
  std::array<double, 3> current{};      // A
  std::array<double, 3> activePower{};  // W
  std::array<double, 3> powerFactor{};
  std::array<double, 3> reactivePower{};  // var
  std::array<double, 3> apparentPower{};  // VA
  double zeroSequenceCurrent = 0;         // A
  double combinedVoltage = 0;             // V, mean of the phase voltages
  double combinedCurrent = 0;             // A, mean of the phase currents
  double combinedLineVoltage = 0;         // V, mean of the line voltages (not a register)
  double frequencyHz = 0;
  double totalActivePower = 0;
  double totalPowerFactor = 0;
  double totalReactivePower = 0;
  double totalApparentPower = 0;
  double forwardActiveEnergyWh = 0;
  double reverseActiveEnergyWh = 0;
  double forwardReactiveEnergyVarh = 0;
  double reverseReactiveEnergyVarh = 0;
  // Limit status: four 2-bit codes each (1 under, 2 over, 0 normal), item 1 in bits 7-6.
  uint8_t voltageStatus = 0;
  uint8_t currentStatus = 0;
};

}  // namespace kt::sim
