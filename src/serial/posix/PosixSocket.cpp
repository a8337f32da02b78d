// Non-blocking BSD sockets: connect, poll, recv and send without waiting, errno as results.
#include "serial/posix/PosixSocket.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

#include "serial/posix/FdTransfer.h"

namespace kt::serial::posix {

TransportStatus PosixSocket::Connect(const std::string& host, const std::string& port) {
  Close();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;  // never a lookup that could wait
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
    return Failure(TransportResult::BadAddress, 0);
  }
  const addrinfo& a = *found;
  platform::UniqueFd fd(
      ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol));
  int e = fd ? 0 : errno;
  if (fd && ::connect(fd.get(), a.ai_addr, a.ai_addrlen) != 0) e = errno;
  ::freeaddrinfo(found);
  if (!fd) return Failure(TransportResult::Failed, e);
  if (e != 0 && e != EINPROGRESS) return Failure(OpenResultOf(e), e);
  fd_ = std::move(fd);
  return Failure(e == 0 ? TransportResult::Done : TransportResult::Pending, 0);
}

TransportStatus PosixSocket::WaitFor(Event event, int waitMs) {
  const short wanted = event == Event::Readable ? static_cast<short>(POLLIN | POLLRDHUP)
                                                : static_cast<short>(POLLOUT);
  pollfd p{fd_.get(), wanted, 0};
  const int ready = ::poll(&p, 1, waitMs);
  if (ready <= 0 || p.revents == 0) return Failure(TransportResult::Pending, 0);
  // A broken connection wakes the wait without room to send.
  if (event == Event::Writable && (p.revents & POLLOUT) == 0) {
    return Failure(TransportResult::DeviceGone, EIO);
  }
  return {};
}

TransportStatus PosixSocket::ConnectOutcome() {
  int error = 0;
  socklen_t size = sizeof error;
  if (::getsockopt(fd_.get(), SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
  if (error != 0) return Failure(OpenResultOf(error), error);
  const int on = 1;
  ::setsockopt(fd_.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return {};
}

TransportStatus PosixSocket::Queued() {
  return QueuedBytes(fd_.get());
}

TransportStatus PosixSocket::Receive(std::span<uint8_t> into, bool peek) {
  for (;;) {
    const ssize_t r =
        ::recv(fd_.get(), into.data(), into.size(), MSG_DONTWAIT | (peek ? MSG_PEEK : 0));
    if (r > 0) return TransportStatus{TransportResult::Done, 0, static_cast<size_t>(r)};
    if (r == 0) return Failure(TransportResult::EndOfInput, 0);
    const int e = errno;
    if (e == EINTR) continue;
    return Failure(TransferResultOf(e), e);
  }
}

TransportStatus PosixSocket::Send(std::span<const uint8_t> bytes) {
  for (;;) {
    const ssize_t r = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (r > 0) return TransportStatus{TransportResult::Done, 0, static_cast<size_t>(r)};
    const int e = r < 0 ? errno : EAGAIN;
    if (e == EINTR) continue;
    return Failure(TransferResultOf(e), e);
  }
}

int PosixSocket::TimedOutError() const {
  return ETIMEDOUT;
}

}  // namespace kt::serial::posix

namespace kt::serial {

std::unique_ptr<Socket> MakePlatformSocket() {
  return std::make_unique<posix::PosixSocket>();
}

}  // namespace kt::serial
