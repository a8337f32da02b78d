// Waiting until the line falls quiet, so that a request does not collide with a reply in flight.
#pragma once

#include <cstdint>

#include "modbus/Clock.h"
#include "serial/SerialControl.h"

namespace kt::modbus {

// How often the input count is looked at while waiting for quiet.
constexpr uint32_t kQuietPollSliceMs = 2;
// Character times of silence that mean the reply in flight is over.
constexpr uint32_t kQuietCharacterTimes = 4;

// Time the meter may take between the end of a request and the start of its reply.
constexpr uint32_t kReplyTurnaroundMs = 100;

// Milliseconds of `kQuietCharacterTimes` characters (11 bits each) at `baudRate`, at least one.
uint32_t QuietMsFor(int32_t baudRate);
// Milliseconds from handing a request of `requestBytes` to the port until its reply of
// `replyBytes` should be wholly in: both on the wire (11 bits a character) and the turnaround.
uint32_t ReplyDueMs(int32_t baudRate, int requestBytes, int replyBytes);

// Returns once no new byte has arrived on `comm` for `quietMs` after at least one byte is waiting
// (with none waiting the reply has not begun), once `firstByteMs` have passed without any byte
// (no reply is on its way), or once `limitMs` have passed, whichever comes first; returns at once
// on a closed port or a limit of 0. Looks only at the input count (nothing is read), every
// kQuietPollSliceMs on `clock`, processing no window message. A serial error of the count is
// passed on.
void WaitForQuietLine(serial::SerialControl& comm, Clock& clock, uint32_t quietMs,
                      uint32_t firstByteMs, uint32_t limitMs);

}  // namespace kt::modbus
