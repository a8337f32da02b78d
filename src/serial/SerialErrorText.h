// The Chinese text a user sees for a refusal of the serial layer.
#pragma once

#include <string>

#include "serial/SerialError.h"

namespace kt::serial {

// "串口 /dev/ttyUSB0 不存在（No such file or directory）": the device named, the kind in words,
// the system's reason in brackets at the end; "串口号 70000 超出范围（1–32767）" for a bad number.
std::string SerialErrorText(const SerialError& error);

}  // namespace kt::serial
