// Phasor geometry from the per-element view of one block.
#include "workbench/PhasorDiagram.h"

#include <algorithm>
#include <cmath>

#include "workbench/SiteView.h"

namespace kt::workbench {

PhasorDiagram MakePhasorDiagram(const values::MeasuredBlock& b) {
  const SiteView site = MakeSiteView(b);
  PhasorDiagram d;
  d.lineVoltages = site.layout == Layout::ThreeWire;
  double largestVoltage = 0;
  double largestCurrent = 0;
  for (int p : site.measured) {
    d.measured[p] = true;
    largestVoltage = std::max(largestVoltage, std::abs(site.elements[p].voltage));
    largestCurrent = std::max(largestCurrent, std::abs(site.elements[p].current));
  }
  for (int p : site.measured) {
    const ElementView& e = site.elements[p];
    d.voltages[p] = {largestVoltage > 0 ? std::abs(e.voltage) / largestVoltage : 0.0,
                     e.voltageAngleDeg};
    d.currents[p] = {largestCurrent > 0 ? std::abs(e.current) / largestCurrent : 0.0,
                     e.CurrentAngleDeg()};
  }
  return d;
}

}  // namespace kt::workbench
