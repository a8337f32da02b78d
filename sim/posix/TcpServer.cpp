// The simulator's TCP loop: one client at a time, replies timed as on the meter's own line.
#include "sim/posix/TcpServer.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "serial/TcpAddress.h"

namespace kt::sim {
namespace {

constexpr size_t kPendingLimit = 65536;  // a client that does not read loses older reply bytes

std::string Errno(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

std::string AddressText(const sockaddr_storage& address) {
  char host[NI_MAXHOST];
  char port[NI_MAXSERV];
  if (getnameinfo(reinterpret_cast<const sockaddr*>(&address), sizeof address, host, sizeof host,
                  port, sizeof port, NI_NUMERICHOST | NI_NUMERICSERV) != 0) {
    return "?";
  }
  return kt::serial::HostPort{host, port}.Text();
}

}  // namespace

TcpServer::TcpServer(const SimOptions& options)
    : options_(options),
      port_(MetersOf(options), options.mismatchGarbage, options.meter.seed),
      startNs_(static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch() /
                                     std::chrono::nanoseconds(1))) {
  port_.SetLogging(!options.quiet);
  // A device server paces the bytes on its serial side; the replies reach the client as a
  // meter behind it would send them.
  port_.SetWireTiming(options.wireTiming);
  port_.SetEcho(options.echo);
  port_.SetMetersAttached(!options.noMeter);
}

TcpServer::~TcpServer() {
  if (clientFd_ >= 0) close(clientFd_);
  if (listenFd_ >= 0) close(listenFd_);
}

uint64_t TcpServer::NowUs() const {
  const auto ns = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch() /
                                        std::chrono::nanoseconds(1));
  return (ns - startNs_) / 1000;
}

std::optional<std::string> TcpServer::Open() {
  const auto where = kt::serial::SplitHostPort(options_.tcp);
  if (!where) return "--tcp wants HOST:PORT, not \"" + options_.tcp + "\"";
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  if (const int rc = getaddrinfo(where->host.c_str(), where->port.c_str(), &hints, &found)) {
    return "cannot resolve " + options_.tcp + ": " + gai_strerror(rc);
  }
  std::string failure = "no address for " + options_.tcp;
  for (const addrinfo* a = found; a != nullptr && listenFd_ < 0; a = a->ai_next) {
    const int fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      failure = Errno("socket");
      continue;
    }
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (bind(fd, a->ai_addr, a->ai_addrlen) != 0 || listen(fd, 4) != 0) {
      failure = Errno("listen on " + options_.tcp);
      close(fd);
      continue;
    }
    listenFd_ = fd;
  }
  freeaddrinfo(found);
  if (listenFd_ < 0) return failure;
  sockaddr_storage bound{};
  socklen_t size = sizeof bound;
  if (getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &size) != 0) {
    return Errno("getsockname");
  }
  address_ = AddressText(bound);
  return std::nullopt;
}

void TcpServer::Accept(std::FILE* log) {
  sockaddr_storage peer{};
  socklen_t size = sizeof peer;
  const int fd =
      accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
  if (fd < 0) return;  // the client gave up before we took it
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  clientFd_ = fd;
  // Replies still scheduled for an earlier client are not this one's.
  port_.TakeSent(UINT64_MAX);
  pending_.clear();
  if (!options_.quiet) std::fprintf(log, "client %s connected\n", AddressText(peer).c_str());
}

void TcpServer::DropClient(std::FILE* log, const std::string& why) {
  close(clientFd_);
  clientFd_ = -1;
  pending_.clear();
  if (!options_.quiet) std::fprintf(log, "client gone (%s)\n", why.c_str());
}

void TcpServer::WritePending(std::FILE* log) {
  while (clientFd_ >= 0 && !pending_.empty()) {
    const ssize_t n = send(clientFd_, pending_.data(), pending_.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      DropClient(log, std::strerror(errno));
      return;
    }
    if (n <= 0) break;  // the socket's buffer is full; poll tells us when to go on
    pending_.erase(pending_.begin(), pending_.begin() + n);
  }
  if (pending_.size() > kPendingLimit) {
    pending_.erase(pending_.begin(), pending_.end() - static_cast<long>(kPendingLimit));
  }
}

void TcpServer::ReadRequests(std::FILE* log) {
  uint8_t buf[512];
  for (;;) {
    const ssize_t n = recv(clientFd_, buf, sizeof buf, MSG_DONTWAIT);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
    if (n <= 0) {
      DropClient(log, n == 0 ? "closed" : std::strerror(errno));
      return;
    }
    const uint64_t now = NowUs();
    // The device server speaks to the meter at the meter's own settings.
    const LineSettings sender = port_.meter().line();
    for (ssize_t i = 0; i < n; ++i) port_.Receive(buf[i], now, sender);
  }
}

int TcpServer::Serve(int signalFd, std::FILE* log) {
  for (;;) {
    const uint64_t now = NowUs();
    port_.AdvanceTo(now);
    for (const TimedByte& b : port_.TakeSent(now)) {
      if (clientFd_ >= 0) pending_.push_back(b.byte);
    }
    WritePending(log);
    for (const std::string& line : port_.TakeLog()) std::fprintf(log, "%s\n", line.c_str());
    std::fflush(log);

    int timeoutMs = -1;
    if (const auto next = port_.NextEventUs()) {
      timeoutMs = *next <= now
                      ? 0
                      : static_cast<int>(std::min<uint64_t>((*next - now + 999) / 1000, 60000));
    }
    // Without a client the listening socket is watched; with one, only the client.
    const bool serving = clientFd_ >= 0;
    const short events = serving ? static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT))
                                 : static_cast<short>(POLLIN);
    pollfd fds[2] = {{signalFd, POLLIN, 0}, {serving ? clientFd_ : listenFd_, events, 0}};
    if (poll(fds, 2, timeoutMs) < 0 && errno != EINTR) {
      std::fprintf(stderr, "%s\n", Errno("poll").c_str());
      return 1;
    }
    if (fds[0].revents & POLLIN) return 0;
    if (!serving) {
      if (fds[1].revents & POLLIN) Accept(log);
    } else if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
      ReadRequests(log);
    }
  }
}

}  // namespace kt::sim
