// The kernel's RS-485 mode: the driver switches the line's direction (RTS) around each frame.
#pragma once

#include "serial/PortName.h"

namespace kt::serial {

// The environment variable that asks for RS-485 mode: "1" turns it on.
inline constexpr const char* kRs485Variable = "KT7340_RS485";

// True when `environment` (empty: the process environment) sets KT7340_RS485 to "1".
bool Rs485Requested(const EnvironmentLookup& environment);

// Turns on RS-485 mode for the open device `fd`: RTS on while sending, off after sending.
// Returns 0, or the system's error number when the driver refuses it (a pseudo-terminal or a
// plain RS-232 port does).
int EnableRs485Mode(int fd);

}  // namespace kt::serial
