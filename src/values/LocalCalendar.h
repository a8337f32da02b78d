// The calendar fields of a moment in the local time zone, from the platform's thread-safe call.
#pragma once

#include <ctime>

namespace kt::values {

// Each platform defines it (posix/, win32/).
std::tm LocalCalendar(std::time_t seconds);

}  // namespace kt::values
