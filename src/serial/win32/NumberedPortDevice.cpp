// On Windows, port N is COM<N>, whatever else the machine has.
#include "serial/PortName.h"

namespace kt::serial {

PortDevice NumberedPortDevice(int16_t port, const PortSources& /*sources*/) {
  return PortDevice{.path = "COM" + std::to_string(port)};
}

}  // namespace kt::serial
