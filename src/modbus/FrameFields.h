// The first two bytes of every frame as types of their own, so that they cannot be swapped.
#pragma once

#include <cstdint>

namespace kt::modbus {

struct SlaveAddress {
  constexpr explicit SlaveAddress(uint8_t v) : value(v) {}
  uint8_t value;
};

struct FunctionCode {
  constexpr explicit FunctionCode(uint8_t v) : value(v) {}
  uint8_t value;
};

}  // namespace kt::modbus
