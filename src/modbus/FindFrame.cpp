// The reply search: address, function code and CRC over the expected length.
#include "modbus/FindFrame.h"

#include "modbus/Crc16.h"

namespace kt::modbus {

int16_t FindFrame(const uint8_t* buffer, int16_t count, int function, int address, int16_t length) {
  if (length < 4 || count < length) return -1;
  const auto fn = static_cast<uint8_t>(function);
  const auto addr = static_cast<uint8_t>(address);
  for (int i = 0; i <= count - length; ++i) {
    if (buffer[i] != addr || buffer[i + 1] != fn) continue;
    const uint16_t crc = CalcCrc16(buffer + i, static_cast<int16_t>(length - 2));
    if (buffer[i + length - 2] == (crc >> 8) && buffer[i + length - 1] == (crc & 0xFF)) {
      return static_cast<int16_t>(i);
    }
  }
  return -1;
}

}  // namespace kt::modbus
