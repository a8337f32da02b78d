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
    WaitForQuietLine(port, clock, kQuietMs, kLimitMs, kLimitMs);
    EXPECT_GE(clock.ElapsedMs(), c.earliestEndMs);
    EXPECT_LE(clock.ElapsedMs(), c.latestEndMs);
  }
}

TEST(QuietLine, ClosedPortOrNoLimitDoesNotWait) {
  VirtualClock clock;
  FakeSerialPort port(clock);
  WaitForQuietLine(port, clock, 5, 100, 100);
  port.open = true;
  WaitForQuietLine(port, clock, 5, 100, 0);
  EXPECT_EQ(clock.ElapsedMs(), 0u);
}

TEST(QuietLine, QuietTimeIsFourCharactersAtTheBaudRate) {
  EXPECT_EQ(kt::modbus::QuietMsFor(9600), 5u);   // 44 bits: 4.6 ms
  EXPECT_EQ(kt::modbus::QuietMsFor(1200), 37u);  // 36.7 ms
  EXPECT_EQ(kt::modbus::QuietMsFor(19200), 3u);  // 2.3 ms
}

TEST(QuietLine, ASilentLineIsWaitedForOnlyUntilTheReplyWasDue) {
  constexpr uint32_t kQuietMs = 5;
  constexpr uint32_t kFirstByteMs = 40;
  constexpr uint32_t kLimitMs = 500;
  struct Case {
    const char* name;
    uint32_t firstByteAtMs;  // a 20-byte reply from here on, one byte a millisecond; 0: none
    uint32_t endMs;
  };
  const Case cases[] = {
      {"nothing comes", 0, kFirstByteMs},
      {"first byte just inside the bound", kFirstByteMs - 2, kFirstByteMs - 2 + 19 + kQuietMs},
      {"first byte just after the bound", kFirstByteMs + 1, kFirstByteMs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualClock clock;
    FakeSerialPort port(clock);
    port.open = true;
    for (uint32_t i = 0; c.firstByteAtMs != 0 && i < 20; ++i) {
      port.AnswerAfter(c.firstByteAtMs + i, {0x5A});
    }
    port.SetOutput({});
    WaitForQuietLine(port, clock, kQuietMs, kFirstByteMs, kLimitMs);
    EXPECT_GE(clock.ElapsedMs(), c.endMs);
    EXPECT_LE(clock.ElapsedMs(), c.endMs + 2);
  }
  // Bytes already waiting are a reply in flight, however late it is.
  VirtualClock clock;
  FakeSerialPort port(clock);
  port.open = true;
  port.Arrive({0x01});
  WaitForQuietLine(port, clock, kQuietMs, 0, kLimitMs);
  EXPECT_EQ(clock.ElapsedMs(), kQuietMs);
}

TEST(QuietLine, ReplyIsDueAfterRequestAndReplyOnTheWireAndTheTurnaround) {
  using kt::modbus::kReplyTurnaroundMs;
  using kt::modbus::ReplyDueMs;
  // 8 + 95 characters of 11 bits: 1133 bits.
  EXPECT_EQ(ReplyDueMs(9600, 8, 95), 119u + kReplyTurnaroundMs);  // 118.02 ms
  EXPECT_EQ(ReplyDueMs(1200, 8, 95), 945u + kReplyTurnaroundMs);  // 944.2 ms
  EXPECT_EQ(ReplyDueMs(19200, 8, 7), 9u + kReplyTurnaroundMs);    // 165 bits: 8.6 ms
  EXPECT_EQ(ReplyDueMs(1200, 8, 43), 468u + kReplyTurnaroundMs);  // 561 bits: 467.5 ms
}
