// The per-probe wait from character times.
#include "finder/ProbeTiming.h"

#include <algorithm>

#include "serial/LineSettingsTable.h"

namespace kt::finder {
namespace {

// The end of a request is a silence of 3.5 characters: seven half characters.
constexpr uint32_t kSilenceHalfCharacters = 7;
constexpr uint32_t kSlackCharactersEachWay = 1;

uint32_t HalfCharactersMs(uint32_t halves, int32_t baudRate) {
  const uint64_t bitsTimesThousand = uint64_t{halves} * kBitsPerCharacter * 1000;
  const auto twiceRate = static_cast<uint64_t>(baudRate) * 2;
  return static_cast<uint32_t>((bitsTimesThousand + twiceRate - 1) / twiceRate);
}

}  // namespace

uint32_t TransmissionMs(uint32_t characters, int32_t baudRate) {
  return HalfCharactersMs(2 * characters, baudRate);
}

uint32_t ReplyWaitMs(int32_t baudRate, uint32_t requestBytes, uint32_t replyBytes) {
  const uint32_t onWire = HalfCharactersMs(
      2 * (requestBytes + replyBytes + 2 * kSlackCharactersEachWay) + kSilenceHalfCharacters,
      baudRate);
  return std::min(onWire + kResponseAllowanceMs, kMaxReplyWaitMs);
}

uint32_t UnknownRateReplyWaitMs(uint32_t requestBytes, uint32_t replyBytes) {
  const int32_t slowest = serial::kBaudRows.front().baudRate;
  return std::min(ReplyWaitMs(slowest, requestBytes, replyBytes) + kNetworkAllowanceMs,
                  kMaxReplyWaitMs);
}

}  // namespace kt::finder
