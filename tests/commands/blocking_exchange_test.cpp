// The blocking exchange over a scripted serial control: order of steps, the full wait, the search.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "FakeSerialPort.h"
#include "Frames.h"
#include "modbus/BlockingExchange.h"
#include "modbus/RequestFrames.h"

using namespace kt::modbus;

namespace {

using kt::testing::Bytes;
using kt::testing::FakeSerialPort;

struct Fixture {
  explicit Fixture(uint32_t startTick = 0) : clock(startTick), comm(clock) { comm.open = true; }
  VirtualClock clock;
  FakeSerialPort comm;
  RequestBuffer request{};
  ReceiveBuffer receive{};
  std::vector<std::string> echoes;
  std::vector<Bytes> discarded;  // what each discard dropped

  ExchangeResult Run(uint8_t address, const ExchangeParams& params) {
    const ExchangeLine line{comm, clock,
                            [this](std::span<const uint8_t> frame) {
                              echoes.push_back(EchoText(frame));
                              comm.SetOutput(Bytes(frame.begin(), frame.end()));
                            },
                            [this](std::span<const uint8_t> dropped) {
                              discarded.emplace_back(dropped.begin(), dropped.end());
                            }};
    return BlockingExchange(line, request, receive, address, params);
  }
};

const ExchangeParams kWrite{8, kWriteSingleRegister, kWriteReplyLength, kWriteWaitMs,
                            DiscardInput::BeforeSending};
const ExchangeParams kRead4{8, kReadHoldingRegisters, ReadReplyLength(4), kParameterReadWaitMs,
                            DiscardInput::AfterSending};
const Bytes kWiringAck = {0x01, 0x06, 0x00, 0x02, 0x00, 0x03, 0x68, 0x0B};

Bytes ParameterReply(uint8_t address) {
  return kt::testing::ReadReply(address, {1, 2, 3, 4});
}

}  // namespace

TEST(BlockingExchange, WriteDiscardsBeforeSendingAndTakesOnceAfterTheFullWait) {
  Fixture f;
  BuildWriteSingleRequest(f.request, 1, 0x0002, 3);
  f.comm.Arrive({0xAA, 0xBB});
  f.comm.AnswerAfter(20, kWiringAck);  // early: still looked at only after 300 ms
  const auto r = f.Run(1, kWrite);
  EXPECT_EQ(f.comm.log,
            (std::vector<std::string>{"input@0", "output@0", "count@300", "input@300"}));
  EXPECT_EQ(f.comm.LastWritten(), kWiringAck);
  EXPECT_EQ(r.position, 0);
  EXPECT_EQ(r.received, 8);
  ASSERT_EQ(f.echoes.size(), 1u);
  EXPECT_EQ(f.discarded, (std::vector<Bytes>{{0xAA, 0xBB}}));  // observers see what went
}

TEST(BlockingExchange, ReadDiscardsRightAfterSending) {
  Fixture f;
  BuildReadRequest(f.request, 1, 0x0328, 4);
  f.comm.AnswerAfter(0, {0x55});  // the echo of a half-duplex line: gone with the discard
  f.comm.AnswerAfter(100, ParameterReply(1));
  const auto r = f.Run(1, kRead4);
  EXPECT_EQ(f.comm.log,
            (std::vector<std::string>{"output@0", "input@0", "count@600", "input@600"}));
  EXPECT_EQ(f.comm.LastWritten(), kt::testing::golden::kValuesRequest);
  EXPECT_EQ(r.position, 0);
  EXPECT_EQ(r.received, 13);
  EXPECT_EQ(f.receive[3 + 7], 0x04);  // the reply's data stays for the caller
}

// (Frames behind noise, the first of two, a wrong CRC, one cut short: framing_test's FindFrame.)
TEST(BlockingExchange, FindsOnlyTheExpectedReplyWithinTheWait) {
  const Bytes otherAddress = ParameterReply(2);
  const Bytes exception = {0x01, 0x83, 0x02, 0xC0, 0xF1};
  struct Case {
    const char* name;
    uint32_t afterMs;
    Bytes reply;
    int16_t position;
  };
  const Bytes good = ParameterReply(1);
  const Case cases[] = {
      {"nothing", 0, {}, -1},           {"in time", 599, good, 0},
      {"late", 601, good, -1},          {"other address", 50, otherAddress, -1},
      {"exception", 50, exception, -1},
  };
  for (const auto& c : cases) {
    Fixture f;
    BuildReadRequest(f.request, 1, 0x0328, 4);
    if (!c.reply.empty()) f.comm.AnswerAfter(c.afterMs, c.reply);
    EXPECT_EQ(f.Run(1, kRead4).position, c.position) << c.name;
  }
}

TEST(BlockingExchange, WithoutSearchTakesTheBytesButFindsNothing) {
  Fixture f;
  BuildWriteSingleRequest(f.request, 0, 0x0000, 2);
  f.comm.AnswerAfter(10, {0x00, 0x06, 0x00, 0x00, 0x00, 0x02, 0x09, 0xDA});
  ExchangeParams broadcast = kWrite;
  broadcast.replyLength = kNoSearch;
  const auto r = f.Run(0, broadcast);
  EXPECT_EQ(f.comm.LastWritten(), kt::testing::golden::kSetAddress2Broadcast);
  EXPECT_EQ(r.position, -1);
  EXPECT_EQ(r.received, 8);
}

TEST(BlockingExchange, WaitKeepsItsLengthWhenTheTickCounterWraps) {
  Fixture f(0xFFFFFF00u);  // wraps 256 ms into the wait
  BuildWriteSingleRequest(f.request, 1, 0x0002, 3);
  f.comm.AnswerAfter(299, kWiringAck);
  EXPECT_EQ(f.Run(1, kWrite).position, 0);
  EXPECT_EQ(f.clock.ElapsedMs(), 300u);
}

// An echo that comes in after the discard, ahead of the reply: at address 69 the echoed class
// request passes address, function and CRC of a one-register reply; the byte count does not.
TEST(BlockingExchange, AnEchoIsNotTheReply) {
  Fixture f;
  const int16_t n = BuildReadRequest(f.request, 69, 0x0322, 1);
  const Bytes echo(f.request.begin(), f.request.begin() + n);
  const Bytes reply = kt::testing::ReadReply(69, {1});
  f.comm.AnswerAfter(5, echo);
  f.comm.AnswerAfter(30, reply);
  const auto r = f.Run(69, {8, kReadHoldingRegisters, ReadReplyLength(1), kMultiplierReadWaitMs,
                            DiscardInput::AfterSending});
  EXPECT_EQ(r.position, 8);
  EXPECT_EQ(r.received, 15);
}
