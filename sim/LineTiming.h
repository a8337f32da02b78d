// Character timing of the serial line: 11 bits a character (8N2, 8O1, 8E1), in microseconds.
#pragma once

#include <cstdint>

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
  return baud == 1200 || baud == 2400 || baud == 4800 || baud == 9600 || baud == 19200;
}
// Baud codes of register 0x0008: 0..4 for 1200..19200; -1 for any other rate.
constexpr int BaudCode(int32_t baud) {
  switch (baud) {
    case 1200:
      return 0;
    case 2400:
      return 1;
    case 4800:
      return 2;
    case 9600:
      return 3;
    case 19200:
      return 4;
    default:
      return -1;
  }
}
constexpr int32_t BaudFromCode(int code) {
  constexpr int32_t kRates[] = {1200, 2400, 4800, 9600, 19200};
  return code >= 0 && code < 5 ? kRates[code] : 0;
}

// What decides whether two ends of the line understand each other: rate and parity.
struct LineSettings {
  int32_t baud = 9600;
  int32_t parity = 0;  // 0 none, 1 odd, 2 even
  bool operator==(const LineSettings&) const = default;
};

}  // namespace kt::sim
