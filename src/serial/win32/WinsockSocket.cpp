// Non-blocking Winsock sockets: connect, select, recv and send without waiting.
#include "serial/win32/WinsockSocket.h"

#include <ws2tcpip.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace kt::serial::win32 {
namespace {

constexpr WORD kWinsockVersion = MAKEWORD(2, 2);

TransportStatus Failure(TransportResult result, int error, size_t bytes = 0) {
  return TransportStatus{result, error, bytes};
}

// One call moves at most this much, as Winsock counts in int.
int ChunkOf(size_t size) {
  return static_cast<int>(std::min<size_t>(size, INT_MAX));
}

}  // namespace

WinsockSession::WinsockSession() {
  WSADATA data{};
  startupError_ = WSAStartup(kWinsockVersion, &data);
}

WinsockSession::~WinsockSession() {
  if (startupError_ == 0) WSACleanup();
}

TransportResult ConnectResultOf(int error) {
  switch (error) {
    case WSAECONNREFUSED:
    case WSAETIMEDOUT:
    case WSAEHOSTUNREACH:
    case WSAENETUNREACH:
    case WSAECONNRESET:
      return TransportResult::ConnectFailed;
    case WSAEADDRNOTAVAIL:
    case WSAEAFNOSUPPORT:
      return TransportResult::BadAddress;
    default:
      return TransportResult::Failed;
  }
}

TransportResult SocketTransferResultOf(int error) {
  switch (error) {
    case WSAEWOULDBLOCK:
    case WSAEINTR:
      return TransportResult::Pending;
    case WSAECONNRESET:
    case WSAECONNABORTED:
    case WSAENETRESET:
    case WSAENOTCONN:
    case WSAESHUTDOWN:
    case WSAETIMEDOUT:
    case WSAEHOSTUNREACH:
    case WSAENETUNREACH:
      return TransportResult::DeviceGone;
    default:
      return TransportResult::Failed;
  }
}

WinsockSocket::~WinsockSocket() {
  Release();
}

void WinsockSocket::Close() {
  Release();
}

void WinsockSocket::Release() {
  if (socket_ != INVALID_SOCKET) closesocket(std::exchange(socket_, INVALID_SOCKET));
}

TransportStatus WinsockSocket::Connect(const std::string& host, const std::string& port) {
  Close();
  if (session_.StartupError() != 0) {
    return Failure(TransportResult::Failed, session_.StartupError());
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;  // never a lookup that could wait
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || found == nullptr) {
    return Failure(TransportResult::BadAddress, 0);
  }
  const addrinfo& a = *found;
  SOCKET s = ::socket(a.ai_family, a.ai_socktype, a.ai_protocol);
  int error = s == INVALID_SOCKET ? WSAGetLastError() : 0;
  u_long nonBlocking = 1;
  if (error == 0 && ioctlsocket(s, FIONBIO, &nonBlocking) != 0) error = WSAGetLastError();
  if (error == 0 && ::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) != 0) {
    error = WSAGetLastError();
  }
  freeaddrinfo(found);
  if (error != 0 && error != WSAEWOULDBLOCK) {
    if (s != INVALID_SOCKET) closesocket(s);
    return Failure(ConnectResultOf(error), error);
  }
  socket_ = s;
  return Failure(error == 0 ? TransportResult::Done : TransportResult::Pending, 0);
}

TransportStatus WinsockSocket::WaitFor(Event event, int waitMs) {
  fd_set wanted;
  fd_set failed;
  FD_ZERO(&wanted);
  FD_ZERO(&failed);
  FD_SET(socket_, &wanted);
  // A connection attempt that failed is reported among the exceptions, not as writable.
  if (event == Event::ConnectEnded) FD_SET(socket_, &failed);
  timeval wait{};
  wait.tv_sec = std::max(waitMs, 0) / 1000;
  wait.tv_usec = std::max(waitMs, 0) % 1000 * 1000;
  fd_set* readable = event == Event::Readable ? &wanted : nullptr;
  fd_set* writable = event == Event::Readable ? nullptr : &wanted;
  const int ready = select(0, readable, writable, &failed, &wait);
  if (ready == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    return Failure(SocketTransferResultOf(error), error);
  }
  if (ready == 0) return Failure(TransportResult::Pending, 0);
  return {};
}

TransportStatus WinsockSocket::ConnectOutcome() {
  int error = 0;
  int size = sizeof error;
  if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) {
    error = WSAGetLastError();
  }
  if (error != 0) return Failure(ConnectResultOf(error), error);
  const BOOL on = TRUE;
  setsockopt(socket_, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return {};
}

TransportStatus WinsockSocket::Queued() {
  u_long waiting = 0;
  if (ioctlsocket(socket_, FIONREAD, &waiting) != 0) {
    const int error = WSAGetLastError();
    return Failure(SocketTransferResultOf(error), error);
  }
  return TransportStatus{TransportResult::Done, 0, waiting};
}

TransportStatus WinsockSocket::Receive(std::span<uint8_t> into, bool peek) {
  const int r = recv(socket_, reinterpret_cast<char*>(into.data()), ChunkOf(into.size()),
                     peek ? MSG_PEEK : 0);
  if (r > 0) return TransportStatus{TransportResult::Done, 0, static_cast<size_t>(r)};
  if (r == 0) return Failure(TransportResult::EndOfInput, 0);
  const int error = WSAGetLastError();
  return Failure(SocketTransferResultOf(error), error);
}

TransportStatus WinsockSocket::Send(std::span<const uint8_t> bytes) {
  const int r =
      send(socket_, reinterpret_cast<const char*>(bytes.data()), ChunkOf(bytes.size()), 0);
  if (r > 0) return TransportStatus{TransportResult::Done, 0, static_cast<size_t>(r)};
  const int error = r == 0 ? WSAEWOULDBLOCK : WSAGetLastError();
  return Failure(SocketTransferResultOf(error), error);
}

int WinsockSocket::TimedOutError() const {
  return WSAETIMEDOUT;
}

}  // namespace kt::serial::win32

namespace kt::serial {

std::unique_ptr<Socket> MakePlatformSocket() {
  return std::make_unique<win32::WinsockSocket>();
}

}  // namespace kt::serial
