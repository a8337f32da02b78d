// RTU over TCP on loopback: the monitor's line against kt7340-sim --tcp, a refused connection,
// and a device server that goes away and comes back.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "SimProcess.h"
#include "modbus/FindFrame.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialError.h"
#include "serial/SerialErrorText.h"
#include "serial/SerialLine.h"
#include "serial/TcpAddress.h"

using namespace kt::serial;
using kt::sim::testing::SimProcess;

namespace {

constexpr int16_t kPort = 9;  // named by the environment, whatever this machine lists
constexpr uint8_t kSlave = 1;
constexpr uint16_t kConfigStart = 0x0300;
constexpr uint16_t kConfigCount = 19;
constexpr int16_t kConfigReplyLength = kt::modbus::ReadReplyLength(kConfigCount);

std::vector<uint8_t> ConfigRequest() {
  kt::modbus::RequestBuffer buf{};
  const int16_t n = kt::modbus::BuildReadRequest(buf, kSlave, kConfigStart, kConfigCount);
  return std::vector<uint8_t>(buf.begin(), buf.begin() + n);
}

// Sends the configuration read and collects input until the reply is found or 5 s have passed
// (a bound against hanging, not a timing requirement). Returns the reply's position or -1.
int16_t PollConfiguration(SerialControl& line, std::vector<uint8_t>& received) {
  line.SetOutput(ConfigRequest());
  received.clear();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (std::chrono::steady_clock::now() < deadline) {
    if (line.GetInBufferCount() > 0) {
      const std::vector<uint8_t> piece = line.GetInput();
      received.insert(received.end(), piece.begin(), piece.end());
      const int16_t at = kt::modbus::FindFrame(
          received, kt::modbus::SlaveAddress(kSlave),
          kt::modbus::FunctionCode(kt::modbus::kReadHoldingRegisters), kConfigReplyLength);
      if (at >= 0) return at;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return -1;
}

// A loopback port nobody listens on: bound once to learn a free number, then released.
std::string UnusedLoopbackPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  socklen_t size = sizeof a;
  EXPECT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size), 0);
  close(fd);
  return std::to_string(ntohs(a.sin_port));
}

class TcpLineAgainstSim : public ::testing::Test {
 protected:
  void SetUp() override {
    sim_ = std::make_unique<SimProcess>(
        std::vector<std::string>{"--tcp", "127.0.0.1:0", "--quiet", "--response-delay", "5"});
    ASSERT_TRUE(sim_->running());
    address_ = sim_->path();
    ASSERT_EQ(address_.rfind("127.0.0.1:", 0), 0u) << address_;
    setenv(PortEnvironmentVariableName().c_str(), ("tcp://" + address_).c_str(), 1);
  }
  void TearDown() override { unsetenv(PortEnvironmentVariableName().c_str()); }
  static std::string PortEnvironmentVariableName() { return "KT7340_COM" + std::to_string(kPort); }

  void OpenLine(SerialLine& line) {
    line.SetCommPort(kPort);
    line.SetSettings("9600N,8,2");
    line.SetPortOpen(true);
    line.SetInputLen(0);
    line.SetInBufferCount(0);
  }

  std::unique_ptr<SimProcess> sim_;
  std::string address_;
};

}  // namespace

// The sim's device server polled over the line; it goes away (a loss, as on every transport:
// line_backends_test), comes back on the same address, and takes the next client after this one.
TEST_F(TcpLineAgainstSim, PollsAndOpensAgainWhenTheServerIsBack) {
  SerialLine line;
  OpenLine(line);
  ASSERT_TRUE(line.GetPortOpen());
  std::vector<uint8_t> received;
  const int16_t at = PollConfiguration(line, received);
  ASSERT_GE(at, 0) << "no configuration reply in " << received.size() << " bytes";
  EXPECT_EQ(received[at + 2], 2 * kConfigCount);  // the byte count of a 19-register read
  EXPECT_EQ(received[at + 4], kSlave);            // register 0x0300: the slave address
  // A second request on the same connection is answered as well.
  ASSERT_GE(PollConfiguration(line, received), 0);

  sim_.reset();  // the device server goes away
  EXPECT_THROW(
      {
        for (int i = 0; i < 100; ++i) {  // the close reaches us at once on loopback; bounded
          line.GetInBufferCount();
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
      },
      SerialError);
  EXPECT_FALSE(line.GetPortOpen());

  // Back on the same address: the same line opens again and polls.
  sim_ = std::make_unique<SimProcess>(
      std::vector<std::string>{"--tcp", address_, "--quiet", "--response-delay", "5"});
  ASSERT_EQ(sim_->path(), address_);
  line.SetPortOpen(true);
  ASSERT_TRUE(line.GetPortOpen());
  EXPECT_GE(PollConfiguration(line, received), 0);

  // The server takes the next client after this one leaves.
  line.SetPortOpen(false);
  EXPECT_EQ(line.GetInBufferCount(), 0);
  SerialLine next;
  OpenLine(next);
  EXPECT_GE(PollConfiguration(next, received), 0);
}

// Numeric hosts and localhost are connected without a lookup: nobody listening, loopback refuses
// at once (well within the open's short wait), and the refusal names the address and the reason;
// other names are refused as they stand. A line that did not open takes no output, and its
// settings are checked as for a serial port.
TEST(TcpLine, OnlyNumericHostsAndLocalhostAreConnectedWithoutALookup) {
  const std::string port = UnusedLoopbackPort();
  const std::string refused = " 无法连接（对方拒绝连接）";
  const std::string bad = " 地址无效（应为 tcp://数字地址:端口 或 tcp://localhost:端口）";
  const std::pair<std::string, std::string> cases[] = {{"tcp://127.0.0.1:" + port, refused},
                                                       {"tcp://localhost:" + port, refused},
                                                       {"tcp://[::1]:" + port, refused},
                                                       {"tcp://meter.invalid:" + port, bad},
                                                       {"tcp://[[]:5", bad},
                                                       {"tcp://127.0.0.1", bad}};
  for (const auto& [device, reason] : cases) {
    SCOPED_TRACE(device);
    setenv("KT7340_COM9", device.c_str(), 1);
    SerialLine line;
    line.SetCommPort(9);
    line.SetSettings("19200E,8,1");
    try {
      line.SetPortOpen(true);
      ADD_FAILURE() << "opened";
    } catch (const SerialError& e) {
      EXPECT_EQ(e.device(), device);
      // An IPv6 loopback may be missing on this machine: unreachable, but not a bad address.
      if (device.find("::1") == std::string::npos || e.kind() == SerialErrorKind::BadAddress) {
        EXPECT_EQ(e.kind(),
                  reason == bad ? SerialErrorKind::BadAddress : SerialErrorKind::OpenFailed);
        EXPECT_EQ(e.systemError(), reason == bad ? 0 : ECONNREFUSED);
        EXPECT_EQ(SerialErrorText(e), "串口 " + device + reason);
      }
    }
    EXPECT_FALSE(line.GetPortOpen());
    EXPECT_THROW(line.SetOutput({0x01}), SerialError);
    EXPECT_THROW(line.SetSettings("9600,N,8,2"), SerialError);
  }
  unsetenv("KT7340_COM9");
}

TEST(SplitHostPort, AcceptsHostPortAndBracketedIpv6Only) {
  struct Case {
    const char* text;
    const char* host;  // nullptr: refused
    const char* port;
  };
  for (const Case& c : std::vector<Case>{{"192.168.1.20:4001", "192.168.1.20", "4001"},
                                         {"localhost:0", "localhost", "0"},
                                         {"[::1]:502", "::1", "502"},
                                         {"::1:502", nullptr, nullptr},
                                         {"host", nullptr, nullptr},
                                         {":4001", nullptr, nullptr},
                                         {"host:", nullptr, nullptr},
                                         {"host:65536", nullptr, nullptr},
                                         {"host:40x1", nullptr, nullptr},
                                         {"[[]:5", nullptr, nullptr},
                                         {"a]:5", nullptr, nullptr}}) {
    SCOPED_TRACE(c.text);
    const auto split = SplitHostPort(c.text);
    ASSERT_EQ(split.has_value(), c.host != nullptr);
    if (!split) continue;
    EXPECT_EQ(split->host, c.host);
    EXPECT_EQ(split->port, c.port);
    EXPECT_EQ(split->Text(), c.text);
  }
}
