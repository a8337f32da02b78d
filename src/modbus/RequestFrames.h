// Building Modbus RTU requests (functions 0x03, 0x06, 0x10) and their echo text.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "modbus/Buffers.h"

namespace kt::modbus {

constexpr uint8_t kReadHoldingRegisters = 0x03;
constexpr uint8_t kWriteSingleRegister = 0x06;
constexpr uint8_t kWriteMultipleRegisters = 0x10;

// Stores CalcCrc16 over the first n - 2 bytes at n - 2 (high byte) and n - 1 (low byte).
void PlaceCrc(uint8_t* frame, int16_t n);

// Each builder writes the whole frame from position 0, CRC included, and returns its length.
int16_t BuildReadRequest(RequestBuffer& buf, uint8_t address, uint16_t start, uint16_t count);
int16_t BuildWriteSingleRequest(RequestBuffer& buf, uint8_t address, uint16_t reg, uint16_t value);
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
void AppendEchoText(std::string& text, const uint8_t* bytes, int count);
std::string EchoText(const uint8_t* bytes, int count);

}  // namespace kt::modbus
