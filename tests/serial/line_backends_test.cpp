// The same line on both transports: a stall, a loss and a refused output give the same kind,
// the same text and the same state on a terminal device and on a TCP device server.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PtyPeer.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"
#include "serial/posix/UniqueFd.h"

using namespace kt::serial;
using Bytes = std::vector<uint8_t>;

namespace {

// The far end of a line: the device the monitor opens and what the test does there.
class Peer {
 public:
  virtual ~Peer() = default;
  virtual std::string Device() const = 0;
  // Called once the line is open: a server takes the connection here.
  virtual void Accept() {}
  virtual void Send(const Bytes& bytes) = 0;
  virtual void Close() = 0;
};

class PtyEnd : public Peer {
 public:
  std::string Device() const override { return pty_.Path(); }
  void Send(const Bytes& bytes) override { pty_.Send(bytes); }
  void Close() override { pty_.Close(); }

 private:
  kt::serial::testing::PtyPeer pty_;
};

class TcpEnd : public Peer {
 public:
  TcpEnd() : listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(listener_.get(), reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(::listen(listener_.get(), 1), 0);
    socklen_t size = sizeof a;
    ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&a), &size);
    port_ = ntohs(a.sin_port);
  }
  std::string Device() const override { return "tcp://127.0.0.1:" + std::to_string(port_); }
  void Accept() override {
    pollfd p{listener_.get(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1) << "no connection came";
    client_.reset(::accept(listener_.get(), nullptr, nullptr));
  }
  void Send(const Bytes& bytes) override {
    size_t sent = 0;
    while (sent < bytes.size()) {
      const ssize_t n = ::send(client_.get(), bytes.data() + sent, bytes.size() - sent, 0);
      ASSERT_GT(n, 0);
      sent += static_cast<size_t>(n);
    }
  }
  void Close() override {
    client_.reset();
    listener_.reset();
  }

 private:
  UniqueFd listener_;
  UniqueFd client_;
  uint16_t port_ = 0;
};

struct Backend {
  const char* name;
  std::function<std::unique_ptr<Peer>()> make;
};

class LineOnBothTransports : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    peer = GetParam().make();
    device = peer->Device();
    line.SetPortSources(PortSources{[this](const std::string& name) -> std::optional<std::string> {
      if (name == "KT7340_COM3") return device;
      return std::nullopt;
    }});
    line.SetCommPort(3);
    line.SetPortOpen(true);
    peer->Accept();
  }

  // Counts until a byte or a refusal comes; bounded against hanging.
  int16_t CountUntilSomething() {
    for (int i = 0; i < 500; ++i) {
      if (const int16_t n = line.GetInBufferCount(); n > 0) return n;
      ::usleep(10000);
    }
    return 0;
  }

  std::unique_ptr<Peer> peer;
  std::string device;
  SerialLine line{20};  // a short stall limit keeps the stall case quick
};

TEST_P(LineOnBothTransports, AStallIsOutputStalledAndTheLineStaysOpen) {
  try {
    line.SetOutput(Bytes(32 * 1024 * 1024, 0x55));  // far more than any buffer holds
    ADD_FAILURE() << "all written although nobody reads";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::OutputStalled);
    EXPECT_EQ(SerialErrorText(e), "串口 " + device + " 输出受阻（20 毫秒内只发出 " +
                                      std::to_string(e.fault().value) + " 字节）");
    EXPECT_LT(e.fault().value, 32 * 1024 * 1024);
  }
  EXPECT_TRUE(line.GetPortOpen());
}

TEST_P(LineOnBothTransports, ALossClosesTheLineAndOutputIsThenRefused) {
  peer->Send({0x01, 0x83, 0x02});
  ASSERT_EQ(CountUntilSomething(), 3);
  EXPECT_EQ(line.GetInput(), (Bytes{0x01, 0x83, 0x02}));
  peer->Close();
  try {
    CountUntilSomething();
    ADD_FAILURE() << "the loss was not found";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::Disconnected);
    EXPECT_EQ(e.device(), device);
    const std::string text = SerialErrorText(e);
    EXPECT_EQ(text.rfind("串口 " + device + " 已断开（", 0), 0u) << text;
  }
  EXPECT_FALSE(line.GetPortOpen());
  EXPECT_EQ(line.GetInBufferCount(), 0);
  EXPECT_TRUE(line.GetInput().empty());
  try {
    line.SetOutput({0x01});
    ADD_FAILURE() << "output on a lost line";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::NotOpen);
    EXPECT_EQ(SerialErrorText(e), "串口 " + device + " 未打开");
  }
}

TEST_P(LineOnBothTransports, InputLengthAndTheCountBoundEachRead) {
  peer->Send(Bytes(10, 0xAA));
  while (CountUntilSomething() < 10) {
  }
  line.SetInputLen(4);  // just inside and just outside what is waiting
  EXPECT_EQ(line.GetInput().size(), 4u);
  line.SetInputLen(7);
  EXPECT_EQ(line.GetInput().size(), 6u);
  EXPECT_EQ(line.GetInBufferCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Transports, LineOnBothTransports,
    ::testing::Values(Backend{"Terminal", [] { return std::make_unique<PtyEnd>(); }},
                      Backend{"Tcp", [] { return std::make_unique<TcpEnd>(); }}),
    [](const auto& backend) { return std::string(backend.param.name); });

// A flooding device server: each read takes at most the 32,767 the count can say, each
// discard a bounded share, and a server that closes during the discards is a loss.
TEST(LineOnTcp, AFloodIsTakenInBoundedPiecesAndACloseDuringADiscardIsALoss) {
  TcpEnd server;
  const std::string device = server.Device();
  SerialLine line;
  line.SetPortSources(
      PortSources{[&device](const std::string&) -> std::optional<std::string> { return device; }});
  line.SetPortOpen(true);
  server.Accept();
  constexpr size_t kFlood = 1024 * 1024;
  server.Send(Bytes(kFlood, 0x11));
  size_t taken = 0;
  for (int i = 0; i < 100000 && taken < 40000; ++i) {
    const int16_t count = line.GetInBufferCount();
    const Bytes piece = line.GetInput();
    ASSERT_LE(piece.size(), static_cast<size_t>(SerialLine::kMaxInBufferCount));
    ASSERT_GE(count, 0);
    taken += piece.size();
  }
  server.Close();
  int discards = 0;
  try {
    for (; discards < 1000; ++discards) {
      line.SetInBufferCount(0);
      ::usleep(1000);
    }
    ADD_FAILURE() << "the closed connection was not found";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::Disconnected);
    EXPECT_EQ(SerialErrorText(e), "串口 " + device + " 已断开（对方关闭了连接）");
  }
  // What was left took several discards: none took it all at once.
  EXPECT_GE(discards, static_cast<int>((kFlood - taken) / SerialLine::kMaxDiscardBytes));
  EXPECT_FALSE(line.GetPortOpen());
}

}  // namespace

namespace {

// A server whose accept queue is full: the kernel ignores further connection requests, as a
// device server that does not answer would.
class SilentServer {
 public:
  SilentServer() : listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(listener_.get(), reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(::listen(listener_.get(), 0), 0);
    socklen_t size = sizeof a;
    ::getsockname(listener_.get(), reinterpret_cast<sockaddr*>(&a), &size);
    device_ = "tcp://127.0.0.1:" + std::to_string(ntohs(a.sin_port));
    // Fill the queue with connections nobody accepts.
    for (int i = 0; i < 4; ++i) {
      UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      ::connect(fd.get(), reinterpret_cast<sockaddr*>(&a), sizeof a);
      fillers_.push_back(std::move(fd));
    }
  }
  const std::string& Device() const { return device_; }

 private:
  UniqueFd listener_;
  std::vector<UniqueFd> fillers_;
  std::string device_;
};

}  // namespace

// Opening does not wait for a server that does not answer: the port is open and "connecting",
// counts nothing, and output is held up (the link status shows a stall) instead of the window.
TEST(LineOnTcp, AServerThatDoesNotAnswerLeavesThePortConnectingNotTheWindowWaiting) {
  SilentServer server;
  const std::string device = server.Device();
  SerialLine line;
  line.SetPortSources(
      PortSources{[&device](const std::string&) -> std::optional<std::string> { return device; }});
  line.SetPortOpen(true);
  EXPECT_TRUE(line.GetPortOpen());
  EXPECT_EQ(line.GetInBufferCount(), 0);
  EXPECT_TRUE(line.GetInput().empty());
  line.SetInBufferCount(0);
  try {
    line.SetOutput({0x01, 0x03});
    ADD_FAILURE() << "output went to a server that never answered";
  } catch (const SerialError& e) {
    EXPECT_EQ(e.kind(), SerialErrorKind::OutputStalled);
    EXPECT_EQ(SerialErrorText(e), "串口 " + device + " 输出受阻（连接尚未建立）");
  }
  EXPECT_TRUE(line.GetPortOpen());
}
