// Port numbers beyond 16 bits are refused, not wrapped.
#include "ui/CommPort.h"

#include <limits>
#include <string>

#include "serial/SerialError.h"

namespace kt::ui {

int16_t CommPortOf(int32_t portNumber) {
  if (portNumber > std::numeric_limits<int16_t>::max() ||
      portNumber < std::numeric_limits<int16_t>::min()) {
    throw serial::SerialError(serial::SerialErrorKind::BadPortNumber, std::to_string(portNumber),
                              "port number " + std::to_string(portNumber) + " is outside 1 to " +
                                  std::to_string(std::numeric_limits<int16_t>::max()));
  }
  return static_cast<int16_t>(portNumber);
}

}  // namespace kt::ui
