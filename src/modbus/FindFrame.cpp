// The reply search: address, function code and CRC over the expected length.
#include "modbus/FindFrame.h"

#include "modbus/Crc16.h"

namespace kt::modbus {

int16_t FindFrame(std::span<const uint8_t> bytes, SlaveAddress address, FunctionCode function,
                  int16_t length) {
  if (length < 4 || bytes.size() < static_cast<size_t>(length)) return -1;
  const auto frameLength = static_cast<size_t>(length);
  for (size_t i = 0; i + frameLength <= bytes.size(); ++i) {
    const std::span<const uint8_t> frame = bytes.subspan(i, frameLength);
    if (frame[0] != address.value || frame[1] != function.value) continue;
    const uint16_t crc = CalcCrc16(frame.first(frameLength - 2));
    if (frame[frameLength - 2] == (crc >> 8) && frame[frameLength - 1] == (crc & 0xFF)) {
      return static_cast<int16_t>(i);
    }
  }
  return -1;
}

}  // namespace kt::modbus
