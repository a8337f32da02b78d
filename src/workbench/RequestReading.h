// A short Chinese reading of a request frame for the traffic log: "读 0x0300 ×19".
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kt::workbench {

// "读 0x0300 ×19" (read registers), "写 0x000E ×2" (write several), "写 0x0008 = 3" (write one);
// a frame of another function or too short to tell gives "功能码 XX" or "".
std::string DescribeRequest(std::span<const uint8_t> frame);

}  // namespace kt::workbench
