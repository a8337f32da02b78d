// The transport on a Windows COM port, raw 8-bit, reads without waiting, writes bounded.
#pragma once

#include <windows.h>

#include <string>

#include "serial/Transport.h"

namespace kt::serial::win32 {

// Opens "COM<N>" (or a name in the \\.\ namespace) exclusively, as Windows opens every COM
// port. Writes wait for the device at most their deadline through the write timeout.
class ComTransport : public Transport {
 public:
  ComTransport(std::string device, bool rs485);
  ~ComTransport() override;
  ComTransport(const ComTransport&) = delete;
  ComTransport& operator=(const ComTransport&) = delete;

  TransportStatus Open(const LineSettings& settings) override;
  void Close() override;
  bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
  TransportStatus FinishOpening(int waitMs) override;
  TransportStatus ApplySettings(const LineSettings& settings) override;
  TransportStatus BytesWaiting() override;
  TransportStatus Read(std::span<uint8_t> into) override;
  TransportStatus Discard(size_t limit) override;
  TransportStatus Write(std::span<const uint8_t> bytes, int timeoutMs) override;

 private:
  // Lets the port go.
  void Release();
  // Sets the timeouts unless they are in force already.
  bool UseWriteTimeout(int timeoutMs);

  std::string device_;
  bool rs485_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  int writeTimeoutMs_ = -1;  // the write timeout in force; -1: none set yet
};

}  // namespace kt::serial::win32
