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

void PlaceCrc(std::span<uint8_t> frame) {
  const size_t n = frame.size();
  if (n < 2) return;
  const uint16_t crc = CalcCrc16(frame.first(n - 2));
  frame[n - 2] = static_cast<uint8_t>(crc >> 8);
  frame[n - 1] = static_cast<uint8_t>(crc & 0xFF);
}

int16_t BuildTwoWordRequest(RequestBuffer& buf, SlaveAddress address, FunctionCode function,
                            uint16_t firstWord, uint16_t secondWord) {
  constexpr int16_t kLength = 8;
  buf[0] = address.value;
  buf[1] = function.value;
  PutWord(buf, 2, firstWord);
  PutWord(buf, 4, secondWord);
  PlaceCrc(std::span(buf).first(kLength));
  return kLength;
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
  PlaceCrc(std::span(buf).first(static_cast<size_t>(n)));
  return n;
}

void AppendEchoText(std::string& text, std::span<const uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  text.reserve(text.size() + 4 * bytes.size());
  for (const uint8_t byte : bytes) {
    text += kHex[byte >> 4];
    text += kHex[byte & 0x0F];
    text += '\r';
    text += ' ';
  }
}

std::string EchoText(std::span<const uint8_t> bytes) {
  std::string text;
  AppendEchoText(text, bytes);
  return text;
}

}  // namespace kt::modbus
