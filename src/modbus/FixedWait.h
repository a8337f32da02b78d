// The fixed wait of an exchange with the meter.
#pragma once

#include <cstdint>

#include "modbus/Clock.h"

namespace kt::modbus {

// Slice in which the wait sleeps, so that it does not burn a core while it waits.
constexpr uint32_t kWaitSliceMs = 5;

// Returns once at least `waitMs` milliseconds have passed on `clock`, measured by the unsigned
// difference of two tick counts (so a wrapping counter neither shortens nor lengthens it). It
// always runs its full length and processes nothing meanwhile.
void WaitFixed(Clock& clock, uint32_t waitMs);

}  // namespace kt::modbus
