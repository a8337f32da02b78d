// The RTU slave and its framing: replies byte for byte, exceptions, CRC, address, broadcast.
#include <gtest/gtest.h>

#include "Frames.h"

#include <vector>

#include "modbus/RequestFrames.h"
#include "sim/FrameAssembler.h"
#include "sim/RtuSlave.h"

using namespace kt::sim;
using Bytes = std::vector<uint8_t>;

namespace {

using kt::testing::WithCrc;

struct ReplyCase {
  const char* what;
  Bytes request;  // without CRC
  Bytes reply;    // without CRC; empty: no reply
};

class SlaveReplyTest : public testing::TestWithParam<ReplyCase> {};

TEST_P(SlaveReplyTest, AnswersAsAStandardSlave) {
  const ReplyCase& c = GetParam();
  MeterConfig config;
  config.ptRatio = 0x64;
  config.ctRatio = 5;
  Meter meter(config);
  RtuSlave slave(meter);
  const SlaveReply reply = slave.Handle(WithCrc(c.request), 0);
  EXPECT_EQ(reply.bytes, c.reply.empty() ? Bytes{} : WithCrc(c.reply)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlaveReplyTest,
    testing::Values(
        ReplyCase{"read PT", {1, 3, 0x03, 0x07, 0, 1}, {1, 3, 2, 0, 0x64}},
        ReplyCase{"read 0x030A", {1, 3, 0x03, 0x0A, 0, 1}, {1, 3, 2, 0, 0}},
        ReplyCase{"write wiring echoes", {1, 6, 0, 2, 0, 3}, {1, 6, 0, 2, 0, 3}},
        ReplyCase{"write PT", {1, 0x10, 0, 0x0E, 0, 2, 4, 0, 100, 0, 0}, {1, 0x10, 0, 0x0E, 0, 2}},
        ReplyCase{"unknown function", {1, 4, 0, 0, 0, 1}, {1, 0x84, 1}},
        ReplyCase{"unknown function, odd length", {1, 0x2B, 0x0E, 1, 0}, {1, 0xAB, 1}},
        ReplyCase{"unknown register", {1, 3, 0x01, 0, 0, 1}, {1, 0x83, 2}},
        ReplyCase{"write unknown register", {1, 6, 0, 0x30, 0, 1}, {1, 0x86, 2}},
        ReplyCase{"wiring code 9", {1, 6, 0, 2, 0, 9}, {1, 0x86, 3}},
        ReplyCase{"byte count wrong", {1, 0x10, 0, 0x0E, 0, 2, 2, 0, 100}, {1, 0x90, 3}},
        ReplyCase{"other address", {2, 3, 0x03, 0, 0, 1}, {}},
        ReplyCase{"broadcast read", {0, 3, 0x03, 0, 0, 1}, {}},
        ReplyCase{"broadcast write", {0, 6, 0, 2, 0, 1}, {}},
        ReplyCase{"broadcast exception", {0, 6, 0, 2, 0, 9}, {}},
        ReplyCase{"short read", {1, 3, 0x03, 0}, {}}));

TEST(RtuSlave, WrongCrcGetsNoReply) {
  Meter meter({});
  RtuSlave slave(meter);
  Bytes request = WithCrc({1, 3, 0x03, 0, 0, 1});
  ASSERT_FALSE(slave.Handle(request, 0).bytes.empty());
  for (size_t n : {0u, 3u, 6u, 7u}) {
    Bytes bad = request;
    bad[n] ^= 0x01;
    EXPECT_TRUE(slave.Handle(bad, 0).bytes.empty()) << n;
  }
}

TEST(RtuSlave, BroadcastAddressWriteTakesEffect) {
  Meter meter({});
  RtuSlave slave(meter);
  EXPECT_TRUE(slave.Handle(WithCrc({0, 6, 0, 0, 0, 2}), 0).bytes.empty());
  EXPECT_EQ(meter.address(), 2);
  EXPECT_TRUE(slave.Handle(WithCrc({1, 3, 0x03, 0, 0, 1}), 0).bytes.empty());
  EXPECT_EQ(slave.Handle(WithCrc({2, 3, 0x03, 0, 0, 1}), 0).bytes, WithCrc({2, 3, 2, 0, 2}));
  // The monitor's own example frame for new address 2.
  EXPECT_EQ(WithCrc({0, 6, 0, 0, 0, 2}), (Bytes{0, 6, 0, 0, 0, 2, 0x09, 0xDA}));
}

TEST(RtuSlave, MeasurementBlockIs95BytesAndTheTrailerFollows) {
  MeterConfig config;
  config.load.phaseVoltage = {250, 220, 220};  // phase A over 242 V
  Meter meter(config);
  RtuSlave slave(meter);
  const Bytes request = WithCrc({1, 3, 0, 0, 0, 0x2D});
  SlaveReply plain = slave.Handle(request, 0);
  ASSERT_EQ(plain.bytes.size(), 95u);
  EXPECT_EQ(plain.bytes[2], 90);
  meter.SetStatusTrailer(true);
  SlaveReply trailed = slave.Handle(request, 0);
  ASSERT_EQ(trailed.bytes.size(), 97u);
  EXPECT_EQ(trailed.frameLength, 95u);
  EXPECT_EQ(trailed.bytes[95], 0x80);  // voltage item 1 over
  EXPECT_EQ(trailed.bytes[96], meter.lastBlock().currentStatus);
  // Only the block request carries it.
  EXPECT_EQ(slave.Handle(WithCrc({1, 3, 0, 0, 0, 1}), 0).bytes.size(), 7u);
}

TEST(FrameAssembler, ByLengthAndBySilence) {
  FrameAssembler a(4000);
  const Bytes read = WithCrc({1, 3, 0, 0, 0, 1});
  // Eight bytes a character apart: complete on the eighth.
  for (size_t n = 0; n < 7; ++n) EXPECT_FALSE(a.Feed(read[n], 1000 * n));
  auto frame = a.Feed(read[7], 7000);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->bytes, read);
  EXPECT_EQ(frame->endUs, 7000u);

  // An unknown function ends only with the silence (a request split by one: line_behaviour_test).
  const Bytes odd = WithCrc({1, 0x2B, 0x0E});
  for (size_t n = 0; n < odd.size(); ++n) EXPECT_FALSE(a.Feed(odd[n], 300'000 + n));
  EXPECT_EQ(a.SilenceDeadlineUs(), 300'000u + 4 + 4000);
  frame = a.CloseOnSilence(400'000);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->bytes, odd);

  // Function 0x10 takes its length from the byte count.
  EXPECT_EQ(ImpliedRequestLength({1, 0x10, 0, 0x28, 0, 4}), 0u);
  EXPECT_EQ(ImpliedRequestLength({1, 0x10, 0, 0x28, 0, 4, 8}), 17u);
}

TEST(FrameAssembler, GarbledBytesSpoilTheFrameUntilSilence) {
  FrameAssembler a(4000);
  const Bytes read = WithCrc({1, 3, 0, 0, 0, 1});
  a.Garble(0);
  for (size_t n = 0; n < 8; ++n) EXPECT_FALSE(a.Feed(read[n], 1000 + 100 * n));
  EXPECT_FALSE(a.CloseOnSilence(10'000));
  std::optional<FrameAssembler::Frame> frame;
  for (size_t n = 0; n < 8; ++n) frame = a.Feed(read[n], 20'000 + 100 * n);
  EXPECT_TRUE(frame);
}

}  // namespace
