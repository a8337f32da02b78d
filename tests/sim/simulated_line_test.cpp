// The in-process line: reply bytes arrive when a wire would deliver them, settings must match,
// baud changes after the acknowledgement, port refusals, faults repeatable per seed.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "Frames.h"
#include "modbus/FindFrame.h"
#include "serial/SerialError.h"
#include "sim/SimulatedLine.h"

using namespace kt::sim;
using kt::modbus::VirtualClock;
using kt::serial::SerialError;
using kt::serial::SerialErrorKind;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes Read(uint8_t address, uint16_t start, uint16_t count) {
  return kt::testing::ReadRequest(address, start, count);
}
using kt::testing::WriteSingle;

void Open(SimulatedLine& line, const std::string& settings) {
  line.SetCommPort(1);
  line.SetSettings(settings);
  line.SetPortOpen(true);
}

// Sends, waits `ms` on the clock, returns everything that arrived.
Bytes Exchange(SimulatedLine& line, VirtualClock& clock, const Bytes& request, uint32_t ms = 300) {
  line.GetInput();
  line.SetOutput(request);
  clock.Advance(ms);
  return line.GetInput();
}

bool HasFrame(const Bytes& got, int function, int address, int16_t length) {
  return kt::modbus::FindFrame(got, kt::modbus::SlaveAddress(static_cast<uint8_t>(address)),
                               kt::modbus::FunctionCode(static_cast<uint8_t>(function)),
                               length) >= 0;
}

// Request on the wire, 3.5 characters of silence, the response delay, then 95 characters, each
// counted once its last bit is in. At 9600 baud with 20 ms: 9.17 ms request + 4.01 ms silence +
// 20 ms = 33.2 ms, the first byte whole at 34.3 ms and the last at 142.03 ms; the same when the
// tick counter wraps during the reply.
TEST(SimulatedLine, ReplyBytesArriveAtTheirWireTimes) {
  struct Case {
    int32_t baud;
    uint32_t delayMs;
    uint32_t startTick;
  };
  for (const Case c : {Case{9600, 20, 0}, Case{9600, 20, 0xFFFFFFF0u}, Case{1200, 20, 0},
                       Case{19200, 0, 0}, Case{4800, 150, 0}}) {
    SCOPED_TRACE(c.baud);
    VirtualClock clock(c.startTick);
    MeterConfig config;
    config.baudRate = c.baud;
    config.responseDelayMs = c.delayMs;
    SimulatedLine line(clock, config);
    Open(line, std::to_string(c.baud) + "N,8,2");
    line.SetOutput(Read(1, 0, 45));
    const double charMs = 11000.0 / c.baud;
    const double startMs = 8 * charMs + 3.5 * charMs + c.delayMs;
    for (uint32_t ms = 0; ms < 3000; ++ms) {
      const int due =
          std::clamp(static_cast<int>(std::floor((ms - startMs) / charMs + 1e-9)), 0, 95);
      ASSERT_EQ(line.GetInBufferCount(), due) << "at " << ms << " ms";
      clock.Advance(1);
    }
    EXPECT_EQ(line.NowMs(), 3000u);
    EXPECT_TRUE(HasFrame(line.GetInput(), 3, 1, 95));
  }
}

TEST(SimulatedLine, OtherRateOrParityIsNotUnderstood) {
  for (const char* settings : {"4800N,8,2", "9600E,8,1", "9600O,8,1", "19200N,8,2"}) {
    VirtualClock clock;
    SimulatedLine line(clock);
    Open(line, settings);
    EXPECT_TRUE(Exchange(line, clock, Read(1, 0x0300, 19), 2000).empty()) << settings;
  }
  VirtualClock clock;
  SimulatedLine line(clock);
  Open(line, "9600N,8,2");
  EXPECT_TRUE(HasFrame(Exchange(line, clock, Read(1, 0x0300, 19)), 3, 1, 43));
}

TEST(SimulatedLine, BaudChangeIsAcknowledgedAtTheOldRateThenTheMeterMoves) {
  VirtualClock clock;
  SimulatedLine line(clock);
  Open(line, "9600N,8,2");
  const Bytes write = WriteSingle(1, 0x0008, 4);
  EXPECT_EQ(Exchange(line, clock, write), write);
  EXPECT_EQ(line.meter().baudRate(), 19200);
  EXPECT_TRUE(Exchange(line, clock, Read(1, 0x0300, 1)).empty());
  line.SetPortOpen(false);
  line.SetSettings("19200N,8,2");
  line.SetPortOpen(true);
  EXPECT_TRUE(HasFrame(Exchange(line, clock, Read(1, 0x0300, 1)), 3, 1, 7));
  // Parity the same way, at 19200 now.
  const Bytes even = WriteSingle(1, 0x0006, 2);
  EXPECT_EQ(Exchange(line, clock, even), even);
  EXPECT_TRUE(Exchange(line, clock, Read(1, 0x0300, 1)).empty());
  line.SetPortOpen(false);
  line.SetSettings("19200E,8,1");
  line.SetPortOpen(true);
  EXPECT_TRUE(HasFrame(Exchange(line, clock, Read(1, 0x0300, 1)), 3, 1, 7));
  EXPECT_EQ(line.OpenCount(), 3);
}

TEST(SimulatedLine, ClosedPortAndDisconnectedMeterReceiveNothing) {
  VirtualClock clock;
  SimulatedLine line(clock);
  Open(line, "9600N,8,2");
  line.SetOutput(Read(1, 0, 45));
  clock.Advance(50);  // the reply is on its way
  line.SetPortOpen(false);
  clock.Advance(200);
  EXPECT_EQ(line.GetInBufferCount(), 0);
  line.SetOutput(Read(1, 0, 45));
  ASSERT_EQ(line.Written().size(), 2u);
  EXPECT_TRUE(line.Written()[0].onWire);
  EXPECT_FALSE(line.Written()[1].onWire);
  EXPECT_EQ(line.Written()[1].atMs, 250u);
  line.SetPortOpen(true);
  clock.Advance(300);
  EXPECT_EQ(line.GetInBufferCount(), 0);  // nothing was sent, and nothing arrived while closed

  line.SetMeterConnected(false);
  EXPECT_TRUE(Exchange(line, clock, Read(1, 0x0300, 1)).empty());
  line.SetMeterConnected(true);
  line.SetMeterPort(2);
  EXPECT_TRUE(Exchange(line, clock, Read(1, 0x0300, 1)).empty());
  line.SetPortOpen(false);
  line.SetCommPort(2);
  line.SetPortOpen(true);
  EXPECT_TRUE(HasFrame(Exchange(line, clock, Read(1, 0x0300, 1)), 3, 1, 7));
}

TEST(SimulatedLine, InjectedBytesInputLengthAndFlush) {
  VirtualClock clock;
  SimulatedLine line(clock);
  Open(line, "9600N,8,2");
  line.InjectBytes({0x00, 0x0D, 0x0A, 0x1A, 0xFF});
  EXPECT_EQ(line.GetInBufferCount(), 5);
  line.SetInputLen(2);
  EXPECT_EQ(line.GetInput(), (Bytes{0x00, 0x0D}));
  line.SetInputLen(0);
  EXPECT_EQ(line.GetInput(), (Bytes{0x0A, 0x1A, 0xFF}));
  line.InjectBytes({1, 2, 3});
  line.SetInBufferCount(0);
  EXPECT_EQ(line.GetInBufferCount(), 0);
  line.SetPortOpen(false);
  line.InjectBytes({1, 2, 3});
  line.SetPortOpen(true);
  EXPECT_EQ(line.GetInBufferCount(), 0);
}

TEST(SimulatedLine, WrappingTickCounterKeepsTime) {
  VirtualClock clock(0xFFFFFFF0u);
  SimulatedLine line(clock);
  Open(line, "9600N,8,2");
  line.SetOutput(Read(1, 0, 45));
  clock.Advance(142);
  EXPECT_EQ(line.GetInBufferCount(), 94);
  clock.Advance(1);
  EXPECT_EQ(line.GetInBufferCount(), 95);
  EXPECT_EQ(line.NowMs(), 143u);
}

TEST(SimulatedLine, PortRefusals) {
  VirtualClock clock;
  SimulatedLine line(clock);
  line.SetPortMissing(3, true);
  line.SetPortInUse(2, true);
  const auto kindOpening = [&](int16_t port) {
    line.SetCommPort(port);
    try {
      line.SetPortOpen(true);
    } catch (const SerialError& e) {
      EXPECT_FALSE(line.GetPortOpen());
      if (port >= 1) {
        EXPECT_EQ(e.device(), "/dev/ttyS" + std::to_string(port - 1));
      }
      return static_cast<int>(e.kind());
    }
    line.SetPortOpen(false);
    return -1;
  };
  EXPECT_EQ(kindOpening(3), static_cast<int>(SerialErrorKind::NoSuchPort));
  EXPECT_EQ(kindOpening(2), static_cast<int>(SerialErrorKind::PortInUse));
  EXPECT_EQ(kindOpening(0), static_cast<int>(SerialErrorKind::BadPortNumber));
  EXPECT_EQ(kindOpening(1), -1);
  line.SetPortMissing(3, false);
  EXPECT_EQ(kindOpening(3), -1);
  EXPECT_EQ(line.OpenCount(), 2);
}

TEST(SimulatedLine, SettingsGrammar) {
  VirtualClock clock;
  SimulatedLine line(clock);
  for (const char* good : {"1200N,8,2", "2400O,8,1", "4800E,8,1", "19200E,8,1"}) {
    EXPECT_NO_THROW(line.SetSettings(good)) << good;
    EXPECT_EQ(line.Settings(), good);
  }
  for (const char* bad : {"9600,N,8,2", "9600N,8,1", "9600O,8,2", "9601N,8,2", "N,8,2",
                          "09600N,8,2", "9600n,8,2", "", "38400N,8,2", "9600N,8,2 "}) {
    try {
      line.SetSettings(bad);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const SerialError& e) {
      EXPECT_EQ(e.kind(), SerialErrorKind::BadSettings) << bad;
    }
  }
  EXPECT_EQ(line.Settings(), "19200E,8,1");
}

// Three blocks' worth of received bytes under a fault configuration.
Bytes ReceivedUnder(const FaultConfig& faults, uint32_t polls = 3) {
  VirtualClock clock;
  MeterConfig config;
  config.faults = faults;
  SimulatedLine line(clock, config);
  Open(line, "9600N,8,2");
  Bytes all;
  for (uint32_t n = 0; n < polls; ++n) {
    const Bytes got = Exchange(line, clock, Read(1, 0x0300, 19), 500);
    all.insert(all.end(), got.begin(), got.end());
  }
  return all;
}

TEST(SimulatedLineFaults, RepeatablePerSeed) {
  FaultConfig faults;
  faults.noiseBytes = 3;
  faults.strayBytes = 2;
  faults.probability = 0.5;
  faults.dropProbability = 0.2;
  const Bytes a = ReceivedUnder(faults, 10);
  EXPECT_EQ(a, ReceivedUnder(faults, 10));
  faults.seed = 99;
  EXPECT_NE(a, ReceivedUnder(faults, 10));
}

TEST(SimulatedLineFaults, EachDoesWhatItSays) {
  const Bytes clean = ReceivedUnder({}, 1);
  ASSERT_EQ(clean.size(), 43u);

  FaultConfig noise;
  noise.noiseBytes = 4;
  Bytes got = ReceivedUnder(noise, 1);
  ASSERT_EQ(got.size(), 47u);
  EXPECT_EQ(Bytes(got.begin() + 4, got.end()), clean);

  FaultConfig stray;
  stray.strayBytes = 3;
  got = ReceivedUnder(stray, 1);
  ASSERT_EQ(got.size(), 46u);
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 43), clean);

  FaultConfig crc;
  crc.corruptCrc = true;
  got = ReceivedUnder(crc, 1);
  ASSERT_EQ(got.size(), 43u);
  EXPECT_FALSE(HasFrame(got, 3, 1, 43));
  EXPECT_EQ(got[42], clean[42] ^ 0xFF);

  FaultConfig drop;
  drop.dropEveryNth = 2;
  EXPECT_EQ(ReceivedUnder(drop, 4).size(), 2 * 43u);  // replies 2 and 4 are missing
}

TEST(SimulatedLineFaults, LateAndSplitRepliesAreLateAndSplit) {
  // When the first and the last reply byte are there, in ms after the request.
  const auto arrival = [](const FaultConfig& faults) {
    VirtualClock clock;
    MeterConfig config;
    config.faults = faults;
    SimulatedLine line(clock, config);
    Open(line, "9600N,8,2");
    line.SetOutput(Read(1, 0x0300, 19));
    std::pair<int, int> firstLast{-1, -1};
    for (int ms = 0; ms < 2000; ++ms) {
      const int n = line.GetInBufferCount();
      if (n > 0 && firstLast.first < 0) firstLast.first = ms;
      if (n == 43 && firstLast.second < 0) firstLast.second = ms;
      clock.Advance(1);
    }
    return firstLast;
  };
  const auto clean = arrival({});
  FaultConfig late;
  late.lateMs = 400;
  const auto delayed = arrival(late);
  EXPECT_EQ(delayed.first - clean.first, 400);
  EXPECT_EQ(delayed.second - clean.second, 400);
  FaultConfig split;
  split.splitGapMs = 250;
  const auto cut = arrival(split);
  EXPECT_EQ(cut.first, clean.first);
  EXPECT_EQ(cut.second - clean.second, 250);
}

}  // namespace
