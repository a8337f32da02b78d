// What real lines do, as the simulator's options make them (meter_options_test parses them): a
// meter's answer time counted from the request's last byte, lost first replies, an adapter that
// echoes, a meter that ignores parity, a line with nothing attached.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Frames.h"
#include "sim/MeterBus.h"

namespace kt::sim {
namespace {

struct Heard {
  std::vector<TimedByte> echo;
  std::vector<TimedByte> reply;
};

// One read of register 0x0300 from slave 1, its bytes on the wire one character after another
// from 0 on; what comes back within two seconds.
Heard Ask(MeterBus& bus, LineSettings master) {
  const std::vector<uint8_t> request = kt::testing::ReadRequest(1, 0x0300, 1);
  static uint64_t startUs = 0;
  startUs += 10'000'000;  // each question on a quiet line
  const double charUs = 11e6 / master.baud;
  for (size_t i = 0; i < request.size(); ++i) {
    bus.Receive(request[i],
                startUs + static_cast<uint64_t>(std::llround(static_cast<double>(i + 1) * charUs)),
                master);
  }
  Heard heard;
  for (uint64_t t = startUs; t < startUs + 2'000'000; t += 1000) {
    bus.AdvanceTo(t);
    for (TimedByte b : bus.TakeSent(t)) {
      b.atUs -= startUs;
      (b.fromLine ? heard.echo : heard.reply).push_back(b);
    }
  }
  return heard;
}

// The reply's first byte is whole one character after the answer time (never before the
// 3.5-character silence) from the request's last byte.
TEST(SimLineBehaviour, AnswersAsOptionsSay) {
  struct Case {
    int32_t baud;
    int32_t masterParity;
    uint32_t answerMs;
    bool anyParity;
    bool echo;
    bool attached;
    uint32_t dropFirst;
    bool answered;
  };
  const Case cases[] = {
      // At 1200 the silence is 32.08 ms: an answer time just inside it and just outside.
      {9600, 0, 300, false, false, true, 0, true}, {1200, 0, 32, false, false, true, 0, true},
      {1200, 0, 33, false, false, true, 0, true},  {19200, 0, 100, false, true, true, 0, true},
      {9600, 2, 20, false, false, true, 0, false}, {9600, 2, 20, true, false, true, 0, true},
      {4800, 1, 20, true, true, true, 0, true},    {9600, 0, 20, false, true, false, 0, false},
      {9600, 0, 20, false, false, true, 1, false},
  };
  for (const Case& c : cases) {
    MeterConfig meter;
    meter.baudRate = c.baud;
    meter.responseDelayMs = c.answerMs;
    meter.delayFromRequestEnd = true;
    meter.anyParity = c.anyParity;
    meter.faults.dropFirst = c.dropFirst;
    MeterBus bus({meter}, false, 1);
    bus.SetEcho(c.echo);
    bus.SetMetersAttached(c.attached);
    const LineSettings master{c.baud, c.masterParity};
    const Heard first = Ask(bus, master);
    const std::string name = std::to_string(c.baud) + " answer " + std::to_string(c.answerMs);
    ASSERT_EQ(first.echo.size(), c.echo ? 8u : 0u) << name;
    if (c.echo) {
      EXPECT_NEAR(static_cast<double>(first.echo.back().atUs), 8 * 11e6 / c.baud, 2) << name;
    }
    ASSERT_EQ(first.reply.size(), c.answered ? 7u : 0u) << name;
    if (!c.answered) {
      // A lost first reply: the second request is answered.
      EXPECT_EQ(Ask(bus, master).reply.size(), c.dropFirst > 0 ? 7u : 0u) << name;
      continue;
    }
    const double charUs = 11e6 / c.baud;
    const double expected = 8 * charUs + std::max(c.answerMs * 1000.0, 3.5 * charUs) + charUs;
    EXPECT_NEAR(static_cast<double>(first.reply.front().atUs), expected, 2) << name;
    EXPECT_EQ(first.reply.front().settings, master) << name;  // any parity: the master's
  }
}

// A byte whose end comes 3.5 characters or more after the end of the one before starts a new
// frame: a read split after its fourth byte a microsecond inside that silence is one request
// (answered), just outside it two pieces (neither answered); a whole request after them is.
TEST(SimLineBehaviour, ASilenceOfThreeAndAHalfCharactersSplitsARequest) {
  const std::vector<uint8_t> request = kt::testing::ReadRequest(1, 0x0300, 1);
  for (const int32_t baud : {1200, 9600, 19200}) {
    const double silenceUs = 3.5 * 11e6 / baud;
    for (const bool split : {false, true}) {
      const auto gapUs =
          static_cast<uint64_t>(split ? std::ceil(silenceUs) : std::floor(silenceUs - 1));
      MeterConfig meter;
      meter.baudRate = baud;
      MeterBus bus({meter}, false, 1);
      const LineSettings master{baud, 0};
      const auto charUs = static_cast<uint64_t>(std::llround(11e6 / baud));
      uint64_t t = 1'000'000;
      size_t replies = 0;
      const auto send = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) bus.Receive(request[i], t += charUs, master);
      };
      const auto listen = [&] {
        for (const uint64_t end = t + 1'000'000; t < end; t += 1000) {
          bus.AdvanceTo(t);
          for (const TimedByte& b : bus.TakeSent(t)) replies += b.fromLine ? 0 : 1;
        }
      };
      send(0, 4);
      t += gapUs - charUs;  // the fifth byte ends `gapUs` after the fourth
      send(4, 8);
      listen();
      EXPECT_EQ(replies, split ? 0u : 7u) << baud << (split ? " split" : " joined");
      replies = 0;
      send(0, 8);
      listen();
      EXPECT_EQ(replies, 7u) << baud << " afterwards";
    }
  }
}

}  // namespace
}  // namespace kt::sim
