// The serial control on a POSIX terminal device (termios), raw 8-bit and non-blocking.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "serial/LineSettings.h"
#include "serial/PortName.h"
#include "serial/SerialControl.h"
#include "serial/UniqueFd.h"

namespace kt::serial {

// Opens the device of the selected port number (see PortName.h) read-write, non-blocking and
// without making it the controlling terminal, and claims it exclusively: an advisory flock
// (as other serial tools take it) plus TIOCEXCL. Root bypasses TIOCEXCL, so the lock is what
// refuses a second opener there.
//
// Contract beyond SerialControl:
// - Defaults: port 1, "9600N,8,2".
// - SetCommPort while open is stored and takes effect at the next open.
// - SetSettings while open applies at once; while closed it is checked, stored and applied by
//   the next open. A refused text leaves the previous settings in force.
// - SetInputLen below 0 counts as 0 (all waiting bytes).
// - SetInBufferCount(0) empties the receive queue; other values are ignored.
// - GetInBufferCount and GetInput on a closed port give 0 and an empty array.
// - SetOutput on a closed port throws SerialError(IoError). A write the device does not take
//   within the frame's transmission time plus kWriteMarginMs (at most the stall limit) throws
//   SerialError(OutputStalled); the port stays open.
// - A read, count or write that fails because the device is gone (EIO, ENXIO, ENODEV, a
//   hang-up) closes the port and throws SerialError(Disconnected); any other failure throws
//   SerialError(IoError).
// - With KT7340_RS485=1 in the environment, opening also turns on the kernel's RS-485 mode
//   (Rs485Mode.h); a driver that refuses it throws SerialError(OpenFailed) and the port stays
//   closed.
class PosixSerialPort : public SerialControl {
 public:
  // A write that makes no progress for this long is given up.
  static constexpr int kWriteStallTimeoutMs = 1000;
  // How much longer than the frame's own transmission time a write may take.
  static constexpr int kWriteMarginMs = 100;

  explicit PosixSerialPort(int writeStallTimeoutMs = kWriteStallTimeoutMs);
  ~PosixSerialPort() override;
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;
  PosixSerialPort(PosixSerialPort&&) = delete;
  PosixSerialPort& operator=(PosixSerialPort&&) = delete;

  // Where KT7340_RS485 is looked up at each open; empty (the default): the process environment.
  void SetEnvironment(EnvironmentLookup environment) { environment_ = std::move(environment); }

  void SetCommPort(int16_t port) override;
  void SetSettings(const std::string& settings) override;
  void SetPortOpen(bool open) override;
  bool GetPortOpen() const override { return fd_.valid(); }
  void SetInputLen(int16_t length) override;
  void SetInBufferCount(int16_t count) override;
  int16_t GetInBufferCount() override;
  std::vector<uint8_t> GetInput() override;
  void SetOutput(const std::vector<uint8_t>& bytes) override;

 private:
  void Open();
  void Close();
  // The device of the open port, else of the selected one (empty when it has none).
  std::string CurrentDevice() const;
  // Applies `settings` to the open device; throws SerialError(BadSettings) if it refuses them.
  void ApplySettings(const LineSettings& settings);
  // Bytes waiting in the receive queue (unclamped); throws SerialError(IoError).
  int WaitingBytes();
  // Throws the error of a failed transfer; a device that is gone closes the port first.
  [[noreturn]] void FailTransfer(int errnum, const std::string& what);

  int writeStallTimeoutMs_;
  int16_t port_ = 1;
  LineSettings settings_;
  int16_t inputLen_ = 0;
  UniqueFd fd_;
  std::string device_;  // the device of the open port
  EnvironmentLookup environment_;
};

}  // namespace kt::serial
