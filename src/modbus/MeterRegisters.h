// The meter's registers as the monitor reads and writes them.
#pragma once

#include <cstdint>

namespace kt::modbus {

// A run of holding registers: the first and how many.
struct RegisterBlock {
  uint16_t start;
  uint16_t count;

  // Bytes of the run's values in a read reply.
  constexpr int DataBytes() const { return 2 * count; }
};

namespace meter_registers {

// Read: the configuration at 0x0300 and on, and the measurement block from 0x0000.
inline constexpr RegisterBlock kConfigurationRead{0x0300, 19};
inline constexpr RegisterBlock kParametersRead{0x0328, 4};
inline constexpr RegisterBlock kAccuracyClassRead{0x0322, 1};
inline constexpr RegisterBlock kPowerMultiplierRead{0x030A, 1};
inline constexpr RegisterBlock kMeasurementRead{0x0000, 45};
// The address search reads the first configuration register: any slave has it.
inline constexpr RegisterBlock kAddressProbeRead{0x0300, 1};

// Written: the settings registers in the 0x0000 page.
inline constexpr RegisterBlock kSlaveAddressWrite{0x0000, 1};
inline constexpr RegisterBlock kWiringWrite{0x0002, 1};
inline constexpr RegisterBlock kParityWrite{0x0006, 1};
inline constexpr RegisterBlock kBaudWrite{0x0008, 1};
inline constexpr RegisterBlock kPtRatioWrite{0x000E, 2};  // low word, then a high word of 0
inline constexpr RegisterBlock kCtRatioWrite{0x0012, 2};  // likewise
inline constexpr RegisterBlock kAccuracyClassWrite{0x0022, 1};
inline constexpr RegisterBlock kParametersWrite{0x0028, 4};

}  // namespace meter_registers
}  // namespace kt::modbus
