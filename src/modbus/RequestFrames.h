// Building Modbus RTU requests (functions 0x03, 0x06, 0x10) and their echo text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "modbus/Buffers.h"
#include "modbus/FrameFields.h"

namespace kt::modbus {

constexpr uint8_t kReadHoldingRegisters = 0x03;
constexpr uint8_t kWriteSingleRegister = 0x06;
constexpr uint8_t kWriteMultipleRegisters = 0x10;

// Stores CalcCrc16 over all but the last two bytes of `frame` in those two (high byte first).
void PlaceCrc(std::span<uint8_t> frame);

// Each builder writes the whole frame from position 0, CRC included, and returns its length.
// The 8-byte request of functions 0x03 and 0x06: address, function, two words, CRC.
int16_t BuildTwoWordRequest(RequestBuffer& buf, SlaveAddress address, FunctionCode function,
                            uint16_t firstWord, uint16_t secondWord);
inline int16_t BuildReadRequest(RequestBuffer& buf, uint8_t address, uint16_t start,
                                uint16_t count) {
  return BuildTwoWordRequest(buf, SlaveAddress(address), FunctionCode(kReadHoldingRegisters), start,
                             count);
}
inline int16_t BuildWriteSingleRequest(RequestBuffer& buf, uint8_t address, uint16_t reg,
                                       uint16_t value) {
  return BuildTwoWordRequest(buf, SlaveAddress(address), FunctionCode(kWriteSingleRegister), reg,
                             value);
}
// Returns 0 and writes nothing when the frame would not fit the request buffer (more than 5
// registers); the program writes 2 or 4.
int16_t BuildWriteMultipleRequest(RequestBuffer& buf, uint8_t address, uint16_t start,
                                  std::initializer_list<uint16_t> values);

// Expected length of the reply to a read of `registers` registers: 5 + 2 * registers.
constexpr int16_t ReadReplyLength(int registers) {
  return static_cast<int16_t>(5 + 2 * registers);
}
constexpr int16_t kWriteReplyLength = 8;

// Appends each byte as "%.2X\r " (two upper-case hex digits, carriage return, space).
void AppendEchoText(std::string& text, std::span<const uint8_t> bytes);
std::string EchoText(std::span<const uint8_t> bytes);

}  // namespace kt::modbus
