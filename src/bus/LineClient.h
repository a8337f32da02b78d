// What a user of the shared line other than the main dialog asks of it, and what it gets back.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "modbus/ReplyCheck.h"

namespace kt::bus {

struct BusRequest {
  std::vector<uint8_t> frame;  // the whole request, CRC included
  uint8_t address = 0;         // the reply looked for: address, function, length
  uint8_t function = 0;
  int16_t replyLength = 0;
  // Bytes that may follow the reply at once and end it (the meter's status pair after its
  // block): the exchange waits for them, or for the line's silence after the reply.
  int16_t trailingBytes = 0;
  uint32_t allowanceMs = 0;  // from the request's end until the reply may begin
  // The meter's answer time as its replies showed it (the longest since it was last lost);
  // 0: not heard from.
  uint32_t knownAnswerMs = 0;
};

struct ExchangeResult {
  std::vector<uint8_t> bytes;  // what the line brought while the exchange was on it
  modbus::ReplyVerdict verdict;
  int16_t replyPos = -1;  // of the expected reply in `bytes` (FindReply), -1 when none
  // Milliseconds from the request's end until the whole reply was in, less the reply's own
  // bytes: about the meter's answer time (taken at the scheduler's tick, so a little more).
  uint32_t answerMs = 0;
  bool lineClosed = false;  // the port closed meanwhile; nothing was judged
};

class LineClient {
 public:
  LineClient() = default;
  LineClient(const LineClient&) = delete;
  LineClient& operator=(const LineClient&) = delete;
  virtual ~LineClient() = default;

  // Whether a request's whole exchange fits in the line time free now.
  using RequestFits = std::function<bool(const BusRequest&)>;
  // The request to send now, while the line is free: one that `fits`, or none. Asked on every
  // tick of the scheduler while the line is free.
  virtual std::optional<BusRequest> NextRequest(const RequestFits& fits) = 0;
  // The exchange of `request` is settled: its reply came or its allowance passed.
  virtual void ExchangeDone(const BusRequest& request, const ExchangeResult& result) = 0;
  // The main dialog sent a write to `address` (0: to all): that meter's settings may differ now.
  virtual void MainDialogWrote(uint8_t /*address*/) {}
};

}  // namespace kt::bus
