// RTU over TCP: a non-blocking socket whose connection completes while the window goes on.
#include "serial/SocketTransport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace kt::serial {
namespace {

// The one name taken without a lookup.
constexpr const char* kLocalHostName = "localhost";
constexpr const char* kLocalHostAddress = "127.0.0.1";

int MillisecondsUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  return static_cast<int>(std::clamp<int64_t>(left.count(), 0, INT32_MAX));
}

}  // namespace

SocketTransport::SocketTransport(HostPort address, std::unique_ptr<Socket> socket)
    : address_(std::move(address)), socket_(std::move(socket)) {}

TransportStatus SocketTransport::Open(const LineSettings& /*settings*/) {
  const std::string host = address_.host == kLocalHostName ? kLocalHostAddress : address_.host;
  const TransportStatus started = socket_->Connect(host, address_.port);
  if (started.result != TransportResult::Done && started.result != TransportResult::Pending) {
    return started;
  }
  connecting_ = true;  // FinishOpening also sets up a connection made at once
  connectDeadline_ =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
  return {};
}

void SocketTransport::Close() {
  socket_->Close();
  connecting_ = false;
}

TransportStatus SocketTransport::Abandon(TransportStatus status) {
  Close();
  return status;
}

TransportStatus SocketTransport::FinishOpening(int waitMs) {
  if (!connecting_) return {};
  const int left = MillisecondsUntil(connectDeadline_);
  const TransportStatus ended =
      socket_->WaitFor(Socket::Event::ConnectEnded, std::min(left, std::max(waitMs, 0)));
  if (ended.result == TransportResult::Pending) {
    if (left <= waitMs) {
      return Abandon(TransportStatus{TransportResult::ConnectFailed, socket_->TimedOutError(), 0});
    }
    return ended;
  }
  if (ended.result != TransportResult::Done) return Abandon(ended);
  const TransportStatus outcome = socket_->ConnectOutcome();
  if (outcome.result != TransportResult::Done) return Abandon(outcome);
  connecting_ = false;
  return {};
}

TransportStatus SocketTransport::ApplySettings(const LineSettings& /*settings*/) {
  return {};
}

TransportStatus SocketTransport::BytesWaiting() {
  const TransportStatus queued = socket_->Queued();
  if (queued.result != TransportResult::Done || queued.bytes > 0) return queued;
  // Nothing waiting: a socket that is nevertheless readable has reached its end.
  if (socket_->WaitFor(Socket::Event::Readable, 0).result != TransportResult::Done) return queued;
  uint8_t peek = 0;
  const TransportStatus peeked = socket_->Receive(std::span(&peek, 1), true);
  if (peeked.result == TransportResult::Pending) return queued;
  if (peeked.result != TransportResult::Done) return peeked;
  return socket_->Queued();
}

TransportStatus SocketTransport::Read(std::span<uint8_t> into) {
  if (into.empty()) return {};
  return socket_->Receive(into, false);
}

TransportStatus SocketTransport::Discard(size_t limit) {
  std::array<uint8_t, 4096> scratch{};
  size_t dropped = 0;
  while (dropped < limit) {
    const size_t chunk = std::min(scratch.size(), limit - dropped);
    const TransportStatus got = socket_->Receive(std::span(scratch.data(), chunk), false);
    if (got.result == TransportResult::Pending) break;
    if (got.result != TransportResult::Done) {
      return TransportStatus{got.result, got.systemError, dropped};
    }
    dropped += got.bytes;
    if (got.bytes < chunk) break;  // the queue is empty now
  }
  return TransportStatus{TransportResult::Done, 0, dropped};
}

TransportStatus SocketTransport::Write(std::span<const uint8_t> bytes, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  size_t sent = 0;
  while (sent < bytes.size()) {
    const TransportStatus r = socket_->Send(bytes.subspan(sent));
    if (r.result == TransportResult::Done) {
      sent += r.bytes;
      continue;
    }
    if (r.result != TransportResult::Pending) return TransportStatus{r.result, r.systemError, sent};
    // No room: wait for some, but never past the deadline.
    const int left = MillisecondsUntil(deadline);
    const TransportStatus room = left > 0 ? socket_->WaitFor(Socket::Event::Writable, left)
                                          : TransportStatus{TransportResult::Pending, 0, 0};
    if (room.result == TransportResult::Pending) {
      return TransportStatus{TransportResult::TimedOut, 0, sent};
    }
    if (room.result != TransportResult::Done) {
      return TransportStatus{room.result, room.systemError, sent};
    }
  }
  return TransportStatus{TransportResult::Done, 0, sent};
}

}  // namespace kt::serial
