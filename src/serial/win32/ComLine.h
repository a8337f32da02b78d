// The pieces of a COM port that are plain mappings: its device path, the line settings as a
// DCB, and what the system's error codes mean for the serial line.
#pragma once

#include <windows.h>

#include <string>

#include "serial/LineSettings.h"
#include "serial/Transport.h"

namespace kt::serial::win32 {

// "COM12" -> "\\.\COM12": the device namespace, without which COM10 and above do not open. A
// name already in that namespace stays as it is.
std::wstring ComDevicePath(const std::string& device);

// Makes `dcb` a raw 8-bit line with `settings`: binary, the parity asked (checked on no byte:
// a damaged reply fails its CRC), no flow control in either direction, DTR and RTS on, no
// character replaced or dropped, no stop on an error.
void MakeRawDcb(DCB& dcb, const LineSettings& settings);

// The line's timeouts: reads return at once with what is there, writes give up after
// `writeTimeoutMs` (at least 1 ms, as 0 would mean never).
COMMTIMEOUTS LineTimeouts(int writeTimeoutMs);

// What a system error code means when opening, and when counting, reading, emptying or writing.
TransportResult OpenResultOf(DWORD error);
TransportResult TransferResultOf(DWORD error);

}  // namespace kt::serial::win32
