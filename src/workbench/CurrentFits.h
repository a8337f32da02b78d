// Which ways of connecting the currents explain the elements' angles. Each element's current may
// be any phase's current, either way round, and each phase may carry its own load; on four-wire
// sites the voltage leads may be swapped or rotated as well (their magnitudes do not tell). A fit
// names the source phase and the polarity of each judged element, the load angle φ each element
// then implies, the direction of the site's power and its cost, so the fits can be ranked: fewer
// mistakes and a more usual site first. A fit is kept only if it is a healthy reading: every
// element runs the same way (import or export), and two inputs that carry the same phase's
// current show it alike.
#pragma once

#include <array>
#include <vector>

#include "workbench/SiteView.h"
#include "workbench/WiringThresholds.h"

namespace kt::workbench {

struct CurrentFit {
  std::array<int, 3> voltage{0, 1, 2};   // the phase whose voltage reaches each voltage input
  std::array<int, 3> source{0, 1, 2};    // the phase whose current reaches each element's input
  std::array<bool, 3> reversed{};        // that current arrives the wrong way round
  std::array<double, 3> loadAngleDeg{};  // φ of each element's load under this fit
  bool exporting = false;                // the site's active power flows to the grid
  double cost = 0;

  bool Identity(const std::vector<int>& judged) const;
  bool Export() const { return exporting; }
  // φ of the judged elements' loads taken together (their circular mean).
  double MeanLoadAngleDeg(const std::vector<int>& judged) const;
};

// How usual an element's load angle is on a site running that way (0: import at PF 0.7..1),
// and the cost of the site's direction itself.
double LoadAngleCost(double phiDeg, bool exporting);

// Every healthy reading of the judged elements, cheapest first. `toleranceDeg` is the angle the
// registers' rounding leaves open per element, `amps` the current register's step.
std::vector<CurrentFit> FitCurrents(const SiteView& site, const std::vector<int>& judged,
                                    const std::array<double, 3>& toleranceDeg,
                                    const WiringThresholds& limits);

}  // namespace kt::workbench
