// The verdict on one read against the expected reply, and its reading in Chinese.
#include <gtest/gtest.h>

#include <vector>

#include "Frames.h"
#include "modbus/ReplyCheck.h"
#include "modbus/RequestFrames.h"

using namespace kt::modbus;

namespace {

using Bytes = std::vector<uint8_t>;

using kt::testing::Concat;
using kt::testing::WithCrc;

// The reply to a one-register read from address 1: 01 03 02 00 01 CRC.
const Bytes kReply = WithCrc({0x01, 0x03, 0x02, 0x00, 0x01});

struct Case {
  const char* name;
  Bytes read;
  ReplyOutcome outcome;
  int position;
  const char* reading;
};

}  // namespace

TEST(ReplyCheck, JudgesEachKindOfRead) {
  Bytes badCrc = kReply;
  badCrc.back() ^= 0xFF;
  const Bytes cut(kReply.begin(), kReply.begin() + 4);
  const Bytes other = WithCrc({0x02, 0x03, 0x02, 0x00, 0x01});
  const Bytes exception = WithCrc({0x01, 0x83, 0x02});
  const Case cases[] = {
      {"whole reply", kReply, ReplyOutcome::Valid, 0, "应答 (7 字节)"},
      {"stray bytes first", Concat({{0xFF, 0x00}, kReply}), ReplyOutcome::Valid, 2,
       "应答 (7 字节，前有 2 字节杂散数据)"},
      {"nothing", {}, ReplyOutcome::NoReply, -1, "无应答"},
      {"cut short", cut, ReplyOutcome::Incomplete, 0, "应答不完整 (4/7 字节)"},
      {"wrong crc", badCrc, ReplyOutcome::CrcError, 0, "应答无效：CRC 错误"},
      {"other address", other, ReplyOutcome::WrongAddress, 0, "应答无效：地址不符"},
      {"exception", exception, ReplyOutcome::Exception, 0, "异常应答 0x02 非法数据地址"},
      // The last named code, the first unnamed one after it and a gap in the names.
      {"exception 0B", WithCrc({0x01, 0x83, 0x0B}), ReplyOutcome::Exception, 0,
       "异常应答 0x0B 网关目标设备响应失败"},
      {"exception 0C", WithCrc({0x01, 0x83, 0x0C}), ReplyOutcome::Exception, 0, "异常应答 0x0C"},
      {"exception 07", WithCrc({0x01, 0x83, 0x07}), ReplyOutcome::Exception, 0, "异常应答 0x07"},
      // One byte short of the whole reply, and the whole reply with one byte after it.
      {"one byte short", Bytes(kReply.begin(), kReply.end() - 1), ReplyOutcome::Incomplete, 0,
       "应答不完整 (6/7 字节)"},
      {"one byte after", Concat({kReply, {0x00}}), ReplyOutcome::Valid, 0, "应答 (7 字节)"},
      {"noise", {0x55, 0xAA, 0x13}, ReplyOutcome::Garbage, -1, "应答无效 (3 字节)"},
      // A bad copy before a good one: the good one counts, as the reply search takes it.
      {"bad then good", Concat({badCrc, kReply}), ReplyOutcome::Valid, 7,
       "应答 (7 字节，前有 7 字节杂散数据)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReplyVerdict v = CheckReply(c.read, 0x01, 0x03, 7);
    EXPECT_EQ(v.outcome, c.outcome);
    EXPECT_EQ(v.position, c.position);
    EXPECT_EQ(DescribeReply(v), c.reading);
  }
}
