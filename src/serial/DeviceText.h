// Text chosen by a device (USB strings) made safe to show and print.
#pragma once

#include <string>
#include <string_view>

namespace kt::serial {

// Keeps valid UTF-8 without control characters (C0, DEL, C1): each invalid byte and each
// control character becomes '?', so that nothing a device says can steer a terminal.
std::string CleanDeviceText(std::string_view raw);

}  // namespace kt::serial
