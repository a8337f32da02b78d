// Character times of the line.
#include "bus/LineTimes.h"

namespace kt::bus {
namespace {

constexpr uint64_t kBitsPerCharacter = 11;  // start, 8 data, parity or a second stop, stop

uint32_t CeilMs(uint64_t bitTimesThousand, int32_t baudRate) {
  const uint64_t baud = baudRate > 0 ? static_cast<uint64_t>(baudRate) : 1;
  return static_cast<uint32_t>((bitTimesThousand + baud - 1) / baud);
}

}  // namespace

uint32_t BytesMs(int32_t baudRate, int bytes) {
  return CeilMs(static_cast<uint64_t>(bytes < 0 ? 0 : bytes) * kBitsPerCharacter * 1000, baudRate);
}

uint32_t SilenceMs(int32_t baudRate) {
  return CeilMs(7 * kBitsPerCharacter * 1000 / 2, baudRate);
}

uint32_t ExchangeMs(int32_t baudRate, int requestBytes, int replyBytes, uint32_t allowanceMs) {
  return BytesMs(baudRate, requestBytes) + BytesMs(baudRate, replyBytes) + allowanceMs +
         SilenceMs(baudRate);
}

}  // namespace kt::bus
