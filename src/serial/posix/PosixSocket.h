// The BSD socket under the socket transport on POSIX.
#pragma once

#include "platform/posix/UniqueFd.h"
#include "serial/Socket.h"

namespace kt::serial::posix {

class PosixSocket : public Socket {
 public:
  TransportStatus Connect(const std::string& host, const std::string& port) override;
  void Close() override { fd_.reset(); }
  bool IsOpen() const override { return fd_.valid(); }
  TransportStatus WaitFor(Event event, int waitMs) override;
  TransportStatus ConnectOutcome() override;
  TransportStatus Queued() override;
  TransportStatus Receive(std::span<uint8_t> into, bool peek) override;
  TransportStatus Send(std::span<const uint8_t> bytes) override;
  int TimedOutError() const override;

 private:
  platform::UniqueFd fd_;
};

}  // namespace kt::serial::posix
