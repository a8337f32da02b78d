// CRC-16/MODBUS, table driven: one pair of table lookups per byte.
#pragma once

#include <cstdint>
#include <span>

namespace kt::modbus {

// Returns hi * 256 + lo of the Modbus table-driven CRC over `bytes` (0 or more). The high byte
// of the result is the first CRC byte on the wire, the low byte the second. No bytes give
// 0xFFFF; the digits "123456789" give 0x374B.
uint16_t CalcCrc16(std::span<const uint8_t> bytes);

}  // namespace kt::modbus
