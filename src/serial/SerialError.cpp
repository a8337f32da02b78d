// The typed serial error.
#include "serial/SerialError.h"

namespace kt::serial {

SerialError::SerialError(SerialErrorKind kind, std::string device, std::string reason)
    : std::runtime_error(device + ": " + reason),
      kind_(kind),
      device_(std::move(device)),
      reason_(std::move(reason)) {}

}  // namespace kt::serial
