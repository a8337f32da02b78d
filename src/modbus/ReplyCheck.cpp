// Judging a read against the expected reply.
#include "modbus/ReplyCheck.h"

#include <cstdio>

#include "modbus/Crc16.h"

namespace kt::modbus {
namespace {

constexpr uint8_t kExceptionFlag = 0x80;
constexpr int kExceptionReplyLength = 5;

bool CrcMatches(std::span<const uint8_t> frame) {
  const uint16_t crc = CalcCrc16(frame.first(frame.size() - 2));
  return frame[frame.size() - 2] == (crc >> 8) && frame[frame.size() - 1] == (crc & 0xFF);
}

// Position of the first whole frame of `length` bytes at i with a correct CRC whose first two
// bytes satisfy `startsRight`, or -1.
template <typename Predicate>
int FindValid(std::span<const uint8_t> bytes, int length, Predicate startsRight) {
  const int count = static_cast<int>(bytes.size());
  for (int i = 0; i + length <= count; ++i) {
    if (startsRight(bytes[i], bytes[i + 1]) && CrcMatches(bytes.subspan(i, length))) return i;
  }
  return -1;
}

}  // namespace

ReplyVerdict CheckReply(std::span<const uint8_t> bytes, uint8_t address, uint8_t function,
                        int length) {
  ReplyVerdict v;
  v.expected = length;
  v.received = static_cast<int>(bytes.size());
  if (bytes.empty()) return v;
  const int count = static_cast<int>(bytes.size());

  if (length >= 4) {
    const int at = FindValid(bytes, length,
                             [&](uint8_t a, uint8_t f) { return a == address && f == function; });
    if (at >= 0) return {ReplyOutcome::Valid, at, 0, length, length};
  }
  const uint8_t exceptionFunction = function | kExceptionFlag;
  const int exceptionAt = FindValid(bytes, kExceptionReplyLength, [&](uint8_t a, uint8_t f) {
    return a == address && f == exceptionFunction;
  });
  if (exceptionAt >= 0) {
    return {ReplyOutcome::Exception, exceptionAt, bytes[exceptionAt + 2], kExceptionReplyLength,
            length};
  }
  // The expected frame's start, whole (so its CRC is wrong) or cut short.
  for (int i = 0; i + 1 < count; ++i) {
    if (bytes[i] != address || bytes[i + 1] != function) continue;
    if (i + length <= count) return {ReplyOutcome::CrcError, i, 0, length, length};
    return {ReplyOutcome::Incomplete, i, 0, count - i, length};
  }
  if (length >= 4) {
    const int foreign = FindValid(bytes, length, [&](uint8_t a, uint8_t f) {
      return a != address && (f == function || f == exceptionFunction);
    });
    if (foreign >= 0) return {ReplyOutcome::WrongAddress, foreign, 0, length, length};
  }
  return {ReplyOutcome::Garbage, -1, 0, count, length};
}

std::string DescribeReply(const ReplyVerdict& v) {
  char text[96];
  switch (v.outcome) {
    case ReplyOutcome::Valid:
      if (v.position > 0) {
        std::snprintf(text, sizeof text, "应答 (%d 字节，前有 %d 字节杂散数据)", v.expected,
                      v.position);
      } else {
        std::snprintf(text, sizeof text, "应答 (%d 字节)", v.expected);
      }
      return text;
    case ReplyOutcome::NoReply:
      return "无应答";
    case ReplyOutcome::Incomplete:
      std::snprintf(text, sizeof text, "应答不完整 (%d/%d 字节)", v.received, v.expected);
      return text;
    case ReplyOutcome::CrcError:
      return "应答无效：CRC 错误";
    case ReplyOutcome::WrongAddress:
      return "应答无效：地址不符";
    case ReplyOutcome::Exception:
      std::snprintf(text, sizeof text, "异常应答 %02X", v.exceptionCode);
      return text;
    case ReplyOutcome::Garbage:
      break;
  }
  std::snprintf(text, sizeof text, "应答无效 (%d 字节)", v.received);
  return text;
}

}  // namespace kt::modbus
