// The finder's sweep: the order of settings and addresses, the wait at each rate, ports that do
// not open, cancel, and a line without settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "SimulatedLines.h"
#include "finder/ProbeTiming.h"
#include "finder/SweepOrder.h"
#include "sim/LineTiming.h"

namespace kt::finder {
namespace {

using namespace kt::finder::testing;  // the simulated lines

std::string Text(const SweepSetting& s) {
  return std::to_string(s.baudRate) + (s.parity == 0 ? "N,8,2" : s.parity == 1 ? "O,8,1" : "E,8,1");
}

TEST(FinderSweep, SettingsOrderStartsWithTheLastUsedThenTheFactorySettings) {
  const SweepSetting factory{9600, 0};
  for (const SweepSetting last : {SweepSetting{2400, 2}, SweepSetting{9600, 0},
                                  SweepSetting{19200, 1}, SweepSetting{1234, 0}}) {
    const std::vector<SweepSetting> order = SettingsOrder(last);
    ASSERT_EQ(order.size(), 15u);
    const bool supported = last.baudRate != 1234;
    EXPECT_EQ(order[0], supported ? last : factory);
    if (supported && last != factory) {
      EXPECT_EQ(order[1], factory);
    }
    std::set<std::pair<int32_t, int32_t>> distinct;
    for (const SweepSetting& s : order) {
      EXPECT_TRUE(sim::IsSupportedBaud(s.baudRate));
      EXPECT_TRUE(s.parity >= 0 && s.parity <= 2);
      distinct.insert({s.baudRate, s.parity});
    }
    EXPECT_EQ(distinct.size(), 15u);
  }
}

// With one meter at address 3 and another at 200, both at 4800 odd: first addresses 1..16 at all
// fifteen settings, then 17..247 where anything came back (4800 odd, and 1200 even where a
// garbled answer is heard), then the rest.
TEST(FinderSweep, LikelyAddressesEverywhereFirstThenWhereBytesCameBack) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 3, .baudRate = 4800, .parity = 1});
  bus.line.AddMeter(MeterAt({.address = 200, .baudRate = 4800, .parity = 1}));
  bus.garbageAt = "1200E,8,1";
  const FinderOptions options{.lastUsed = {2400, 2}};
  MeterFinder finder({{1, "/dev/ttyS0", true}}, OpenerOn(bus), clock, options);
  RunToEnd(finder, clock);

  const std::vector<SweepSetting>& order = finder.Settings();
  std::vector<std::pair<std::string, int>> probes;  // settings and address of each probe
  for (const auto& r : bus.sent) {
    if (r.bytes[3] == 0x00 && r.bytes[5] == 0x01) probes.push_back({r.settings, r.bytes[0]});
  }
  ASSERT_EQ(probes.size(), 15u * 247u);
  size_t n = 0;
  for (const SweepSetting& s : order) {
    for (int a = 1; a <= 16; ++a, ++n) {
      ASSERT_EQ(probes[n], std::make_pair(Text(s), a)) << n;
    }
  }
  std::vector<std::string> secondPass;
  for (; n < probes.size(); n += 231) {
    secondPass.push_back(probes[n].first);
    EXPECT_EQ(probes[n].second, 17);
    EXPECT_EQ(probes[n + 230].second, 247);
  }
  // Heard ones in the settings order: 4800 odd comes before 1200 even in it.
  ASSERT_EQ(secondPass.size(), 15u);
  EXPECT_EQ(secondPass[0], "4800O,8,1");
  EXPECT_EQ(secondPass[1], "1200E,8,1");
  std::vector<std::string> rest;
  for (const SweepSetting& s : order) {
    if (Text(s) != "4800O,8,1" && Text(s) != "1200E,8,1") rest.push_back(Text(s));
  }
  EXPECT_EQ(std::vector<std::string>(secondPass.begin() + 2, secondPass.end()), rest);

  ASSERT_EQ(finder.Found().size(), 2u);
  EXPECT_EQ(finder.Found()[0].address, 3);
  EXPECT_EQ(finder.Found()[1].address, 200);
  EXPECT_EQ(finder.Progress().probesDone, finder.Progress().probesTotal);
  EXPECT_FALSE(bus.line.GetPortOpen());
  EXPECT_EQ(bus.opened, 1);  // one open for the whole sweep of the line
}

// The wait covers the request, the meter's silence, its response time within the allowance and
// the reply: a meter that answers just inside is found on the first probe, one just outside
// is not, at every rate.
TEST(FinderSweep, ProbeWaitFollowsTheRate) {
  for (const kt::serial::BaudRow& row : kt::serial::kBaudRows) {
    const int32_t baud = row.baudRate;
    // Two characters of slack: figured from the simulator's own character timing.
    const uint64_t slackUs = 2 * sim::TransmissionUs(1, baud);
    const uint32_t inside =
        kResponseAllowanceMs + static_cast<uint32_t>(slackUs / 1000) - 1 + (slackUs < 2000 ? 1 : 0);
    const uint32_t outside = kResponseAllowanceMs + static_cast<uint32_t>(slackUs / 1000) + 3;
    for (const uint32_t delay : {inside, outside}) {
      modbus::VirtualClock clock;
      Bus bus(clock, {.address = 1, .baudRate = baud, .parity = 2, .responseDelayMs = delay});
      MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock, {.lastUsed = {baud, 2}});
      finder.Tick();
      const uint32_t wait = finder.CurrentWaitMs();
      // Request and reply on the wire at 11 bits a character, the 3.5-character gap, the slack.
      const uint64_t wireUs = sim::TransmissionUs(8 + 7, baud) + sim::SilenceUs(baud) + slackUs;
      EXPECT_GE(wait, kResponseAllowanceMs + wireUs / 1000) << baud;
      EXPECT_LE(wait, kResponseAllowanceMs + wireUs / 1000 + 1) << baud;
      EXPECT_LE(wait, kMaxReplyWaitMs);
      // Ticks of 1 ms until the first probe is settled.
      while (finder.Current() && finder.Current()->address == 1 && finder.Found().empty()) {
        clock.Advance(1);
        finder.Tick();
      }
      EXPECT_EQ(finder.Found().size(), delay == inside ? 1u : 0u) << baud << " delay " << delay;
    }
  }
}

TEST(FinderSweep, PortsThatDoNotOpenAreReportedOnceAndSkipped) {
  modbus::VirtualClock clock;
  Bus bus(
      clock,
      {.address = 9, .baudRate = 19200, .parity = 1, .ptRatio = 100, .ctRatio = 40, .wiring = 2});
  bus.line.SetMeterPort(3);
  bus.line.SetPortMissing(1, true);
  bus.line.SetPortInUse(2, true);
  MeterFinder finder({{1, "", true}, {2, "", true}, {3, "", true}}, OpenerOn(bus), clock,
                     {.stopAfterFirst = true});
  RunToEnd(finder, clock);

  ASSERT_EQ(finder.Failures().size(), 2u);
  EXPECT_EQ(finder.Failures()[0].line.portNumber, 1);
  EXPECT_NE(finder.Failures()[0].reason.find("/dev/ttyS0 不存在"), std::string::npos)
      << finder.Failures()[0].reason;
  EXPECT_EQ(finder.Failures()[1].line.portNumber, 2);
  EXPECT_NE(finder.Failures()[1].reason.find("/dev/ttyS1 已被其他程序占用"), std::string::npos)
      << finder.Failures()[1].reason;
  for (const auto& r : bus.sent) EXPECT_EQ(r.port, 3);

  ASSERT_EQ(finder.Found().size(), 1u);
  const FoundMeter& m = finder.Found()[0];
  EXPECT_EQ(m.line.portNumber, 3);
  EXPECT_EQ(m.address, 9);
  EXPECT_EQ(m.setting, (SweepSetting{19200, 1}));
  ASSERT_TRUE(m.configuration.has_value());
  EXPECT_EQ(m.configuration->ptRatio, 100);
  EXPECT_EQ(m.configuration->ctRatio, 40);
  EXPECT_EQ(m.configuration->wiringMode, 2);
  EXPECT_FALSE(bus.line.GetPortOpen());
}

TEST(FinderSweep, CancelStopsAtOnceAndClosesTheLine) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 120});
  MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock);
  RunToEnd(finder, clock, 57);
  ASSERT_TRUE(bus.line.GetPortOpen());
  ASSERT_TRUE(finder.Current().has_value());
  const FinderProgress before = finder.Progress();
  EXPECT_GT(before.probesDone, 0u);
  EXPECT_LT(before.probesDone, before.probesTotal);
  EXPECT_GT(before.remainingMs, 0u);

  finder.Cancel();
  EXPECT_TRUE(finder.Finished());
  EXPECT_TRUE(finder.Cancelled());
  EXPECT_FALSE(bus.line.GetPortOpen());
  EXPECT_FALSE(finder.Current().has_value());
  const size_t sent = bus.sent.size();
  RunToEnd(finder, clock, 100);
  EXPECT_EQ(bus.sent.size(), sent);
  EXPECT_EQ(bus.opened, 1);
}

// A device server's line: the addresses once, at whatever the server's serial side runs.
TEST(FinderSweep, ALineWithoutSettingsIsSweptOnceWithoutChangingThem) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 30, .baudRate = 9600, .parity = 0});
  MeterFinder finder({{4, "tcp://127.0.0.1:4001", false}}, OpenerOn(bus), clock);
  EXPECT_EQ(finder.Progress().probesTotal, 247u);
  RunToEnd(finder, clock);
  std::vector<int> addresses;
  for (const auto& r : bus.sent) {
    if (r.bytes[5] == 0x01) addresses.push_back(r.bytes[0]);
    EXPECT_EQ(r.settings, "9600N,8,2");
  }
  ASSERT_EQ(addresses.size(), 247u);
  for (int a = 1; a <= 247; ++a) EXPECT_EQ(addresses[static_cast<size_t>(a - 1)], a);
  ASSERT_EQ(finder.Found().size(), 1u);
  EXPECT_FALSE(finder.Found()[0].setting.has_value());
  EXPECT_EQ(finder.Found()[0].address, 30);
}

}  // namespace
}  // namespace kt::finder
