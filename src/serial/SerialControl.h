// The serial control seam: the nine property accesses the monitor makes, and nothing more.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kt::serial {

// Every implementation (a POSIX serial device, the in-process simulated line) behaves the same
// at the call sites. A refusal is thrown as SerialError.
class SerialControl {
 public:
  virtual ~SerialControl() = default;

  // Selects the port by number (1 = first port); set while the port is closed.
  virtual void SetCommPort(int16_t port) = 0;
  // Line settings such as "9600N,8,2", "4800O,8,1" or "19200E,8,1"; set while the port is closed.
  // An unacceptable text throws SerialError(BadSettings).
  virtual void SetSettings(const std::string& settings) = 0;
  // true opens the selected port with the current settings; false closes it (closing a closed
  // port does nothing).
  virtual void SetPortOpen(bool open) = 0;
  virtual bool GetPortOpen() const = 0;
  // Number of bytes one GetInput takes; 0 means all that are waiting.
  virtual void SetInputLen(int16_t length) = 0;
  // Setting 0 empties the receive queue.
  virtual void SetInBufferCount(int16_t count) = 0;
  // Received bytes waiting, 0..32767; 0 while the port is closed.
  virtual int16_t GetInBufferCount() = 0;
  // Removes the waiting bytes (all of them with input length 0) and returns them unchanged;
  // empty while the port is closed.
  virtual std::vector<uint8_t> GetInput() = 0;
  // Transmits the bytes in order, unchanged.
  virtual void SetOutput(const std::vector<uint8_t>& bytes) = 0;
};

}  // namespace kt::serial
