// What one read brought back compared with the reply it was waiting for: the verdict that the
// traffic log and the link status show.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kt::modbus {

enum class ReplyOutcome {
  Valid,         // the expected frame, CRC correct
  NoReply,       // not one byte came back
  Incomplete,    // the expected frame started but its bytes stop short
  CrcError,      // a frame of the right address, function and length with a wrong CRC
  WrongAddress,  // a whole valid frame, but from another slave address
  Exception,     // a Modbus exception reply from the expected address
  Garbage,       // bytes that are none of the above
};

struct ReplyVerdict {
  ReplyOutcome outcome = ReplyOutcome::NoReply;
  int position = -1;          // of the frame judged, in the read; -1 when there is none
  uint8_t exceptionCode = 0;  // for Exception
  int received = 0;           // bytes of the frame that came (Incomplete), else bytes read
  int expected = 0;           // length of the expected reply
};

// Judges `bytes` (one read) against the reply from `address` with `function`, `length` bytes
// long. A valid frame anywhere in the read wins, as the reply search (FindReply) takes it.
ReplyVerdict CheckReply(std::span<const uint8_t> bytes, uint8_t address, uint8_t function,
                        int length);

// A Modbus exception code as it is shown everywhere: "0x02 非法数据地址", "0x0C" for a code
// without a standard name.
std::string ExceptionText(uint8_t code);

// A short reading in Chinese: "应答 (95 字节)", "应答 (95 字节，前有 3 字节杂散数据)",
// "应答无效：CRC 错误", "应答无效：地址不符", "应答不完整 (41/43 字节)", "异常应答 0x02
// 非法数据地址", "无应答".
std::string DescribeReply(const ReplyVerdict& verdict);

}  // namespace kt::modbus
