// The local calendar with localtime_r.
#include "values/LocalCalendar.h"

namespace kt::values {

std::tm LocalCalendar(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace kt::values
