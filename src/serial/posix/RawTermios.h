// Turning line settings into a raw 8-bit termios configuration.
#pragma once

#include <termios.h>

#include "serial/LineSettings.h"
#include "serial/LineSettingsTable.h"

namespace kt::serial {

// The termios speed constant for one of the supported baud rates (B0 for any other).
speed_t TermiosSpeed(int32_t baudRate);

// The row of a termios speed constant, or nullptr.
const BaudRow* FindBaudRowBySpeed(speed_t speed);

// Makes `t` a raw 8-bit line with the given settings: no input or output translation, no zero
// stripping, no XON/XOFF, no echo or signals, modem lines ignored (CLOCAL), receiver on, no
// RTS/CTS, no hang-up on close, and reads that return at once (VMIN = VTIME = 0).
void MakeRawTermios(termios& t, const LineSettings& settings);

}  // namespace kt::serial
