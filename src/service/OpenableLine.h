// The serial line of a line of the configuration file, by the port it names.
#pragma once

#include <memory>

#include "serial/SerialLine.h"
#include "service/ServiceConfig.h"

namespace kt::service {

// The line's SerialLine with the port the file names: "COM<N>" as the monitor numbers ports,
// a device path or a tcp:// address as itself (found again as the same device after a loss).
std::unique_ptr<serial::SerialLine> OpenableLine(const LineConfig& line);

}  // namespace kt::service
