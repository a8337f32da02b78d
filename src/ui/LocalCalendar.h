// The calendar fields of a moment in the local time zone, from the platform's thread-safe call.
#pragma once

#include <ctime>

namespace kt::ui {

// Each platform defines it (ui/posix, ui/win32).
std::tm LocalCalendar(std::time_t seconds);

}  // namespace kt::ui
