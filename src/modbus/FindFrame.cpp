// The reply search: address, function code and CRC over the expected length.
#include "modbus/FindFrame.h"

#include "modbus/Crc16.h"

namespace kt::modbus {

bool CrcMatches(std::span<const uint8_t> frame) {
  const size_t n = frame.size();
  const uint16_t crc = CalcCrc16(frame.first(n - 2));
  return frame[n - 2] == (crc >> 8) && frame[n - 1] == (crc & 0xFF);
}

int16_t FindFrame(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length) {
  const int at = FindValidFrame(bytes, length, [&](uint8_t a, uint8_t f) {
    return a == address.value && f == function.value;
  });
  return static_cast<int16_t>(at);
}

}  // namespace kt::modbus
