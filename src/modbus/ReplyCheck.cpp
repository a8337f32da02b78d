// Judging a read against the expected reply.
#include "modbus/ReplyCheck.h"

#include <array>
#include <cstdio>

#include "modbus/FindFrame.h"

namespace kt::modbus {
namespace {

constexpr uint8_t kExceptionFlag = 0x80;
constexpr int kExceptionReplyLength = 5;

struct ExceptionName {
  uint8_t code;
  const char* name;
};

// The exception codes the Modbus application protocol names.
constexpr std::array<ExceptionName, 9> kExceptionNames{{
    {0x01, "非法功能"},
    {0x02, "非法数据地址"},
    {0x03, "非法数据值"},
    {0x04, "从站设备故障"},
    {0x05, "确认"},
    {0x06, "从站设备忙"},
    {0x08, "存储奇偶性差错"},
    {0x0A, "不可用网关路径"},
    {0x0B, "网关目标设备响应失败"},
}};

}  // namespace

ReplyVerdict CheckReply(std::span<const uint8_t> bytes, uint8_t address, uint8_t function,
                        int length) {
  ReplyVerdict v;
  v.expected = length;
  v.received = static_cast<int>(bytes.size());
  if (bytes.empty()) return v;
  const int count = static_cast<int>(bytes.size());

  const int at = FindValidFrame(bytes, length, [&](std::span<const uint8_t> frame) {
    return IsReplyFrom(frame, SlaveAddress(address), FunctionCode(function));
  });
  if (at >= 0) return {ReplyOutcome::Valid, at, 0, length, length};
  const uint8_t exceptionFunction = function | kExceptionFlag;
  const int exceptionAt =
      FindValidFrame(bytes, kExceptionReplyLength, [&](std::span<const uint8_t> frame) {
        return frame[0] == address && frame[1] == exceptionFunction;
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
  const int foreign = FindValidFrame(bytes, length, [&](std::span<const uint8_t> frame) {
    return frame[0] != address && (frame[1] == function || frame[1] == exceptionFunction);
  });
  if (foreign >= 0) return {ReplyOutcome::WrongAddress, foreign, 0, length, length};
  return {ReplyOutcome::Garbage, -1, 0, count, length};
}

std::string ExceptionText(uint8_t code) {
  char hex[8];
  std::snprintf(hex, sizeof hex, "0x%02X", code);
  for (const ExceptionName& known : kExceptionNames) {
    if (known.code == code) return std::string(hex) + " " + known.name;
  }
  return hex;
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
      return "异常应答 " + ExceptionText(v.exceptionCode);
    case ReplyOutcome::Garbage:
      break;
  }
  std::snprintf(text, sizeof text, "应答无效 (%d 字节)", v.received);
  return text;
}

}  // namespace kt::modbus
