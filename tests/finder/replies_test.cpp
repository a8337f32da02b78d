// What counts as a meter: only a whole valid reply from the probed address; several meters on
// one line, each with its own configuration.
#include <gtest/gtest.h>

#include "SimulatedLines.h"

namespace kt::finder {
namespace {

using namespace kt::finder::testing;  // the simulated lines

struct ReplyCase {
  const char* name;
  sim::FaultConfig faults;
  bool found;
};

// The meter at 9600 without parity, address 5; the first pass at that setting decides.
TEST(FinderReplies, OnlyWholeValidRepliesFromTheProbedAddressCount) {
  const ReplyCase cases[] = {
      {"clean", {}, true},
      {"noise before the reply", {.noiseBytes = 6}, true},
      {"stray bytes after it", {.strayBytes = 4}, true},
      {"reply in two parts within the wait", {.splitGapMs = 5}, true},
      {"wrong CRC", {.corruptCrc = true}, false},
      {"reply in two parts, the second too late", {.splitGapMs = 400}, false},
      {"late beyond the wait", {.lateMs = 300}, false},
  };
  for (const ReplyCase& c : cases) {
    modbus::VirtualClock clock;
    Bus bus(clock, {.address = 5, .faults = c.faults});
    MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock);
    // Through the first pass at 9600 N (first in the order): 16 probes and a configuration read.
    while (!finder.Finished() && bus.sent.size() < 19) {
      finder.Tick();
      clock.Advance(testing::kTickMs);
    }
    const bool found = !finder.Found().empty();
    EXPECT_EQ(found, c.found) << c.name;
    if (found) {
      EXPECT_EQ(finder.Found()[0].address, 5) << c.name;
      EXPECT_TRUE(finder.Found()[0].configuration.has_value()) << c.name;
    }
  }
}

TEST(FinderReplies, NoiseAloneOrAnotherAddressIsNoMeter) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 1});
  bus.line.SetMeterConnected(false);
  // A valid reply of slave 2 to a read of 0x0300 arrives after every request, and noise.
  bus.garbageAt = "9600N,8,2";
  MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock);
  for (int i = 0; i < 400 && !finder.Finished(); ++i) {
    finder.Tick();
    if (finder.Current() && finder.Current()->address == 1 && i < 3) {
      bus.line.InjectBytes({0x02, 0x03, 0x02, 0x00, 0x01, 0x3D, 0x84});
    }
    clock.Advance(testing::kTickMs);
  }
  EXPECT_TRUE(finder.Found().empty());
}

TEST(FinderReplies, SeveralMetersOnOneLineEachWithItsConfiguration) {
  modbus::VirtualClock clock;
  Bus bus(clock,
          {.address = 3, .baudRate = 2400, .parity = 2, .ptRatio = 10, .ctRatio = 20, .wiring = 0});
  bus.line.AddMeter(MeterAt(
      {.address = 17, .baudRate = 2400, .parity = 2, .ptRatio = 35, .ctRatio = 300, .wiring = 3}));
  bus.line.AddMeter(MeterAt(
      {.address = 200, .baudRate = 2400, .parity = 2, .ptRatio = 1, .ctRatio = 5000, .wiring = 5}));
  MeterFinder finder({{2, "", true}}, OpenerOn(bus), clock);
  RunToEnd(finder, clock);
  struct Expected {
    int address;
    uint16_t pt;
    uint16_t ct;
    uint8_t wiring;
  };
  const Expected expected[] = {{3, 10, 20, 0}, {17, 35, 300, 3}, {200, 1, 5000, 5}};
  ASSERT_EQ(finder.Found().size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const FoundMeter& m = finder.Found()[i];
    EXPECT_EQ(m.line.portNumber, 2);
    EXPECT_EQ(m.setting, (SweepSetting{2400, 2}));
    EXPECT_EQ(m.address, expected[i].address);
    ASSERT_TRUE(m.configuration.has_value());
    EXPECT_EQ(m.configuration->slaveAddress, expected[i].address);
    EXPECT_EQ(m.configuration->ptRatio, expected[i].pt);
    EXPECT_EQ(m.configuration->ctRatio, expected[i].ct);
    EXPECT_EQ(m.configuration->wiringMode, expected[i].wiring);
  }
}

TEST(FinderReplies, StopAfterTheFirstMeter) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 3});
  bus.line.AddMeter(MeterAt({.address = 4}));
  MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock, {.stopAfterFirst = true});
  RunToEnd(finder, clock);
  ASSERT_EQ(finder.Found().size(), 1u);
  EXPECT_EQ(finder.Found()[0].address, 3);
  EXPECT_FALSE(finder.Cancelled());
  EXPECT_FALSE(bus.line.GetPortOpen());
}

}  // namespace
}  // namespace kt::finder
