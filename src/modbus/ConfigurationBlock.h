// The configuration block (0x0300, 19 registers) as the meter reports it: the one place that
// knows where each setting sits in the reply's data bytes.
#pragma once

#include <cstdint>
#include <span>

#include "modbus/MeterRegisters.h"

namespace kt::modbus {

struct MeterConfiguration {
  uint8_t slaveAddress = 0;          // 0x0300 low byte
  uint8_t wiringMode = 0;            // 0x0301 low byte, wiring code 0..5
  bool powerMultiplierFlag = false;  // 0x0305 low byte 1: powers carry k = 4
  uint8_t energyExponent = 0;        // 0x0306 low byte: energies carry 10^exponent
  uint16_t ptRatio = 0;              // 0x0307
  uint16_t ctRatio = 0;              // 0x0309
};

inline constexpr size_t kConfigurationDataBytes =
    static_cast<size_t>(meter_registers::kConfigurationRead.DataBytes());

// Reads the settings from the data bytes of a configuration reply (the bytes after the count).
MeterConfiguration DecodeConfiguration(std::span<const uint8_t, kConfigurationDataBytes> data);

}  // namespace kt::modbus
