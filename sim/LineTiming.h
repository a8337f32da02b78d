// Character timing of the serial line: 11 bits a character (8N2, 8O1, 8E1), in microseconds.
#pragma once

#include <cstdint>

#include "serial/LineSettingsTable.h"

namespace kt::sim {

constexpr uint64_t kBitsPerChar = 11;

// Moment, counted from the start of a burst, at which character `index` (0-based) is complete.
constexpr uint64_t CharEndUs(uint64_t index, int32_t baud) {
  return (index + 1) * kBitsPerChar * 1'000'000 / static_cast<uint64_t>(baud);
}
constexpr uint64_t TransmissionUs(uint64_t chars, int32_t baud) {
  return chars * kBitsPerChar * 1'000'000 / static_cast<uint64_t>(baud);
}
// The inter-frame silence: 3.5 character times.
constexpr uint64_t SilenceUs(int32_t baud) {
  return 7 * kBitsPerChar * 1'000'000 / (2 * static_cast<uint64_t>(baud));
}

constexpr bool IsSupportedBaud(int32_t baud) {
  return kt::serial::FindBaudRow(baud) != nullptr;
}
// Baud codes of register 0x0008 from the line settings table; -1 for any other rate.
constexpr int BaudCode(int32_t baud) {
  const kt::serial::BaudRow* row = kt::serial::FindBaudRow(baud);
  return row != nullptr ? row->meterCode : -1;
}
// The rate of a baud code; 0 for any other code.
constexpr int32_t BaudFromCode(int code) {
  const kt::serial::BaudRow* row = kt::serial::FindBaudRowByCode(code);
  return row != nullptr ? row->baudRate : 0;
}

// What decides whether two ends of the line understand each other: rate and parity.
struct LineSettings {
  int32_t baud = 9600;
  int32_t parity = 0;  // 0 none, 1 odd, 2 even
  bool operator==(const LineSettings&) const = default;
};

}  // namespace kt::sim
