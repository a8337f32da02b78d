// CRC-16/MODBUS with the two 256-entry byte tables, built at compile time.
#include "modbus/Crc16.h"

#include <array>

namespace kt::modbus {
namespace {

// Byte-wise CRC-16/MODBUS table entry of i (reflected polynomial 0xA001).
constexpr uint16_t CrcTableEntry(unsigned i) {
  uint16_t crc = static_cast<uint16_t>(i);
  for (int bit = 0; bit < 8; ++bit) {
    crc =
        (crc & 1u) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001u) : static_cast<uint16_t>(crc >> 1);
  }
  return crc;
}

struct CrcTables {
  std::array<uint8_t, 256> first{};   // low byte of each entry
  std::array<uint8_t, 256> second{};  // high byte of each entry
};

constexpr CrcTables MakeTables() {
  CrcTables t;
  for (unsigned i = 0; i < 256; ++i) {
    const uint16_t e = CrcTableEntry(i);
    t.first[i] = static_cast<uint8_t>(e & 0xFF);
    t.second[i] = static_cast<uint8_t>(e >> 8);
  }
  return t;
}

constexpr CrcTables kTables = MakeTables();
static_assert(kTables.first[1] == 0xC1 && kTables.first[2] == 0x81 && kTables.first[3] == 0x40);
static_assert(kTables.second[1] == 0xC0 && kTables.second[2] == 0xC1 && kTables.second[3] == 0x01);

}  // namespace

uint16_t CalcCrc16(const uint8_t* bytes, int16_t count) {
  uint8_t hi = 0xFF;
  uint8_t lo = 0xFF;
  for (int16_t n = 0; n < count; ++n) {
    const uint8_t index = hi ^ bytes[n];
    hi = lo ^ kTables.first[index];
    lo = kTables.second[index];
  }
  return static_cast<uint16_t>(hi << 8 | lo);
}

}  // namespace kt::modbus
