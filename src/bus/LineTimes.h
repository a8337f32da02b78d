// What an exchange costs on the wire: characters of 11 bits at the line's baud rate, the
// 3.5-character silence between frames, and the answer allowance of a meter.
#pragma once

#include <cstdint>

namespace kt::bus {

// Real meters answer after 20..300 ms; one not heard from yet gets this long.
constexpr uint32_t kLongestAnswerMs = 320;

// Whole milliseconds (rounded up) that `bytes` characters take at `baudRate`.
uint32_t BytesMs(int32_t baudRate, int bytes);
// The 3.5-character silence that ends a frame, rounded up.
uint32_t SilenceMs(int32_t baudRate);
// From the request handed to the port until the line is free again: the request, the reply,
// the answer allowance and the silence after the reply.
uint32_t ExchangeMs(int32_t baudRate, int requestBytes, int replyBytes, uint32_t allowanceMs);

}  // namespace kt::bus
