// The quiet-line wait: it ends after the last byte of a reply, not before its first, and never
// later than its limit, however long the line stays busy.
#include <gtest/gtest.h>

#include "FakeSerialPort.h"
#include "modbus/QuietLine.h"

using kt::modbus::VirtualClock;
using kt::modbus::WaitForQuietLine;
using kt::testing::FakeSerialPort;

// Each bound just inside and just outside: the first byte due by `dueMs` (bytes already waiting
// are a reply in flight, however late), the wait over by `limitMs`.
TEST(QuietLine, EndsAfterTheLastByteOrAtTheLimit) {
  constexpr uint32_t kQuietMs = 5;
  struct Case {
    const char* name;
    uint32_t dueMs, limitMs;
    bool waiting;          // bytes are in before the wait begins
    uint32_t firstByteMs;  // a byte every `stepMs` from here ...
    uint32_t lastByteMs;   // ... up to here; 0 for none
    uint32_t stepMs;
    uint32_t earliestEndMs;  // the wait ends in [earliest, latest]
    uint32_t latestEndMs;
  };
  const Case cases[] = {
      {"reply already in", 60, 60, true, 0, 0, 2, kQuietMs, kQuietMs + 2},
      {"reply after a response delay", 60, 60, false, 20, 40, 2, 40 + kQuietMs, 40 + kQuietMs + 2},
      {"no reply at all", 60, 60, false, 0, 0, 2, 60, 60},
      {"line never falls quiet", 60, 60, false, 2, 200, 2, 60, 60},
      {"nothing comes", 40, 500, false, 0, 0, 1, 40, 42},
      {"first byte just inside the bound", 40, 500, false, 38, 57, 1, 57 + kQuietMs, 59 + kQuietMs},
      {"first byte just after the bound", 40, 500, false, 41, 60, 1, 40, 42},
      {"waiting after the bound", 0, 500, true, 0, 0, 1, kQuietMs, kQuietMs},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    VirtualClock clock;
    FakeSerialPort port(clock);
    port.open = true;
    if (c.waiting) port.Arrive({0x01, 0x03});
    for (uint32_t at = c.firstByteMs; c.lastByteMs != 0 && at <= c.lastByteMs; at += c.stepMs) {
      port.AnswerAfter(at, {0x5A});
    }
    port.SetOutput({});  // the poll request the bytes answer
    WaitForQuietLine(port, clock, kQuietMs, c.dueMs, c.limitMs);
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

TEST(QuietLine, ReplyIsDueAfterRequestAndReplyOnTheWireAndTheTurnaround) {
  using kt::modbus::kReplyTurnaroundMs;
  using kt::modbus::ReplyDueMs;
  // 8 + 95 characters of 11 bits: 1133 bits.
  EXPECT_EQ(ReplyDueMs(9600, 8, 95), 119u + kReplyTurnaroundMs);  // 118.02 ms
  EXPECT_EQ(ReplyDueMs(1200, 8, 95), 945u + kReplyTurnaroundMs);  // 944.2 ms
  EXPECT_EQ(ReplyDueMs(19200, 8, 7), 9u + kReplyTurnaroundMs);    // 165 bits: 8.6 ms
  EXPECT_EQ(ReplyDueMs(1200, 8, 43), 468u + kReplyTurnaroundMs);  // 561 bits: 467.5 ms
}
