// The line settings text ("9600N,8,2", "4800O,8,1", "19200E,8,1") and what it stands for.
#pragma once

#include <cstdint>
#include <string>

namespace kt::serial {

enum class Parity { None, Odd, Even };

struct LineSettings {
  int32_t baudRate = 9600;
  int dataBits = 8;
  Parity parity = Parity::None;
  int stopBits = 2;

  bool operator==(const LineSettings&) const = default;
};

// Accepts exactly the baud rate in decimal (1200, 2400, 4800, 9600 or 19200) directly followed
// by "N,8,2", "O,8,1" or "E,8,1". Anything else throws SerialError(BadSettings) carrying
// `device` (the port the text was meant for, possibly empty) and the reason it was refused.
LineSettings ParseLineSettings(const std::string& text, const std::string& device);

}  // namespace kt::serial
