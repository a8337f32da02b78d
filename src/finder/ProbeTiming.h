// How long the finder waits for each reply and how long it lets the line rest, from the line's
// own timing and what real meters need.
#pragma once

#include <cstdint>

namespace kt::finder {

// Bits a character takes on the wire with the meter's settings (start, 8 data, parity or a
// second stop bit, stop).
inline constexpr uint32_t kBitsPerCharacter = 11;
// The time a meter may take between the end of a request and the first bit of its reply where
// meters are likely (addresses 1..16, settings where something was heard, a meter asked again,
// its configuration): industrial meters answer within 50..300 ms, and a USB adapter holds what
// it received for its latency timer (16 ms by default).
inline constexpr uint32_t kLikelyAnswerMs = 320;
// The same for the long tail (addresses 17..247 at settings where nothing was heard): shorter,
// so that the sweep of a silent port stays under ten minutes. A slower meter still answers; its
// late reply is heard during the next probes and names its sender, which is then asked again
// with the full allowance.
inline constexpr uint32_t kTailAnswerMs = 50;
// What a line-settings-free TCP line adds: the network both ways.
inline constexpr uint32_t kNetworkAllowanceMs = 50;
// How long a reply that has started may pause before the request counts as settled: a USB
// adapter delivers in chunks up to its latency timer (16 ms) apart, a device server in network
// packets, and a busy machine reads late.
inline constexpr uint32_t kReplyPauseMs = 50;
// No request waits longer than this after it was handed to the port, whatever arrives.
inline constexpr uint32_t kMaxReplyWaitMs = 1500;

// Milliseconds `characters` take at `baudRate`, rounded up.
uint32_t TransmissionMs(uint32_t characters, int32_t baudRate);

// The meter's silence that ends a frame (3.5 characters) at `baudRate`, rounded up; the finder
// keeps the line quiet this long after a timeout or a reply before its next request.
uint32_t QuietMs(int32_t baudRate);

// When the first byte of the reply must have come, counted from handing the request of
// `requestBytes` to the port: the request on the wire, the meter's silence, `answerMs`, the
// first character and one character of slack. A line without settings (`baudRate` 0) counts
// the slowest rate and the network allowance.
uint32_t FirstByteDueMs(int32_t baudRate, uint32_t requestBytes, uint32_t answerMs);

// What one unanswered request costs: the wait for the first byte and the quiet after it.
uint32_t UnansweredCycleMs(int32_t baudRate, uint32_t requestBytes, uint32_t answerMs);

}  // namespace kt::finder
