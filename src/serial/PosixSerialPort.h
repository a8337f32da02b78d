// The serial control on this machine's ports: the one serial line (SerialLine.h), under the
// name the monitor's tests and tools know it by.
#pragma once

#include "serial/SerialLine.h"

namespace kt::serial {

using PosixSerialPort = SerialLine;

}  // namespace kt::serial
