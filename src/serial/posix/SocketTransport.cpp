// RTU over TCP: a non-blocking socket whose connection completes while the window goes on.
#include "serial/posix/SocketTransport.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <utility>

#include "serial/posix/FdTransfer.h"

namespace kt::serial::posix {
namespace {

// The one name taken without a lookup.
constexpr const char* kLocalHostName = "localhost";
constexpr const char* kLocalHostAddress = "127.0.0.1";

}  // namespace

SocketTransport::SocketTransport(HostPort address) : address_(std::move(address)) {}

TransportStatus SocketTransport::Open(const LineSettings& /*settings*/) {
  const std::string host = address_.host == kLocalHostName ? kLocalHostAddress : address_.host;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;  // never a lookup that could wait
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), address_.port.c_str(), &hints, &found) != 0 || found == nullptr) {
    return Failure(TransportResult::BadAddress, 0);
  }
  const addrinfo& a = *found;
  UniqueFd fd(::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol));
  int e = fd ? 0 : errno;
  if (fd && ::connect(fd.get(), a.ai_addr, a.ai_addrlen) != 0) e = errno;
  ::freeaddrinfo(found);
  if (!fd) return Failure(TransportResult::Failed, e);
  if (e != 0 && e != EINPROGRESS) return Failure(OpenResultOf(e), e);
  fd_ = std::move(fd);
  connecting_ = true;
  connectDeadline_ =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
  return {};
}

void SocketTransport::Close() {
  fd_.reset();
  connecting_ = false;
}

TransportStatus SocketTransport::Abandon(TransportStatus status) {
  Close();
  return status;
}

TransportStatus SocketTransport::FinishOpening(int waitMs) {
  if (!connecting_) return {};
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      connectDeadline_ - std::chrono::steady_clock::now());
  pollfd p{fd_.get(), POLLOUT, 0};
  const int wait = static_cast<int>(std::clamp<int64_t>(left.count(), 0, waitMs));
  const int ready = ::poll(&p, 1, wait);
  if (ready == 0 && left.count() <= waitMs) {
    return Abandon(Failure(TransportResult::ConnectFailed, ETIMEDOUT));
  }
  if (ready <= 0) return Failure(TransportResult::Pending, 0);
  int error = 0;
  socklen_t size = sizeof error;
  if (::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
  if (error != 0) return Abandon(Failure(OpenResultOf(error), error));
  connecting_ = false;
  // Each request must leave at once: the poll cycle expects the reply within its period.
  const int on = 1;
  ::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return {};
}

TransportStatus SocketTransport::ApplySettings(const LineSettings& /*settings*/) {
  return {};
}

TransportStatus SocketTransport::BytesWaiting() {
  const TransportStatus queued = QueuedBytes(fd_.get());
  if (queued.result != TransportResult::Done || queued.bytes > 0) return queued;
  // Nothing waiting: a socket that is nevertheless readable has reached its end.
  pollfd p{fd_.get(), POLLIN | POLLRDHUP, 0};
  if (::poll(&p, 1, 0) <= 0 || p.revents == 0) return queued;
  uint8_t peek = 0;
  const ssize_t r = ::recv(fd_.get(), &peek, 1, MSG_PEEK | MSG_DONTWAIT);
  if (r == 0) return Failure(TransportResult::EndOfInput, 0);
  if (r < 0) {
    const int e = errno;
    const TransportResult result = TransferResultOf(e);
    return result == TransportResult::Pending ? queued : Failure(result, e);
  }
  return QueuedBytes(fd_.get());
}

TransportStatus SocketTransport::Read(std::span<uint8_t> into) {
  return ReadSome(fd_.get(), into, true);
}

TransportStatus SocketTransport::Discard(size_t limit) {
  std::array<uint8_t, 4096> scratch{};
  size_t dropped = 0;
  while (dropped < limit) {
    const size_t chunk = std::min(scratch.size(), limit - dropped);
    const TransportStatus got = ReadSome(fd_.get(), std::span(scratch.data(), chunk), true);
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
  return WriteAll(fd_.get(), bytes, timeoutMs, true);
}

}  // namespace kt::serial::posix
