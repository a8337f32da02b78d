// Test helpers: a serial control whose input the test scripts, and crafted Modbus replies.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "modbus/Crc16.h"
#include "serial/SerialControl.h"
#include "serial/SerialError.h"

namespace kt::testing {

using Bytes = std::vector<uint8_t>;

// Records every property access; input arrives when the test says so, or from `onWrite`, which
// may answer a written frame at once.
class ScriptedLine : public serial::SerialControl {
 public:
  std::vector<std::string> calls;  // "CommPort=1", "Settings=9600N,8,2", "PortOpen=1", ...
  std::vector<Bytes> written;
  Bytes pending;
  bool open = false;
  std::function<void(const Bytes& frame)> onWrite;
  // The next SetPortOpen(true) throws this.
  std::optional<serial::SerialError> refuseOpen;
  // The next `failingReads` reads of InBufferCount throw an I/O error.
  int failingReads = 0;

  void Arrive(const Bytes& bytes) { pending.insert(pending.end(), bytes.begin(), bytes.end()); }

  void SetCommPort(int16_t port) override { calls.push_back("CommPort=" + std::to_string(port)); }
  void SetSettings(const std::string& s) override { calls.push_back("Settings=" + s); }
  void SetPortOpen(bool value) override {
    calls.push_back(std::string("PortOpen=") + (value ? "1" : "0"));
    if (value && refuseOpen) {
      serial::SerialError e = *refuseOpen;
      refuseOpen.reset();
      throw e;
    }
    open = value;
  }
  bool GetPortOpen() const override { return open; }
  void SetInputLen(int16_t n) override { calls.push_back("InputLen=" + std::to_string(n)); }
  void SetInBufferCount(int16_t n) override {
    calls.push_back("InBufferCount=" + std::to_string(n));
    if (n == 0) pending.clear();
  }
  int16_t GetInBufferCount() override {
    if (failingReads > 0) {
      --failingReads;
      throw serial::SerialError(serial::SerialErrorKind::IoError, "/dev/ttyS0",
                                "Input/output error");
    }
    return open ? static_cast<int16_t>(std::min<size_t>(pending.size(), 32767)) : 0;
  }
  Bytes GetInput() override { return open ? std::exchange(pending, {}) : Bytes{}; }
  void SetOutput(const Bytes& bytes) override {
    written.push_back(bytes);
    if (onWrite) onWrite(bytes);
  }
};

inline Bytes WithCrc(Bytes frame) {
  const uint16_t crc = modbus::CalcCrc16(frame);
  frame.push_back(static_cast<uint8_t>(crc >> 8));
  frame.push_back(static_cast<uint8_t>(crc & 0xFF));
  return frame;
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

inline Bytes ReadRequest(uint8_t address, uint16_t start, uint16_t count) {
  return WithCrc({address, 0x03, static_cast<uint8_t>(start >> 8), static_cast<uint8_t>(start),
                  static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)});
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

}  // namespace kt::testing
