// RTU over TCP: a non-blocking socket behind the nine property accesses.
#include "serial/TcpLine.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "serial/SerialError.h"

namespace kt::serial {
namespace {

constexpr int kMaxInBufferCount = 32767;

bool IsPeerGone(int errnum) {
  return errnum == EPIPE || errnum == ECONNRESET || errnum == ENOTCONN || errnum == ETIMEDOUT ||
         errnum == EHOSTUNREACH || errnum == ENETUNREACH;
}

// Connects one resolved address; returns the connected socket, or -1 with errno set.
int ConnectOne(const addrinfo& a, std::chrono::steady_clock::time_point deadline) {
  const int fd = ::socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
  if (fd < 0) return -1;
  if (::connect(fd, a.ai_addr, a.ai_addrlen) == 0) return fd;
  int error = errno;
  while (error == EINPROGRESS || error == EINTR) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      error = ETIMEDOUT;
      break;
    }
    pollfd p{fd, POLLOUT, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0) {
      error = errno;
      continue;
    }
    if (ready == 0) {
      error = ETIMEDOUT;
      break;
    }
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
    if (error == 0) return fd;
  }
  ::close(fd);
  errno = error;
  return -1;
}

}  // namespace

TcpLine::TcpLine(HostPort address) : address_(std::move(address)) {}

TcpLine::~TcpLine() {
  Close();
}

std::string TcpLine::Name() const {
  return std::string(kTcpScheme) + address_.Text();
}

void TcpLine::SetCommPort(int16_t port) {
  if (port < 1) {
    throw SerialError(SerialErrorKind::BadPortNumber, "",
                      "port number " + std::to_string(port) + " is below 1");
  }
}

void TcpLine::SetSettings(const std::string& settings) {
  settings_ = ParseLineSettings(settings, Name());
}

void TcpLine::SetPortOpen(bool open) {
  if (open && !GetPortOpen()) Connect();
  if (!open) Close();
}

void TcpLine::SetInputLen(int16_t length) {
  inputLen_ = std::max<int16_t>(length, 0);
}

void TcpLine::SetInBufferCount(int16_t count) {
  if (count != 0 || !GetPortOpen()) return;
  uint8_t discard[512];
  for (;;) {
    const ssize_t r = ::recv(fd_, discard, sizeof discard, MSG_DONTWAIT);
    if (r > 0) continue;
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) Vanished("对方关闭了连接");
    if (errno == EAGAIN || errno == EWOULDBLOCK) return;
    Vanished(std::strerror(errno));
  }
}

int16_t TcpLine::GetInBufferCount() {
  if (!GetPortOpen()) return 0;
  return static_cast<int16_t>(std::min(WaitingBytes(), kMaxInBufferCount));
}

std::vector<uint8_t> TcpLine::GetInput() {
  if (!GetPortOpen()) return {};
  int wanted = WaitingBytes();
  if (inputLen_ > 0) wanted = std::min<int>(wanted, inputLen_);
  std::vector<uint8_t> input(static_cast<size_t>(wanted));
  size_t got = 0;
  while (got < input.size()) {
    const ssize_t r = ::recv(fd_, input.data() + got, input.size() - got, MSG_DONTWAIT);
    if (r > 0) {
      got += static_cast<size_t>(r);
    } else if (r < 0 && errno == EINTR) {
      continue;
    } else if (r == 0) {
      Vanished("对方关闭了连接");
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      break;
    } else {
      Vanished(std::strerror(errno));
    }
  }
  input.resize(got);
  return input;
}

void TcpLine::SetOutput(const std::vector<uint8_t>& bytes) {
  if (!GetPortOpen()) {
    throw SerialError(SerialErrorKind::IoError, Name(), "the port is not open");
  }
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t r = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (r > 0) {
      sent += static_cast<size_t>(r);
      continue;
    }
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 && IsPeerGone(errno)) Vanished(std::strerror(errno));
    if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      throw SerialError(SerialErrorKind::IoError, Name(),
                        std::string("发送失败：") + std::strerror(errno));
    }
    // The send buffer is full: wait for room, but never longer than the stall limit.
    pollfd p{fd_, POLLOUT, 0};
    const int ready = ::poll(&p, 1, kWriteStallTimeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      throw SerialError(SerialErrorKind::IoError, Name(),
                        "设备服务器 " + std::to_string(kWriteStallTimeoutMs) +
                            " 毫秒内未接收数据（已发送 " + std::to_string(sent) + "/" +
                            std::to_string(bytes.size()) + " 字节）");
    }
  }
}

void TcpLine::Connect() {
  const std::string target = address_.Text();
  const auto refuse = [&](SerialErrorKind kind, const std::string& why) {
    throw SerialError(kind, Name(), "无法连接 " + target + "（" + why + "）");
  };
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (const int rc = ::getaddrinfo(address_.host.c_str(), address_.port.c_str(), &hints, &found);
      rc != 0) {
    refuse(SerialErrorKind::NoSuchPort, ::gai_strerror(rc));
  }
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
  int error = EHOSTUNREACH;
  for (const addrinfo* a = found; a != nullptr && fd_ < 0; a = a->ai_next) {
    fd_ = ConnectOne(*a, deadline);
    if (fd_ < 0) error = errno;
  }
  ::freeaddrinfo(found);
  if (fd_ < 0) refuse(SerialErrorKind::OpenFailed, std::strerror(error));
  // Each request must leave at once: the poll cycle expects the reply within its period.
  const int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

void TcpLine::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

int TcpLine::WaitingBytes() {
  int waiting = 0;
  if (::ioctl(fd_, FIONREAD, &waiting) != 0) Vanished(std::strerror(errno));
  if (waiting > 0) return waiting;
  // Nothing waiting: a socket that is nevertheless readable has reached its end.
  pollfd p{fd_, POLLIN | POLLRDHUP, 0};
  if (::poll(&p, 1, 0) <= 0 || p.revents == 0) return 0;
  uint8_t peek = 0;
  const ssize_t r = ::recv(fd_, &peek, 1, MSG_PEEK | MSG_DONTWAIT);
  if (r == 0) Vanished("对方关闭了连接");
  if (r < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
    Vanished(std::strerror(errno));
  }
  if (r > 0 && ::ioctl(fd_, FIONREAD, &waiting) == 0) return std::max(waiting, 0);
  return 0;
}

void TcpLine::Vanished(const std::string& why) {
  Close();
  throw SerialError(SerialErrorKind::Disconnected, Name(), "连接已断开（" + why + "）");
}

}  // namespace kt::serial
