// The quiet-line wait before a command's first request.
#include "modbus/QuietLine.h"

#include <algorithm>

namespace kt::modbus {

namespace {

constexpr uint64_t kBitsPerCharacter = 11;

// Milliseconds of `characters` on the wire at `baudRate`, rounded up; at least one.
uint32_t CharacterMs(int32_t baudRate, uint64_t characters) {
  if (baudRate <= 0) return 1;
  const uint64_t bits = characters * kBitsPerCharacter * 1000;
  const uint64_t ms =
      (bits + static_cast<uint64_t>(baudRate) - 1) / static_cast<uint64_t>(baudRate);
  return static_cast<uint32_t>(std::max<uint64_t>(ms, 1));
}

}  // namespace

uint32_t QuietMsFor(int32_t baudRate) {
  return CharacterMs(baudRate, kQuietCharacterTimes);
}

uint32_t ReplyDueMs(int32_t baudRate, int requestBytes, int replyBytes) {
  const auto characters = static_cast<uint64_t>(std::max(requestBytes, 0)) +
                          static_cast<uint64_t>(std::max(replyBytes, 0));
  return CharacterMs(baudRate, characters) + kReplyTurnaroundMs;
}

void WaitForQuietLine(serial::SerialControl& comm, Clock& clock, uint32_t quietMs,
                      uint32_t firstByteMs, uint32_t limitMs) {
  if (limitMs == 0 || !comm.GetPortOpen()) return;
  const uint32_t start = clock.GetTickCount();
  uint32_t lastChange = start;
  int16_t lastCount = comm.GetInBufferCount();
  // Silence before the first byte is the meter's response delay, not the end of its reply.
  bool heard = lastCount > 0;
  for (;;) {
    const uint32_t now = clock.GetTickCount();
    // Unsigned differences, so a wrapping tick counter changes nothing.
    if (now - start >= limitMs || (heard && now - lastChange >= quietMs)) return;
    // No byte by the time the reply would have been in: nothing is on its way.
    if (!heard && now - start >= firstByteMs) return;
    uint32_t sliceMs = std::min(kQuietPollSliceMs, limitMs - (now - start));
    if (heard) {
      sliceMs = std::min(sliceMs, quietMs - (now - lastChange));
    } else {
      sliceMs = std::min(sliceMs, firstByteMs - (now - start));
    }
    clock.Sleep(sliceMs);
    const int16_t count = comm.GetInBufferCount();
    if (count != lastCount) {
      heard = true;
      lastCount = count;
      lastChange = clock.GetTickCount();
    }
  }
}

}  // namespace kt::modbus
