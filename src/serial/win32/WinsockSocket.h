// The Winsock socket under the socket transport on Windows.
#pragma once

#include <winsock2.h>

#include "serial/Socket.h"

namespace kt::serial::win32 {

// Winsock in use for as long as this lives: WSAStartup once at its start, WSACleanup at its
// end (Winsock counts its users itself).
class WinsockSession {
 public:
  WinsockSession();
  ~WinsockSession();
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  // 0, or the error WSAStartup gave.
  int StartupError() const { return startupError_; }

 private:
  int startupError_;
};

class WinsockSocket : public Socket {
 public:
  WinsockSocket() = default;
  ~WinsockSocket() override;
  WinsockSocket(const WinsockSocket&) = delete;
  WinsockSocket& operator=(const WinsockSocket&) = delete;

  TransportStatus Connect(const std::string& host, const std::string& port) override;
  void Close() override;
  bool IsOpen() const override { return socket_ != INVALID_SOCKET; }
  TransportStatus WaitFor(Event event, int waitMs) override;
  TransportStatus ConnectOutcome() override;
  TransportStatus Queued() override;
  TransportStatus Receive(std::span<uint8_t> into, bool peek) override;
  TransportStatus Send(std::span<const uint8_t> bytes) override;
  int TimedOutError() const override;

 private:
  // Lets the socket go.
  void Release();

  WinsockSession session_;
  SOCKET socket_ = INVALID_SOCKET;
};

// What a Winsock error means when connecting, and when receiving or sending.
TransportResult ConnectResultOf(int error);
TransportResult SocketTransferResultOf(int error);

}  // namespace kt::serial::win32
