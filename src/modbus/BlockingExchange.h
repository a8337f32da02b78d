// The request/wait/search exchange every command makes with the meter outside the polling cycle.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "modbus/Buffers.h"
#include "modbus/Clock.h"
#include "serial/SerialControl.h"

namespace kt::modbus {

// When pending input is thrown away: writes do it before sending, reads right after.
enum class DiscardInput { BeforeSending, AfterSending };

// Fixed waits of the commands.
constexpr uint32_t kWriteWaitMs = 300;
constexpr uint32_t kParameterReadWaitMs = 600;
constexpr uint32_t kMultiplierReadWaitMs = 200;

// Expected reply length that means "look for nothing": the bytes are taken but not searched.
constexpr int16_t kNoSearch = 0;

struct ExchangeParams {
  int16_t requestLength;  // bytes of the request at the start of the request buffer
  uint8_t replyFunction;  // function code of the expected reply
  int16_t replyLength;    // its total length, CRC included; kNoSearch to skip the search
  uint32_t waitMs;        // the fixed wait between sending and taking the reply
  DiscardInput discard;
};

struct ExchangeResult {
  int16_t position;  // of the reply in the receive buffer, or -1
  int16_t received;  // bytes taken into the receive buffer after the wait
  bool found() const { return position >= 0; }
};

// The one way a request leaves the PC (the main dialog's SendFrame: echo, then output if open).
using SendFunction = std::function<void(std::span<const uint8_t> frame)>;

// The wire of one exchange: the serial control, the clock for the wait, and how to send.
struct ExchangeLine {
  serial::SerialControl& comm;
  Clock& clock;
  SendFunction send;
  // Told what a discard dropped; may be empty.
  std::function<void(std::span<const uint8_t>)> discarded;
};

// Discards pending input before or after sending the request, waits the full fixed time on the
// clock (handling no window message), takes the received bytes into `receive` and looks there
// for the reply from `replyAddress`. The bytes stay in `receive` for the caller to read.
ExchangeResult BlockingExchange(const ExchangeLine& line, const RequestBuffer& request,
                                ReceiveBuffer& receive, uint8_t replyAddress,
                                const ExchangeParams& params);

}  // namespace kt::modbus
