// What counts as a meter: a whole valid reply from the probed address with the byte count of
// the registers asked, as real lines bring it (slow meters, lost replies, echoing adapters,
// meters that ignore parity, another master on the line).
#include <gtest/gtest.h>

#include "SimulatedLines.h"
#include "finder/HeardFrames.h"
#include "modbus/RequestFrames.h"

namespace kt::finder {
namespace {

using namespace kt::finder::testing;  // the simulated lines

struct MeterCase {
  MeterSpec meter;
  bool echo = false;
};

// Each meter alone on port 1, the sweep stopping at the first find; its configuration read
// with it tells the simulator's registers back.
TEST(FinderReplies, RealMetersAreFoundAtTheirSettings) {
  const MeterCase cases[] = {
      {{.address = 1, .answerMs = 300}},
      {{.address = 16, .baudRate = 1200, .parity = 1, .answerMs = 300}},
      {{.address = 17, .answerMs = 20}},
      {{.address = 247, .baudRate = 1200, .parity = 1, .answerMs = 300}},
      {{.address = 200, .baudRate = 19200, .parity = 2, .answerMs = 100}},
      {{.address = 5, .answerMs = 20, .faults = {.dropFirst = 1}}},
      {{.address = 12, .baudRate = 2400, .parity = 2, .answerMs = 300, .faults = {.dropFirst = 1}}},
      {{.address = 9, .answerMs = 100}, true},
      {{.address = 47, .baudRate = 4800, .parity = 2, .answerMs = 300}, true},
      {{.address = 6, .faults = {.noiseBytes = 6, .strayBytes = 4}}},
      {{.address = 7, .faults = {.splitGapMs = 15}}},
  };
  for (const MeterCase& c : cases) {
    modbus::VirtualClock clock;
    MeterSpec spec = c.meter;
    spec.ptRatio = static_cast<uint16_t>(spec.address + 100);
    Bus bus(clock, spec);
    bus.line.SetEcho(c.echo);
    MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock, {.stopAfterFirst = true});
    RunToEnd(finder, clock);
    const std::string name = std::to_string(spec.address) + " at " + std::to_string(spec.baudRate);
    ASSERT_EQ(finder.Found().size(), 1u) << name;
    const FoundMeter& m = finder.Found()[0];
    EXPECT_EQ(m.address, spec.address) << name;
    EXPECT_EQ(m.setting, (SweepSetting{spec.baudRate, spec.parity})) << name;
    ASSERT_TRUE(m.configuration.has_value()) << name;
    EXPECT_EQ(m.configuration->ptRatio, spec.ptRatio) << name;
  }
}

// A meter that takes any parity answers at all three: it is listed once, at the first parity
// of the order, and not asked again at the others once known.
TEST(FinderReplies, AMeterThatIgnoresParityIsListedOnce) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 21, .baudRate = 4800, .answerMs = 100, .anyParity = true});
  bus.line.AddMeter(MeterAt({.address = 3, .baudRate = 4800, .answerMs = 100, .anyParity = true}));
  MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock);
  RunToEnd(finder, clock);
  ASSERT_EQ(finder.Found().size(), 2u);
  EXPECT_EQ(finder.Found()[0].address, 3);
  EXPECT_EQ(finder.Found()[1].address, 21);
  for (const FoundMeter& m : finder.Found()) EXPECT_EQ(m.setting, (SweepSetting{4800, 0}));
}

// Another master on the line. Its request to 9, then a reply from 9, right after the finder
// asked 9: that reply answers the other master. A reply from 10 of two registers right after
// the finder asked 10 for one: it answers someone else too. Neither is listed, however often
// they come; the meter at 11 that answers the finder itself is.
TEST(FinderReplies, AReplyToAnotherMasterIsNoFind) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 11});
  modbus::RequestBuffer request{};
  modbus::BuildReadRequest(request, 9, 0x0000, 1);
  const std::vector<uint8_t> reply{0x09, 0x03, 0x02, 0x00, 0x09, 0x99, 0x83};
  const std::vector<uint8_t> twoRegisters{0x0A, 0x03, 0x04, 0x00, 0x0A, 0x00, 0x0A, 0xE0, 0xF6};
  MeterFinder finder({{1, "", true}}, OpenerOn(bus), clock);
  size_t seen = 0;
  while (!finder.Finished() && clock.ElapsedMs() < 120'000) {
    finder.Tick();
    for (; seen < bus.sent.size(); ++seen) {
      if (bus.sent[seen].bytes[0] == 10) bus.line.SendFromAnotherMaster(twoRegisters, {9600, 0});
      if (bus.sent[seen].bytes[0] != 9) continue;
      bus.line.SendFromAnotherMaster({request.begin(), request.begin() + 8}, {9600, 0});
      bus.line.SendFromAnotherMaster(reply, {9600, 0});
    }
    clock.Advance(testing::kTickMs);
  }
  ASSERT_EQ(finder.Found().size(), 1u);
  EXPECT_EQ(finder.Found()[0].address, 11);
}

// A valid reply of slave 2 and noise arrive after requests to 1; nothing is at 2: it is asked
// again, and no meter is listed.
TEST(FinderReplies, NoiseAloneOrAnotherAddressIsNoMeter) {
  modbus::VirtualClock clock;
  Bus bus(clock, {.address = 1});
  bus.line.SetMeterConnected(false);
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
  const auto probes = Probes(bus);
  EXPECT_NE(std::find(probes.begin(), probes.end(), std::make_pair(std::string("9600N,8,2"), 2)),
            probes.end());
}

// The frames as the finder tells them apart, the echo of its own request left out.
TEST(FinderReplies, HeardFramesByCrcAndShape) {
  modbus::RequestBuffer probe{};
  modbus::BuildReadRequest(probe, 47, 0x0300, 1);
  const std::vector<uint8_t> request(probe.begin(), probe.begin() + 8);
  const std::vector<uint8_t> reply{0x02, 0x03, 0x02, 0x00, 0x01, 0x3D, 0x84};
  const std::vector<uint8_t> exception{0x02, 0x83, 0x02, 0x30, 0xF1};
  struct Case {
    std::vector<std::vector<uint8_t>> parts;
    std::vector<HeardKind> heard;
  };
  const Case cases[] = {
      {{request}, {}},                                   // the echo alone
      {{request, reply}, {HeardKind::ReadReply}},        // echo, then a reply
      {{{request.begin(), request.begin() + 3}, reply},  // the echo cut short
       {HeardKind::Stray, HeardKind::ReadReply}},
      {{{0x00}, request}, {HeardKind::Stray, HeardKind::Request}},  // no echo: another master
      {{exception, {0x02, 0x03, 0x02, 0x00}}, {HeardKind::Exception, HeardKind::Stray}},
      {{{0x02, 0x03, 0xC8}, reply}, {HeardKind::Stray, HeardKind::ReadReply}},
  };
  for (const Case& c : cases) {
    HeardFrames frames;
    frames.ExpectEcho(request);
    std::vector<HeardKind> kinds;
    for (const auto& part : c.parts) {
      frames.Add(part);
      for (const HeardFrame& f : frames.Take(false)) kinds.push_back(f.kind);
    }
    for (const HeardFrame& f : frames.Take(true)) kinds.push_back(f.kind);
    EXPECT_EQ(kinds, c.heard) << c.parts.size();
  }
}

TEST(FinderReplies, SeveralMetersOnOneLineEachWithItsConfiguration) {
  const MeterSpec meters[] = {
      {.address = 3, .baudRate = 2400, .parity = 2, .ptRatio = 10, .ctRatio = 20, .wiring = 0},
      {.address = 17, .baudRate = 2400, .parity = 2, .ptRatio = 35, .ctRatio = 300, .wiring = 3},
      {.address = 200, .baudRate = 2400, .parity = 2, .ptRatio = 1, .ctRatio = 5000, .wiring = 5}};
  modbus::VirtualClock clock;
  Bus bus(clock, meters[0]);
  for (const MeterSpec& m : {meters[1], meters[2]}) bus.line.AddMeter(MeterAt(m));
  MeterFinder finder({{2, "", true}}, OpenerOn(bus), clock);
  RunToEnd(finder, clock);
  ASSERT_EQ(finder.Found().size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    const FoundMeter& m = finder.Found()[i];
    EXPECT_EQ(m.line.portNumber, 2);
    EXPECT_EQ(m.setting, (SweepSetting{2400, 2}));
    EXPECT_EQ(m.address, meters[i].address);
    ASSERT_TRUE(m.configuration.has_value());
    EXPECT_EQ(m.configuration->slaveAddress, meters[i].address);
    EXPECT_EQ(m.configuration->ptRatio, meters[i].ptRatio);
    EXPECT_EQ(m.configuration->ctRatio, meters[i].ctRatio);
    EXPECT_EQ(m.configuration->wiringMode, meters[i].wiring);
  }
}

}  // namespace
}  // namespace kt::finder
