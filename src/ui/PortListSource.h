// Where the communication settings dialog takes its list of serial ports from.
#pragma once

#include <functional>
#include <vector>

#include "serial/PortList.h"

namespace kt::ui {

// Returns what each port number opens, in number order (ListPorts in PortList.h), overrides
// included. Injectable, so that tests show a fixed list instead of this machine's ports; an
// empty source means the machine's.
using PortListSource = std::function<std::vector<serial::PortInfo>()>;

}  // namespace kt::ui
