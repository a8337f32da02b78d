// How long the finder waits for each reply, from the line's own timing.
#pragma once

#include <cstdint>

namespace kt::finder {

// Bits a character takes on the wire with the meter's settings (start, 8 data, parity or a
// second stop bit, stop).
inline constexpr uint32_t kBitsPerCharacter = 11;
// The time a meter may take between the end of a request and the start of its reply. Meters of
// this kind answer within a few tens of milliseconds; a USB adapter adds its latency timer
// (16 ms by default) on the way back.
inline constexpr uint32_t kResponseAllowanceMs = 50;
// What a line-settings-free TCP line adds to the slowest serial timing: the network both ways.
inline constexpr uint32_t kNetworkAllowanceMs = 50;
// No wait is longer than this, whatever the figures above give: the configuration block at
// 1200 bit/s needs about 570 ms, a probe at most about 240 ms.
inline constexpr uint32_t kMaxReplyWaitMs = 1000;

// Milliseconds `characters` take at `baudRate`, rounded up.
uint32_t TransmissionMs(uint32_t characters, int32_t baudRate);

// The wait for the reply to a request of `requestBytes` answered with `replyBytes`, counted from
// handing the request to the port: the request on the wire, the meter's 3.5-character silence
// that ends it, the response allowance, the reply on the wire, and one character time of slack
// for each direction; at most kMaxReplyWaitMs.
uint32_t ReplyWaitMs(int32_t baudRate, uint32_t requestBytes, uint32_t replyBytes);

// The same for a line whose rate is set elsewhere (a device server's serial side): the slowest
// rate's wait plus the network allowance, within the same bound.
uint32_t UnknownRateReplyWaitMs(uint32_t requestBytes, uint32_t replyBytes);

}  // namespace kt::finder
