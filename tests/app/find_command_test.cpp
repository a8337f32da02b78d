// `kt7340 --find`: its options, its lines and exit status, on the simulated line in virtual time
// and against kt7340-sim on a pseudo-terminal in real time.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../finder/SimulatedLines.h"
#include "SimProcess.h"
#include "app/CommandLine.h"
#include "finder/LineCandidates.h"

namespace kt::app {
namespace {

using finder::testing::Bus;
using finder::testing::OpenerOn;

TEST(FindOption, PortAndFirstWithinTheirRanges) {
  struct Case {
    std::vector<std::string> args;
    bool accepted;
    int32_t port;
    bool first;
  };
  for (const Case& c : std::vector<Case>{
           {{"--find"}, true, 0, false},
           {{"--find", "--first"}, true, 0, true},
           {{"--find", "--port", "1"}, true, 1, false},
           {{"--find", "--port", "32767", "--first"}, true, 32767, true},
           {{"--find", "--first", "--port", "3"}, true, 3, true},
           {{"--find", "--port", "0"}, false, 0, false},
           {{"--find", "--port", "32768"}, false, 0, false},
           {{"--find", "--port", "3x"}, false, 0, false},
           {{"--find", "--port"}, false, 0, false},
           {{"--find", "--port", "2", "--port", "3"}, false, 0, false},
           {{"--find", "--first", "--first"}, false, 0, false},
           {{"--find", "--list-ports"}, false, 0, false},
           {{"--first"}, false, 0, false},
       }) {
    std::string all;
    for (const std::string& a : c.args) all += a + " ";
    SCOPED_TRACE(all);
    const CommandLine line = ParseCommandLine(c.args);
    EXPECT_EQ(line.action, c.accepted ? CommandLineAction::FindMeters : CommandLineAction::Refuse);
    if (!c.accepted) continue;
    EXPECT_EQ(line.findPort, c.port);
    EXPECT_EQ(line.findFirst, c.first);
  }
}

TEST(FindOption, OneLinePerMeterAndLineRefusedThenTheSummary) {
  modbus::VirtualClock clock;
  Bus bus(
      clock,
      {.address = 3, .baudRate = 2400, .parity = 2, .ptRatio = 100, .ctRatio = 40, .wiring = 1});
  bus.line.AddMeter(finder::testing::MeterAt({.address = 17, .baudRate = 2400, .parity = 2}));
  bus.line.SetMeterPort(2);
  bus.line.SetPortInUse(1, true);
  std::vector<std::string> printed;
  const int status =
      RunFind(ParseCommandLine({"--find"}), {{1, "", true}, {2, "", true}}, OpenerOn(bus), clock,
              [&](const std::string& text) { printed.push_back(text); });
  EXPECT_EQ(status, 0);
  ASSERT_EQ(printed.size(), 4u);
  EXPECT_EQ(printed[0].rfind("COM1：串口 /dev/ttyS0 已被其他程序占用", 0), 0u) << printed[0];
  EXPECT_EQ(printed[1], "COM2  2400bps  偶校验  3  单相2线  100  40");
  EXPECT_EQ(printed[2], "COM2  2400bps  偶校验  17  3相4线(非平衡)  1  1");
  EXPECT_EQ(printed[3], "找到 2 台仪表");
}

// An adapter that echoes the PC's frames, nothing attached: no meter, and what the sweep tries
// and how far it is goes to the error stream every 5 s, counting down.
TEST(FindOption, NoMeterOnAnEchoingLineEndsWithStatusOne) {
  modbus::VirtualClock clock;
  Bus bus(clock);
  bus.line.SetMeterConnected(false);
  bus.line.SetEcho(true);
  std::vector<std::string> printed;
  std::vector<std::string> progress;
  const int status = RunFind(
      ParseCommandLine({"--find", "--first"}), {{1, "", true}}, OpenerOn(bus), clock,
      [&](const std::string& text) { printed.push_back(text); },
      [&](const std::string& text) { progress.push_back(text); });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(printed, std::vector<std::string>{"未找到仪表"});
  EXPECT_LE(clock.ElapsedMs() / kFindProgressMs - progress.size(), 1u);
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(progress[0].rfind("COM1 9600bps 无校验 地址 ", 0), 0u) << progress[0];
  EXPECT_NE(progress[0].find("已完成 "), std::string::npos) << progress[0];
  EXPECT_EQ(RunFind(ParseCommandLine({"--find"}), {}, OpenerOn(bus), clock,
                    [&](const std::string& text) { printed.push_back(text); }),
            1);
}

// The terminal's way: the port by its number (KT7340_COM1), a real serial line and clock; a
// meter at 9600 that answers after 300 ms, its first reply lost.
TEST(FindOption, FindsTheSimulatedMeterOnAPseudoTerminal) {
  sim::testing::SimProcess sim(
      {"--answer-delay", "300", "--drop-first", "1", "--address", "11", "--pt", "35", "--quiet"});
  ASSERT_TRUE(sim.running());
  ASSERT_EQ(setenv("KT7340_COM1", sim.path().c_str(), 1), 0);
  modbus::SteadyClock clock;
  std::vector<std::string> printed;
  const CommandLine line = ParseCommandLine({"--find", "--port", "1", "--first"});
  const int status =
      RunFind(line, {finder::CandidateForPort(serial::ListPorts(), 1)}, finder::SerialLineOpener(),
              clock, [&](const std::string& text) { printed.push_back(text); });
  unsetenv("KT7340_COM1");
  EXPECT_EQ(status, 0);
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_EQ(printed[0], "COM1  9600bps  无校验  11  3相4线(非平衡)  35  1");
  EXPECT_EQ(printed[1], "找到 1 台仪表");
}

}  // namespace
}  // namespace kt::app
