// Where each setting of the configuration block sits in the reply.
#include "modbus/ConfigurationBlock.h"

namespace kt::modbus {
namespace {

// Byte offsets within the data: two bytes a register, high byte first.
constexpr size_t kSlaveAddressLow = 1;
constexpr size_t kWiringLow = 3;
constexpr size_t kPowerMultiplierLow = 11;
constexpr size_t kEnergyExponentLow = 13;
constexpr size_t kPtRatioHigh = 14;
constexpr size_t kCtRatioHigh = 18;

uint16_t WordAt(std::span<const uint8_t, kConfigurationDataBytes> data, size_t high) {
  return static_cast<uint16_t>(data[high] << 8 | data[high + 1]);
}

}  // namespace

MeterConfiguration DecodeConfiguration(std::span<const uint8_t, kConfigurationDataBytes> data) {
  MeterConfiguration c;
  c.slaveAddress = data[kSlaveAddressLow];
  c.wiringMode = data[kWiringLow];
  c.powerMultiplierFlag = data[kPowerMultiplierLow] == 1;
  c.energyExponent = data[kEnergyExponentLow];
  c.ptRatio = WordAt(data, kPtRatioHigh);
  c.ctRatio = WordAt(data, kCtRatioHigh);
  return c;
}

}  // namespace kt::modbus
