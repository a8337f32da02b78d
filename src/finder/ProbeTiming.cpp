// The finder's waits from character times.
#include "finder/ProbeTiming.h"

#include "serial/LineSettingsTable.h"

namespace kt::finder {
namespace {

// The end of a request is a silence of 3.5 characters: seven half characters.
constexpr uint32_t kSilenceHalfCharacters = 7;
constexpr uint32_t kSlackCharacters = 1;

uint32_t HalfCharactersMs(uint32_t halves, int32_t baudRate) {
  const uint64_t bitsTimesThousand = uint64_t{halves} * kBitsPerCharacter * 1000;
  const auto twiceRate = static_cast<uint64_t>(baudRate) * 2;
  return static_cast<uint32_t>((bitsTimesThousand + twiceRate - 1) / twiceRate);
}

int32_t RateOrSlowest(int32_t baudRate) {
  return baudRate > 0 ? baudRate : serial::kBaudRows.front().baudRate;
}

}  // namespace

uint32_t TransmissionMs(uint32_t characters, int32_t baudRate) {
  return HalfCharactersMs(2 * characters, RateOrSlowest(baudRate));
}

uint32_t QuietMs(int32_t baudRate) {
  return HalfCharactersMs(kSilenceHalfCharacters, RateOrSlowest(baudRate));
}

uint32_t FirstByteDueMs(int32_t baudRate, uint32_t requestBytes, uint32_t answerMs) {
  const uint32_t halves = 2 * (requestBytes + 1 + kSlackCharacters) + kSilenceHalfCharacters;
  const uint32_t network = baudRate > 0 ? 0 : kNetworkAllowanceMs;
  return HalfCharactersMs(halves, RateOrSlowest(baudRate)) + answerMs + network;
}

uint32_t UnansweredCycleMs(int32_t baudRate, uint32_t requestBytes, uint32_t answerMs) {
  return FirstByteDueMs(baudRate, requestBytes, answerMs) + QuietMs(baudRate);
}

}  // namespace kt::finder
