// Request frames and the echo text of a frame.
#include "modbus/RequestFrames.h"

#include "modbus/Crc16.h"

namespace kt::modbus {
namespace {

void PutWord(RequestBuffer& buf, int at, uint16_t value) {
  buf[at] = static_cast<uint8_t>(value >> 8);
  buf[at + 1] = static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

void PlaceCrc(uint8_t* frame, int16_t n) {
  const uint16_t crc = CalcCrc16(frame, static_cast<int16_t>(n - 2));
  frame[n - 2] = static_cast<uint8_t>(crc >> 8);
  frame[n - 1] = static_cast<uint8_t>(crc & 0xFF);
}

int16_t BuildReadRequest(RequestBuffer& buf, uint8_t address, uint16_t start, uint16_t count) {
  buf[0] = address;
  buf[1] = kReadHoldingRegisters;
  PutWord(buf, 2, start);
  PutWord(buf, 4, count);
  PlaceCrc(buf.data(), 8);
  return 8;
}

int16_t BuildWriteSingleRequest(RequestBuffer& buf, uint8_t address, uint16_t reg, uint16_t value) {
  buf[0] = address;
  buf[1] = kWriteSingleRegister;
  PutWord(buf, 2, reg);
  PutWord(buf, 4, value);
  PlaceCrc(buf.data(), 8);
  return 8;
}

int16_t BuildWriteMultipleRequest(RequestBuffer& buf, uint8_t address, uint16_t start,
                                  std::initializer_list<uint16_t> values) {
  const int registers = static_cast<int>(values.size());
  if (registers < 1 || 9 + 2 * registers > kRequestBufferSize) return 0;
  buf[0] = address;
  buf[1] = kWriteMultipleRegisters;
  PutWord(buf, 2, start);
  PutWord(buf, 4, static_cast<uint16_t>(registers));
  buf[6] = static_cast<uint8_t>(2 * registers);
  int at = 7;
  for (uint16_t v : values) {
    PutWord(buf, at, v);
    at += 2;
  }
  const auto n = static_cast<int16_t>(at + 2);
  PlaceCrc(buf.data(), n);
  return n;
}

void AppendEchoText(std::string& text, const uint8_t* bytes, int count) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  text.reserve(text.size() + 4 * static_cast<size_t>(count > 0 ? count : 0));
  for (int i = 0; i < count; ++i) {
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 0x0F];
    text += '\r';
    text += ' ';
  }
}

std::string EchoText(const uint8_t* bytes, int count) {
  std::string text;
  AppendEchoText(text, bytes, count);
  return text;
}

}  // namespace kt::modbus
