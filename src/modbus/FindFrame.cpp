// The reply search: address, function code and CRC over the expected length.
#include "modbus/FindFrame.h"

#include "modbus/Crc16.h"
#include "modbus/RequestFrames.h"

namespace kt::modbus {

bool CrcMatches(std::span<const uint8_t> frame) {
  const size_t n = frame.size();
  const uint16_t crc = CalcCrc16(frame.first(n - 2));
  return frame[n - 2] == (crc >> 8) && frame[n - 1] == (crc & 0xFF);
}

namespace {

// Address, function and byte count of a read reply ahead of its data.
constexpr size_t kReadReplyOverhead = 5;
constexpr size_t kByteCountAt = 2;

}  // namespace

bool ByteCountFits(std::span<const uint8_t> frame) {
  if (frame[1] != kReadHoldingRegisters) return true;
  return frame.size() >= kReadReplyOverhead &&
         frame[kByteCountAt] == frame.size() - kReadReplyOverhead;
}

bool IsReplyFrom(std::span<const uint8_t> frame, SlaveAddress address, FunctionCode function) {
  return frame[0] == address.value && frame[1] == function.value && ByteCountFits(frame);
}

int16_t FindFrame(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length) {
  const int at = FindValidFrame(bytes, length, [&](std::span<const uint8_t> frame) {
    return frame[0] == address.value && frame[1] == function.value;
  });
  return static_cast<int16_t>(at);
}

int16_t FindReply(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length) {
  const int at = FindValidFrame(bytes, length, [&](std::span<const uint8_t> frame) {
    return IsReplyFrom(frame, address, function);
  });
  return static_cast<int16_t>(at);
}

}  // namespace kt::modbus
