// The Windows serial line for real under wine, against the simulated meter of this machine on a
// pseudo-terminal that wine sees as a COM port, or serving TCP: every baud rate and parity, the
// meter lost and back while the main dialog polls, and a device server over Winsock. (A port
// with no device: win32_serial_test.) tests/windows/with_simulator.sh
// runs it and starts and stops the meter when asked (KT7340_TEST_CONTROL: the folder of the
// requests, KT7340_TEST_COM: the COM port's number).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "MainDialogHarness.h"
#include "modbus/MeterRegisters.h"
#include "modbus/ReplyCheck.h"
#include "modbus/RequestFrames.h"
#include "serial/SerialLine.h"
#include "ui/MainDialogIds.h"

namespace {

namespace fs = std::filesystem;
namespace regs = kt::modbus::meter_registers;
namespace ids = kt::ui::main_ids;
using kt::serial::SerialLine;
using kt::testing::MainDialogHarness;
using kt::testing::RealPort;
using Bytes = std::vector<uint8_t>;

constexpr uint8_t kAddress = 1;
constexpr auto kReplyWait = std::chrono::milliseconds(1500);
constexpr auto kStep = std::chrono::milliseconds(10);
// The main dialog opens a lost port again every second: twice that is the most it may take.
constexpr uint32_t kMostReopenMs = 2000;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : value;
}

int16_t ComNumber() {
  return static_cast<int16_t>(std::atoi(Environment("KT7340_TEST_COM").c_str()));
}

// Asks with_simulator.sh for a change of the meter; its reply ("ok", "ok HOST:PORT").
std::string AskSimulator(const std::string& request) {
  const fs::path folder = Environment("KT7340_TEST_CONTROL");
  std::ofstream(folder / "request.new", std::ios::binary) << request << "\n";
  fs::rename(folder / "request.new", folder / "request");
  for (int i = 0; i < 600; ++i) {
    if (std::ifstream in(folder / "reply"); in) {
      std::string reply;
      std::getline(in, reply);
      in.close();
      fs::remove(folder / "reply");
      return reply;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return "no reply to " + request;
}

// Sends `request` and collects up to `expected` reply bytes within kReplyWait.
Bytes Exchange(SerialLine& line, const kt::modbus::RequestBuffer& request, int16_t length,
               int expected) {
  line.SetInBufferCount(0);
  line.SetOutput(Bytes(request.begin(), request.begin() + length));
  Bytes reply;
  const auto deadline = std::chrono::steady_clock::now() + kReplyWait;
  while (static_cast<int>(reply.size()) < expected && std::chrono::steady_clock::now() < deadline) {
    const Bytes more = line.GetInput();
    reply.insert(reply.end(), more.begin(), more.end());
    if (more.empty()) std::this_thread::sleep_for(kStep);
  }
  return reply;
}

// True when the measurement block came back whole and valid.
bool PollsABlock(SerialLine& line) {
  kt::modbus::RequestBuffer request{};
  const auto block = regs::kMeasurementRead;
  const int16_t length = kt::modbus::BuildReadRequest(request, kAddress, block.start, block.count);
  const int expected = kt::modbus::ReadReplyLength(block.count);
  const Bytes reply = Exchange(line, request, length, expected);
  return kt::modbus::CheckReply(reply, kAddress, kt::modbus::kReadHoldingRegisters, expected)
             .outcome == kt::modbus::ReplyOutcome::Valid;
}

SerialLine& OpenPort(SerialLine& line, int16_t port, const std::string& settings) {
  line.SetCommPort(port);
  line.SetSettings(settings);
  line.SetPortOpen(true);
  return line;
}

class ComLineTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GT(com, 0) << "KT7340_TEST_COM is not set"; }
  void TearDown() override { EXPECT_EQ(AskSimulator("stop"), "ok"); }
  void StartMeter(int baud, const char* parity) {
    ASSERT_EQ(AskSimulator("start " + std::to_string(baud) + " " + parity), "ok");
  }
  const int16_t com = ComNumber();
};

}  // namespace

// Each baud rate and each parity: the meter answers at its own settings, on the port as opened,
// with the settings applied again while open, and after the port was opened again; one setting
// off (the parity, the baud rate) and no valid reply comes.
TEST_F(ComLineTest, PollsAtEveryBaudRateAndParityAndOnlyAtTheMetersOwn) {
  struct Line {
    int baud;
    const char* parity;
    const char* settings;
  };
  for (const Line& l : {Line{1200, "odd", "1200O,8,1"}, Line{2400, "even", "2400E,8,1"},
                        Line{4800, "none", "4800N,8,2"}, Line{9600, "none", "9600N,8,2"},
                        Line{19200, "even", "19200E,8,1"}}) {
    SCOPED_TRACE(l.settings);
    StartMeter(l.baud, l.parity);
    SerialLine line;
    OpenPort(line, com, l.settings);
    EXPECT_EQ(line.DeviceName(), "COM" + std::to_string(com));
    EXPECT_TRUE(PollsABlock(line));
    line.SetSettings(l.settings);
    EXPECT_TRUE(PollsABlock(line));
    line.SetPortOpen(false);
    line.SetPortOpen(true);
    EXPECT_TRUE(PollsABlock(line));
  }
  StartMeter(9600, "none");
  SerialLine line;
  OpenPort(line, com, "9600E,8,1");
  EXPECT_FALSE(PollsABlock(line)) << "a meter at 9600N,8,2 answered at 9600E,8,1";
  line.SetSettings("19200N,8,2");
  EXPECT_FALSE(PollsABlock(line)) << "a meter at 9600N,8,2 answered at 19200N,8,2";
  line.SetSettings("9600N,8,2");
  EXPECT_TRUE(PollsABlock(line));
}

// The meter goes away while the main dialog polls: the link status says so, no message box,
// the port closed; it comes back and the port is open again within two seconds, polling on.
TEST_F(ComLineTest, ALostMeterIsShownWithoutABoxAndFoundAgainWithinTwoSeconds) {
  StartMeter(9600, "none");
  MainDialogHarness p(RealPort(50));
  auto& d = p.Open({com, 9600, 0});
  ASSERT_TRUE(p.port.GetPortOpen());
  p.host.Type(d, ids::kSlaveAddressEdit, "1");
  p.host.Click(d, ids::kRunButton);
  ASSERT_TRUE(p.DecodesABlock(12)) << "no measurements before the meter went away";
  EXPECT_EQ(p.host.Control(d, ids::kLinkStateBox).text, "正常");

  ASSERT_EQ(AskSimulator("stop"), "ok");
  p.RunFor(d.m_pollPeriodMs * 3);
  EXPECT_EQ(p.host.Control(d, ids::kLinkStateBox).text, "串口已断开");
  EXPECT_FALSE(p.port.GetPortOpen());
  EXPECT_TRUE(p.host.Messages().empty()) << p.host.Messages()[0].text;

  StartMeter(9600, "none");
  uint32_t waited = 0;
  while (!p.port.GetPortOpen() && waited < kMostReopenMs) {
    p.RunFor(100);
    waited += 100;
  }
  EXPECT_TRUE(p.port.GetPortOpen()) << "not open again " << kMostReopenMs << " ms after";
  EXPECT_TRUE(p.DecodesABlock(20)) << p.host.Control(d, ids::kLinkStateBox).text;
  EXPECT_EQ(p.host.Control(d, ids::kLinkStateBox).text, "正常");
  EXPECT_TRUE(p.host.Messages().empty()) << p.host.Messages()[0].text;
  p.host.Close(d);
}

// KT7340_COM<N>=tcp://HOST:PORT on Winsock: the meter polled through a device server
// (win32_tcp_line_test has the servers that close, refuse, accept or read nothing).
TEST_F(ComLineTest, PollsThroughADeviceServer) {
  const std::string reply = AskSimulator("start-tcp");
  ASSERT_TRUE(reply.starts_with("ok 127.0.0.1:")) << reply;
  const std::string device = "tcp://" + reply.substr(3);
  SerialLine line;
  line.SetPortSources(kt::serial::PortSources{
      .environment = [&device](const std::string& variable) -> std::optional<std::string> {
        if (variable == "KT7340_COM5") return device;
        return std::nullopt;
      }});
  OpenPort(line, 5, "9600N,8,2");
  EXPECT_EQ(line.DeviceName(), device);
  EXPECT_TRUE(PollsABlock(line));
  EXPECT_TRUE(PollsABlock(line));
}
