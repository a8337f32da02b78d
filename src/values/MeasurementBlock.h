// The measurement block: where each value sits in the 90 payload bytes, how it is scaled, and
// which box shows it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "modbus/MeterRegisters.h"
#include "values/UnitFormat.h"

namespace kt::values {

constexpr int kBlockPayloadBytes = modbus::meter_registers::kMeasurementRead.DataBytes();
// Address, function, byte count, payload, CRC.
constexpr int kBlockReplyLength = kBlockPayloadBytes + 5;

// The scale fields of the Monitor state.
struct ScaleFactors {
  uint32_t ptRatio = 1;
  uint32_t ctRatio = 1;
  int32_t powerMultiplier = 1;   // k: active and reactive powers only
  int32_t energyMultiplier = 1;  // E: energies only
};

struct ShownValue {
  UnitFamily family;
  double value;  // in the family's base unit
};

constexpr int kShownValueCount = 34;

// Scales every value of the block, in the order the boxes are written: phase A, B and C (phase
// voltage, line voltage, current, active power, power factor, reactive power, apparent power),
// the zero-sequence current, the combined phase voltage and current, the frequency, the totals,
// the four energies, and last the mean line voltage. `payload` points at 90 bytes.
std::array<ShownValue, kShownValueCount> DecodeBlock(const uint8_t* payload,
                                                     const ScaleFactors& scale);

// The decimals the resolution of value `index` (in DecodeBlock's order) gives: 2 for voltages
// (raw / 100), 4 for currents and power factors, 1 for powers, 8 for the frequency, 0 for
// energies; the mean line voltage keeps the 2 of the line voltages it is made of.
int ResolutionDecimals(size_t index);

// The energy word order: low-order register first, each register high byte first, so
// b0 b1 b2 b3 gives b2 b3 b0 b1 as a big-endian 32-bit value.
uint32_t EnergyRaw(const uint8_t* fourBytes);

}  // namespace kt::values
