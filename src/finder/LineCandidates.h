// The lines the finder sweeps on this machine, and the serial line it opens for each.
#pragma once

#include <vector>

#include "finder/MeterFinder.h"
#include "serial/PortList.h"

namespace kt::finder {

// One candidate per port, by the number the monitor opens it with; a tcp:// device is swept
// without line settings.
std::vector<CandidateLine> CandidateLines(const std::vector<serial::PortInfo>& ports);

// The candidate whose number is `portNumber` (it need not be listed: a number names a port
// even when the list does not show it).
CandidateLine CandidateForPort(const std::vector<serial::PortInfo>& ports, int32_t portNumber);

// A fresh serial line per candidate, its port selected by number, never the monitor's own.
LineOpener SerialLineOpener();

}  // namespace kt::finder
