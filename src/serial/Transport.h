// One way of carrying the line's bytes (a terminal device, a TCP connection), below the one
// serial line that implements the nine accesses on top of any of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "serial/LineSettings.h"

namespace kt::serial {

// What became of a transport call, in terms every platform can give.
enum class TransportResult {
  Done,             // the call did what it was asked (see bytes)
  Pending,          // nothing possible now (no byte, no room, still connecting)
  TimedOut,         // the deadline passed without the device taking everything
  EndOfInput,       // the far end closed the connection
  DeviceGone,       // the device or the connection went away
  NoDevice,         // there is no such device
  AccessDenied,     // the user may not open it
  InUse,            // another program holds it
  NotATerminal,     // it is no serial device
  SettingsRefused,  // the device refused the line settings
  Rs485Refused,     // the driver refused RS-485 mode
  Rs485ByDriver,    // the system leaves RS-485 to the adapter's driver: it cannot be asked for
  ConnectFailed,    // a device server refused or did not answer the connection
  BadAddress,       // an address this program does not connect to
  Failed,           // anything else
};

struct TransportStatus {
  TransportResult result = TransportResult::Done;
  int systemError = 0;  // the platform's error number behind the result, 0 when none
  size_t bytes = 0;     // bytes waiting, read, written or dropped
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Opens with `settings` without waiting for a far end: a connection may still be on its way
  // (FinishOpening). Anything but Done leaves the transport closed.
  virtual TransportStatus Open(const LineSettings& settings) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Done once the transport carries bytes; Pending while a connection is on its way, after
  // waiting up to `waitMs` for it; a failure otherwise (the transport is then closed).
  virtual TransportStatus FinishOpening(int waitMs) = 0;
  virtual TransportStatus ApplySettings(const LineSettings& settings) = 0;
  // Bytes received and not yet read; EndOfInput or DeviceGone when none will come any more.
  virtual TransportStatus BytesWaiting() = 0;
  // Takes up to `into.size()` received bytes without waiting.
  virtual TransportStatus Read(std::span<uint8_t> into) = 0;
  // Drops at most `limit` received bytes without waiting; the rest stays.
  virtual TransportStatus Discard(size_t limit) = 0;
  // Sends all of `bytes`, waiting for room at most `timeoutMs` in all: TimedOut with the bytes
  // sent so far when the device did not take the rest in time.
  virtual TransportStatus Write(std::span<const uint8_t> bytes, int timeoutMs) = 0;
};

}  // namespace kt::serial
