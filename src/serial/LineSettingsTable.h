// The supported line settings in one place: per baud rate and per parity, everything that
// depends on the choice.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "serial/LineSettings.h"

namespace kt::serial {

struct BaudRow {
  int32_t baudRate;
  uint16_t meterCode;     // value of the meter's baud register
  uint32_t pollPeriodMs;  // a slower line needs longer between two polls for the reply to fit
};

// Slowest first; the index is also the position of the rate's radio in the settings dialog.
inline constexpr std::array<BaudRow, 5> kBaudRows{{
    {1200, 0, 2000},
    {2400, 1, 1500},
    {4800, 2, 1000},
    {9600, 3, 500},
    {19200, 4, 500},
}};

struct ParityRow {
  Parity parity;
  uint16_t meterCode;               // value of the meter's parity register, also the PC's number
  std::string_view settingsSuffix;  // follows the baud rate in the settings text
  int stopBits;
  std::string_view informationLine;  // the parity line of the main dialog's information box
};

// In meter code order: none, odd, even.
inline constexpr std::array<ParityRow, 3> kParityRows{{
    {Parity::None, 0, "N,8,2", 2, "校验位:无校验"},
    {Parity::Odd, 1, "O,8,1", 1, "校验位:奇校验"},
    {Parity::Even, 2, "E,8,1", 1, "校验位:偶校验"},
}};

// What the monitor starts with, as the meter leaves the factory: 9600 baud, no parity.
inline constexpr int32_t kDefaultBaudRate = kBaudRows[3].baudRate;
inline constexpr uint16_t kDefaultParityCode = kParityRows[0].meterCode;

// The row of a supported baud rate, or nullptr.
constexpr const BaudRow* FindBaudRow(int32_t baudRate) {
  for (const BaudRow& row : kBaudRows) {
    if (row.baudRate == baudRate) return &row;
  }
  return nullptr;
}

// The row of a meter baud code, or nullptr.
constexpr const BaudRow* FindBaudRowByCode(int32_t meterCode) {
  for (const BaudRow& row : kBaudRows) {
    if (row.meterCode == meterCode) return &row;
  }
  return nullptr;
}

// The row of a parity number (0 none, 1 odd, 2 even, as the meter codes it), or nullptr.
constexpr const ParityRow* FindParityRow(int32_t meterCode) {
  for (const ParityRow& row : kParityRows) {
    if (row.meterCode == meterCode) return &row;
  }
  return nullptr;
}

}  // namespace kt::serial
