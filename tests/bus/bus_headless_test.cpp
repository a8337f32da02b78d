// The bus poller on a line of its own, as the service runs it: the poll interval, and the status
// pair that may follow a block.
#include <gtest/gtest.h>

#include "BusOnLine.h"
#include "Frames.h"
#include "bus/LineTimes.h"

namespace kt::testing {
namespace {

// Requests to `address` that start a turn of it (its block, or its configuration unanswered).
std::vector<uint64_t> TurnsOf(const sim::SimulatedLine& line, uint8_t address, bool answers) {
  std::vector<uint64_t> at;
  for (const auto& w : line.Written()) {
    if (w.bytes[0] == address && (!answers || w.bytes == ReadRequest(address, 0x0000, 45))) {
      at.push_back(w.atMs);
    }
  }
  return at;
}

TEST(BusPollerInterval, AMeterIsAskedAgainOnlyOnceItsIntervalHasPassedAndIsNotStaleMeanwhile) {
  std::vector<sim::MeterConfig> meters = {MeterAt(3, 100, 5, 20), MeterAt(17, 1, 1, 200),
                                          MeterAt(200, 10, 20, 60)};
  for (sim::MeterConfig& m : meters) m.delayFromRequestEnd = m.statusTrailer = true;
  // A block exchange on the wire: request, the meter's answer, reply and pair, silence, a tick.
  const auto exchangeMs = [](uint32_t delayMs) { return CharsMs(8 + 97 + 2 + 3.5) + delayMs + 10; };
  double roundMs = 0;
  for (const sim::MeterConfig& m : meters) roundMs += exchangeMs(m.responseDelayMs);
  // Meter 9 is listed but absent: each of its turns costs the longest answer allowance.
  const double longestMs = CharsMs(8 + 43 + 3.5) + bus::kLongestAnswerMs + 10;
  // Ticked every 10 ms as the window programs do, or sleeping between ticks as the service does.
  for (const auto& [intervalMs, sleeping] : std::vector<std::pair<uint32_t, bool>>{
           {0, false}, {0, true}, {700, false}, {2000, true}, {4000, false}, {4000, true}}) {
    modbus::VirtualClock clock;
    sim::SimulatedLine line(clock, meters[0]);
    for (size_t i = 1; i < meters.size(); ++i) line.AddMeter(meters[i]);
    bus::LineScheduler scheduler(line, clock);
    bus::BusPoller poller(clock);
    poller.SetMeters({{3, ""}, {17, ""}, {200, ""}, {9, ""}});
    poller.SetIntervalMs(intervalMs);
    poller.Start();
    scheduler.SetClient(&poller);
    scheduler.MainPort().SetPortOpen(true);
    size_t ticks = 0;
    for (uint32_t t = 0, step = 10; t < 20000; t += step, ++ticks) {
      clock.Advance(step);
      scheduler.Tick();
      for (const bus::BusMeter& m : poller.Meters()) {
        ASSERT_FALSE(m.address != 9 && m.lastBlock && poller.Stale(m)) << intervalMs;
      }
      const uint32_t now = clock.GetTickCount();
      const uint32_t due = poller.MsUntilDue(now).value_or(1000);
      if (sleeping) step = scheduler.MsUntilTick(now).value_or(due > 0 ? due : 10);
    }
    // Asleep, a few ticks an exchange (the reply's earliest end, its rest, its silence) and a
    // look every 10 ms while the meter has yet to answer.
    size_t tickBound = 20;
    for (const auto& w : line.Written()) {
      uint32_t answerMs = bus::kLongestAnswerMs;
      for (const sim::MeterConfig& m : meters) {
        if (m.address == w.bytes[0]) answerMs = m.responseDelayMs;
      }
      tickBound += 4 + answerMs / 10;
    }
    EXPECT_LE(ticks, sleeping ? tickBound : 2000) << intervalMs;
    // Due, a meter waits at most for the exchange on the wire and the others due before it.
    const double longestGapMs =
        std::max<double>(intervalMs, roundMs + longestMs) + longestMs + exchangeMs(200);
    for (const uint8_t a : std::vector<uint8_t>{3, 17, 200, 9}) {
      const std::vector<uint64_t> turns = TurnsOf(line, a, a != 9);
      ASSERT_GE(turns.size(), static_cast<size_t>(20000 / longestGapMs)) << int(a);
      for (size_t i = 1; i < turns.size(); ++i) {
        EXPECT_GE(turns[i] - turns[i - 1], intervalMs) << int(a) << " turn " << i << sleeping;
        EXPECT_LE(turns[i] - turns[i - 1], longestGapMs) << int(a) << " every " << intervalMs;
      }
    }
    // A configuration given is followed by the block at once, not an interval later.
    EXPECT_LT(TurnsOf(line, 3, true).front(), 3 * longestMs) << intervalMs;
    EXPECT_TRUE(poller.Find(3)->lastBlock->status.has_value());
  }
}

TEST(BusPollerStatusPair, ThePairCountsOnlyRightAfterTheBlockWithinItsSilenceAndAlone) {
  const Bytes pair = {0x41, 0x82};
  struct Case {
    const char* name;
    uint32_t pairAfterMs;  // after the reply; the silence at 9600 is 5 ms
    Bytes trailer;
    bool counted;
  };
  const Case cases[] = {
      {"at once", 0, pair, true},
      {"at the end of the silence", 5, pair, true},
      {"after the silence", 6, pair, false},
      {"with a stray byte", 0, Concat({pair, {0x00}}), false},
      {"none", 0, {}, false},
  };
  for (const Case& c : cases) {
    PollerOnPort alone({{3, ""}});
    FakeSerialPort& port = alone.port;
    port.onWrite = [&](const Bytes& request) {
      if (request != ReadRequest(3, 0x0300, 19)) return;
      port.Arrive(ReadReply(3, std::vector<uint16_t>(19, 0x0001)));
      port.AnswerAfter(30, ReadReply(3, std::vector<uint16_t>(45, 0x0100)));
      if (!c.trailer.empty()) port.AnswerAfter(30 + c.pairAfterMs, c.trailer);
    };
    const auto& block = alone.poller.Find(3)->lastBlock;
    alone.RunUntil([&] { return block.has_value(); }, 1, 1000);
    ASSERT_TRUE(block) << c.name;
    ASSERT_EQ(block->status.has_value(), c.counted) << c.name;
    if (c.counted) {
      EXPECT_EQ(block->status->voltage << 8 | block->status->current, 0x4182) << c.name;
    }
  }
}

}  // namespace
}  // namespace kt::testing
