// Modbus frames for tests: the CRC appended, read requests and replies, and the known example
// frames of the meter's protocol, written out byte by byte once.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "modbus/RequestFrames.h"

namespace kt::testing {

using Bytes = std::vector<uint8_t>;

// The bytes with their CRC appended (low byte first on the wire), as PlaceCrc writes it.
inline Bytes WithCrc(Bytes frame) {
  frame.resize(frame.size() + 2);
  modbus::PlaceCrc(frame);
  return frame;
}

// A function 0x03 request for `count` registers from `start`.
inline Bytes ReadRequest(uint8_t address, uint16_t start, uint16_t count) {
  return WithCrc({address, 0x03, static_cast<uint8_t>(start >> 8), static_cast<uint8_t>(start),
                  static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)});
}

// A function 0x03 reply carrying `registers`, high byte first.
inline Bytes ReadReply(uint8_t address, const std::vector<uint16_t>& registers) {
  Bytes f{address, 0x03, static_cast<uint8_t>(2 * registers.size())};
  for (uint16_t r : registers) {
    f.push_back(static_cast<uint8_t>(r >> 8));
    f.push_back(static_cast<uint8_t>(r & 0xFF));
  }
  return WithCrc(f);
}

// A function 0x06 frame (request, and its echo as the acknowledgement).
inline Bytes WriteSingle(uint8_t address, uint16_t reg, uint16_t value) {
  return WithCrc({address, 0x06, static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg),
                  static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value)});
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// Known frames to slave address 1, CRC included, independent of the builders above.
namespace golden {
inline const Bytes kConfigRequest = {0x01, 0x03, 0x03, 0x00, 0x00, 0x13, 0x04, 0x43};
inline const Bytes kValuesRequest = {0x01, 0x03, 0x03, 0x28, 0x00, 0x04, 0xC4, 0x45};
inline const Bytes kClassRequest = {0x01, 0x03, 0x03, 0x22, 0x00, 0x01, 0x24, 0x44};
inline const Bytes kBlockRequest = {0x01, 0x03, 0x00, 0x00, 0x00, 0x2D, 0x85, 0xD7};
inline const Bytes kMultiplierRequest = {0x01, 0x03, 0x03, 0x0A, 0x00, 0x01, 0xA4, 0x4C};
inline const Bytes kAddressProbe = {0x01, 0x03, 0x03, 0x00, 0x00, 0x01, 0x84, 0x4E};
inline const Bytes kBroadcastProbe = {0x00, 0x03, 0x03, 0x00, 0x00, 0x01, 0x85, 0x9F};
inline const Bytes kWiringWrite3 = {0x01, 0x06, 0x00, 0x08, 0x00, 0x03, 0x48, 0x09};
inline const Bytes kSetAddress2Broadcast = {0x00, 0x06, 0x00, 0x00, 0x00, 0x02, 0x09, 0xDA};
}  // namespace golden

}  // namespace kt::testing
