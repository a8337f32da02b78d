// Finding the expected reply among the bytes of one read.
#pragma once

#include <cstdint>
#include <span>

#include "modbus/FrameFields.h"

namespace kt::modbus {

// True when the last two bytes of `frame` (at least 3 bytes) are the CRC of the bytes before.
bool CrcMatches(std::span<const uint8_t> frame);

// Position of the first frame of `length` bytes (4 or more) within `bytes` that satisfies
// `startsRight(frame)` (the `length` bytes from there) and whose CRC is correct, or -1.
template <typename Predicate>
int FindValidFrame(std::span<const uint8_t> bytes, int length, Predicate startsRight) {
  if (length < 4 || bytes.size() < static_cast<size_t>(length)) return -1;
  const int count = static_cast<int>(bytes.size());
  for (int i = 0; i + length <= count; ++i) {
    const auto frame = bytes.subspan(static_cast<size_t>(i), static_cast<size_t>(length));
    if (startsRight(frame) && CrcMatches(frame)) return i;
  }
  return -1;
}

// Whether `frame` (4 bytes or more) carries the byte count its function promises: a read reply
// (0x03) counts its data bytes in its third byte, all but its address, function, count and CRC.
// Other functions have no count to check.
bool ByteCountFits(std::span<const uint8_t> frame);

// Whether `frame` is the reply from `address` with `function`: its first two bytes and its byte
// count (ByteCountFits). The CRC is not looked at.
bool IsReplyFrom(std::span<const uint8_t> frame, SlaveAddress address, FunctionCode function);

// Returns the position of the first frame within `bytes` that starts with `address` and
// `function` and whose last two bytes are the CRC of its first length - 2 bytes, or -1.
// The bytes in between are not compared.
int16_t FindFrame(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length);

// The search every exchange takes its reply with: as FindFrame, and a read reply's byte count
// must fit its length too, so that a request echoed by the adapter is never its own reply.
int16_t FindReply(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length);

}  // namespace kt::modbus
