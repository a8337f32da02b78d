// The local calendar with localtime_r.
#include "ui/LocalCalendar.h"

namespace kt::ui {

std::tm LocalCalendar(std::time_t seconds) {
  std::tm local{};
  localtime_r(&seconds, &local);
  return local;
}

}  // namespace kt::ui
