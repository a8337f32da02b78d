// Formatting a wall-clock time in the local time zone.
#include "values/LocalTimeText.h"

#include <cstdio>

#include "values/LocalCalendar.h"

namespace kt::values {

std::string LocalTimeText(std::chrono::system_clock::time_point t, TimeFields fields) {
  using namespace std::chrono;
  const auto sinceEpochMs = duration_cast<milliseconds>(t.time_since_epoch()).count();
  const auto wholeSeconds = sinceEpochMs / 1000 - (sinceEpochMs % 1000 < 0 ? 1 : 0);
  const auto ms = static_cast<int>(sinceEpochMs - wholeSeconds * 1000);
  const auto seconds = static_cast<time_t>(wholeSeconds);
  const std::tm local = LocalCalendar(seconds);
  char text[48];
  switch (fields) {
    case TimeFields::Seconds:
      std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
      break;
    case TimeFields::TimeOfDay:
      std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                    local.tm_sec, ms);
      break;
    case TimeFields::DateAndTime:
      std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", local.tm_year + 1900,
                    local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, ms);
      break;
  }
  return text;
}

}  // namespace kt::values
