// The device server line on Winsock, against servers in this process: bytes both ways, a server
// that closes, one that refuses, one that accepts nothing and one that reads nothing give the
// same kinds and texts as on Linux.
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"
#include "serial/win32/WinsockSocket.h"

using namespace kt::serial;
using Bytes = std::vector<uint8_t>;

namespace {

constexpr int kPeerWaitMs = 5000;

// A listening socket on a free loopback port, and the one connection it accepted.
class LoopbackServer {
 public:
  explicit LoopbackServer(int backlog = 1) : listener_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(::listen(listener_, backlog), 0);
    int size = sizeof a;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &size);
    address_ = a;
  }
  ~LoopbackServer() { Close(); }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  std::string Device() const {
    return "tcp://127.0.0.1:" + std::to_string(ntohs(address_.sin_port));
  }
  const sockaddr_in& Address() const { return address_; }
  void Accept() {
    ASSERT_TRUE(Wait(listener_)) << "no connection came";
    client_ = ::accept(listener_, nullptr, nullptr);
  }
  void Send(const Bytes& bytes) {
    ASSERT_EQ(::send(client_, reinterpret_cast<const char*>(bytes.data()),
                     static_cast<int>(bytes.size()), 0),
              static_cast<int>(bytes.size()));
  }
  Bytes Receive(size_t count) {
    Bytes got;
    while (got.size() < count && Wait(client_)) {
      char buffer[256];
      const int n = ::recv(client_, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      got.insert(got.end(), buffer, buffer + n);
    }
    return got;
  }
  void Close() {
    for (SOCKET* s : {&client_, &listener_}) {
      if (*s != INVALID_SOCKET) ::closesocket(*s);
      *s = INVALID_SOCKET;
    }
  }

 private:
  static bool Wait(SOCKET s) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait{kPeerWaitMs / 1000, 0};
    return ::select(0, &readable, nullptr, nullptr, &wait) == 1;
  }

  win32::WinsockSession session_;  // before the sockets, which need it
  SOCKET listener_;
  SOCKET client_ = INVALID_SOCKET;
  sockaddr_in address_{};
};

// A line whose port 3 is `device`.
void UseDevice(SerialLine& line, const std::string& device) {
  line.SetPortSources(PortSources{[device](const std::string& name) -> std::optional<std::string> {
    if (name == "KT7340_COM3") return device;
    return std::nullopt;
  }});
  line.SetCommPort(3);
}

// Counts until a byte or a refusal comes; bounded against hanging.
int16_t CountUntilSomething(SerialLine& line) {
  for (int i = 0; i < 500; ++i) {
    if (const int16_t n = line.GetInBufferCount(); n > 0) return n;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

// The refusal `act` throws; fails the test without one.
SerialError RefusalOf(const std::function<void()>& act) {
  try {
    act();
  } catch (const SerialError& e) {
    return e;
  }
  ADD_FAILURE() << "nothing refused";
  return SerialError(SerialErrorKind::IoError, "", "");
}

}  // namespace

TEST(TcpLineOnWindows, CarriesBytesBothWaysAndAServerThatClosesIsALoss) {
  LoopbackServer server;
  SerialLine line;
  UseDevice(line, server.Device());
  line.SetPortOpen(true);
  server.Accept();
  line.SetOutput({0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B});
  EXPECT_EQ(server.Receive(8), (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x02, 0xC4, 0x0B}));
  server.Send({0x01, 0x83, 0x02, 0xC0, 0xF1});
  ASSERT_EQ(CountUntilSomething(line), 5);
  line.SetInputLen(2);  // the input length bounds a read, the rest stays
  EXPECT_EQ(line.GetInput(), (Bytes{0x01, 0x83}));
  line.SetInputLen(0);
  EXPECT_EQ(line.GetInput(), (Bytes{0x02, 0xC0, 0xF1}));

  server.Close();
  const SerialError e = RefusalOf([&] { CountUntilSomething(line); });
  EXPECT_EQ(e.kind(), SerialErrorKind::Disconnected);
  EXPECT_EQ(SerialErrorText(e), "串口 " + server.Device() + " 已断开（对方关闭了连接）");
  EXPECT_FALSE(line.GetPortOpen());
}

// Refused at once on loopback here; a system that retries first finds it at the next access:
// the same words either way.
TEST(TcpLineOnWindows, ARefusedConnectionNamesTheAddressAndTheReason) {
  std::string device;
  {
    LoopbackServer gone;
    device = gone.Device();
  }
  SerialLine line;
  UseDevice(line, device);
  const SerialError e = RefusalOf([&] {
    line.SetPortOpen(true);
    CountUntilSomething(line);
  });
  EXPECT_TRUE(e.kind() == SerialErrorKind::OpenFailed || e.kind() == SerialErrorKind::Disconnected);
  EXPECT_EQ(e.systemError(), WSAECONNREFUSED);
  EXPECT_EQ(SerialErrorText(e), "串口 " + device + " 无法连接（对方拒绝连接）");
  EXPECT_FALSE(line.GetPortOpen());
}

// A server whose accept queue is full ignores the connection: the port opens at once and is
// "connecting", counts nothing; the first frame is kept, and once its bound has passed output
// is refused as a stall at once instead of holding up the window.
TEST(TcpLineOnWindows, AServerThatAcceptsNothingLeavesThePortConnecting) {
  LoopbackServer server(0);
  std::vector<SOCKET> fillers;
  for (int i = 0; i < 4; ++i) {
    SOCKET s = ::socket(AF_INET, SOCK_STREAM, 0);
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    (void)::connect(s, reinterpret_cast<const sockaddr*>(&server.Address()), sizeof(sockaddr_in));
    fillers.push_back(s);
  }
  SerialLine line;
  UseDevice(line, server.Device());
  line.SetPortOpen(true);
  EXPECT_TRUE(line.GetPortOpen());
  EXPECT_EQ(line.GetInBufferCount(), 0);
  EXPECT_TRUE(line.GetInput().empty());
  line.SetOutput({0x01, 0x03});  // kept for the connection
  ::Sleep(150);                  // past its write bound
  const SerialError e = RefusalOf([&] { line.SetOutput({0x01, 0x03}); });
  EXPECT_EQ(e.kind(), SerialErrorKind::OutputStalled);
  EXPECT_EQ(SerialErrorText(e), "串口 " + server.Device() + " 输出受阻（连接尚未建立）");
  EXPECT_TRUE(line.GetPortOpen());
  for (const SOCKET s : fillers) ::closesocket(s);
}

// A server that takes the connection and reads nothing: the write gives up at its bound.
TEST(TcpLineOnWindows, AServerThatReadsNothingStallsTheOutputNotTheLine) {
  LoopbackServer server;
  SerialLine line(20);
  UseDevice(line, server.Device());
  line.SetPortOpen(true);
  server.Accept();
  constexpr size_t kMoreThanAnyBuffer = size_t{32} * 1024 * 1024;
  const SerialError e = RefusalOf([&] { line.SetOutput(Bytes(kMoreThanAnyBuffer, 0x55)); });
  EXPECT_EQ(e.kind(), SerialErrorKind::OutputStalled);
  EXPECT_LT(static_cast<size_t>(e.fault().value), kMoreThanAnyBuffer);
  EXPECT_EQ(SerialErrorText(e), "串口 " + server.Device() + " 输出受阻（20 毫秒内只发出 " +
                                    std::to_string(e.fault().value) + " 字节）");
  EXPECT_TRUE(line.GetPortOpen());
}
