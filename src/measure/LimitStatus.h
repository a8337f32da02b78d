// The limit status: four voltage and four current items, each a 2-bit code from the meter.
#pragma once

#include <array>
#include <cstdint>

#include "ui/MainDialogIds.h"

namespace kt::measure {

struct StatusItem {
  int controlId;
  bool isCurrent;  // false: the voltage status byte, true: the current status byte
  int shift;       // the item's code is (byte >> shift) & 3
};

// In the order of the limit status flags: voltage items 1 to 4, then current items 1 to 4.
inline constexpr std::array<StatusItem, 8> kStatusItems = {{
    {ui::main_ids::kVoltageStatus1Box, false, 6},
    {ui::main_ids::kVoltageStatus2Box, false, 4},
    {ui::main_ids::kVoltageStatus3Box, false, 2},
    {ui::main_ids::kVoltageStatus4Box, false, 0},
    {ui::main_ids::kCurrentStatus1Box, true, 6},
    {ui::main_ids::kCurrentStatus2Box, true, 4},
    {ui::main_ids::kCurrentStatus3Box, true, 2},
    {ui::main_ids::kCurrentStatus4Box, true, 0},
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

// Index of the status item shown in `controlId`, or -1.
int StatusIndexOf(int controlId);

}  // namespace kt::measure
