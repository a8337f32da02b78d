// Finding the expected reply among the bytes of one read.
#pragma once

#include <cstdint>
#include <span>

#include "modbus/FrameFields.h"

namespace kt::modbus {

// True when the last two bytes of `frame` (at least 3 bytes) are the CRC of the bytes before.
bool CrcMatches(std::span<const uint8_t> frame);

// Position of the first frame of `length` bytes (4 or more) within `bytes` whose address and
// function byte satisfy `startsRight(address, function)` and whose CRC is correct, or -1.
template <typename Predicate>
int FindValidFrame(std::span<const uint8_t> bytes, int length, Predicate startsRight) {
  if (length < 4 || bytes.size() < static_cast<size_t>(length)) return -1;
  const int count = static_cast<int>(bytes.size());
  for (int i = 0; i + length <= count; ++i) {
    const auto at = static_cast<size_t>(i);
    if (startsRight(bytes[at], bytes[at + 1]) &&
        CrcMatches(bytes.subspan(at, static_cast<size_t>(length)))) {
      return i;
    }
  }
  return -1;
}

// Returns the position of the first frame within `bytes` that starts with `address` and
// `function` and whose last two bytes are the CRC of its first length - 2 bytes, or -1.
// The bytes in between are not compared.
int16_t FindFrame(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length);

}  // namespace kt::modbus
