// The first two bytes of every frame as types of their own, so that they cannot be swapped.
#pragma once

#include <cstdint>

namespace kt::modbus {

// Every slave takes a request to the broadcast address, and none answers it.
inline constexpr uint8_t kBroadcastAddress = 0;
// The addresses a slave may have; those above are reserved.
inline constexpr uint8_t kFirstSlaveAddress = 1;
inline constexpr uint8_t kLastSlaveAddress = 247;

struct SlaveAddress {
  constexpr explicit SlaveAddress(uint8_t v) : value(v) {}
  uint8_t value;
};

struct FunctionCode {
  constexpr explicit FunctionCode(uint8_t v) : value(v) {}
  uint8_t value;
};

}  // namespace kt::modbus
