// The transport on a POSIX terminal device (termios), raw 8-bit and non-blocking.
#pragma once

#include <string>

#include "platform/posix/UniqueFd.h"
#include "serial/Transport.h"

namespace kt::serial::posix {

// Opens read-write, non-blocking and without making the device the controlling terminal, and
// claims it exclusively: an advisory flock (as other serial tools take it) plus TIOCEXCL. Root
// bypasses TIOCEXCL, so the lock is what refuses a second opener there. With `rs485` the
// kernel's RS-485 mode is turned on too (Rs485Mode.h).
class TermiosTransport : public Transport {
 public:
  TermiosTransport(std::string path, bool rs485);
  ~TermiosTransport() override;
  TermiosTransport(const TermiosTransport&) = delete;
  TermiosTransport& operator=(const TermiosTransport&) = delete;

  TransportStatus Open(const LineSettings& settings) override;
  void Close() override;
  bool IsOpen() const override { return fd_.valid(); }
  TransportStatus FinishOpening(int waitMs) override;
  TransportStatus ApplySettings(const LineSettings& settings) override;
  TransportStatus BytesWaiting() override;
  TransportStatus Read(std::span<uint8_t> into) override;
  TransportStatus Discard(size_t limit) override;
  TransportStatus Write(std::span<const uint8_t> bytes, int timeoutMs) override;

 private:
  // Lets the device go: the exclusive claim, the lock, the descriptor.
  void Release();

  std::string path_;
  bool rs485_;
  platform::UniqueFd fd_;
};

}  // namespace kt::serial::posix
