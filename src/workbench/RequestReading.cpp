// Reading request frames as the monitor builds them: address, function, two 16-bit words.
#include "workbench/RequestReading.h"

#include <cstdio>

#include "modbus/RequestFrames.h"

namespace kt::workbench {
namespace {

// Address, function, first word, second word: the part every request of the monitor has.
constexpr size_t kHeadBytes = 6;

unsigned WordAt(std::span<const uint8_t> frame, size_t at) {
  return static_cast<unsigned>(frame[at] << 8 | frame[at + 1]);
}

}  // namespace

std::string DescribeRequest(std::span<const uint8_t> frame) {
  if (frame.size() < kHeadBytes) return {};
  const unsigned start = WordAt(frame, 2);
  const unsigned second = WordAt(frame, 4);
  char text[48];
  switch (frame[1]) {
    case modbus::kReadHoldingRegisters:
      std::snprintf(text, sizeof text, "读 0x%04X ×%u", start, second);
      break;
    case modbus::kWriteMultipleRegisters:
      std::snprintf(text, sizeof text, "写 0x%04X ×%u", start, second);
      break;
    case modbus::kWriteSingleRegister:
      std::snprintf(text, sizeof text, "写 0x%04X = %u", start, second);
      break;
    default:
      std::snprintf(text, sizeof text, "功能码 %02X", frame[1]);
      break;
  }
  return text;
}

}  // namespace kt::workbench
