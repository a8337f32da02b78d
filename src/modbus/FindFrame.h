// Finding the expected reply among the bytes of one read.
#pragma once

#include <cstdint>

namespace kt::modbus {

// Returns the position of the first frame within buffer[0, count) that starts with `address`
// and `function` and whose last two bytes are the CRC of its first length - 2 bytes, or -1.
// The bytes in between are not compared. Only the low 8 bits of function and address count.
int16_t FindFrame(const uint8_t* buffer, int16_t count, int function, int address, int16_t length);

}  // namespace kt::modbus
