// The Chinese text a user sees for a refusal of the serial layer: the only place that writes it.
#pragma once

#include <string>

#include "serial/SerialError.h"

namespace kt::serial {

// "串口 /dev/ttyUSB0 不存在（没有这个设备文件）": the device named, the kind in words, at most one
// bracket with the reason; "串口号 40000 超出范围（1–32767）" for a bad number.
std::string SerialErrorText(const SerialError& error);

}  // namespace kt::serial
