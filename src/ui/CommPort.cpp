// Port numbers beyond 16 bits are refused, not wrapped.
#include "ui/CommPort.h"

#include <limits>

#include "serial/SerialError.h"

namespace kt::ui {

int16_t CommPortOf(int32_t portNumber) {
  if (portNumber > std::numeric_limits<int16_t>::max() ||
      portNumber < std::numeric_limits<int16_t>::min()) {
    throw serial::SerialError(serial::SerialFault{.kind = serial::SerialErrorKind::BadPortNumber,
                                                  .operation = serial::SerialOperation::SelectPort,
                                                  .value = portNumber});
  }
  return static_cast<int16_t>(portNumber);
}

}  // namespace kt::ui
