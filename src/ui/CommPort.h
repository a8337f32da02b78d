// The port number as the serial control takes it.
#pragma once

#include <cstdint>

namespace kt::ui {

// Returns the port number as the serial control's 16-bit value. A number that does not fit
// throws SerialError(BadPortNumber) instead of silently selecting another port.
int16_t CommPortOf(int32_t portNumber);

}  // namespace kt::ui
