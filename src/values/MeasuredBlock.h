// A decoded measurement block as numbers in base units, for whatever observes the monitor
// (traffic log, recording, trends, wiring check). The display keeps its own texts.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace kt::values {

// The 34 values in the order the decoder produces them. Line voltage columns: A is line CA,
// B is line AB, C is line BC. Reverse energies are the non-negative magnitudes the meter sends.
enum class Quantity : uint8_t {
  PhaseVoltageA,
  LineVoltageCA,
  CurrentA,
  ActivePowerA,
  PowerFactorA,
  ReactivePowerA,
  ApparentPowerA,
  PhaseVoltageB,
  LineVoltageAB,
  CurrentB,
  ActivePowerB,
  PowerFactorB,
  ReactivePowerB,
  ApparentPowerB,
  PhaseVoltageC,
  LineVoltageBC,
  CurrentC,
  ActivePowerC,
  PowerFactorC,
  ReactivePowerC,
  ApparentPowerC,
  ZeroSequenceCurrent,
  CombinedPhaseVoltage,
  CombinedCurrent,
  Frequency,
  TotalActivePower,
  TotalPowerFactor,
  TotalReactivePower,
  TotalApparentPower,
  ForwardActiveEnergy,
  ReverseActiveEnergy,
  ForwardReactiveEnergy,
  ReverseReactiveEnergy,
  CombinedLineVoltage,
};
inline constexpr std::size_t kQuantityCount = 34;

// What a value measures, which decides its unit: the trend chart's axes (up to Frequency) and
// the service's device classes.
enum class QuantityKind : uint8_t {
  Voltage,
  Current,
  ActivePower,
  ReactivePower,
  ApparentPower,
  PowerFactor,
  Frequency,
  ActiveEnergy,
  ReactiveEnergy,
};

// Each phase's own six values (phase voltage, current, active, reactive and apparent power,
// power factor), by phase A, B, C: the per-phase view of a block.
struct PhaseQuantities {
  Quantity voltage, current, active, reactive, apparent, powerFactor;
};
inline constexpr std::array<PhaseQuantities, 3> kPhaseQuantities = {{
    {Quantity::PhaseVoltageA, Quantity::CurrentA, Quantity::ActivePowerA, Quantity::ReactivePowerA,
     Quantity::ApparentPowerA, Quantity::PowerFactorA},
    {Quantity::PhaseVoltageB, Quantity::CurrentB, Quantity::ActivePowerB, Quantity::ReactivePowerB,
     Quantity::ApparentPowerB, Quantity::PowerFactorB},
    {Quantity::PhaseVoltageC, Quantity::CurrentC, Quantity::ActivePowerC, Quantity::ReactivePowerC,
     Quantity::ApparentPowerC, Quantity::PowerFactorC},
}};

// The two status bytes that may follow a block (voltage first, then current).
struct StatusPair {
  uint8_t voltage = 0;
  uint8_t current = 0;
};

// Wiring codes as the meter and the meter settings dialog number them.
enum class WiringMode : uint8_t {
  ThreePhaseFourWireUnbalanced = 0,   // 3相4线(非平衡)
  SinglePhaseTwoWire = 1,             // 单相2线
  ThreePhaseThreeWireUnbalanced = 2,  // 3相3线(非平衡)
  ThreePhaseThreeWireBalanced = 3,    // 3相3线(平衡)
  SinglePhaseThreeWire = 4,           // 单相3线
  ThreePhaseFourWireBalanced = 5,     // 3相4线(平衡)
};

struct MeasuredBlock {
  std::chrono::system_clock::time_point time{};  // wall-clock time of decoding
  uint8_t slaveAddress = 0;
  // The configuration the block was scaled with.
  uint8_t wiringMode = 0;  // wiring code 0..5 as read from the meter
  uint32_t ptRatio = 1;
  uint32_t ctRatio = 1;
  uint32_t pollPeriodMs = 0;  // the poll period in force when it was decoded; 0 when not known
  std::array<double, kQuantityCount> values{};  // V, A, W, var, VA, -, Hz, Wh, varh
  std::optional<StatusPair> status;             // only when the pair came with this block

  double operator[](Quantity q) const { return values[static_cast<std::size_t>(q)]; }
  double& operator[](Quantity q) { return values[static_cast<std::size_t>(q)]; }
};

}  // namespace kt::values
