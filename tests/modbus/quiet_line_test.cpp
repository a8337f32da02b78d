// The quiet-line wait: it ends after the last byte of a reply, not before its first, and never
// later than its limit, however long the line stays busy.
#include <gtest/gtest.h>

#include "FakeSerialPort.h"
#include "modbus/QuietLine.h"

using kt::modbus::VirtualClock;
using kt::modbus::WaitForQuietLine;
using kt::testing::FakeSerialPort;

TEST(QuietLine, EndsAfterTheLastByteOrAtTheLimit) {
  constexpr uint32_t kQuietMs = 5;
  constexpr uint32_t kLimitMs = 60;
  struct Case {
    const char* name;
    bool waiting;            // bytes are in before the wait begins
    uint32_t firstByteMs;    // a byte every 2 ms from here ...
    uint32_t lastByteMs;     // ... up to here; 0 for none
    uint32_t earliestEndMs;  // the wait ends in [earliest, latest]
    uint32_t latestEndMs;
  };
  const Case cases[] = {
      {"reply already in", true, 0, 0, kQuietMs, kQuietMs + 2},
      {"reply after a response delay", false, 20, 40, 40 + kQuietMs, 40 + kQuietMs + 2},
      {"no reply at all", false, 0, 0, kLimitMs, kLimitMs},
      {"line never falls quiet", false, 2, 200, kLimitMs, kLimitMs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualClock clock;
    FakeSerialPort port(clock);
    port.open = true;
    if (c.waiting) port.Arrive({0x01, 0x03});
    for (uint32_t at = c.firstByteMs; c.lastByteMs != 0 && at <= c.lastByteMs; at += 2) {
      port.AnswerAfter(at, {0x5A});
    }
    port.SetOutput({});  // the poll request the bytes answer
    WaitForQuietLine(port, clock, kQuietMs, kLimitMs);
    EXPECT_GE(clock.ElapsedMs(), c.earliestEndMs);
    EXPECT_LE(clock.ElapsedMs(), c.latestEndMs);
  }
}

TEST(QuietLine, ClosedPortOrNoLimitDoesNotWait) {
  VirtualClock clock;
  FakeSerialPort port(clock);
  WaitForQuietLine(port, clock, 5, 100);
  port.open = true;
  WaitForQuietLine(port, clock, 5, 0);
  EXPECT_EQ(clock.ElapsedMs(), 0u);
}

TEST(QuietLine, QuietTimeIsFourCharactersAtTheBaudRate) {
  EXPECT_EQ(kt::modbus::QuietMsFor(9600), 5u);   // 44 bits: 4.6 ms
  EXPECT_EQ(kt::modbus::QuietMsFor(1200), 37u);  // 36.7 ms
  EXPECT_EQ(kt::modbus::QuietMsFor(19200), 3u);  // 2.3 ms
}
