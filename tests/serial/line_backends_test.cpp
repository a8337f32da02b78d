// The same line on both transports: a stall, a loss and a refused output give the same kind,
// the same text and the same state on a terminal device and on a TCP device server.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PtyPeer.h"
#include "SerialTestHelpers.h"
#include "platform/posix/UniqueFd.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"

using namespace kt::serial;
using kt::serial::testing::Refusal;
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
  // The first `n` bytes from the line (bounded against hanging); nothing may follow them.
  virtual Bytes ReceiveExactly(size_t n) = 0;
  virtual void Close() = 0;
};

class PtyEnd : public Peer {
 public:
  std::string Device() const override { return pty_.Path(); }
  void Send(const Bytes& bytes) override { pty_.Send(bytes); }
  Bytes ReceiveExactly(size_t n) override {
    Bytes got = pty_.ReadUntil(n);
    EXPECT_EQ(pty_.UnreadAtMaster(), 0) << "echoed or added";
    return got;
  }
  void Close() override { pty_.Close(); }

 private:
  kt::serial::testing::PtyPeer pty_;
};

// A device server listening on a free loopback port with an accept queue of `backlog`.
class TcpEnd : public Peer {
 public:
  explicit TcpEnd(int backlog = 1) : listener_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    address_.sin_family = AF_INET;
    address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(listener_.get(), Address(), sizeof address_), 0);
    EXPECT_EQ(::listen(listener_.get(), backlog), 0);
    socklen_t size = sizeof address_;
    ::getsockname(listener_.get(), Address(), &size);
  }
  std::string Device() const override {
    return "tcp://127.0.0.1:" + std::to_string(ntohs(address_.sin_port));
  }
  void Accept() override {
    pollfd p{listener_.get(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1) << "no connection came";
    client_.reset(::accept(listener_.get(), nullptr, nullptr));
  }
  void Send(const Bytes& bytes) override {
    for (ssize_t n = 0, sent = 0; sent < std::ssize(bytes); sent += n) {
      n = ::send(client_.get(), bytes.data() + sent, bytes.size() - static_cast<size_t>(sent), 0);
      ASSERT_GT(n, 0);
    }
  }
  void Close() override {
    client_.reset();
    listener_.reset();
  }
  Bytes ReceiveExactly(size_t n) override {
    Bytes got;
    for (int i = 0; i < 300 && got.size() < n; ++i) {
      pollfd p{client_.get(), POLLIN, 0};
      if (::poll(&p, 1, 10) <= 0) continue;
      const Bytes piece = Receive();
      got.insert(got.end(), piece.begin(), piece.end());
    }
    return got;
  }
  // What came from the line so far.
  Bytes Receive() {
    Bytes bytes(4096);
    const ssize_t n = ::recv(client_.get(), bytes.data(), bytes.size(), MSG_DONTWAIT);
    bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return bytes;
  }

  // Connections nobody accepts: once they fill the accept queue the kernel ignores further
  // requests, as a device server that does not answer would.
  void Fill(int connections) {
    for (int i = 0; i < connections; ++i) {
      kt::platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      (void)::connect(fd.get(), Address(), sizeof address_);  // completes later, or never
      fillers_.push_back(std::move(fd));
    }
  }

 private:
  sockaddr* Address() { return reinterpret_cast<sockaddr*>(&address_); }

  sockaddr_in address_{};
  kt::platform::UniqueFd listener_;
  kt::platform::UniqueFd client_;
  std::vector<kt::platform::UniqueFd> fillers_;
};

// Opens `line` on `device`, whatever its port number.
void OpenOn(SerialLine& line, const std::string& device) {
  line.SetPortSources(
      PortSources{[device](const std::string&) -> std::optional<std::string> { return device; }});
  line.SetPortOpen(true);
}

struct Backend {
  const char* name;
  std::function<std::unique_ptr<Peer>()> make;
};

class LineOnBothTransports : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    peer = GetParam().make();
    device = peer->Device();
    OpenOn(line, device);
    peer->Accept();
  }

  // Counts until `n` bytes or a refusal come; bounded against hanging.
  int16_t CountUntil(int16_t n) {
    int16_t count = 0;
    for (int i = 0; i < 500 && (count = line.GetInBufferCount()) < n; ++i) ::usleep(10000);
    return count;
  }

  std::unique_ptr<Peer> peer;
  std::string device;
  SerialLine line{20};  // a short stall limit keeps the stall case quick
};

TEST_P(LineOnBothTransports, AStallIsOutputStalledAndTheLineStaysOpen) {
  // Far more than any buffer holds, and nobody reads.
  const auto e = Refusal([&] { line.SetOutput(Bytes(size_t{32} * 1024 * 1024, 0x55)); });
  ASSERT_TRUE(e);
  EXPECT_EQ(e->kind(), SerialErrorKind::OutputStalled);
  EXPECT_EQ(SerialErrorText(*e), "串口 " + device + " 输出受阻（20 毫秒内只发出 " +
                                     std::to_string(e->fault().value) + " 字节）");
  EXPECT_LT(e->fault().value, 32 * 1024 * 1024);
  EXPECT_TRUE(line.GetPortOpen());
}

TEST_P(LineOnBothTransports, ALossClosesTheLineWhichThenCountsNothingAndRefusesOutput) {
  peer->Send({0x01, 0x83, 0x02});
  ASSERT_EQ(CountUntil(3), 3);
  EXPECT_EQ(line.GetInput(), (Bytes{0x01, 0x83, 0x02}));
  peer->Close();
  const auto loss = Refusal([&] { CountUntil(1); });
  ASSERT_TRUE(loss) << "the loss was not found";
  EXPECT_EQ(loss->kind(), SerialErrorKind::Disconnected);
  EXPECT_EQ(loss->device(), device);
  EXPECT_TRUE(SerialErrorText(*loss).starts_with("串口 " + device + " 已断开（"))
      << SerialErrorText(*loss);
  EXPECT_FALSE(line.GetPortOpen());
  line.SetPortOpen(false);  // closing a closed line does nothing
  EXPECT_EQ(line.GetInBufferCount(), 0);
  EXPECT_TRUE(line.GetInput().empty());
  line.SetInBufferCount(0);
  const auto output = Refusal([&] { line.SetOutput({0x01}); });
  ASSERT_TRUE(output) << "output on a lost line";
  EXPECT_EQ(output->kind(), SerialErrorKind::NotOpen);
  EXPECT_EQ(SerialErrorText(*output), "串口 " + device + " 未打开");
}

TEST_P(LineOnBothTransports, InputLengthBoundsOneReadAndAZeroCountEmptiesTheQueue) {
  peer->Send({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  ASSERT_EQ(CountUntil(10), 10);
  line.SetInputLen(4);  // just inside and just outside what is waiting
  EXPECT_EQ(line.GetInput(), (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(line.GetInBufferCount(), 6);
  line.SetInputLen(7);
  EXPECT_EQ(line.GetInput(), (Bytes{5, 6, 7, 8, 9, 10}));
  line.SetInputLen(0);  // no bound
  peer->Send({0xAA, 0xBB});
  ASSERT_EQ(CountUntil(2), 2);
  EXPECT_EQ(line.GetInput(), (Bytes{0xAA, 0xBB}));
  peer->Send({0xCC});
  ASSERT_EQ(CountUntil(1), 1);
  line.SetInBufferCount(0);
  EXPECT_EQ(line.GetInBufferCount(), 0);
  EXPECT_TRUE(line.GetInput().empty());
}

TEST_P(LineOnBothTransports, EveryByteValuePassesBothWaysUnchanged) {
  Bytes all(256);
  for (size_t i = 0; i < all.size(); ++i) all[i] = static_cast<uint8_t>(i);
  peer->Send(all);
  ASSERT_EQ(CountUntil(256), 256);
  EXPECT_EQ(line.GetInput(), all);
  EXPECT_EQ(line.GetInBufferCount(), 0);
  line.SetOutput(all);
  EXPECT_EQ(peer->ReceiveExactly(all.size()), all);
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
  OpenOn(line, device);
  server.Accept();
  constexpr size_t kFlood = size_t{1024} * 1024;
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
  const auto e = Refusal([&] {
    for (; discards < 1000; ++discards, ::usleep(1000)) line.SetInBufferCount(0);
  });
  ASSERT_TRUE(e) << "the closed connection was not found";
  EXPECT_EQ(e->kind(), SerialErrorKind::Disconnected);
  EXPECT_EQ(SerialErrorText(*e), "串口 " + device + " 已断开（对方关闭了连接）");
  // What was left took several discards: none took it all at once.
  EXPECT_GE(discards, static_cast<int>((kFlood - taken) / SerialLine::kMaxDiscardBytes));
  EXPECT_FALSE(line.GetPortOpen());
}

}  // namespace

// Nothing waits for a server that does not answer: opening returns at once with the port open
// and "connecting", counting nothing; the first frame is kept, and once its write bound has
// passed without a connection, writes are refused at once as a stall (the link status shows
// it) instead of holding up the window.
TEST(LineOnTcp, AServerThatDoesNotAnswerHoldsUpNeitherOpeningNorWriting) {
  TcpEnd server(0);
  server.Fill(4);
  const std::string device = server.Device();
  SerialLine line;
  using Clock = std::chrono::steady_clock;
  // The waits this replaces were 50 ms to open and the write bound (about 110 ms) to write.
  constexpr auto kNoWait = std::chrono::milliseconds(25);
  auto start = Clock::now();
  OpenOn(line, device);
  EXPECT_LT(Clock::now() - start, kNoWait);
  EXPECT_TRUE(line.GetPortOpen());
  EXPECT_EQ(line.GetInBufferCount(), 0);
  EXPECT_TRUE(line.GetInput().empty());
  line.SetInBufferCount(0);
  start = Clock::now();
  line.SetOutput({0x01, 0x03});  // kept for the connection
  EXPECT_LT(Clock::now() - start, kNoWait);
  EXPECT_THROW(line.SetOutput({0x01, 0x04}), SerialError);  // one frame at a time
  ::usleep(150000);                                         // past the kept frame's write bound
  start = Clock::now();
  const auto e = Refusal([&] { line.SetOutput({0x01, 0x03}); });
  ASSERT_TRUE(e) << "output went to a server that never answered";
  EXPECT_EQ(e->kind(), SerialErrorKind::OutputStalled);
  EXPECT_EQ(SerialErrorText(*e), "串口 " + device + " 输出受阻（连接尚未建立）");
  EXPECT_LT(Clock::now() - start, kNoWait);
  EXPECT_TRUE(line.GetPortOpen());
}

// A frame written before the connection is made goes out once it is. The accept queue is full
// when the line connects, so its request is ignored; the queue is then emptied, and the
// kernel's retry of the request a second later connects, well within the frame's write bound
// (256 bytes at 1200 bit/s with parity take over 2 s).
TEST(LineOnTcp, AFrameWrittenWhileConnectingGoesOutOnceConnected) {
  TcpEnd server(0);
  server.Fill(1);
  SerialLine line{3000};
  line.SetSettings("1200E,8,1");
  OpenOn(line, server.Device());
  const Bytes frame(SerialLine::kMaxHeldBytes, 0x5A);
  line.SetOutput(frame);
  server.Accept();  // the filler: room for the line's connection now
  server.Accept();
  Bytes came;
  for (int i = 0; i < 300 && came.size() < frame.size(); ++i, ::usleep(10000)) {
    (void)line.GetInBufferCount();  // an access finds the connection made and sends the frame
    const Bytes piece = server.Receive();
    came.insert(came.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(came, frame);
}
