// The local calendar with the runtime's localtime_s.
#include "values/LocalCalendar.h"

namespace kt::values {

std::tm LocalCalendar(std::time_t seconds) {
  std::tm local{};
  localtime_s(&local, &seconds);
  return local;
}

}  // namespace kt::values
