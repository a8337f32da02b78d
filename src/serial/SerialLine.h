// The serial control the monitor uses: the nine accesses over a transport (a terminal device,
// a TCP connection to a device server), chosen by the device the port number stands for.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "serial/LineSettings.h"
#include "serial/PortName.h"
#include "serial/SerialControl.h"
#include "serial/SerialError.h"
#include "serial/Transport.h"

namespace kt::serial {

// Contract beyond SerialControl, the same on every transport:
// - Defaults: port 1, "9600N,8,2". A port number below 1 is refused at once.
// - The port number is resolved (PortName.h) at the first open after SetCommPort; later opens
//   (after a close or a loss) open that same device again, found by its USB identity if its
//   name moved, and never another device that took its number. SetCommPort resolves afresh.
// - A tcp://HOST:PORT device (numeric host or localhost) connects without waiting: a
//   connection still on its way leaves the port open and "connecting", with count 0 and empty
//   input, until an access finds it made. One frame written meanwhile (at most kMaxHeldBytes)
//   is kept and sent by the first access that finds the connection made within the frame's
//   write bound; later it is dropped, and writes while still connecting throw OutputStalled at
//   once (so does a second frame while one is kept). A connection that fails later counts as a
//   loss.
// - SetSettings while open applies at once; while closed it is checked, stored and applied by
//   the next open. A refused text leaves the previous settings in force.
// - SetInputLen below 0 counts as 0 (all waiting bytes). GetInput takes at most the count
//   (kMaxInBufferCount) in one call; the rest stays for the next.
// - SetInBufferCount(0) drops what is waiting, at most kMaxDiscardBytes a call; other values
//   are ignored.
// - Closed: the count is 0, the input empty, output throws SerialError(NotOpen).
// - Output the device does not take within the frame's transmission time plus kWriteMarginMs
//   (at most the stall limit) throws SerialError(OutputStalled); the port stays open.
// - A device that goes away, or a peer that closes the connection, is found by the next count,
//   read, discard or write: the port closes itself and throws SerialError(Disconnected).
// - With KT7340_RS485=1 (SetEnvironment), a terminal device is opened in the kernel's RS-485
//   mode (Rs485Mode.h); a driver that refuses it throws Rs485Unsupported and the port stays
//   closed. On Windows, where the adapter's driver switches the direction, a COM port is
//   refused with Rs485ByDriver without being opened.
class SerialLine : public SerialControl {
 public:
  static constexpr int16_t kMaxInBufferCount = 32767;
  static constexpr size_t kMaxDiscardBytes = 65536;
  // Output that makes no progress for this long is given up.
  static constexpr int kWriteStallTimeoutMs = 1000;
  // How much longer than the frame's own transmission time a write may take.
  static constexpr int kWriteMarginMs = 100;
  // The most a write made while connecting keeps: one RTU frame.
  static constexpr size_t kMaxHeldBytes = 256;

  explicit SerialLine(int writeStallTimeoutMs = kWriteStallTimeoutMs);
  ~SerialLine() override;
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  // Where KT7340_RS485 is looked up at each open; empty (the default): the process environment.
  void SetEnvironment(EnvironmentLookup environment) { environment_ = std::move(environment); }
  // Where port numbers are resolved (the default: the process environment, /sys and /dev).
  void SetPortSources(PortSources sources) { sources_ = std::move(sources); }

  void SetCommPort(int16_t port) override;
  void SetSettings(const std::string& settings) override;
  void SetPortOpen(bool open) override;
  bool GetPortOpen() const override;
  void SetInputLen(int16_t length) override;
  void SetInBufferCount(int16_t count) override;
  int16_t GetInBufferCount() override;
  std::vector<uint8_t> GetInput() override;
  void SetOutput(const std::vector<uint8_t>& bytes) override;

  // False while a device server's connection is still on its way (never waits); a failed one
  // closes the port and throws Disconnected. True for any other open line, and when closed.
  bool ConnectionMade() { return !GetPortOpen() || Ready(0); }

  // The device the port was resolved to ("/dev/ttyUSB0", "tcp://127.0.0.1:5020"): the open
  // one, else the one the next open asks for; empty before the first open.
  std::string DeviceName() const;

 private:
  // Throws the error of a transport result; a loss closes the port first.
  [[noreturn]] void Fail(SerialOperation operation, const TransportStatus& status,
                         int64_t total = 0);
  // True once a connection on its way is made (waiting up to `waitMs`); a failed one closes
  // the port and throws Disconnected.
  bool Ready(int waitMs);
  // Bytes waiting (unclamped), or 0 while connecting.
  size_t Waiting(SerialOperation operation);
  // True once connected; a frame kept meanwhile then goes out if it is not too late.
  bool Connected();
  // Keeps `bytes` until the connection is made, or throws OutputStalled.
  void Hold(const std::vector<uint8_t>& bytes, int boundMs);
  void DropTransport();

  int writeStallTimeoutMs_;
  int16_t port_ = 1;
  LineSettings settings_;
  int16_t inputLen_ = 0;
  std::optional<PortDevice> resolved_;  // the device of the port number, once opened
  std::string openDevice_;              // the name the open transport was opened by
  std::unique_ptr<Transport> transport_;
  // A frame written while connecting, and until when it may still go out.
  std::vector<uint8_t> held_;
  std::chrono::steady_clock::time_point heldUntil_{};
  bool connectStalled_ = false;  // a kept frame found no connection in time
  EnvironmentLookup environment_;
  PortSources sources_;
};

}  // namespace kt::serial
