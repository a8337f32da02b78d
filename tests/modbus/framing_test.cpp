// CRC, request frames, echo text and the reply search over byte vectors.
#include <gtest/gtest.h>

#include "Frames.h"

#include <initializer_list>
#include <random>
#include <span>
#include <type_traits>
#include <vector>

#include "modbus/Crc16.h"
#include "modbus/FindFrame.h"
#include "modbus/ReplyCheck.h"
#include "modbus/RequestFrames.h"

using namespace kt::modbus;

namespace {

using kt::testing::WithCrc;

using Bytes = std::vector<uint8_t>;

Bytes Frame(const RequestBuffer& buf, int16_t n) {
  return Bytes(buf.begin(), buf.begin() + n);
}

int16_t Find(const Bytes& b, uint8_t function, uint8_t address, int16_t length) {
  return FindFrame(b, SlaveAddress(address), FunctionCode(function), length);
}

}  // namespace

// The published check value (CRC-16/MODBUS of "123456789" is 0x4B37, sent low byte first), a
// read request's, and a bitwise reference for lengths 0 to 299.
TEST(Crc16, CheckValuesAndBitwiseReference) {
  const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(CalcCrc16(digits), 0x374B);
  const uint8_t req[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A};
  EXPECT_EQ(CalcCrc16(req), 0xC5CD);
  std::mt19937 rng(7);
  for (int len = 0; len < 300; ++len) {
    Bytes b(len);
    for (auto& x : b) x = static_cast<uint8_t>(rng());
    uint16_t crc = 0xFFFF;
    for (uint8_t x : b) {
      crc ^= x;
      for (int i = 0; i < 8; ++i) crc = (crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1;
    }
    const uint16_t swapped = static_cast<uint16_t>((crc << 8) | (crc >> 8));
    ASSERT_EQ(CalcCrc16(b), swapped) << len;
  }
}

TEST(RequestFrames, PollingAndCommandRequests) {
  RequestBuffer buf{};
  struct Case {
    uint16_t start, count;
    Bytes expected;
  } reads[] = {
      {0x0300, 0x13, kt::testing::golden::kConfigRequest},
      {0x0328, 4, kt::testing::golden::kValuesRequest},
      {0x0322, 1, kt::testing::golden::kClassRequest},
      {0x0000, 0x2D, kt::testing::golden::kBlockRequest},
      {0x030A, 1, kt::testing::golden::kMultiplierRequest},
      {0x0300, 1, kt::testing::golden::kAddressProbe},
  };
  for (const auto& c : reads) {
    const int16_t n = BuildReadRequest(buf, 1, c.start, c.count);
    EXPECT_EQ(Frame(buf, n), c.expected) << std::hex << c.start;
  }
  EXPECT_EQ(Frame(buf, BuildReadRequest(buf, 0, 0x0300, 1)),
            (kt::testing::golden::kBroadcastProbe));
  EXPECT_EQ(Frame(buf, BuildWriteSingleRequest(buf, 1, 0x0008, 3)),
            (kt::testing::golden::kWiringWrite3));
  EXPECT_EQ(Frame(buf, BuildWriteSingleRequest(buf, 1, 0x0006, 0)),
            (Bytes{0x01, 0x06, 0x00, 0x06, 0x00, 0x00, 0x69, 0xCB}));
  EXPECT_EQ(Frame(buf, BuildWriteSingleRequest(buf, 0, 0x0000, 2)),
            (kt::testing::golden::kSetAddress2Broadcast));
  EXPECT_EQ(Frame(buf, BuildWriteSingleRequest(buf, 1, 0x0022, 1)),
            (Bytes{0x01, 0x06, 0x00, 0x22, 0x00, 0x01, 0xE8, 0x00}));
  EXPECT_EQ(Frame(buf, BuildWriteMultipleRequest(buf, 1, 0x000E, {100, 0})),
            (Bytes{0x01, 0x10, 0x00, 0x0E, 0x00, 0x02, 0x04, 0x00, 0x64, 0x00, 0x00, 0x33, 0xFC}));
  EXPECT_EQ(Frame(buf, BuildWriteMultipleRequest(buf, 1, 0x0012, {5, 0})),
            (Bytes{0x01, 0x10, 0x00, 0x12, 0x00, 0x02, 0x04, 0x00, 0x05, 0x00, 0x00, 0x63, 0x7B}));
  const int16_t n17 = BuildWriteMultipleRequest(buf, 1, 0x0028, {1, 2, 3, 4});
  ASSERT_EQ(n17, 17);
  EXPECT_EQ(buf[6], 8);
  EXPECT_EQ(Find(Frame(buf, n17), kWriteMultipleRegisters, 1, 17), 0);
  EXPECT_EQ(BuildWriteMultipleRequest(buf, 1, 0x0028, {1, 2, 3, 4, 5, 6}), 0);
}

TEST(EchoText, TwoHexDigitsCarriageReturnSpace) {
  const uint8_t frame[] = {0x01, 0x03, 0x03, 0x00, 0x00, 0x13, 0x04, 0x43};
  const std::string echo = EchoText(frame);
  EXPECT_EQ(echo.size(), 32u);
  EXPECT_EQ(echo, "01\r 03\r 03\r 00\r 00\r 13\r 04\r 43\r ");
  const uint8_t high[] = {0xAB, 0xFF, 0x0A};
  EXPECT_EQ(EchoText(high), "AB\r FF\r 0A\r ");
  EXPECT_EQ(EchoText(std::span(high).first(0)), "");
}

TEST(FindFrame, PositionsAndRefusals) {
  const Bytes reply = {0x01, 0x03, 0x02, 0x00, 0x01, 0x79, 0x84};
  EXPECT_EQ(Find({}, 3, 1, 7), -1);
  EXPECT_EQ(Find(Bytes(reply.begin(), reply.end() - 1), 3, 1, 7), -1);  // one short
  EXPECT_EQ(Find(reply, 3, 1, 7), 0);                                   // exactly L
  EXPECT_EQ(Find({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x03, 0x02, 0x00, 0x01, 0x79, 0x84}, 3, 1, 7),
            5);
  EXPECT_EQ(Find({0x02, 0x03, 0x02, 0x00, 0x01, 0x3D, 0x84}, 3, 1, 7), -1);  // other address
  EXPECT_EQ(Find({0x01, 0x83, 0x02, 0xC0, 0xF1}, 3, 1, 5), -1);              // exception reply
  EXPECT_EQ(Find({0x01, 0x83, 0x02, 0xC0, 0xF1}, 0x83, 1, 5), 0);
  // Address and function code are bytes of their own types: neither converts from a number
  // silently nor into the other, so a swapped pair does not compile.
  static_assert(!std::is_convertible_v<int, SlaveAddress>);
  static_assert(!std::is_convertible_v<int, FunctionCode>);
  static_assert(!std::is_invocable_v<decltype(&FindFrame), std::span<const uint8_t>, FunctionCode,
                                     SlaveAddress, int16_t>);

  // Two valid frames: the first wins; a broken candidate before a good one does not stop the scan.
  Bytes two = reply;
  const Bytes second = WithCrc({0x01, 0x03, 0x02, 0x00, 0x07});
  two.insert(two.end(), second.begin(), second.end());
  EXPECT_EQ(Find(two, 3, 1, 7), 0);
  Bytes broken = {0x01, 0x03, 0x02, 0x00, 0x09, 0x00, 0x00};
  broken.insert(broken.end(), reply.begin(), reply.end());
  EXPECT_EQ(Find(broken, 3, 1, 7), 7);
}

// Random buffers of every length up to 1200: nothing is read outside the count (the sanitizer
// build catches that), and a result is always a real match.
TEST(FindFrame, RandomBuffersStayInBounds) {
  std::mt19937 rng(1234);
  for (int len = 0; len <= 1200; ++len) {
    std::vector<uint8_t> buf(static_cast<size_t>(len));
    for (auto& b : buf) b = static_cast<uint8_t>(rng() % 4);  // small alphabet: many candidates
    for (const int16_t L : std::initializer_list<int16_t>{7, 8, 13, 43, 95}) {
      const int16_t pos = Find(buf, kReadHoldingRegisters, 1, L);
      if (pos >= 0) {
        ASSERT_LE(pos + L, len);
        const uint16_t crc = CalcCrc16(std::span(buf).subspan(pos, L - 2));
        ASSERT_EQ(buf[pos + L - 2], crc >> 8);
        ASSERT_EQ(buf[pos + L - 1], crc & 0xFF);
      }
    }
  }
}

// An adapter that echoes puts the request ahead of the reply. At some addresses the first seven
// bytes of a one-register read pass for its reply by address, function and CRC; only the byte
// count tells them apart, for the reply search and for the verdict alike.
TEST(FindReply, AnEchoedReadIsNeverItsOwnReply) {
  int echoesFindFrameTakes = 0;
  for (uint8_t address = 1; address <= 247; ++address) {
    RequestBuffer buf{};
    const Bytes echo = Frame(buf, BuildReadRequest(buf, address, 0x0300, 1));
    Bytes both = echo;
    for (uint8_t b : WithCrc({address, 0x03, 0x02, 0x00, 0x01})) both.push_back(b);
    if (Find(echo, 0x03, address, 7) == 0) ++echoesFindFrameTakes;
    EXPECT_EQ(FindReply(echo, SlaveAddress(address), FunctionCode(0x03), 7), -1) << +address;
    EXPECT_EQ(FindReply(both, SlaveAddress(address), FunctionCode(0x03), 7), 8) << +address;
    EXPECT_NE(CheckReply(echo, address, 0x03, 7).outcome, ReplyOutcome::Valid) << +address;
  }
  EXPECT_GT(echoesFindFrameTakes, 0);  // the case is real
}
