// Finding the expected reply among the bytes of one read.
#pragma once

#include <cstdint>
#include <span>

#include "modbus/FrameFields.h"

namespace kt::modbus {

// Returns the position of the first frame within `bytes` that starts with `address` and
// `function` and whose last two bytes are the CRC of its first length - 2 bytes, or -1.
// The bytes in between are not compared.
int16_t FindFrame(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length);

}  // namespace kt::modbus
