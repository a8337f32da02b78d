// Phasor geometry from the per-element view of one block.
#include "workbench/PhasorDiagram.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "workbench/SiteView.h"
#include "workbench/WorkbenchLook.h"

namespace kt::workbench {
namespace {

constexpr double kVisibleMovePx = 1.0;

// How far the tip of `a` and its label lie from those of `b`, in pixels, on a circle of `reachPx`.
double MovePx(const Phasor& a, const Phasor& b, double reachPx) {
  const auto point = [](const Phasor& p, double px) {
    const double rad = p.angleDeg * std::numbers::pi / 180.0;
    return px * std::complex<double>(std::cos(rad), std::sin(rad));
  };
  const double tipA = a.length * reachPx;
  const double tipB = b.length * reachPx;
  return std::max(
      std::abs(point(a, tipA) - point(b, tipB)),
      std::abs(point(a, tipA + kPhasorLabelGapPx) - point(b, tipB + kPhasorLabelGapPx)));
}

}  // namespace

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

bool DrawnDifferently(const PhasorDiagram& shown, const PhasorDiagram& next, double radiusPx) {
  radiusPx = std::max(radiusPx, 0.0);  // a view too small for its circle
  if (shown.measured != next.measured || shown.lineVoltages != next.lineVoltages) return true;
  for (std::size_t p = 0; p < next.measured.size(); ++p) {
    if (!next.measured[p]) continue;
    const bool current = next.currents[p].length > 0;
    if (current != (shown.currents[p].length > 0)) return true;
    if (MovePx(shown.voltages[p], next.voltages[p], radiusPx) >= kVisibleMovePx) return true;
    if (current &&
        MovePx(shown.currents[p], next.currents[p], radiusPx * kCurrentReach) >= kVisibleMovePx)
      return true;
  }
  return false;
}

}  // namespace kt::workbench
