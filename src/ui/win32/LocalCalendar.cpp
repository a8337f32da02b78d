// The local calendar with the runtime's localtime_s.
#include "ui/LocalCalendar.h"

namespace kt::ui {

std::tm LocalCalendar(std::time_t seconds) {
  std::tm local{};
  localtime_s(&local, &seconds);
  return local;
}

}  // namespace kt::ui
