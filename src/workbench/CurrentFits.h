// Which ways of connecting the currents explain the elements' angles. Each element's current may
// be any phase's current, either way round; the load has one angle φ for all phases. A fit names
// the source phase and the polarity of each judged element, the φ it implies and its cost, so the
// fits can be ranked: fewer mistakes and a more usual load first.
#pragma once

#include <array>
#include <vector>

#include "workbench/SiteView.h"
#include "workbench/WiringThresholds.h"

namespace kt::workbench {

struct CurrentFit {
  std::array<int, 3> source{0, 1, 2};  // the phase whose current reaches each element's input
  std::array<bool, 3> reversed{};      // that current arrives the wrong way round
  double loadAngleDeg = 0;             // φ of the load under this fit
  double cost = 0;

  bool Identity(const std::vector<int>& judged) const;
  bool Export() const;  // the load's active power flows to the grid
};

// Every fit for the judged elements whose angles all lie within `toleranceDeg` (per element) of
// what it predicts, cheapest first.
std::vector<CurrentFit> FitCurrents(const SiteView& site, const std::vector<int>& judged,
                                    const std::array<double, 3>& toleranceDeg);

}  // namespace kt::workbench
