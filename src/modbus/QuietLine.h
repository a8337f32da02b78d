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

// Milliseconds of `kQuietCharacterTimes` characters (11 bits each) at `baudRate`, at least one.
uint32_t QuietMsFor(int32_t baudRate);

// Returns once no new byte has arrived on `comm` for `quietMs` after at least one byte is waiting
// (with none waiting the reply has not begun), or once `limitMs` have passed, whichever comes
// first; returns at once on a closed port or a limit of 0. Looks only at the
// input count (nothing is read), every kQuietPollSliceMs on `clock`, processing no window
// message. A serial error of the count is passed on.
void WaitForQuietLine(serial::SerialControl& comm, Clock& clock, uint32_t quietMs,
                      uint32_t limitMs);

}  // namespace kt::modbus
