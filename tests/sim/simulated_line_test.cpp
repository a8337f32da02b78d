// The in-process line: reply bytes arrive when a wire would deliver them, settings must match,
// baud changes after the acknowledgement, port refusals, faults repeatable per seed.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

#include "../serial/SerialTestHelpers.h"
#include "Frames.h"
#include "modbus/FindFrame.h"
#include "serial/SerialError.h"
#include "sim/SimulatedLine.h"

using namespace kt::sim;
using kt::modbus::VirtualClock;
using kt::serial::SerialError;
using kt::serial::SerialErrorKind;
using kt::serial::testing::Refusal;
using kt::testing::ReadRequest;
using kt::testing::WriteSingle;
using Bytes = std::vector<uint8_t>;

namespace {

// A line on port 1, open at `settings`, to a meter configured by `config`.
struct Bench {
  explicit Bench(const MeterConfig& config = {}, const std::string& settings = "9600N,8,2",
                 uint32_t startTick = 0)
      : clock(startTick), line(clock, config) {
    line.SetCommPort(1);
    Reopen(settings);
  }
  void Reopen(const std::string& settings) {
    line.SetPortOpen(false);
    line.SetSettings(settings);
    line.SetPortOpen(true);
  }
  // Sends, waits `ms` on the clock, returns everything that arrived.
  Bytes Exchange(const Bytes& request, uint32_t ms = 300) {
    line.GetInput();
    line.SetOutput(request);
    clock.Advance(ms);
    return line.GetInput();
  }
  Bytes ReadOne() { return Exchange(ReadRequest(1, 0x0300, 1)); }

  VirtualClock clock;
  SimulatedLine line;
};

// A function 3 reply of `length` bytes from meter 1 somewhere in `got`.
bool HasReply(const Bytes& got, int16_t length) {
  return kt::modbus::FindFrame(got, kt::modbus::SlaveAddress(1), kt::modbus::FunctionCode(3),
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
    MeterConfig config;
    config.baudRate = c.baud;
    config.responseDelayMs = c.delayMs;
    Bench b(config, std::to_string(c.baud) + "N,8,2", c.startTick);
    b.line.SetOutput(ReadRequest(1, 0, 45));
    const double charMs = 11000.0 / c.baud;
    const double startMs = 8 * charMs + 3.5 * charMs + c.delayMs;
    for (uint32_t ms = 0; ms < 3000; ++ms) {
      const int due =
          std::clamp(static_cast<int>(std::floor((ms - startMs) / charMs + 1e-9)), 0, 95);
      ASSERT_EQ(b.line.GetInBufferCount(), due) << "at " << ms << " ms";
      b.clock.Advance(1);
    }
    EXPECT_EQ(b.line.NowMs(), 3000u);
    EXPECT_TRUE(HasReply(b.line.GetInput(), 95));
  }
}

// Baud rate, then parity: the write is acknowledged at the old setting, then only the new one
// is answered.
TEST(SimulatedLine, BaudChangeIsAcknowledgedAtTheOldRateThenTheMeterMoves) {
  Bench b;
  for (const auto& [write, moved] : {std::pair{WriteSingle(1, 0x0008, 4), "19200N,8,2"},
                                     std::pair{WriteSingle(1, 0x0006, 2), "19200E,8,1"}}) {
    EXPECT_EQ(b.Exchange(write), write);
    EXPECT_EQ(b.line.meter().baudRate(), 19200);
    EXPECT_TRUE(b.ReadOne().empty());
    b.Reopen(moved);
    EXPECT_TRUE(HasReply(b.ReadOne(), 7));
  }
  EXPECT_EQ(b.line.OpenCount(), 3);
}

TEST(SimulatedLine, ClosedPortAndDisconnectedMeterReceiveNothing) {
  Bench b;
  b.line.SetOutput(ReadRequest(1, 0, 45));
  b.clock.Advance(50);  // the reply is on its way
  b.line.SetPortOpen(false);
  b.clock.Advance(200);
  EXPECT_EQ(b.line.GetInBufferCount(), 0);
  b.line.SetOutput(ReadRequest(1, 0, 45));
  ASSERT_EQ(b.line.Written().size(), 2u);
  EXPECT_TRUE(b.line.Written()[0].onWire);
  EXPECT_FALSE(b.line.Written()[1].onWire);
  EXPECT_EQ(b.line.Written()[1].atMs, 250u);
  b.line.SetPortOpen(true);
  b.clock.Advance(300);
  EXPECT_EQ(b.line.GetInBufferCount(), 0);  // nothing was sent, and nothing arrived while closed

  b.line.SetMeterConnected(false);
  EXPECT_TRUE(b.ReadOne().empty());
  b.line.SetMeterConnected(true);
  b.line.SetMeterPort(2);
  EXPECT_TRUE(b.ReadOne().empty());
  b.line.SetPortOpen(false);
  b.line.SetCommPort(2);
  b.line.SetPortOpen(true);
  EXPECT_TRUE(HasReply(b.ReadOne(), 7));
}

TEST(SimulatedLine, InjectedBytesInputLengthAndFlush) {
  Bench b;
  b.line.InjectBytes({0x00, 0x0D, 0x0A, 0x1A, 0xFF});
  EXPECT_EQ(b.line.GetInBufferCount(), 5);
  b.line.SetInputLen(2);
  EXPECT_EQ(b.line.GetInput(), (Bytes{0x00, 0x0D}));
  b.line.SetInputLen(0);
  EXPECT_EQ(b.line.GetInput(), (Bytes{0x0A, 0x1A, 0xFF}));
  b.line.InjectBytes({1, 2, 3});
  b.line.SetInBufferCount(0);
  EXPECT_EQ(b.line.GetInBufferCount(), 0);
  b.line.SetPortOpen(false);
  b.line.InjectBytes({1, 2, 3});
  b.line.SetPortOpen(true);
  EXPECT_EQ(b.line.GetInBufferCount(), 0);
}

TEST(SimulatedLine, PortRefusals) {
  VirtualClock clock;
  SimulatedLine line(clock);
  line.SetPortMissing(3, true);
  line.SetPortInUse(2, true);
  const auto kindOpening = [&](int16_t port) {
    line.SetCommPort(port);
    const auto e = Refusal([&] { line.SetPortOpen(true); });
    if (!e) {
      line.SetPortOpen(false);
      return -1;
    }
    EXPECT_FALSE(line.GetPortOpen());
    if (port >= 1) {
      EXPECT_EQ(e->device(), "/dev/ttyS" + std::to_string(port - 1));
    }
    return static_cast<int>(e->kind());
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
    const auto e = Refusal([&] { line.SetSettings(bad); });
    ASSERT_TRUE(e) << "accepted " << bad;
    EXPECT_EQ(e->kind(), SerialErrorKind::BadSettings) << bad;
  }
  EXPECT_EQ(line.Settings(), "19200E,8,1");
}

// The bytes received for `polls` configuration reads under a fault configuration.
Bytes ReceivedUnder(const FaultConfig& faults, uint32_t polls = 3) {
  MeterConfig config;
  config.faults = faults;
  Bench b(config);
  Bytes all;
  for (uint32_t n = 0; n < polls; ++n) {
    const Bytes got = b.Exchange(ReadRequest(1, 0x0300, 19), 500);
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
  FaultConfig f;
  f.noiseBytes = 4;  // before the reply
  Bytes got = ReceivedUnder(f, 1);
  ASSERT_EQ(got.size(), 47u);
  EXPECT_EQ(Bytes(got.begin() + 4, got.end()), clean);
  f = {};
  f.strayBytes = 3;  // after it
  got = ReceivedUnder(f, 1);
  ASSERT_EQ(got.size(), 46u);
  EXPECT_EQ(Bytes(got.begin(), got.begin() + 43), clean);
  f = {};
  f.corruptCrc = true;
  got = ReceivedUnder(f, 1);
  ASSERT_EQ(got.size(), 43u);
  EXPECT_FALSE(HasReply(got, 43));
  EXPECT_EQ(got[42], clean[42] ^ 0xFF);
  f = {};
  f.dropEveryNth = 2;
  EXPECT_EQ(ReceivedUnder(f, 4).size(), 2 * 43u);  // replies 2 and 4 are missing
}

TEST(SimulatedLineFaults, LateAndSplitRepliesAreLateAndSplit) {
  // When the first and the last reply byte are there, in ms after the request.
  const auto arrival = [](const FaultConfig& faults) {
    MeterConfig config;
    config.faults = faults;
    Bench b(config);
    b.line.SetOutput(ReadRequest(1, 0x0300, 19));
    std::pair<int, int> firstLast{-1, -1};
    for (int ms = 0; ms < 2000; ++ms, b.clock.Advance(1)) {
      const int n = b.line.GetInBufferCount();
      if (n > 0 && firstLast.first < 0) firstLast.first = ms;
      if (n == 43 && firstLast.second < 0) firstLast.second = ms;
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
