// The limit status: four voltage and four current items, each a 2-bit code from the meter.
#pragma once

#include <array>
#include <cstdint>

namespace kt::values {

struct StatusItem {
  bool isCurrent;  // false: the voltage status byte, true: the current status byte
  int shift;       // the item's code is (byte >> shift) & 3
};

// In the order of the limit status flags: voltage items 1 to 4, then current items 1 to 4.
inline constexpr std::array<StatusItem, 8> kStatusItems = {{
    {false, 6},
    {false, 4},
    {false, 2},
    {false, 0},
    {true, 6},
    {true, 4},
    {true, 2},
    {true, 0},
}};

// Code 1 = under, 2 = over; 0 and 3 are both normal.
inline constexpr int StatusCode(uint8_t statusByte, int shift) {
  return (statusByte >> shift) & 3;
}
inline constexpr bool IsAlarm(int code) {
  return code == 1 || code == 2;
}

// "欠压" / "过压" / "正常" for voltages, "欠流" / "过流" / "正常" for currents.
const char* StatusText(bool isCurrent, int code);

}  // namespace kt::values
