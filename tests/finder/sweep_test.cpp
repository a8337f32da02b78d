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

// With one meter at address 3 and another at 200, both at 4800 odd: addresses 1..16 at all
// fifteen settings (twice in a row at the first two), then once more at the others (3 at 4800
// known by then), then 17..247 where anything came back (4800 odd, and 1200 even where garbage
// is heard after every request), then the rest.
TEST(FinderSweep, LikelyAddressesEverywhereTwiceThenWhereBytesCameBack) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 3, .baudRate = 4800, .parity = 1});
  bus.line.AddMeter(MeterAt({.address = 200, .baudRate = 4800, .parity = 1}));
  bus.garbageAt = "1200E,8,1";
  MeterFinder finder({{1, "/dev/ttyS0", true}}, OpenerOn(bus), clock, {.lastUsed = {2400, 2}});
  RunToEnd(finder, clock);

  std::vector<std::pair<std::string, int>> probes;
  for (const auto& p : Probes(bus)) {
    // Garbage is a sign of life: each probe at 1200 even goes out twice in a row.
    if (probes.empty() || probes.back() != p || p.first != "1200E,8,1") probes.push_back(p);
  }
  const auto known = [](const std::string& settings, int a) {
    return settings.starts_with("4800") && (a == 200 || a == 3);
  };
  std::vector<std::pair<std::string, int>> expected;
  const std::vector<SweepSetting>& order = finder.Settings();
  for (const int round : {0, 1}) {
    for (size_t i = 0; i < order.size(); ++i) {
      const int times = round == 0 ? (i < 2 ? 2 : 1) : (i < 2 ? 0 : 1);
      for (int t = 0; t < times; ++t) {
        for (int a = 1; a <= 16; ++a) {
          if (round == 0 || !known(Text(order[i]), a)) expected.push_back({Text(order[i]), a});
        }
      }
    }
  }
  std::vector<std::string> rest{"4800O,8,1", "1200E,8,1"};
  for (const SweepSetting& s : finder.Settings()) {
    if (Text(s) != rest[0] && Text(s) != rest[1]) rest.push_back(Text(s));
  }
  for (const std::string& s : rest) {
    for (int a = 17; a <= 247; ++a) {
      // 200 answers at 4800 odd, first of the rest: its other parities are not asked.
      if (s == rest[0] || !known(s, a)) expected.push_back({s, a});
    }
  }
  EXPECT_EQ(probes, expected);
  ASSERT_EQ(finder.Found().size(), 2u);
  EXPECT_EQ(finder.Found()[0].address, 3);
  EXPECT_EQ(finder.Found()[1].address, 200);
  EXPECT_EQ(finder.Progress().probesDone, finder.Progress().probesTotal);
  EXPECT_FALSE(bus.line.GetPortOpen());
  EXPECT_EQ(bus.opened, 1);  // one open for the whole sweep of the line
}

// Where meters are likely, the allowance covers slow meters: one answering just inside it is
// found on the first probe, one just outside only later (its late reply named it), at every
// rate. The allowance counts from the request's last byte on the wire.
TEST(FinderSweep, LikelyProbesWaitForSlowMeters) {
  for (const kt::serial::BaudRow& row : kt::serial::kBaudRows) {
    const int32_t baud = row.baudRate;
    // Beyond the allowance: the 3.5-character silence and two characters of slack besides.
    const uint64_t slackUs = sim::SilenceUs(baud) + 2 * sim::TransmissionUs(1, baud);
    for (const uint32_t answerMs :
         {kLikelyAnswerMs - 1, kLikelyAnswerMs + static_cast<uint32_t>(slackUs / 1000) + 2}) {
      modbus::VirtualClock clock;
      Bus bus(clock, {.address = 1, .baudRate = baud, .parity = 2, .answerMs = answerMs});
      MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock, {.lastUsed = {baud, 2}});
      finder.Tick();
      const uint64_t requestEndMs = (sim::TransmissionUs(8, baud) + 999) / 1000;
      EXPECT_GE(finder.CurrentWaitMs(), requestEndMs + kLikelyAnswerMs) << baud;
      // 1 ms ticks until the meter is listed or the finder has moved on to address 2.
      for (int ms = 0; ms < 2000 && finder.Found().empty(); ++ms) {
        if (finder.Current() && finder.Current()->address != 1) break;
        clock.Advance(1);
        finder.Tick();
      }
      EXPECT_EQ(finder.Found().size(), answerMs < kLikelyAnswerMs ? 1u : 0u) << baud;
    }
  }
}

// The sweep stops after the first meter found (9, before 10 on the same line).
TEST(FinderSweep, PortsThatDoNotOpenAreReportedOnceAndSkipped) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 9, .baudRate = 19200, .parity = 1, .ptRatio = 100});
  bus.line.AddMeter(MeterAt({.address = 10, .baudRate = 19200, .parity = 1}));
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
  EXPECT_FALSE(finder.Cancelled());
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

// A device server's line: the addresses (1..16 twice), at whatever its serial side runs.
TEST(FinderSweep, ALineWithoutSettingsIsSweptOnceWithoutChangingThem) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 30, .baudRate = 9600, .parity = 0});
  MeterFinder finder({{4, "tcp://127.0.0.1:4001", false}}, OpenerOn(bus), clock);
  EXPECT_EQ(finder.Progress().probesTotal, 247u + 16u);
  RunToEnd(finder, clock);
  std::vector<int> addresses;
  for (const auto& [settings, address] : Probes(bus)) {
    addresses.push_back(address);
    EXPECT_EQ(settings, "9600N,8,2");
  }
  ASSERT_EQ(addresses.size(), 247u + 16u);
  for (int a = 1; a <= 16; ++a) EXPECT_EQ(addresses[static_cast<size_t>(a - 1)], a);
  for (int a = 1; a <= 247; ++a) EXPECT_EQ(addresses[static_cast<size_t>(a + 15)], a);
  ASSERT_EQ(finder.Found().size(), 1u);
  EXPECT_FALSE(finder.Found()[0].setting.has_value());
  EXPECT_EQ(finder.Found()[0].address, 30);
}

// Two empty ports, each an adapter that echoes the PC's frames: swept together in less than
// ten minutes, nothing found, and on each wire a request only once the one before is settled
// and the line has rested 3.5 characters.
TEST(FinderSweep, TwoEchoingEmptyPortsAreSweptTogetherWithinTenMinutes) {
  modbus::VirtualClock clock;
  Bus one(clock);
  Bus two(clock);
  for (Bus* bus : {&one, &two}) {
    bus->line.SetMeterConnected(false);
    bus->line.SetEcho(true);
  }
  MeterFinder finder({{1, "", true}, {2, "", true}}, OpenerOn({&one, &two}), clock);
  RunToEnd(finder, clock);
  EXPECT_TRUE(finder.Found().empty());
  EXPECT_LT(clock.ElapsedMs(), 600'000u);
  for (const Bus* bus : {&one, &two}) {
    ASSERT_EQ(Probes(*bus).size(), 15u * (247u + 16u));
    for (size_t i = 1; i < bus->sent.size(); ++i) {
      sim::LineSettings line;
      ASSERT_TRUE(sim::ParseSettingsText(bus->sent[i - 1].settings, line));
      const uint64_t busyUs =
          sim::TransmissionUs(8, line.baud) + sim::SilenceUs(line.baud) + 1000ull * kTailAnswerMs;
      ASSERT_GE((bus->sent[i].atMs - bus->sent[i - 1].atMs) * 1000, busyUs) << i;
    }
  }
}

}  // namespace
}  // namespace kt::finder
