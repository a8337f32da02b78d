// One non-blocking TCP socket of the platform (BSD sockets, Winsock), below the one socket
// transport that holds the logic of a device server's line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "serial/Transport.h"

namespace kt::serial {

class Socket {
 public:
  virtual ~Socket() = default;

  // Starts connecting to a numeric `host` and `port` without waiting: Done when connected at
  // once, Pending while on its way, BadAddress when the host is no numeric address, else a
  // failure (the socket is then closed).
  virtual TransportStatus Connect(const std::string& host, const std::string& port) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  enum class Event {
    ConnectEnded,  // a connection on its way was made or failed (ConnectOutcome tells which)
    Readable,      // bytes or the end of the input are there
    Writable,      // there is room to send
  };
  // Waits up to `waitMs` for `event`: Done when it came, Pending when the time passed first; for
  // Writable, DeviceGone when the connection broke instead.
  virtual TransportStatus WaitFor(Event event, int waitMs) = 0;
  // After ConnectEnded: Done when connected (each frame then leaves at once, no Nagle), else
  // the failure (ConnectFailed with the system's reason).
  virtual TransportStatus ConnectOutcome() = 0;
  // Bytes in the receive queue.
  virtual TransportStatus Queued() = 0;
  // One receive without waiting: Done with the bytes (at least one), Pending when none is
  // there, EndOfInput when the peer closed, else a failure. `peek` leaves them queued.
  virtual TransportStatus Receive(std::span<uint8_t> into, bool peek) = 0;
  // One send without waiting: Done with the bytes taken, Pending when there is no room.
  virtual TransportStatus Send(std::span<const uint8_t> bytes) = 0;
  // The system's error number for a connection that took too long.
  virtual int TimedOutError() const = 0;
};

// The platform's socket: posix/PosixSocket.cpp, win32/WinsockSocket.cpp.
std::unique_ptr<Socket> MakePlatformSocket();

}  // namespace kt::serial
