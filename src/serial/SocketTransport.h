// The transport on a TCP connection to a serial device server in transparent mode.
#pragma once

#include <chrono>
#include <memory>

#include "serial/Socket.h"
#include "serial/TcpAddress.h"
#include "serial/Transport.h"

namespace kt::serial {

// The same RTU frames as on a serial line, carried unchanged over TCP, on any platform's socket
// (Socket.h). The device server runs the line at its own baud rate and parity, so settings are
// taken and not used. The host must be a numeric address or "localhost": a name lookup could
// keep the window waiting without bound. The connect does not wait: FinishOpening completes
// it, and gives up kConnectTimeoutMs after Open.
class SocketTransport : public Transport {
 public:
  static constexpr int kConnectTimeoutMs = 3000;

  SocketTransport(HostPort address, std::unique_ptr<Socket> socket);
  ~SocketTransport() override = default;
  SocketTransport(const SocketTransport&) = delete;
  SocketTransport& operator=(const SocketTransport&) = delete;

  TransportStatus Open(const LineSettings& settings) override;
  void Close() override;
  bool IsOpen() const override { return socket_->IsOpen(); }
  TransportStatus FinishOpening(int waitMs) override;
  TransportStatus ApplySettings(const LineSettings& settings) override;
  TransportStatus BytesWaiting() override;
  TransportStatus Read(std::span<uint8_t> into) override;
  TransportStatus Discard(size_t limit) override;
  TransportStatus Write(std::span<const uint8_t> bytes, int timeoutMs) override;

 private:
  // Closes the socket and passes `status` on.
  TransportStatus Abandon(TransportStatus status);

  HostPort address_;
  std::unique_ptr<Socket> socket_;
  bool connecting_ = false;
  std::chrono::steady_clock::time_point connectDeadline_{};
};

}  // namespace kt::serial
