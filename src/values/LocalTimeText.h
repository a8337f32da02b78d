// Local time as every part of the program writes it.
#pragma once

#include <chrono>
#include <string>

namespace kt::values {

enum class TimeFields {
  Seconds,      // "04:31:24"
  TimeOfDay,    // "04:31:24.005"
  DateAndTime,  // "2026-01-02T04:31:24.005", for what is written to a file
};

// `t` in the local time zone; milliseconds are cut, not rounded (also before 1970).
std::string LocalTimeText(std::chrono::system_clock::time_point t, TimeFields fields);

}  // namespace kt::values
