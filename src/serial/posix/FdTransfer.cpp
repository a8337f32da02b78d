// Reading, writing and error numbers on POSIX descriptors.
#include "serial/posix/FdTransfer.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace kt::serial::posix {

TransportResult OpenResultOf(int errnum) {
  switch (errnum) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return TransportResult::NoDevice;
    case EACCES:
    case EPERM:
      return TransportResult::AccessDenied;
    case EBUSY:
      return TransportResult::InUse;
    case ENOTTY:
      return TransportResult::NotATerminal;
    case ECONNREFUSED:
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ECONNRESET:
      return TransportResult::ConnectFailed;
    default:
      return TransportResult::Failed;
  }
}

TransportResult TransferResultOf(int errnum) {
  switch (errnum) {
    case EAGAIN:
    case EINTR:
      return TransportResult::Pending;
    case EIO:
    case ENXIO:
    case ENODEV:
    case EPIPE:
    case ECONNRESET:
    case ENOTCONN:
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
      return TransportResult::DeviceGone;
    default:
      return TransportResult::Failed;
  }
}

TransportStatus Failure(TransportResult result, int errnum, size_t bytes) {
  return TransportStatus{result, errnum, bytes};
}

TransportStatus QueuedBytes(int fd) {
  int waiting = 0;
  if (::ioctl(fd, FIONREAD, &waiting) != 0) {
    const int e = errno;
    return Failure(TransferResultOf(e), e);
  }
  return TransportStatus{TransportResult::Done, 0, static_cast<size_t>(waiting > 0 ? waiting : 0)};
}

TransportStatus ReadSome(int fd, std::span<uint8_t> into) {
  if (into.empty()) return {};
  for (;;) {
    const ssize_t r = ::read(fd, into.data(), into.size());
    if (r > 0) return TransportStatus{TransportResult::Done, 0, static_cast<size_t>(r)};
    if (r == 0) return {};  // a terminal with nothing to read
    const int e = errno;
    if (e == EINTR) continue;
    return Failure(TransferResultOf(e), e);
  }
}

TransportStatus WriteAll(int fd, std::span<const uint8_t> bytes, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t r = ::write(fd, bytes.data() + sent, bytes.size() - sent);
    if (r > 0) {
      sent += static_cast<size_t>(r);
      continue;
    }
    const int e = r < 0 ? errno : EAGAIN;
    if (e == EINTR) continue;
    if (e != EAGAIN) return Failure(TransferResultOf(e), e, sent);
    // No room: wait for some, but never past the deadline.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd p{fd, POLLOUT, 0};
    const int ready = left.count() > 0 ? ::poll(&p, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) {
      const int pe = errno;
      return Failure(TransportResult::Failed, pe, sent);
    }
    if (ready == 0) return Failure(TransportResult::TimedOut, 0, sent);
    if ((p.revents & POLLOUT) == 0) return Failure(TransportResult::DeviceGone, EIO, sent);
  }
  return TransportStatus{TransportResult::Done, 0, sent};
}

}  // namespace kt::serial::posix
